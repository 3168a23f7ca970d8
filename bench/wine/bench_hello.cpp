// bench_hello: the least a GUI program can do that veilswitcher also does at start-up: register a
// class, create a hidden window and wait in its message loop. Its start-up time under Wine is the
// part of veilswitcher's that the program cannot be blamed for. Ends on WM_CLOSE.
#include <windows.h>

namespace {

LRESULT CALLBACK HelloProc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_DESTROY) PostQuitMessage(0);
  return DefWindowProcA(w, msg, wp, lp);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  WNDCLASSA wc = {};
  wc.lpfnWndProc = HelloProc;
  wc.hInstance = instance;
  wc.lpszClassName = "benchHello";
  if (!RegisterClassA(&wc)) return 1;
  if (!CreateWindowExA(0, wc.lpszClassName, "benchHelloWin", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                       instance, nullptr)) {
    return 1;
  }
  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) DispatchMessageA(&msg);
  return 0;
}
