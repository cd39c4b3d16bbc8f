// Stands in for the emulator in end-to-end runs: one top-level window of the
// emulator's class, its command line appended to standin.log beside the
// executable, and an exit when that window closes, as the emulator does when
// the game ends.
//
// Two files beside it, each holding a number of milliseconds, make it
// misbehave as a real emulator may: standin.delay, a wait before its window
// opens (a slow start); standin.freeze, a time after which its window
// thread stops answering for good (a frozen emulator).
#include <windows.h>

#include <string>

namespace {

std::wstring ownFolder() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD n = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (n < path.size()) {
      path.resize(n);
      break;
    }
    path.resize(path.size() * 2);
  }
  return path.substr(0, path.find_last_of(L'\\') + 1);
}

std::string utf8(const wchar_t *text) {
  const int n = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
  if (n <= 1)
    return {};
  std::string out(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text, -1, out.data(), n, nullptr, nullptr);
  out.resize(static_cast<size_t>(n - 1));
  return out;
}

// One line per start; several copies may append at once, so each line goes
// out in a single append.
void logCommandLine() {
  const std::wstring log = ownFolder() + L"standin.log";
  HANDLE file = CreateFileW(log.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE,
                            nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE)
    return;
  const std::string line = utf8(GetCommandLineW()) + "\r\n";
  DWORD written = 0;
  WriteFile(file, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
  CloseHandle(file);
}

// The number a file beside the executable holds, or -1 when there is none.
long optionMs(const wchar_t *name) {
  HANDLE file = CreateFileW((ownFolder() + name).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE)
    return -1;
  char text[16] = {};
  DWORD read = 0;
  ReadFile(file, text, sizeof text - 1, &read, nullptr);
  CloseHandle(file);
  long ms = 0;
  for (DWORD i = 0; i < read && text[i] >= '0' && text[i] <= '9'; ++i)
    ms = ms * 10 + (text[i] - '0');
  return ms;
}

constexpr UINT_PTR FreezeTimer = 1;

LRESULT CALLBACK windowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
  case WM_PAINT: {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd, &ps);
    RECT rc;
    GetClientRect(hwnd, &rc);
    FillRect(dc, &rc, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    SetTextColor(dc, RGB(192, 192, 192));
    SetBkMode(dc, TRANSPARENT);
    DrawTextW(dc, L"DOSBox stand-in", -1, &rc, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    EndPaint(hwnd, &ps);
    return 0;
  }
  case WM_TIMER:
    if (wParam == FreezeTimer)
      Sleep(INFINITE); // no message of this thread is answered from now on
    return 0;
  case WM_DESTROY:
    PostQuitMessage(0);
    return 0;
  default:
    return DefWindowProcW(hwnd, msg, wParam, lParam);
  }
}

} // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int nShowCmd) {
  logCommandLine();
  if (const long delay = optionMs(L"standin.delay"); delay > 0)
    Sleep(static_cast<DWORD>(delay));

  WNDCLASSEXW wc{};
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = windowProc;
  wc.hInstance = instance;
  wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
  wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
  wc.lpszClassName = L"SDL_app";
  if (!RegisterClassExW(&wc))
    return 1;

  HWND hwnd = CreateWindowExW(0, L"SDL_app", L"DOSBox", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                              CW_USEDEFAULT, 640, 480, nullptr, nullptr, instance, nullptr);
  if (!hwnd)
    return 1;
  ShowWindow(hwnd, nShowCmd);
  UpdateWindow(hwnd);
  if (const long freeze = optionMs(L"standin.freeze"); freeze >= 0)
    SetTimer(hwnd, FreezeTimer, static_cast<UINT>(freeze > 0 ? freeze : 1), nullptr);

  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  return static_cast<int>(msg.wParam);
}
