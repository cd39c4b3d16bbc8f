// Windows of other processes: lookup, list boxes, message boxes.
#include "tests/e2e/Harness.h"
#include "tests/e2e/HarnessWin32.h"

#include <algorithm>

namespace e2e {

using namespace detail;

namespace {
constexpr UINT SendLimitMs = 5000;
} // namespace

namespace detail {

LRESULT sendTo(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  DWORD_PTR result = 0;
  if (!SendMessageTimeoutW(hwnd, msg, wParam, lParam, SMTO_ABORTIFHUNG | SMTO_BLOCK, SendLimitMs,
                           &result))
    return -1;
  return static_cast<LRESULT>(result);
}

} // namespace detail

// --- Windows ------------------------------------------------------------

std::wstring windowText(HWND hwnd) {
  // WM_GETTEXT with a time limit, so a hung window cannot hang the test.
  std::wstring text(1024, L'\0');
  const LRESULT n = sendTo(hwnd, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
  text.resize(n > 0 ? static_cast<size_t>(n) : 0);
  return text;
}

std::wstring windowClass(HWND hwnd) {
  wchar_t name[256] = {};
  const int n = GetClassNameW(hwnd, name, 256);
  return std::wstring(name, n > 0 ? static_cast<size_t>(n) : 0);
}

namespace {
struct TopLevelQuery {
  DWORD pid;
  std::wstring_view className, caption;
  std::vector<HWND> found;
};

// Named callbacks rather than lambdas: a lambda converts only to the default
// calling convention, which is not CALLBACK on 32-bit Windows.
BOOL CALLBACK collectTopLevel(HWND hwnd, LPARAM param) {
  auto &q = *reinterpret_cast<TopLevelQuery *>(param);
  if (!IsWindowVisible(hwnd))
    return TRUE;
  DWORD owner = 0;
  GetWindowThreadProcessId(hwnd, &owner);
  if (q.pid && owner != q.pid)
    return TRUE;
  if (!q.className.empty() && !equalNoCase(windowClass(hwnd), q.className))
    return TRUE;
  if (!q.caption.empty() && windowText(hwnd) != q.caption)
    return TRUE;
  q.found.push_back(hwnd);
  return TRUE;
}

struct ChildQuery {
  std::wstring_view className;
  std::vector<HWND> found;
};

BOOL CALLBACK collectChild(HWND hwnd, LPARAM param) {
  auto &q = *reinterpret_cast<ChildQuery *>(param);
  if (q.className.empty() || equalNoCase(windowClass(hwnd), q.className))
    q.found.push_back(hwnd);
  return TRUE;
}
} // namespace

std::vector<HWND> topLevelWindows(DWORD pid, std::wstring_view className,
                                  std::wstring_view caption) {
  TopLevelQuery query{pid, className, caption, {}};
  EnumWindows(collectTopLevel, reinterpret_cast<LPARAM>(&query));
  return query.found;
}

std::vector<HWND> childWindows(HWND parent, std::wstring_view className) {
  ChildQuery query{className, {}};
  EnumChildWindows(parent, collectChild, reinterpret_cast<LPARAM>(&query));
  return query.found;
}

namespace {
struct ProgramWindowQuery {
  std::wstring_view className;
  const std::wstring &program;
  HWND found;
};

// The long form of a path: a program may have been started by its short one.
std::wstring longForm(const std::wstring &path) {
  wchar_t full[MAX_PATH * 4] = {};
  const DWORD length = GetLongPathNameW(path.c_str(), full, MAX_PATH * 4);
  return length > 0 && length < MAX_PATH * 4 ? std::wstring(full, length) : path;
}

BOOL CALLBACK findProgramWindow(HWND hwnd, LPARAM param) {
  auto &q = *reinterpret_cast<ProgramWindowQuery *>(param);
  DWORD owner = 0;
  GetWindowThreadProcessId(hwnd, &owner);
  if (!equalNoCase(windowClass(hwnd), q.className) ||
      !equalNoCase(longForm(processImage(owner)), longForm(q.program)))
    return TRUE;
  q.found = hwnd;
  return FALSE;
}
} // namespace

HWND windowOfProgram(std::wstring_view className, const std::wstring &program) {
  ProgramWindowQuery query{className, program, nullptr};
  EnumWindows(findProgramWindow, reinterpret_cast<LPARAM>(&query));
  return query.found;
}

RECT screenRect(HWND hwnd) {
  RECT rect{};
  GetWindowRect(hwnd, &rect);
  return rect;
}

int windowDpi(HWND hwnd) {
  const UINT dpi = GetDpiForWindow(hwnd);
  return dpi != 0 ? static_cast<int>(dpi) : 96;
}

// --- List boxes and buttons of another process ----------------------------

int listCount(HWND list) { return static_cast<int>(sendTo(list, LB_GETCOUNT, 0, 0)); }

int listSelection(HWND list) { return static_cast<int>(sendTo(list, LB_GETCURSEL, 0, 0)); }

std::wstring listItemText(HWND list, int index) {
  const LRESULT length = sendTo(list, LB_GETTEXTLEN, static_cast<WPARAM>(index), 0);
  if (length < 0)
    return {};
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  const LRESULT n =
      sendTo(list, LB_GETTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text.data()));
  text.resize(n > 0 ? static_cast<size_t>(n) : 0);
  return text;
}

std::wstring listSelectedText(HWND list) {
  const int index = listSelection(list);
  return index < 0 ? std::wstring() : listItemText(list, index);
}

std::vector<std::wstring> listItems(HWND list) {
  std::vector<std::wstring> items;
  const int n = listCount(list);
  items.reserve(static_cast<size_t>(std::max(n, 0)));
  for (int i = 0; i < n; ++i)
    items.push_back(listItemText(list, i));
  return items;
}

std::optional<POINT> listItemPoint(HWND list, int index) {
  RECT item{};
  if (sendTo(list, LB_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item)) ==
      LB_ERR)
    return std::nullopt;
  RECT client{};
  GetClientRect(list, &client);
  if (item.top < client.top || item.bottom > client.bottom || item.bottom <= item.top)
    return std::nullopt;
  POINT p{(item.left + item.right) / 2, (item.top + item.bottom) / 2};
  MapWindowPoints(list, nullptr, &p, 1);
  return p;
}

bool isChecked(HWND button) { return sendTo(button, BM_GETCHECK, 0, 0) == BST_CHECKED; }

// --- Message boxes --------------------------------------------------------

std::optional<MessageBoxInfo> findMessageBox(DWORD pid) {
  const auto boxes = topLevelWindows(pid, L"#32770");
  if (boxes.empty())
    return std::nullopt;
  MessageBoxInfo info;
  info.hwnd = boxes.front();
  info.title = windowText(info.hwnd);
  if (HWND text = GetDlgItem(info.hwnd, 0xFFFF))
    info.text = windowText(text);
  if (info.text.empty()) {
    for (HWND child : childWindows(info.hwnd, L"Static")) {
      const std::wstring t = windowText(child);
      if (t.size() > info.text.size())
        info.text = t;
    }
  }
  return info;
}

std::optional<MessageBoxInfo> waitForMessageBox(DWORD pid, DWORD limitMs) {
  std::optional<MessageBoxInfo> box;
  waitUntil([&] { return (box = findMessageBox(pid)).has_value(); }, limitMs);
  return box;
}

bool pressOk(const MessageBoxInfo &box) {
  HWND ok = GetDlgItem(box.hwnd, IDOK);
  if (!ok) {
    const auto buttons = childWindows(box.hwnd, L"Button");
    if (buttons.empty())
      return false;
    ok = buttons.front();
  }
  click(centreOf(screenRect(ok)));
  return waitUntil([&] { return !IsWindow(box.hwnd) || !IsWindowVisible(box.hwnd); });
}

int dismissMessageBoxes(DWORD pid, DWORD quietMs) {
  int answered = 0;
  const ULONGLONG end = GetTickCount64() + ULONGLONG{3} * WaitLimitMs;
  ULONGLONG quietSince = GetTickCount64();
  while (GetTickCount64() < end) {
    if (auto box = findMessageBox(pid)) {
      if (!pressOk(*box))
        return answered;
      ++answered;
      quietSince = GetTickCount64();
    } else if (GetTickCount64() - quietSince >= quietMs) {
      break;
    }
    Sleep(50);
  }
  return answered;
}

} // namespace e2e
