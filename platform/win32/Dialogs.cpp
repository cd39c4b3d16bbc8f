#include "platform/win32/Handles.h"
#include "platform/win32/Libraries.h"
#include "platform/win32/Text.h"
#include "platform/win32/Vocabulary.h"
#include "platform/win32/Win32Port.h"

#include "platform/win32/Win32Api.h"

#include <commdlg.h>
#include <cwchar>

#include <vector>

namespace pexor::win32 {

namespace {

// "description|pattern|description|pattern" to the dialog's double-null
// list; a description without a pattern lists every file.
std::wstring filterList(const std::string &filter) {
  std::vector<std::wstring> parts;
  const std::wstring text = widen(filter);
  size_t position = 0;
  for (size_t bar = 0; (bar = text.find(L'|', position)) != std::wstring::npos; position = bar + 1)
    parts.push_back(text.substr(position, bar - position));
  parts.push_back(text.substr(position));

  std::wstring list;
  for (size_t i = 0; i < parts.size(); i += 2) {
    const std::wstring pattern = i + 1 < parts.size() ? parts[i + 1] : std::wstring();
    list += parts[i] + L'\0' + (pattern.empty() ? std::wstring(L"*.*") : pattern) + L'\0';
  }
  return list + L'\0';
}

// The dialog's library is loaded only when the dialog opens: linked, it
// would weigh on every start for a button few users press.
class DialogLibrary {
public:
  DialogLibrary()
      : module_(loadSystemLibrary(L"comdlg32.dll")),
        getOpenFileName_(function<decltype(&GetOpenFileNameW)>("GetOpenFileNameW")),
        extendedError_(function<decltype(&CommDlgExtendedError)>("CommDlgExtendedError")) {
    if (getOpenFileName_ == nullptr || extendedError_ == nullptr)
      throw Error(err::DialogFailed, "The open-file dialog is not available");
  }
  BOOL getOpenFileName(OPENFILENAMEW *dialog) const { return getOpenFileName_(dialog); }
  DWORD extendedError() const { return extendedError_(); }

private:
  template <class F> F function(const char *name) const {
    return module_
               ? reinterpret_cast<F>(reinterpret_cast<void *>(GetProcAddress(module_.get(), name)))
               : nullptr;
  }
  UniqueModule module_;
  decltype(&GetOpenFileNameW) getOpenFileName_;
  decltype(&CommDlgExtendedError) extendedError_;
};

} // namespace

std::optional<std::string> Win32Port::openFileDialog(const std::string &title,
                                                     const std::string &filter) {
  needCom(); // the dialog's folder views are the shell's objects
  const DialogLibrary library;
  const std::wstring wideTitle = widen(title);
  const std::wstring filters = filterList(filter);
  std::wstring file(32768, L'\0');

  OPENFILENAMEW dialog{};
  dialog.lStructSize = sizeof dialog;
  dialog.hwndOwner = GetActiveWindow();
  dialog.lpstrFilter = filters.c_str();
  dialog.nFilterIndex = 1;
  dialog.lpstrFile = file.data();
  dialog.nMaxFile = static_cast<DWORD>(file.size());
  dialog.lpstrTitle = wideTitle.c_str();
  dialog.Flags = OFN_FILEMUSTEXIST | OFN_HIDEREADONLY | OFN_EXPLORER;
  if (!library.getOpenFileName(&dialog)) {
    const DWORD code = library.extendedError();
    if (code == 0)
      return std::nullopt;
    throw Error(err::DialogFailed,
                "The open-file dialog failed (code " + std::to_string(code) + ")");
  }
  // The buffer holds the path up to its first NUL.
  file.resize(std::wcslen(file.c_str()));
  return narrow(file);
}

int Win32Port::messageBox(const std::string &text, const std::string &title,
                          MessageBoxStyle style) {
  return MessageBoxW(GetActiveWindow(), widen(text).c_str(), widen(title).c_str(),
                     toMessageBoxStyle(style));
}

} // namespace pexor::win32
