#include "tests/sim/Folding.h"
#include "tests/sim/SimDesktop.h"

#include <stdexcept>
#include <utility>

namespace pexor::sim {

namespace {

constexpr long RegSuccess = 0;
constexpr long RegNotFound = 2;
constexpr int IdOk = 1;

std::string lnkBytes(const Shortcut &shortcut) {
  return "[Shortcut]\r\nTarget=" + shortcut.target + "\r\nArguments=" + shortcut.arguments +
         "\r\nWorkingDirectory=" + shortcut.workingDirectory +
         "\r\nWindowStyle=" + std::to_string(static_cast<int>(shortcut.windowStyle)) +
         "\r\nIconLocation=" + shortcut.iconPath + "," + std::to_string(shortcut.iconIndex) +
         "\r\n";
}

} // namespace

// ---- Shell --------------------------------------------------------------------

void SimDesktop::setSpecialFolder(SpecialFolder folder, const std::string &path) {
  specialFolders_[folder] = path;
  if (!path.empty())
    addFolder(path);
}

void SimDesktop::setExeFolder(const std::string &path) {
  if (path.empty())
    throw std::invalid_argument("the executable's folder cannot be empty");
  addFolder(path);
  exeFolder_ = resolve(path);
}

std::optional<Shortcut> SimDesktop::shortcut(const std::string &lnkPath) const {
  const FileNode *file = node(lnkPath);
  if (file == nullptr)
    return std::nullopt;
  return file->shortcut;
}

void SimDesktop::failShortcuts(bool fail) { failShortcuts_ = fail; }
void SimDesktop::failRun(bool fail, long number) {
  failRun_ = fail;
  runError_ = number;
}

void SimDesktop::setRunHandler(std::function<void(const ShellRun &)> handler) {
  runHandler_ = std::move(handler);
}

void SimDesktop::queueDialog(std::optional<std::string> answer) {
  dialogAnswers_.push_back(std::move(answer));
}

void SimDesktop::failDialog() { failDialog_ = true; }

std::string SimDesktop::exeFolder() { return exeFolder_; }

std::string SimDesktop::specialFolderPath(SpecialFolder folder) {
  const auto it = specialFolders_.find(folder);
  return it == specialFolders_.end() ? std::string() : it->second;
}

void SimDesktop::saveShortcut(const std::string &lnkPath, const Shortcut &shortcut) {
  if (failShortcuts_)
    throw Error(err::CannotCreateObject, "ActiveX component can't create object");
  FileNode &file = writableFile(lnkPath);
  file.bytes = lnkBytes(shortcut);
  file.lastWrite = keptTime(file.path, FileTimeEpoch + now_ * 10000);
  file.shortcut = shortcut;
  ++shortcutsSaved_;
}

bool SimDesktop::shortcutHolds(const std::string &lnkPath, const Shortcut &shortcut) {
  if (failShortcuts_) // no link object to read with either
    return false;
  const FileNode *file = node(lnkPath);
  // A link whose bytes were replaced since it was saved holds nothing readable.
  return file != nullptr && file->shortcut && file->bytes == lnkBytes(*file->shortcut) &&
         lnkBytes(*file->shortcut) == lnkBytes(shortcut);
}

void SimDesktop::shellRun(const std::string &file, const std::string &parameters) {
  if (failRun_)
    throw Error(runError_, "Automation error");
  if (file.empty() || !fileExists(file))
    throw Error(-2147024894, "The system cannot find the file specified.");
  runs_.push_back(ShellRun{file, parameters});
  if (runHandler_) {
    launching_ = true;
    runHandler_(runs_.back());
    launching_ = false;
  }
}

std::optional<std::string> SimDesktop::openFileDialog(const std::string &title,
                                                      const std::string &filter) {
  dialogs_.push_back(DialogCall{title, filter});
  if (failDialog_) {
    failDialog_ = false;
    throw Error(err::DialogFailed, "Dialog failed");
  }
  if (dialogAnswers_.empty())
    return std::nullopt;
  std::optional<std::string> answer = std::move(dialogAnswers_.front());
  dialogAnswers_.erase(dialogAnswers_.begin());
  return answer;
}

int SimDesktop::messageBox(const std::string &text, const std::string &title,
                           MessageBoxStyle style) {
  messageBoxes_.push_back(MessageBoxCall{text, title, style, {screenW_, screenH_}});
  return IdOk;
}

// ---- Registry -------------------------------------------------------------------

std::optional<std::string> SimDesktop::regValue(RegistryRoot root, const std::string &key,
                                                const std::string &name) const {
  const auto it = regValues_.find({root, fold(key), fold(name)});
  if (it == regValues_.end())
    return std::nullopt;
  return it->second;
}

bool SimDesktop::regKeyExists(RegistryRoot root, const std::string &key) const {
  return regKeys_.contains({root, fold(key)});
}

void SimDesktop::setRegValue(RegistryRoot root, const std::string &key, const std::string &name,
                             const std::string &data) {
  std::string path;
  for (const char c : key + "\\") {
    if (c == '\\' && !path.empty())
      regKeys_.insert({root, fold(path)});
    path += c;
  }
  regValues_[{root, fold(key), fold(name)}] = data;
}

void SimDesktop::failRegistry(long code) { regFailure_ = code; }

long SimDesktop::regDeleteValue(RegistryRoot root, const std::string &key,
                                const std::string &name) {
  long result = regFailure_;
  if (result == RegSuccess) {
    result = regValues_.erase({root, fold(key), fold(name)}) != 0 ? RegSuccess : RegNotFound;
  }
  regCalls_.push_back(RegCall{RegOp::DeleteValue, root, key, name, {}, result});
  return result;
}

long SimDesktop::regCreateKey(RegistryRoot root, const std::string &key) {
  long result = regFailure_;
  if (result == RegSuccess) {
    std::string path;
    for (const char c : key + "\\") {
      if (c == '\\' && !path.empty())
        regKeys_.insert({root, fold(path)});
      path += c;
    }
  }
  regCalls_.push_back(RegCall{RegOp::CreateKey, root, key, {}, {}, result});
  return result;
}

long SimDesktop::regSetString(RegistryRoot root, const std::string &key, const std::string &name,
                              const std::string &data) {
  long result = regFailure_;
  if (result == RegSuccess) {
    if (!regKeys_.contains({root, fold(key)})) {
      result = RegNotFound;
    } else {
      regValues_[{root, fold(key), fold(name)}] = data;
    }
  }
  regCalls_.push_back(RegCall{RegOp::SetString, root, key, name, data, result});
  return result;
}

} // namespace pexor::sim
