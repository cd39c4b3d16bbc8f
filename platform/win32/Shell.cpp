#include "platform/win32/Handles.h"
#include "platform/win32/Text.h"
#include "platform/win32/Vocabulary.h"
#include "platform/win32/Win32Error.h"
#include "platform/win32/Win32Port.h"

#include <objbase.h>
#include <objidl.h>
#include <shellapi.h>
#include <shlobj.h>
#include <shlwapi.h>
#include <shobjidl.h>

#include <cwchar>

namespace pexor::win32 {

namespace {

constexpr long CannotCreateObjectNumber = err::CannotCreateObject;

void check(HRESULT result) {
  if (FAILED(result))
    throw comError(result);
}

} // namespace

std::wstring thisProgramPath() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length < path.size()) {
      path.resize(length);
      return path;
    }
    path.resize(path.size() * 2);
  }
}

std::string Win32Port::exeFolder() {
  const std::wstring path = thisProgramPath();
  const size_t slash = path.find_last_of(L'\\');
  return narrow(slash == std::wstring::npos ? path : path.substr(0, slash));
}

std::string Win32Port::programFile() { return narrow(thisProgramPath()); }

// The path itself, without the item list the shell would build on the way.
std::string Win32Port::specialFolderPath(SpecialFolder folder) {
  wchar_t buffer[MAX_PATH] = {};
  if (SHGetFolderPathW(nullptr, toCsidl(folder), nullptr, SHGFP_TYPE_CURRENT, buffer) != S_OK)
    return {};
  return narrow(buffer);
}

void Win32Port::needCom() {
  if (!com_.entered() && com_.enter())
    trace("shell: COM ready");
}

void Win32Port::saveShortcut(const std::string &lnkPath, const Shortcut &shortcut) {
  needCom();
  ComPtr<IShellLinkW> link;
  const HRESULT created =
      CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW, link.put());
  if (FAILED(created))
    throw Error(CannotCreateObjectNumber, "ActiveX component can't create object");

  check(link->SetPath(widen(shortcut.target).c_str()));
  check(link->SetArguments(widen(shortcut.arguments).c_str()));
  check(link->SetWorkingDirectory(widen(shortcut.workingDirectory).c_str()));
  check(link->SetShowCmd(toShowCommand(shortcut.windowStyle)));

  check(link->SetIconLocation(widen(shortcut.iconPath).c_str(), shortcut.iconIndex));

  // The link's own serialiser into a stream over the file writes the bytes
  // IPersistFile::Save writes, without its extras: under Wine that Save also
  // starts winemenubuilder.exe and waits for it, at every start. Explorer
  // sees the new file through its own watch on the folder.
  ComPtr<IPersistStream> persist;
  check(link->QueryInterface(IID_IPersistStream, persist.put()));
  const std::wstring path = widen(lnkPath);
  ComPtr<IStream> stream;
  check(SHCreateStreamOnFileEx(path.c_str(), STGM_WRITE | STGM_CREATE | STGM_SHARE_EXCLUSIVE,
                               FILE_ATTRIBUTE_NORMAL, TRUE, nullptr,
                               reinterpret_cast<IStream **>(stream.put())));
  const HRESULT saved = persist->Save(stream.get(), TRUE);
  stream.reset();
  if (FAILED(saved)) {
    DeleteFileW(path.c_str()); // no half-written link is left behind
    throw comError(saved);
  }
}

// Read back as it was written, through the link's own stream reader.
bool Win32Port::shortcutHolds(const std::string &lnkPath, const Shortcut &shortcut) {
  needCom();
  ComPtr<IShellLinkW> link;
  ComPtr<IPersistStream> persist;
  ComPtr<IStream> stream;
  if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                              link.put())) ||
      FAILED(link->QueryInterface(IID_IPersistStream, persist.put())) ||
      FAILED(SHCreateStreamOnFileEx(widen(lnkPath).c_str(), STGM_READ | STGM_SHARE_DENY_WRITE,
                                    FILE_ATTRIBUTE_NORMAL, FALSE, nullptr,
                                    reinterpret_cast<IStream **>(stream.put()))) ||
      FAILED(persist->Load(stream.get())))
    return false;
  // Longer than any property the launcher writes: a longer one differs.
  constexpr int Room = 4096;
  std::wstring text(Room, L'\0');
  const auto same = [&](HRESULT got, const std::string &expected) {
    // Up to the property's end, not the room's.
    return SUCCEEDED(got) && std::wcscmp(text.c_str(), widen(expected).c_str()) == 0;
  };
  int iconIndex = 0, showCommand = 0;
  return same(link->GetPath(text.data(), Room, nullptr, SLGP_RAWPATH), shortcut.target) &&
         same(link->GetArguments(text.data(), Room), shortcut.arguments) &&
         same(link->GetWorkingDirectory(text.data(), Room), shortcut.workingDirectory) &&
         same(link->GetIconLocation(text.data(), Room, &iconIndex), shortcut.iconPath) &&
         iconIndex == shortcut.iconIndex && SUCCEEDED(link->GetShowCmd(&showCommand)) &&
         showCommand == toShowCommand(shortcut.windowStyle);
}

void Win32Port::shellRun(const std::string &file, const std::string &parameters) {
  needCom(); // a link is opened through the shell's objects
  const std::wstring wideFile = widen(file);
  const std::wstring wideParameters = widen(parameters);

  SHELLEXECUTEINFOW info{};
  info.cbSize = sizeof info;
  info.fMask = SEE_MASK_FLAG_NO_UI;
  info.lpFile = wideFile.c_str();
  info.lpParameters = wideParameters.empty() ? nullptr : wideParameters.c_str();
  info.nShow = SW_SHOWNORMAL;
  if (!ShellExecuteExW(&info))
    throw comError(HRESULT_FROM_WIN32(GetLastError()));
}

} // namespace pexor::win32
