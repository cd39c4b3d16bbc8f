#pragma once

#include "platform/DisplayMode.h"
#include "platform/Input.h"
#include "platform/ShellValues.h"
#include "platform/WindowCommands.h"

#include "platform/win32/Win32Api.h"

#include <shlobj.h>

#include <cstdint>
#include <utility>

namespace pexor::win32 {

// The port's values to the Windows API's, and back: the only place that
// knows both.

static_assert(code(VirtualKey::Tab) == VK_TAB && code(VirtualKey::Return) == VK_RETURN &&
              code(VirtualKey::Shift) == VK_SHIFT && code(VirtualKey::Control) == VK_CONTROL &&
              code(VirtualKey::Menu) == VK_MENU && code(VirtualKey::Escape) == VK_ESCAPE &&
              code(VirtualKey::LeftWin) == VK_LWIN && code(VirtualKey::RightWin) == VK_RWIN &&
              code(VirtualKey::LeftShift) == VK_LSHIFT &&
              code(VirtualKey::RightShift) == VK_RSHIFT &&
              code(VirtualKey::LeftControl) == VK_LCONTROL &&
              code(VirtualKey::RightControl) == VK_RCONTROL &&
              code(VirtualKey::LeftMenu) == VK_LMENU && code(VirtualKey::RightMenu) == VK_RMENU);

constexpr int toShowCommand(ShowCommand command) {
  switch (command) {
  case ShowCommand::Hide:
    return SW_HIDE;
  case ShowCommand::ShowNormal:
    return SW_SHOWNORMAL;
  case ShowCommand::ShowMinNoActive:
    return SW_SHOWMINNOACTIVE;
  case ShowCommand::Minimize:
    return SW_MINIMIZE;
  case ShowCommand::Maximize:
    return SW_MAXIMIZE;
  case ShowCommand::Restore:
    return SW_RESTORE;
  }
  return SW_SHOWNORMAL;
}
static_assert(toShowCommand(ShowCommand::Hide) == 0 && toShowCommand(ShowCommand::ShowNormal) == 1);

// The z-order positions are handles by convention: top 0, bottom 1,
// topmost -1, not topmost -2.
inline HWND toInsertAfter(ZOrder order) {
  switch (order) {
  case ZOrder::Top:
    return HWND_TOP;
  case ZOrder::Bottom:
    return HWND_BOTTOM;
  case ZOrder::Topmost:
    return HWND_TOPMOST;
  case ZOrder::NotTopmost:
    return HWND_NOTOPMOST;
  }
  return HWND_TOP;
}

// One port bit and the platform's bits it stands for.
template <class E> using BitMap = std::pair<E, std::uint32_t>;

template <class E, std::size_t N> constexpr std::uint32_t toBits(E set, const BitMap<E> (&map)[N]) {
  std::uint32_t bits = 0;
  for (const auto &[flag, platform] : map)
    if (has(set, flag))
      bits |= platform;
  return bits;
}

template <class E, std::size_t N>
constexpr E fromBits(std::uint32_t bits, const BitMap<E> (&map)[N]) {
  E set{};
  for (const auto &[flag, platform] : map)
    if ((bits & platform) == platform)
      set = set | flag;
  return set;
}

inline constexpr BitMap<Placement> PlacementBits[] = {
    {Placement::NoSize, SWP_NOSIZE},         {Placement::NoMove, SWP_NOMOVE},
    {Placement::NoZOrder, SWP_NOZORDER},     {Placement::ShowWindow, SWP_SHOWWINDOW},
    {Placement::HideWindow, SWP_HIDEWINDOW},
};
static_assert(toBits(Placement::NoSize | Placement::NoMove, PlacementBits) == 0x0003);
static_assert(toBits(Placement::ShowWindow, PlacementBits) == 0x0040);

inline constexpr BitMap<KeyAction> KeyActionBits[] = {
    {KeyAction::ExtendedKey, KEYEVENTF_EXTENDEDKEY},
    {KeyAction::Release, KEYEVENTF_KEYUP},
};
static_assert(toBits(KeyAction::ExtendedKey | KeyAction::Release, KeyActionBits) == 0x0003);

inline constexpr BitMap<MouseAction> MouseActionBits[] = {
    {MouseAction::Move, MOUSEEVENTF_MOVE},
    {MouseAction::LeftDown, MOUSEEVENTF_LEFTDOWN},
    {MouseAction::LeftUp, MOUSEEVENTF_LEFTUP},
    {MouseAction::Absolute, MOUSEEVENTF_ABSOLUTE},
};
static_assert(toBits(MouseAction::Move | MouseAction::LeftDown | MouseAction::LeftUp |
                         MouseAction::Absolute,
                     MouseActionBits) == 0x8007);

inline constexpr BitMap<DisplayField> DisplayFieldBits[] = {
    {DisplayField::BitsPerPel, DM_BITSPERPEL},
    {DisplayField::PelsWidth, DM_PELSWIDTH},
    {DisplayField::PelsHeight, DM_PELSHEIGHT},
    {DisplayField::DisplayFrequency, DM_DISPLAYFREQUENCY},
};
static_assert(toBits(DisplayField::PelsWidth | DisplayField::PelsHeight, DisplayFieldBits) ==
              0x00180000);

constexpr UINT toMessageBoxStyle(MessageBoxStyle style) {
  return style == MessageBoxStyle::Error ? MB_OK | MB_ICONERROR : MB_OK;
}
static_assert(toMessageBoxStyle(MessageBoxStyle::Error) == 0x10);

constexpr int toCsidl(SpecialFolder folder) {
  switch (folder) {
  case SpecialFolder::Documents:
    return CSIDL_PERSONAL;
  }
  return CSIDL_PERSONAL;
}
static_assert(toCsidl(SpecialFolder::Documents) == 5);

inline HKEY toHkey(RegistryRoot root) {
  switch (root) {
  case RegistryRoot::CurrentUser:
    return HKEY_CURRENT_USER;
  }
  return HKEY_CURRENT_USER;
}

} // namespace pexor::win32
