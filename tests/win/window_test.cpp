// The window system, the hidden window's host, hotkeys and the notice against Wine's window
// manager. They need a display; without one they skip.
#include <gtest/gtest.h>
#include <windows.h>
// commctrl.h builds on the types of windows.h.
#include <commctrl.h>

#include <algorithm>
#include <string>
#include <vector>

#include "platform/win32/win32_hotkey_registrar.h"
#include "platform/win32/win32_notice_tip.h"
#include "platform/win32/win32_window_host.h"
#include "platform/win32/win32_window_system.h"

namespace {

constexpr UINT kAnswerMe = WM_USER + 7;
constexpr UINT kTrayLike = WM_USER + 1;

// Records what the hidden window's procedure hands on; answers one private message itself.
class RecordingHandler : public WindowMessageHandler {
 public:
  bool OnWindowMessage(std::uint32_t message, std::uintptr_t, std::intptr_t lParam,
                       std::intptr_t* result) override {
    seen.push_back(message);
    lastLParam = lParam;
    if (message != kAnswerMe) return false;
    *result = 1234;
    return true;
  }
  bool Saw(std::uint32_t message) const {
    return std::find(seen.begin(), seen.end(), message) != seen.end();
  }
  std::vector<std::uint32_t> seen;
  std::intptr_t lastLParam = 0;
};

// The class can be registered once per process, so the whole program shares one hidden window.
struct HiddenWindow {
  RecordingHandler handler;
  Win32WindowHost host;
  bool registered = false;
  WindowId window = 0;
};

HiddenWindow& Hidden() {
  static HiddenWindow* hidden = [] {
    auto* h = new HiddenWindow;
    h->registered = h->host.RegisterHiddenClass(&h->handler);
    if (h->registered) h->window = h->host.CreateHiddenWindow();
    return h;
  }();
  return *hidden;
}

HWND CreateTitledWindow(const char* title, HWND owner = nullptr) {
  static const bool registered = [] {
    WNDCLASSA wc = {};
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "veilswitcherWinTest";
    return RegisterClassA(&wc) != 0;
  }();
  if (!registered) return nullptr;
  return CreateWindowExA(0, "veilswitcherWinTest", title, WS_OVERLAPPEDWINDOW | WS_VISIBLE, 40, 40,
                         300, 200, owner, nullptr, GetModuleHandleA(nullptr), nullptr);
}

void PumpPending() {
  MSG m;
  while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&m);
}

// Every test here needs a window station with a display behind it.
class WindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (Hidden().window == 0)
      GTEST_SKIP() << "no window could be created: run under Wine with DISPLAY set (Xvfb)";
  }
};

std::vector<WindowId> WalkFrom(WindowSystem& ws, WindowId from) {
  std::vector<WindowId> walk;
  for (WindowId w = ws.FirstWindow(from); w != 0 && walk.size() < 10000; w = ws.NextWindow(w))
    walk.push_back(w);
  return walk;
}

bool Contains(const std::vector<WindowId>& v, WindowId w) {
  return std::find(v.begin(), v.end(), w) != v.end();
}

using WindowSystemTest = WindowTest;

TEST_F(WindowSystemTest, WalkFromTheHiddenWindowFindsATitledVisibleWindow) {
  const std::string title = "veilswitcher test window";
  HWND own = CreateTitledWindow(title.c_str());
  ASSERT_NE(own, nullptr);
  PumpPending();
  Win32WindowSystem ws;
  WindowId w = ToWindowId(own);

  std::vector<WindowId> walk = WalkFrom(ws, Hidden().window);
  EXPECT_TRUE(Contains(walk, w));
  EXPECT_TRUE(Contains(walk, Hidden().window));
  EXPECT_EQ(ws.ReadTitle(w, 275), title);
  EXPECT_EQ(ws.ReadTitle(w, 5), "veil");
  EXPECT_EQ(ws.TitleLength(w), static_cast<int>(title.size()));
  EXPECT_TRUE(ws.IsVisible(w));
  EXPECT_FALSE(ws.IsVisible(Hidden().window));
  EXPECT_TRUE(ws.Exists(w));

  DestroyWindow(own);
  EXPECT_FALSE(ws.Exists(w));
  EXPECT_FALSE(Contains(WalkFrom(ws, Hidden().window), w));
}

// A class of the 8-bit calls would turn the title into the code page's question marks.
HWND CreateUnicodeWindow(const wchar_t* title) {
  static const bool registered = [] {
    WNDCLASSW wc = {};
    wc.lpfnWndProc = DefWindowProcW;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"veilswitcherWinTestW";
    return RegisterClassW(&wc) != 0;
  }();
  if (!registered) return nullptr;
  return CreateWindowExW(0, L"veilswitcherWinTestW", title, WS_OVERLAPPEDWINDOW, 40, 40, 300, 200,
                         nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
}

// Lengths and buffers count UTF-16 units: the emoji takes two, and a cut between them keeps
// neither.
TEST_F(WindowSystemTest, UnicodeTitleReadsBackAsUtf8AndACutSplitsNoPair) {
  HWND own = CreateUnicodeWindow(L"\u041f\u0440\u0438\u0432\u0435\u0442 \u4e16\u754c \U0001F600");
  ASSERT_NE(own, nullptr);
  Win32WindowSystem ws;
  const WindowId w = ToWindowId(own);
  const std::string upToEmoji =
      "\xd0\x9f\xd1\x80\xd0\xb8\xd0\xb2\xd0\xb5\xd1\x82 \xe4\xb8\x96\xe7\x95\x8c ";
  EXPECT_EQ(ws.TitleLength(w), 12);
  EXPECT_EQ(ws.ReadTitle(w, 13), upToEmoji + "\xf0\x9f\x98\x80");
  EXPECT_EQ(ws.ReadTitle(w, 12), upToEmoji);
  EXPECT_EQ(ws.ProgramOf(w), "win_adapter_tests.exe");
  DestroyWindow(own);
}

TEST_F(WindowSystemTest, HideAndShowChangeVisibilityButNotTheWalk) {
  HWND own = CreateTitledWindow("veilswitcher hide me");
  ASSERT_NE(own, nullptr);
  PumpPending();
  Win32WindowSystem ws;
  WindowId w = ToWindowId(own);

  ws.Hide(w);
  EXPECT_FALSE(ws.IsVisible(w));
  EXPECT_TRUE(ws.Exists(w));
  EXPECT_TRUE(Contains(WalkFrom(ws, Hidden().window), w));
  ws.Show(w);
  EXPECT_TRUE(ws.IsVisible(w));
  DestroyWindow(own);
}

TEST_F(WindowSystemTest, UntitledWindowReadsEmpty) {
  HWND own = CreateTitledWindow("");
  ASSERT_NE(own, nullptr);
  Win32WindowSystem ws;
  EXPECT_EQ(ws.ReadTitle(ToWindowId(own), 275), "");
  EXPECT_EQ(ws.TitleLength(ToWindowId(own)), 0);
  DestroyWindow(own);
}

TEST_F(WindowSystemTest, BringToFrontAndActivateReachTheWindow) {
  HWND first = CreateTitledWindow("veilswitcher first");
  HWND second = CreateTitledWindow("veilswitcher second");
  ASSERT_NE(first, nullptr);
  ASSERT_NE(second, nullptr);
  PumpPending();
  Win32WindowSystem ws;

  ws.BringToFront(ToWindowId(first));
  PumpPending();
  EXPECT_EQ(GetForegroundWindow(), first);
  ws.Activate(ToWindowId(second));
  PumpPending();
  EXPECT_EQ(GetActiveWindow(), second);
  DestroyWindow(first);
  DestroyWindow(second);
}

// Owned overlapped windows, as most programs' tool windows are: their owner is no parent.
TEST_F(WindowSystemTest, RootOwnerFollowsOwnersOfOverlappedWindowsAndForegroundIsTheActive) {
  HWND main = CreateTitledWindow("veilswitcher main");
  HWND tool = CreateTitledWindow("veilswitcher tool", main);
  HWND find = CreateTitledWindow("veilswitcher find", tool);
  Win32WindowSystem ws;
  for (HWND w : {main, tool, find}) EXPECT_EQ(ws.RootOwner(ToWindowId(w)), ToWindowId(main));
  ws.BringToFront(ToWindowId(tool));
  EXPECT_EQ(ws.Foreground(), ToWindowId(tool));
  DestroyWindow(main);
}

// A window of another thread of this process, which pumps its messages until it is destroyed
// and counts the WM_SHOWWINDOW it hears, shown and hidden.
class ForeignWindow {
 public:
  ForeignWindow() {
    thread_ = CreateThread(nullptr, 0, Run, this, 0, nullptr);
    while (thread_ && window_ == nullptr && WaitForSingleObject(thread_, 10) == WAIT_TIMEOUT) {
    }
  }
  ~ForeignWindow() {
    if (window_) PostMessageA(window_, WM_CLOSE, 0, 0);
    if (thread_) WaitForSingleObject(thread_, 5000);
    if (thread_) CloseHandle(thread_);
  }
  WindowId Id() const { return ToWindowId(window_); }
  LONG heard[2] = {0, 0};  // [0] hidden, [1] shown

 private:
  static LRESULT CALLBACK Proc(HWND w, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<ForeignWindow*>(GetWindowLongPtrA(w, GWLP_USERDATA));
    if (message == WM_SHOWWINDOW && self) InterlockedIncrement(&self->heard[wParam ? 1 : 0]);
    if (message == WM_DESTROY) PostQuitMessage(0);
    return DefWindowProcA(w, message, wParam, lParam);
  }
  static DWORD WINAPI Run(void* param) {
    auto* self = static_cast<ForeignWindow*>(param);
    WNDCLASSA wc = {};
    wc.lpfnWndProc = Proc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "veilswitcherForeign";
    RegisterClassA(&wc);
    HWND w = CreateWindowExA(0, wc.lpszClassName, "foreign", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 80,
                             80, 200, 100, nullptr, nullptr, wc.hInstance, nullptr);
    SetWindowLongPtrA(w, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    self->window_ = w;
    MSG m;
    while (w && GetMessageA(&m, nullptr, 0, 0) > 0) DispatchMessageA(&m);
    return 0;
  }
  HANDLE thread_ = nullptr;
  HWND volatile window_ = nullptr;
};

// Showing and hiding another thread's window: queued or waited on, the window hears each change
// (a SetWindowPos show would leave it believing it is still hidden), and a show keeps the
// foreground where it was.
TEST_F(WindowSystemTest, AnotherThreadsWindowHearsEveryShowAndHide) {
  HWND own = CreateTitledWindow("veilswitcher foreground");
  ForeignWindow foreign;
  ASSERT_NE(own, nullptr);
  ASSERT_NE(foreign.Id(), 0u);
  Win32WindowSystem ws;
  ws.BringToFront(ToWindowId(own));
  PumpPending();

  EXPECT_TRUE(ws.HideAsync(foreign.Id()));
  ASSERT_TRUE(ws.Settle(foreign.Id()));
  EXPECT_FALSE(ws.IsVisible(foreign.Id()));
  ws.ShowNoActivateAsync(foreign.Id());
  ASSERT_TRUE(ws.Settle(foreign.Id()));
  EXPECT_TRUE(ws.IsVisible(foreign.Id()));
  ws.Hide(foreign.Id());
  ws.ShowNoActivate(foreign.Id());
  ASSERT_TRUE(ws.Settle(foreign.Id()));
  PumpPending();

  EXPECT_TRUE(ws.IsVisible(foreign.Id()));
  EXPECT_EQ(foreign.heard[0], 2);
  EXPECT_EQ(foreign.heard[1], 2);
  EXPECT_EQ(GetForegroundWindow(), own);
  DestroyWindow(own);
}

// The program's own windows change before the call returns, with no message taken, and a hide
// is never reported refused (ShowWindowAsync on the own thread answers the old visibility here).
TEST_F(WindowSystemTest, OwnThreadsWindowChangesAtOnce) {
  HWND own = CreateTitledWindow("veilswitcher own dialog");
  ASSERT_NE(own, nullptr);
  Win32WindowSystem ws;
  const WindowId w = ToWindowId(own);

  EXPECT_TRUE(ws.HideAsync(w));
  EXPECT_FALSE(ws.IsVisible(w));
  EXPECT_TRUE(ws.HideAsync(w));
  ws.ShowNoActivateAsync(w);
  EXPECT_TRUE(ws.IsVisible(w));
  ws.HideAsync(w);
  ws.ShowAsync(w);
  EXPECT_TRUE(ws.IsVisible(w));
  DestroyWindow(own);
}

using WindowHostTest = WindowTest;

TEST_F(WindowHostTest, HiddenWindowIsAnInvisibleNamedPopup) {
  HWND w = ToHwnd(Hidden().window);
  char name[64] = {};
  GetClassNameA(w, name, sizeof(name));
  EXPECT_STREQ(name, "veilswitcherApp");
  // Read through WM_GETTEXT, which the handler leaves to the default procedure.
  GetWindowTextA(w, name, sizeof(name));
  EXPECT_STREQ(name, "veilswitcherAppWin");
  EXPECT_FALSE(IsWindowVisible(w));
  EXPECT_EQ(GetWindowLongA(w, GWL_STYLE) & WS_POPUP, static_cast<LONG>(WS_POPUP));
  EXPECT_EQ(GetParent(w), nullptr);
  // Creation messages reach the handler from inside CreateWindowExA.
  EXPECT_TRUE(Hidden().handler.Saw(WM_NCCREATE));
  EXPECT_TRUE(Hidden().handler.Saw(WM_CREATE));
}

TEST_F(WindowHostTest, HandlerAnswersWhatItHandles) {
  EXPECT_EQ(SendMessageA(ToHwnd(Hidden().window), kAnswerMe, 0, 0), 1234);
}

TEST_F(WindowHostTest, LoopDeliversThreadHotkeysAndDispatchesWindowMessages) {
  Win32WindowHost& host = Hidden().host;
  PumpPending();
  ASSERT_TRUE(PostThreadMessageA(GetCurrentThreadId(), WM_HOTKEY, 1, 0x00270001));
  ASSERT_TRUE(PostMessageA(ToHwnd(Hidden().window), kTrayLike, 0, 0x205));

  std::uint32_t message = 0, lParam = 0;
  ASSERT_TRUE(host.NextMessage(&message, &lParam));
  EXPECT_EQ(message, static_cast<std::uint32_t>(WM_HOTKEY));
  EXPECT_EQ(lParam, 0x00270001u);
  host.DispatchCurrent();

  ASSERT_TRUE(host.NextMessage(&message, &lParam));
  EXPECT_EQ(message, kTrayLike);
  Hidden().handler.seen.clear();
  host.DispatchCurrent();
  EXPECT_TRUE(Hidden().handler.Saw(kTrayLike));
  EXPECT_EQ(Hidden().handler.lastLParam, 0x205);

  host.PostQuit();
  bool quit = false;
  for (int i = 0; i < 100 && !quit; ++i) {
    quit = !host.NextMessage(&message, &lParam);
    if (!quit) host.DispatchCurrent();
  }
  EXPECT_TRUE(quit);
}

using WindowHotkeysTest = WindowTest;

TEST_F(WindowHotkeysTest, ACombinationIsHeldOnceUntilWithdrawn) {
  Win32HotkeyRegistrar hotkeys;
  const UINT mods = MOD_CONTROL | MOD_ALT | MOD_SHIFT;
  ASSERT_TRUE(hotkeys.Register(200, mods, VK_F11));
  EXPECT_FALSE(hotkeys.Register(201, mods, VK_F11));
  hotkeys.Unregister(999);  // unknown: harmless
  hotkeys.Unregister(200);
  EXPECT_TRUE(hotkeys.Register(201, mods, VK_F11));
  hotkeys.Unregister(201);
}

using WindowNoticeTest = WindowTest;

TEST_F(WindowNoticeTest, OpenShowsATopmostTipWithTheTextAndCloseDestroysIt) {
  // The program does this at start; the tooltip class is registered by it.
  INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_WIN95_CLASSES};
  ASSERT_TRUE(InitCommonControlsEx(&controls));
  Win32NoticeTip notice;
  notice.Open("Desk & 1", 0, 0);
  HWND tip = notice.Window();
  ASSERT_NE(tip, nullptr);
  char cls[64] = {};
  GetClassNameA(tip, cls, sizeof(cls));
  EXPECT_STREQ(cls, TOOLTIPS_CLASSA);
  EXPECT_TRUE(IsWindowVisible(tip));
  EXPECT_TRUE(GetWindowLongA(tip, GWL_EXSTYLE) & WS_EX_TOPMOST);
  EXPECT_EQ(SendMessageA(tip, TTM_GETTOOLCOUNT, 0, 0), 1);

  char text[80] = {};
  TOOLINFOA query = {};
  query.cbSize = Win32NoticeTip::kToolRecordSize;
  query.lpszText = text;
  SendMessageA(tip, TTM_GETTEXTA, sizeof(text), reinterpret_cast<LPARAM>(&query));
  EXPECT_STREQ(text, "Desk & 1");

  RECT r = {};
  GetWindowRect(tip, &r);
  EXPECT_GT(r.right - r.left, 0);
  EXPECT_LT(r.left, 64);
  EXPECT_LT(r.top, 64);

  notice.Close();
  EXPECT_FALSE(IsWindow(tip));
  EXPECT_EQ(notice.Window(), nullptr);
}

}  // namespace
