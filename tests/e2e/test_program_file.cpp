// What the built PexorLauncher.exe carries for Windows: its bitness, the
// icon in every size Explorer and the taskbar ask for, and its version; and
// Form1 showing that icon in its caption.
#include "tests/e2e/LauncherTest.h"

#include "Version.h"

#include <set>

namespace e2e {
namespace {

struct ModuleCloser {
  void operator()(HMODULE module) const { FreeLibrary(module); }
};
using UniqueModule = std::unique_ptr<std::remove_pointer_t<HMODULE>, ModuleCloser>;

UniqueModule loadAsData(const std::wstring &path) {
  return UniqueModule(LoadLibraryExW(path.c_str(), nullptr,
                                     LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE));
}

std::optional<std::string_view> resourceBytes(HMODULE module, LPCWSTR name, LPCWSTR type) {
  HRSRC found = FindResourceW(module, name, type);
  HGLOBAL loaded = found ? LoadResource(module, found) : nullptr;
  if (!loaded)
    return std::nullopt;
  return std::string_view(static_cast<const char *>(LockResource(loaded)),
                          SizeofResource(module, found));
}

#pragma pack(push, 2)
struct GroupIconEntry {
  BYTE width, height, colours, reserved;
  WORD planes, bitCount;
  DWORD bytes;
  WORD id;
};
#pragma pack(pop)

TEST(ProgramFile, IsBuiltForTheSameWindowsAsThisDriver) {
  DWORD type = 0;
  ASSERT_TRUE(GetBinaryTypeW(builtLauncher().c_str(), &type)) << narrow(builtLauncher());
  EXPECT_EQ(type, sizeof(void *) == 4 ? DWORD{SCS_32BIT_BINARY} : DWORD{SCS_64BIT_BINARY});
}

TEST(ProgramFile, CarriesTheIconInEverySize) {
  const auto module = loadAsData(builtLauncher());
  ASSERT_TRUE(module) << narrow(builtLauncher());
  const auto group = resourceBytes(module.get(), L"APP", RT_GROUP_ICON);
  ASSERT_TRUE(group && group->size() >= 6) << "no icon APP";
  const WORD count = *reinterpret_cast<const WORD *>(group->data() + 4);
  ASSERT_EQ(group->size(), 6 + count * sizeof(GroupIconEntry));
  std::set<int> sizes;
  for (WORD i = 0; i < count; ++i) {
    GroupIconEntry entry{};
    memcpy(&entry, group->data() + 6 + i * sizeof entry, sizeof entry);
    const int side = entry.width == 0 ? 256 : entry.width;
    sizes.insert(side);
    // Each picture is one Windows can make an icon of.
    const auto picture = resourceBytes(module.get(), MAKEINTRESOURCEW(entry.id), RT_ICON);
    ASSERT_TRUE(picture) << side;
    HICON icon = CreateIconFromResourceEx(
        // NOLINTNEXTLINE(cppcoreguidelines-pro-type-const-cast): read only, typed PBYTE
        reinterpret_cast<PBYTE>(const_cast<char *>(picture->data())),
        static_cast<DWORD>(picture->size()), TRUE, 0x00030000, side, side, LR_DEFAULTCOLOR);
    EXPECT_NE(icon, nullptr) << "the " << side << " pixel picture";
    if (icon)
      DestroyIcon(icon);
  }
  EXPECT_EQ(sizes, (std::set<int>{16, 24, 32, 48, 256}));
}

std::wstring versionString(const std::vector<BYTE> &info, const wchar_t *name) {
  wchar_t *text = nullptr;
  UINT length = 0;
  const std::wstring path = std::wstring(L"\\StringFileInfo\\040204B0\\") + name;
  if (!VerQueryValueW(info.data(), path.c_str(), reinterpret_cast<void **>(&text), &length) ||
      !text)
    return L"<none>";
  return std::wstring(text, wcsnlen(text, length));
}

TEST(ProgramFile, CarriesItsVersion) {
  const std::wstring exe = builtLauncher();
  const DWORD size = GetFileVersionInfoSizeW(exe.c_str(), nullptr);
  ASSERT_GT(size, 0u) << "no version resource";
  std::vector<BYTE> info(size);
  ASSERT_TRUE(GetFileVersionInfoW(exe.c_str(), 0, size, info.data()));
  EXPECT_EQ(narrow(versionString(info, L"ProductName")), "Pexor");
  EXPECT_EQ(narrow(versionString(info, L"FileDescription")), "Pexor launcher");
  EXPECT_EQ(narrow(versionString(info, L"OriginalFilename")), "PexorLauncher.exe");
  EXPECT_EQ(narrow(versionString(info, L"FileVersion")), PEXOR_VERSION);
  EXPECT_EQ(narrow(versionString(info, L"ProductVersion")), PEXOR_VERSION);

  VS_FIXEDFILEINFO *fixed = nullptr;
  UINT length = 0;
  ASSERT_TRUE(VerQueryValueW(info.data(), L"\\", reinterpret_cast<void **>(&fixed), &length));
  ASSERT_NE(fixed, nullptr);
  EXPECT_EQ(fixed->dwFileVersionMS, DWORD{PEXOR_VERSION_MAJOR << 16 | PEXOR_VERSION_MINOR});
  EXPECT_EQ(fixed->dwFileVersionLS, DWORD{PEXOR_VERSION_PATCH << 16});

  // The manifest names the same version.
  const auto module = loadAsData(exe);
  const auto manifest = resourceBytes(module.get(), MAKEINTRESOURCEW(1), RT_MANIFEST);
  ASSERT_TRUE(manifest) << "no manifest";
  EXPECT_NE(manifest->find("version=\"" PEXOR_VERSION ".0\""), std::string_view::npos);
}

using ProgramWindow = LauncherTest;

// Pixels of the caption bar's left end, where the icon is drawn, that have
// the icon's own colours: the white P on the teal square (its thin orange
// frame mostly blends into the caption at 16 pixels). Another process's icon
// handle cannot be read under Wine: look at the screen.
struct IconColours {
  int white = 0, teal = 0;
};
IconColours captionIconColours(HWND window) {
  const RECT outer = screenRect(window);
  POINT client{0, 0};
  ClientToScreen(window, &client);
  const int band = client.y - outer.top;
  IconColours seen;
  HDC screen = GetDC(nullptr);
  for (int y = outer.top; y < client.y; ++y)
    for (int x = outer.left; x < outer.left + 2 * band; ++x) {
      const COLORREF c = GetPixel(screen, x, y);
      const int r = GetRValue(c), g = GetGValue(c), b = GetBValue(c);
      if (r > 220 && g > 220 && b > 220)
        ++seen.white;
      if (r < 40 && g > 40 && abs(g - b) < 16)
        ++seen.teal;
    }
  ReleaseDC(nullptr, screen);
  return seen;
}

TEST_F(ProgramWindow, CaptionShowsTheProgramsIcon) {
  ASSERT_NO_FATAL_FAILURE(open());
  IconColours seen;
  EXPECT_TRUE(waitUntil([&] {
    seen = captionIconColours(launcher.window());
    return seen.white >= 6 && seen.teal >= 12;
  })) << seen.white
      << " white and " << seen.teal << " teal pixels";
}

} // namespace
} // namespace e2e
