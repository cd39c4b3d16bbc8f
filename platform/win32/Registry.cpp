#include "platform/win32/Handles.h"
#include "platform/win32/Text.h"
#include "platform/win32/Vocabulary.h"
#include "platform/win32/Win32Port.h"

namespace pexor::win32 {

namespace {
// The 64-bit view on 64-bit Windows, where the system's compatibility layer
// reads the value; the 32-bit program would otherwise write its own view
// wherever the key is redirected. 32-bit Windows ignores the flag.
constexpr REGSAM View = KEY_WOW64_64KEY;
} // namespace

long Win32Port::regDeleteValue(RegistryRoot root, const std::string &key, const std::string &name) {
  UniqueKey opened;
  const LSTATUS status =
      RegOpenKeyExW(toHkey(root), widen(key).c_str(), 0, KEY_SET_VALUE | View, opened.put());
  if (status != ERROR_SUCCESS)
    return status;
  return RegDeleteValueW(opened.get(), widen(name).c_str());
}

long Win32Port::regCreateKey(RegistryRoot root, const std::string &key) {
  UniqueKey created;
  return RegCreateKeyExW(toHkey(root), widen(key).c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                         KEY_WRITE | View, nullptr, created.put(), nullptr);
}

long Win32Port::regSetString(RegistryRoot root, const std::string &key, const std::string &name,
                             const std::string &data) {
  UniqueKey opened;
  const LSTATUS status =
      RegOpenKeyExW(toHkey(root), widen(key).c_str(), 0, KEY_SET_VALUE | View, opened.put());
  if (status != ERROR_SUCCESS)
    return status;
  const std::wstring value = widen(data);
  return RegSetValueExW(opened.get(), widen(name).c_str(), 0, REG_SZ,
                        reinterpret_cast<const BYTE *>(value.c_str()),
                        static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
}

} // namespace pexor::win32
