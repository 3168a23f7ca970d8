// The About box run for real: DialogBoxParamA's own modal loop, probed from inside that loop (see
// modal_probe.h). They need a display; without one they skip.
#include <gtest/gtest.h>
#include <windows.h>

#include <functional>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

#include "dialogs/about_dlg.h"
#include "modal_probe.h"
#include "platform/win32/win32_dialog_runner.h"
#include "res/resource.h"

namespace {

constexpr char kTitle[] = "About veilswitcher";

using modal_probe::TextOf;

HWND FindAbout() {
  return modal_probe::FindDialog(kTitle);
}

bool g_probeRan = false;

// Runs `modal` with `probe` called inside its loop once the box has been shown and painted.
template <typename Modal>
void WithProbe(std::function<void(HWND)> probe, Modal modal) {
  g_probeRan = false;
  modal_probe::Script script;
  script.When(
      "the About box shown", [] { return modal_probe::Settled(FindAbout()); },
      [probe] {
        g_probeRan = true;
        probe(FindAbout());
      });
  script.Run(modal);
}

INT_PTR RunAbout(std::function<void(HWND)> probe) {
  INT_PTR result = -2;
  WithProbe(std::move(probe), [&] {
    CAboutDlg about;
    result = about.DoModal();
    EXPECT_EQ(about.Window(), nullptr);
  });
  return result;
}

std::string ClassOf(HWND window) {
  char name[64] = {};
  GetClassNameA(window, name, sizeof(name));
  return name;
}

// Position and size in dialog units, as the template gives them, in pixels. The dialog manager
// converts the size on its own, not the far corner, so the two are mapped apart.
RECT DialogUnits(HWND about, int x, int y, int width, int height) {
  RECT r = {x, y, width, height};
  MapDialogRect(about, &r);
  return RECT{r.left, r.top, r.left + r.right, r.top + r.bottom};
}

RECT ClientRectOf(HWND about, HWND control) {
  RECT r = {};
  GetWindowRect(control, &r);
  MapWindowPoints(nullptr, about, reinterpret_cast<POINT*>(&r), 2);
  return r;
}

void ClickOk(HWND about) {
  SendMessageA(GetDlgItem(about, IDOK), BM_CLICK, 0, 0);
}

struct ExpectedControl {
  int id;
  const char* className;
  const char* text;  // null: not compared here (the icon's static, the field filled on paint)
  LONG style;        // besides WS_CHILD | WS_VISIBLE
  LONG exStyle;
  int x, y, width, height;
};

const ExpectedControl kControls[] = {
    {IDOK, "Button", "OK", BS_DEFPUSHBUTTON | WS_TABSTOP, WS_EX_STATICEDGE, 45, 123, 50, 14},
    {-1, "Static", "Written by its developers\n/ close your eyes & dream with me /",
     SS_LEFT | SS_NOPREFIX, WS_EX_TRANSPARENT, 15, 98, 115, 17},
    {-1, "Static", "[veilswitcher]\nversion 1", SS_LEFT | WS_GROUP, WS_EX_TRANSPARENT, 7, 7, 47,
     21},
    {-1, "Static", nullptr, SS_ICON, 0, 115, 7, 20, 20},
    {IDC_ABOUT_TEXT, "Edit", nullptr, ES_MULTILINE | ES_AUTOHSCROLL | WS_VSCROLL | WS_TABSTOP,
     WS_EX_STATICEDGE, 7, 33, 128, 50},
};

std::vector<HWND> ChildrenInTabOrder(HWND about) {
  std::vector<HWND> children;
  for (HWND c = GetWindow(about, GW_CHILD); c != nullptr; c = GetWindow(c, GW_HWNDNEXT))
    children.push_back(c);
  return children;
}

void ExpectControl(HWND about, HWND control, const ExpectedControl& want) {
  SCOPED_TRACE(std::string("control ") + want.className + " " + std::to_string(want.id));
  EXPECT_EQ(GetDlgCtrlID(control), want.id);
  EXPECT_STREQ(ClassOf(control).c_str(), want.className);
  if (want.text != nullptr) {
    EXPECT_EQ(TextOf(control), want.text);
  }
  LONG style = GetWindowLongA(control, GWL_STYLE);
  LONG required = WS_CHILD | WS_VISIBLE | want.style;
  EXPECT_EQ(style & required, required) << std::hex << style;
  LONG exStyle = GetWindowLongA(control, GWL_EXSTYLE);
  EXPECT_EQ(exStyle & want.exStyle, want.exStyle) << std::hex << exStyle;
  RECT want_r = DialogUnits(about, want.x, want.y, want.width, want.height);
  RECT got = ClientRectOf(about, control);
  EXPECT_EQ(got.left, want_r.left);
  EXPECT_EQ(got.top, want_r.top);
  // An icon static takes the icon's own size.
  if (want.style == SS_ICON) return;
  EXPECT_EQ(got.right, want_r.right);
  EXPECT_EQ(got.bottom, want_r.bottom);
}

class DialogsAbout : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!modal_probe::CanCreateWindows()) GTEST_SKIP() << modal_probe::kNoDisplay;
  }
};

TEST_F(DialogsAbout, TemplateGivesTitleFrameFontAndFiveControlsInTabOrder) {
  INT_PTR result = RunAbout([](HWND about) {
    EXPECT_EQ(TextOf(about), kTitle);
    LONG style = GetWindowLongA(about, GWL_STYLE);
    EXPECT_EQ(style & WS_CAPTION, static_cast<LONG>(WS_CAPTION));
    EXPECT_EQ(style & DS_MODALFRAME, static_cast<LONG>(DS_MODALFRAME));
    EXPECT_EQ(style & WS_SYSMENU, 0) << "the caption must have no close box";
    EXPECT_EQ(GetWindow(about, GW_OWNER), nullptr);

    // Unowned, it opens in the middle of the work area.
    RECT box = {}, work = {};
    GetWindowRect(about, &box);
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    EXPECT_NEAR(box.left + box.right, work.left + work.right, 2);
    EXPECT_NEAR(box.top + box.bottom, work.top + work.bottom, 2);

    RECT client = {};
    GetClientRect(about, &client);
    RECT size = DialogUnits(about, 0, 0, 143, 144);
    EXPECT_EQ(client.right, size.right);
    EXPECT_EQ(client.bottom, size.bottom);

    LOGFONTA font = {};
    GetObjectA(reinterpret_cast<HFONT>(SendMessageA(about, WM_GETFONT, 0, 0)), sizeof(font), &font);
    EXPECT_STREQ(font.lfFaceName, "MS Sans Serif");

    std::vector<HWND> children = ChildrenInTabOrder(about);
    ASSERT_EQ(children.size(), std::size(kControls));
    for (std::size_t i = 0; i < children.size(); ++i)
      ExpectControl(about, children[i], kControls[i]);

    EXPECT_EQ(GetWindowLongA(children[1], GWL_STYLE) & WS_GROUP, 0);
    EXPECT_EQ(GetWindowLongA(children[4], GWL_STYLE) & ES_READONLY, 0) << "the field is editable";
    EXPECT_NE(SendMessageA(children[3], STM_GETICON, 0, 0), 0) << "icon 128 is shown";
    ClickOk(about);
  });
  EXPECT_TRUE(g_probeRan);
  EXPECT_EQ(result, IDOK);
}

TEST_F(DialogsAbout, FieldHoldsTheThanksOnceShownAndEveryRepaintPutsItBack) {
  INT_PTR result = RunAbout([](HWND about) {
    HWND field = GetDlgItem(about, IDC_ABOUT_TEXT);
    ASSERT_NE(field, nullptr);
    EXPECT_TRUE(IsWindowVisible(about));
    EXPECT_EQ(TextOf(field), kAboutThanksText);

    SetWindowTextA(field, "");
    ASSERT_EQ(TextOf(field), "");
    InvalidateRect(about, nullptr, TRUE);
    UpdateWindow(about);
    EXPECT_EQ(TextOf(field), kAboutThanksText);

    SetWindowTextA(field, "typed over");
    RECT corner = {0, 0, 4, 4};  // any part of the box will do
    InvalidateRect(about, &corner, TRUE);
    UpdateWindow(about);
    EXPECT_EQ(TextOf(field), kAboutThanksText);
    ClickOk(about);
  });
  EXPECT_TRUE(g_probeRan);
  EXPECT_EQ(result, IDOK);
  EXPECT_EQ(FindAbout(), nullptr);
}

TEST_F(DialogsAbout, ThanksTextHasTheDedicationHeadingTwoColumnNamesAndPostscript) {
  std::vector<std::string> lines;
  std::string text = kAboutThanksText;
  for (std::size_t start = 0;;) {
    std::size_t end = text.find("\r\n", start);
    lines.push_back(text.substr(start, end - start));
    if (end == std::string::npos) break;
    start = end + 2;
  }
  ASSERT_EQ(lines.size(), 9u);
  for (const std::string& line : lines)
    EXPECT_EQ(line.find_first_of("\r\n"), std::string::npos) << "a line break other than CR LF";
  EXPECT_FALSE(lines[0].empty());
  EXPECT_FALSE(lines[1].empty());
  EXPECT_TRUE(lines[2].empty());
  EXPECT_FALSE(lines[3].empty());
  for (int i = 4; i < 7; ++i) {
    std::size_t tabs = lines[i].find("\t\t");
    EXPECT_NE(tabs, std::string::npos) << lines[i];
    EXPECT_GT(tabs, 0u);
    EXPECT_LT(tabs + 2, lines[i].size());
  }
  EXPECT_TRUE(lines[7].empty());
  EXPECT_FALSE(lines[8].empty());
}

TEST_F(DialogsAbout, EnterEndsWithOkAndEscWithCancel) {
  auto press = [](WPARAM key) {
    return [key](HWND about) {
      // The dialog manager reads keys from its queue in IsDialogMessage, whoever posted them.
      HWND ok = GetDlgItem(about, IDOK);
      PostMessageA(ok, WM_KEYDOWN, key, 1);
      PostMessageA(ok, WM_KEYUP, key, 0xC0000001);
    };
  };
  EXPECT_EQ(RunAbout(press(VK_RETURN)), IDOK);
  EXPECT_EQ(RunAbout(press(VK_ESCAPE)), IDCANCEL);
}

// Two of the program's dialogs open at once, the second beside the first (owned by another
// window, as when it comes from the notification area): each takes its own keys although only
// the second one's loop runs.
TEST_F(DialogsAbout, KeysReachBothOfTwoOpenDialogs) {
  HWND elsewhere = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                                   GetModuleHandleA(nullptr), nullptr);
  CAboutDlg first;
  ModalDialog second(IDD_ABOUTBOX, elsewhere);
  INT_PTR firstResult = -2, secondResult = -2;
  modal_probe::Script script;
  script.When("the first box shown", modal_probe::Shown(kTitle),
              [&] { secondResult = second.DoModal(); });
  script.When(
      "the second box shown", [&] { return modal_probe::Settled(second.Window()); },
      [&] { modal_probe::PostKey(GetDlgItem(first.Window(), IDOK), VK_ESCAPE); });
  script.When(
      "the first box ended by its Esc", [&] { return !IsWindowVisible(first.Window()); },
      [&] { modal_probe::PostKey(GetDlgItem(second.Window(), IDOK), VK_RETURN); });
  script.Run([&] { firstResult = first.DoModal(); });
  DestroyWindow(elsewhere);
  EXPECT_EQ(firstResult, IDCANCEL);
  EXPECT_EQ(secondResult, IDOK);
}

TEST_F(DialogsAbout, RunnerShowsTheBoxWithNoOwnerAndReturnsWhenItCloses) {
  Win32DialogRunner runner;
  bool shown = false;
  WithProbe(
      [&](HWND about) {
        shown = IsWindowVisible(about) && GetWindow(about, GW_OWNER) == nullptr;
        ClickOk(about);
      },
      [&] { runner.RunAbout(); });
  EXPECT_TRUE(shown);
  EXPECT_EQ(FindAbout(), nullptr);
}

// A picture drawn for each size the shell asks for at 96, 120, 144 and 192 DPI: the group
// directory lists their widths and heights (14-byte entries after a 6-byte header).
TEST_F(DialogsAbout, IconResourceHoldsOnePicturePerSize) {
  HMODULE module = GetModuleHandleA(nullptr);
  HRSRC group = FindResourceA(module, MAKEINTRESOURCEA(IDI_MAIN), RT_GROUP_ICON);
  ASSERT_NE(group, nullptr);
  const auto* directory = static_cast<const BYTE*>(LockResource(LoadResource(module, group)));
  ASSERT_NE(directory, nullptr);
  std::vector<std::pair<int, int>> sizes;
  for (int i = 0; i < (directory[4] | directory[5] << 8); ++i)
    sizes.emplace_back(directory[6 + 14 * i], directory[7 + 14 * i]);
  EXPECT_EQ(sizes, (std::vector<std::pair<int, int>>{{16, 16}, {20, 20}, {24, 24}, {32, 32}}));
}

}  // namespace
