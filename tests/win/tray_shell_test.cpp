// The tray icon against Wine's notification area and the desktop menu as USER32 builds it.
// They need a display; without one they skip.
#include <gtest/gtest.h>
#include <windows.h>
// shellapi.h builds on the types of windows.h.
#include <shellapi.h>

#include <set>
#include <string>
#include <vector>

#include "platform/win32/win32_text.h"
#include "platform/win32/win32_tray_number.h"
#include "platform/win32/win32_tray_shell.h"
#include "platform/win32/win32_window_system.h"

namespace {

// An owner like the program's hidden window that remembers the commands it is sent.
std::vector<WPARAM> g_commands;

LRESULT CALLBACK OwnerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_COMMAND) g_commands.push_back(wParam);
  return DefWindowProcA(window, message, wParam, lParam);
}

HWND CreateOwner() {
  static const bool registered = [] {
    WNDCLASSA wc = {};
    wc.lpfnWndProc = OwnerProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "veilswitcherTrayTest";
    return RegisterClassA(&wc) != 0;
  }();
  if (!registered) return nullptr;
  return CreateWindowExA(0, "veilswitcherTrayTest", "tray owner", WS_POPUP, 0, 0, 0, 0, nullptr,
                         nullptr, GetModuleHandleA(nullptr), nullptr);
}

void PumpPending() {
  MSG m;
  while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&m);
}

MenuEntry Item(std::uint32_t id, const char* title) {
  return MenuEntry{id, title, true, true};
}

// Cyrillic, CJK and an emoji outside the basic plane, in UTF-8: none in an 8-bit code page.
constexpr char kUnicode[] = "\xd0\x9f\xd1\x80\xd0\xb8 \xe4\xb8\x96 \xf0\x9f\x98\x80";

// Desktop 1 holds A and B, desktop 2 (current) P and Q, desktop 3 nothing.
DesktopMenuModel ThreeDesktops() {
  DesktopMenuModel model;
  model.desktops.push_back({904, "Desk 1", false, {Item(1, "A"), Item(2, kUnicode)}});
  model.desktops.push_back({905, "Desk 2", true, {Item(3, "P & Q"), Item(4, "Q")}});
  model.desktops.push_back({906, "Desk 3", false, {MenuEntry{5, "empty ;|", false}}});
  return model;
}

// As UTF-8: the window items are Unicode.
std::string TextAt(HMENU menu, int position) {
  wchar_t text[128] = {};
  const int chars = GetMenuStringW(menu, position, text, 128, MF_BYPOSITION);
  return WideToUtf8(text, chars);
}

UINT StateAt(HMENU menu, int position) {
  return GetMenuState(menu, position, MF_BYPOSITION);
}

std::vector<HMENU> MenusOf(HMENU popup) {
  std::vector<HMENU> menus = {popup};
  for (int i = 0; i < GetMenuItemCount(popup); ++i)
    if (HMENU sub = GetSubMenu(popup, i)) menus.push_back(sub);
  return menus;
}

class TrayTest : public ::testing::Test {
 protected:
  void SetUp() override {
    owner_ = CreateOwner();
    if (owner_ == nullptr)
      GTEST_SKIP() << "no window could be created: run under Wine with DISPLAY set (Xvfb)";
    g_commands.clear();
  }
  void TearDown() override {
    if (owner_ != nullptr) DestroyWindow(owner_);
  }
  HWND owner_ = nullptr;
};

using TrayMenu = TrayTest;

TEST_F(TrayMenu, DesktopsOpenSubmenusOfNumberedWindowsAboveAboutAndExit) {
  Win32TrayShell tray;
  HMENU popup = tray.BuildMenu(ThreeDesktops());
  ASSERT_TRUE(IsMenu(popup));
  ASSERT_EQ(GetMenuItemCount(popup), 7);

  const char* names[] = {"Desk 1", "Desk 2", "Desk 3"};
  for (int i = 0; i < 3; ++i) {
    SCOPED_TRACE(names[i]);
    EXPECT_EQ(TextAt(popup, i), names[i]);
    EXPECT_NE(GetSubMenu(popup, i), nullptr);
    EXPECT_EQ(GetMenuItemID(popup, i), static_cast<UINT>(-1)) << "a submenu item sends nothing";
    EXPECT_EQ((StateAt(popup, i) & MF_CHECKED) != 0, i == 1) << "only the current one is checked";
  }

  HMENU first = GetSubMenu(popup, 0), second = GetSubMenu(popup, 1), third = GetSubMenu(popup, 2);
  ASSERT_EQ(GetMenuItemCount(first), 2);
  ASSERT_EQ(GetMenuItemCount(second), 2);
  EXPECT_EQ(GetMenuItemID(first, 0), 1u);
  EXPECT_EQ(TextAt(first, 0), "A");
  EXPECT_EQ(GetMenuItemID(first, 1), 2u);
  EXPECT_EQ(TextAt(first, 1), kUnicode) << "titles are handed on as they are";
  EXPECT_EQ(GetMenuItemID(second, 0), 3u);
  EXPECT_EQ(TextAt(second, 0), "P && Q") << "a title's & is no shortcut mark";
  EXPECT_EQ(GetMenuItemID(second, 1), 4u);
  EXPECT_EQ(TextAt(second, 1), "Q");
  EXPECT_EQ(StateAt(second, 1) & (MF_DISABLED | MF_GRAYED), 0u);

  ASSERT_EQ(GetMenuItemCount(third), 1);
  EXPECT_EQ(TextAt(third, 0), "empty ;|");
  EXPECT_EQ(GetMenuItemID(third, 0), 5u);
  EXPECT_EQ(StateAt(third, 0) & (MF_DISABLED | MF_GRAYED),
            static_cast<UINT>(MF_DISABLED | MF_GRAYED));

  EXPECT_NE(StateAt(popup, 3) & MF_SEPARATOR, 0u);
  EXPECT_EQ(GetMenuItemID(popup, 4), 902u);
  EXPECT_EQ(TextAt(popup, 4), "More options...");
  EXPECT_EQ(GetMenuItemID(popup, 5), 901u);
  EXPECT_EQ(TextAt(popup, 5), "About");
  EXPECT_EQ(GetMenuItemID(popup, 6), 900u);
  EXPECT_EQ(TextAt(popup, 6), "Exit");
  tray.DestroyMenus();
}

TEST_F(TrayMenu, NoDesktopsLeavesSeparatorMoreAboutAndExit) {
  Win32TrayShell tray;
  HMENU popup = tray.BuildMenu(DesktopMenuModel{});
  ASSERT_EQ(GetMenuItemCount(popup), 4);
  EXPECT_NE(StateAt(popup, 0) & MF_SEPARATOR, 0u);
  EXPECT_EQ(GetMenuItemID(popup, 1), 902u);
  EXPECT_EQ(GetMenuItemID(popup, 2), 901u);
  EXPECT_EQ(GetMenuItemID(popup, 3), 900u);
  tray.DestroyMenus();
}

TEST_F(TrayMenu, EachBuildDestroysEveryMenuOfThePreviousOne) {
  Win32TrayShell tray;
  std::vector<HMENU> first = MenusOf(tray.BuildMenu(ThreeDesktops()));
  ASSERT_EQ(first.size(), 4u);
  HMENU popup = tray.BuildMenu(ThreeDesktops());
  for (HMENU old : first) EXPECT_FALSE(IsMenu(old));
  EXPECT_EQ(GetMenuItemCount(popup), 7) << "the second build is whole again";

  std::vector<HMENU> second = MenusOf(popup);
  tray.DestroyMenus();
  for (HMENU gone : second) EXPECT_FALSE(IsMenu(gone));
  tray.DestroyMenus();  // nothing left to destroy: harmless
}

// While the menu is tracked its own loop runs; the keys are read from the thread's queue there.
void CALLBACK ChooseFirstWindowItem(HWND, UINT, UINT_PTR id, DWORD) {
  KillTimer(nullptr, id);
  HWND owner = FindWindowA("veilswitcherTrayTest", nullptr);
  for (WPARAM key : {VK_DOWN, VK_RIGHT, VK_RETURN}) PostMessageA(owner, WM_KEYDOWN, key, 1);
}

void CALLBACK CloseMenu(HWND, UINT, UINT_PTR id, DWORD) {
  KillTimer(nullptr, id);
  EndMenu();
}

TEST_F(TrayMenu, ChoosingAWindowItemSendsItsNumberToTheOwnerAfterTheMenuCloses) {
  Win32TrayShell tray;
  UINT_PTR choose = SetTimer(nullptr, 0, 300, ChooseFirstWindowItem);
  UINT_PTR safety = SetTimer(nullptr, 0, 8000, CloseMenu);
  tray.TrackDesktopMenu(ThreeDesktops(), ToWindowId(owner_));
  KillTimer(nullptr, choose);
  KillTimer(nullptr, safety);
  PumpPending();
  ASSERT_EQ(g_commands.size(), 1u);
  EXPECT_EQ(g_commands[0], 1u) << "desktop 1's first window, A";
  tray.DestroyMenus();
}

using TrayIcon = TrayTest;

// NIM_MODIFY answers whether the shell holds an icon for (owner, id 0) right now.
bool ShellHoldsIcon(HWND owner) {
  NOTIFYICONDATAA probe = {};
  probe.cbSize = Win32TrayShell::kIconRecordSize;
  probe.hWnd = owner;
  probe.uID = 0;
  return Shell_NotifyIconA(NIM_MODIFY, &probe) != FALSE;
}

TEST_F(TrayIcon, AddPutsTheIconOfTheOwnerInTheTrayAndRemoveTakesItAway) {
  Win32TrayShell tray;
  ASSERT_TRUE(tray.AddIcon(ToWindowId(owner_)));
  EXPECT_TRUE(ShellHoldsIcon(owner_));
  Win32TrayShell again;
  EXPECT_FALSE(again.AddIcon(ToWindowId(owner_))) << "the same owner and id are taken";
  tray.RemoveIcon();
  EXPECT_FALSE(ShellHoldsIcon(owner_));
}

TEST_F(TrayIcon, RemoveWithoutAddIsHarmless) {
  Win32TrayShell tray;
  tray.RemoveIcon();
  EXPECT_FALSE(ShellHoldsIcon(owner_));
  EXPECT_TRUE(tray.AddIcon(ToWindowId(owner_)));
  tray.RemoveIcon();
}

// The digits are black on a light taskbar and white on a dark one, the rest transparent.
TEST(TrayNumberDrawing, InkFollowsTheTaskbarsTheme) {
  for (bool light : {true, false}) {
    HICON icon = Win32TrayNumber::DrawNumber(8, 16, light);
    ICONINFO info = {};
    ASSERT_TRUE(GetIconInfo(icon, &info));
    std::vector<DWORD> px(256);
    BITMAPINFO bi = {{sizeof(BITMAPINFOHEADER), 16, -16, 1, 32, BI_RGB, 0, 0, 0, 0, 0}, {}};
    HDC dc = GetDC(nullptr);
    GetDIBits(dc, info.hbmColor, 0, 16, px.data(), &bi, DIB_RGB_COLORS);
    ReleaseDC(nullptr, dc);
    std::set<DWORD> colours(px.begin(), px.end());
    EXPECT_EQ(colours, (std::set<DWORD>{0, light ? 0xFF000000u : 0xFFFFFFFFu}));
    DeleteObject(info.hbmColor), DeleteObject(info.hbmMask), DestroyIcon(icon);
  }
}

// What the process could still make of GDI objects: brushes made until the system refuses one.
int FreeGdiHandles() {
  std::vector<HBRUSH> brushes;
  for (HBRUSH b; brushes.size() < 200000 && (b = CreateSolidBrush(0)) != nullptr;)
    brushes.push_back(b);
  for (HBRUSH b : brushes) DeleteObject(b);
  return static_cast<int>(brushes.size());
}

// 1000 redraws in the tray: each destroys the icon it replaces and no GDI or USER object is
// left behind. Windows counts them; Wine answers 0, so there the handles still free are counted.
TEST_F(TrayIcon, EveryRedrawDestroysTheIconBeforeAndNoHandleGrows) {
  Win32TrayShell tray;
  ASSERT_TRUE(tray.AddIcon(ToWindowId(owner_)));
  Win32TrayNumber number(tray);
  number.ShowNumber(1, "One");
  const DWORD gdi = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
  const DWORD user = GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS);
  const int free = FreeGdiHandles();
  ICONINFO info = {};
  for (int i = 0; i < 1000; ++i) {
    HICON before = number.Icon();
    number.ShowNumber(i % 99 + 1, "Desk");
    ASSERT_FALSE(GetIconInfo(before, &info)) << "redraw " << i << " kept the icon it replaced";
  }
  EXPECT_LE(GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS), gdi);
  EXPECT_LE(GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS), user);
  EXPECT_GE(FreeGdiHandles(), free);
  number.ShowPlain();
  EXPECT_EQ(number.Icon(), nullptr);
  tray.RemoveIcon();
}

}  // namespace
