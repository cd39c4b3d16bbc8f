#pragma once

// A test with the launcher started beside a fresh shipped folder, and the
// expectations every end-to-end test shares: the shipped configuration and
// the texts the launcher shows.

#include "tests/e2e/Harness.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace e2e {

inline constexpr const wchar_t *RefusalTitle = L"Отказан избор!";
inline constexpr const wchar_t *RefusalText =
    L"Избраната резолюция е по-голяма от резолюцията при стартиране на програмата!";
inline constexpr const wchar_t *CompatibilityLayers = L"256COLOR 640X480";
inline constexpr const wchar_t *ProgressCaption = L"Инсталиране на Pexor";

// The bytes with the first key + old value replaced by key + new value.
std::string withValue(std::string bytes, const std::string &key, const std::string &oldValue,
                      const std::string &newValue);

class LauncherTest : public ::testing::Test {
protected:
  // Makes the sandbox, starts the launcher and waits for Form1 with its two
  // filled lists. Use with ASSERT_NO_FATAL_FAILURE.
  void open(const std::wstring &documentsName = L"Documents");
  // Makes the sandbox only; start() starts the launcher later.
  void prepare(const std::wstring &documentsName = L"Documents");
  void start();

  std::wstring confPath() const { return box->installedFile(L"dosbox-0.73.conf"); }
  std::wstring emulatorPath() const { return box->installedFile(L"DOSBox.exe"); }
  std::string shippedConf() const;
  std::string installedConf() const;
  // Waits until the installed configuration holds exactly these bytes.
  bool confBecomes(const std::string &bytes, DWORD limitMs = WaitLimitMs) const;
  std::optional<std::wstring> compatibilityValue() const;

  // Clicks an empty spot of Form1, so that it is the active window.
  void activateLauncher();
  // Keeps a picture of the window as <name>.png in a folder beside the
  // case's own, for a person to look at.
  void keepPicture(HWND window, const std::wstring &name) const;

  std::unique_ptr<Sandbox> box;
  Launcher launcher;
  HWND list1 = nullptr;
  HWND list2 = nullptr;
};

} // namespace e2e
