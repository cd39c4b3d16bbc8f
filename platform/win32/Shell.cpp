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

// IShellLink takes bare paths; the system may hand them over in quotes.
std::wstring unquoted(std::wstring text) {
  if (text.size() >= 2 && text.front() == L'"' && text.back() == L'"')
    return text.substr(1, text.size() - 2);
  return text;
}

} // namespace

std::string Win32Port::exeFolder() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length < path.size()) {
      path.resize(length);
      break;
    }
    path.resize(path.size() * 2);
  }
  const size_t slash = path.find_last_of(L'\\');
  return narrow(slash == std::wstring::npos ? path : path.substr(0, slash));
}

std::string Win32Port::specialFolderPath(SpecialFolder folder) {
  Unique<CoTaskMemTraits> list;
  if (SHGetSpecialFolderLocation(nullptr, toCsidl(folder),
                                 reinterpret_cast<LPITEMIDLIST *>(list.put())) != S_OK)
    return {};
  wchar_t buffer[MAX_PATH] = {};
  if (!SHGetPathFromIDListW(static_cast<LPCITEMIDLIST>(list.get()), buffer))
    return {};
  return narrow(buffer);
}

void Win32Port::saveShortcut(const std::string &lnkPath, const Shortcut &shortcut) {
  ComPtr<IShellLinkW> link;
  const HRESULT created =
      CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW, link.put());
  if (FAILED(created))
    throw Error(CannotCreateObjectNumber, "ActiveX component can't create object");

  check(link->SetPath(unquoted(widen(shortcut.target)).c_str()));
  check(link->SetArguments(widen(shortcut.arguments).c_str()));
  check(link->SetWorkingDirectory(widen(shortcut.workingDirectory).c_str()));
  check(link->SetShowCmd(toShowCommand(shortcut.windowStyle)));

  // "path,index": the index follows the last comma.
  const std::wstring icon = widen(shortcut.iconLocation);
  const size_t comma = icon.find_last_of(L',');
  const std::wstring iconPath = comma == std::wstring::npos ? icon : icon.substr(0, comma);
  const int iconIndex = comma == std::wstring::npos
                            ? 0
                            : static_cast<int>(std::wcstol(icon.c_str() + comma + 1, nullptr, 10));
  check(link->SetIconLocation(unquoted(iconPath).c_str(), iconIndex));

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

void Win32Port::shellRun(const std::string &commandLine) {
  // The first token, quoted or not, is what is opened; the rest are its parameters.
  const std::wstring line = widen(commandLine);
  size_t start = line.find_first_not_of(L' ');
  if (start == std::wstring::npos)
    start = line.size();
  std::wstring file;
  size_t end = 0;
  if (start < line.size() && line[start] == L'"') {
    const size_t close = line.find(L'"', start + 1);
    end = close == std::wstring::npos ? line.size() : close + 1;
    file = line.substr(start + 1, (close == std::wstring::npos ? line.size() : close) - start - 1);
  } else {
    end = line.find(L' ', start);
    if (end == std::wstring::npos)
      end = line.size();
    file = line.substr(start, end - start);
  }
  const size_t rest = line.find_first_not_of(L' ', end);
  const std::wstring parameters = rest == std::wstring::npos ? std::wstring() : line.substr(rest);

  SHELLEXECUTEINFOW info{};
  info.cbSize = sizeof info;
  info.fMask = SEE_MASK_FLAG_NO_UI;
  info.lpFile = file.c_str();
  info.lpParameters = parameters.empty() ? nullptr : parameters.c_str();
  info.nShow = SW_SHOWNORMAL;
  if (!ShellExecuteExW(&info))
    throw comError(HRESULT_FROM_WIN32(GetLastError()));
}

} // namespace pexor::win32
