#include "launcher/Guardian.h"

#include "system/InstalledCopy.h"
#include "system/ResolutionMod.h"
#include "system/System.h"
#include "system/Zatvariane.h"

#include <charconv>
#include <optional>
#include <string_view>

namespace pexor {

namespace {

constexpr const char *GuardianFile = "PexorGuardian.exe";
// Fields apart: no path holds it.
constexpr char Separator = '|';
constexpr std::string_view DisplayKey = "display=";
constexpr std::string_view DocumentsKey = "documents=";
constexpr std::string_view EmulatorKey = "emulator=";

template <class Number> std::optional<Number> number(std::string_view text) {
  Number value{};
  const auto [end, problem] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (problem != std::errc{} || end != text.data() + text.size())
    return std::nullopt;
  return value;
}

// "WxH" or "WxH,BITS,HERTZ", the size positive; anything else names no mode.
void readDisplay(std::string_view text, GuardianWork &work) {
  const size_t comma = text.find(',');
  const std::string_view size = text.substr(0, comma);
  const size_t x = size.find('x');
  if (x == std::string_view::npos)
    return;
  const auto width = number<std::int32_t>(size.substr(0, x));
  const auto height = number<std::int32_t>(size.substr(x + 1));
  if (!width || !height || *width <= 0 || *height <= 0)
    return;
  std::optional<std::uint32_t> bits = 0;
  std::optional<std::uint32_t> hertz = 0;
  if (comma != std::string_view::npos) {
    const std::string_view depthAndRate = text.substr(comma + 1);
    const size_t second = depthAndRate.find(',');
    if (second == std::string_view::npos)
      return;
    bits = number<std::uint32_t>(depthAndRate.substr(0, second));
    hertz = number<std::uint32_t>(depthAndRate.substr(second + 1));
    if (!bits || !hertz)
      return;
  }
  work.width = *width;
  work.height = *height;
  work.bits = *bits;
  work.hertz = *hertz;
}

// The entry of `name` in `folder`, if there is one.
std::optional<FolderEntry> entryOf(Port &port, const std::string &folder, const std::string &name) {
  for (FolderEntry &entry : port.listFolder(folder))
    if (!entry.isFolder && entry.name == name)
      return entry;
  return std::nullopt;
}

} // namespace

std::string guardianOrders(const GuardianWork &work) {
  std::string display = std::to_string(work.width) + "x" + std::to_string(work.height);
  if (work.bits != 0 && work.hertz != 0)
    display += "," + std::to_string(work.bits) + "," + std::to_string(work.hertz);
  return std::string(DocumentsKey) + work.documents + Separator + std::string(EmulatorKey) +
         work.emulatorPath + Separator + std::string(DisplayKey) + display;
}

GuardianWork guardianWork(const std::string &orders) {
  GuardianWork work;
  std::string_view rest = orders;
  while (!rest.empty()) {
    const size_t end = rest.find(Separator);
    const std::string_view field = rest.substr(0, end);
    rest = end == std::string_view::npos ? std::string_view{} : rest.substr(end + 1);
    if (field.starts_with(DocumentsKey))
      work.documents = field.substr(DocumentsKey.size());
    else if (field.starts_with(EmulatorKey))
      work.emulatorPath = field.substr(EmulatorKey.size());
    else if (field.starts_with(DisplayKey))
      readDisplay(field.substr(DisplayKey.size()), work);
  }
  return work;
}

// Copied again only when this program's file is not what the copy holds (a
// new version), as the install copy does; a copy that cannot be made (a
// guardian still running from it, a full disk) leaves this program's file.
std::string guardianProgram(Port &port, const std::string &install) {
  std::string program = port.programFile();
  std::string copy = install + GuardianFile;
  try {
    const size_t slash = program.rfind('\\');
    const auto source = entryOf(port, program.substr(0, slash), program.substr(slash + 1));
    const auto present = entryOf(port, install.substr(0, install.size() - 1), GuardianFile);
    if (source && present && present->size == source->size &&
        present->lastWrite == source->lastWrite)
      return copy;
    port.copyFile(program, copy);
    return copy;
  } catch (const Error &) {
    return program;
  }
}

void runGuardian(Port &port, const std::string &orders) {
  if (!port.guardedProcessAbandoned())
    return;
  const GuardianWork work = guardianWork(orders);
  System sys(port);
  sys.pathDocuments = work.documents;
  sys.pathEmulator = InstalledCopy::quoted(work.emulatorPath);
  if (!work.documents.empty() || !work.emulatorPath.empty())
    CloseAllEmulators(sys);
  // Switched only when it is not already there: no flicker for nothing.
  if (work.width <= 0 ||
      (port.screenWidthPixels() == work.width && port.screenHeightPixels() == work.height))
    return;
  DisplayMode mode{};
  mode.dmPelsWidth = static_cast<std::uint32_t>(work.width);
  mode.dmPelsHeight = static_cast<std::uint32_t>(work.height);
  mode.dmBitsPerPel = work.bits;
  mode.dmDisplayFrequency = work.hertz;
  try {
    RestoreDesktop(sys, mode, work.bits != 0, work.width, work.height);
  } catch (const Error &) {
    // A size no record holds: nobody to tell, the display stays as it is.
  }
}

} // namespace pexor
