#include "commands/command_messages.h"
#include "shell/desktop_menu.h"
#include "test_support.h"

namespace vt {
namespace {

constexpr WindowId kClient = 0x5150;

// The running copy over stored settings (desktops One, Two, Three), asked by a client window.
class Commands : public Running {
 protected:
  struct Answer {
    std::intptr_t result = -1;
    int code = -1;  // -1: no answer sent
    std::string text;
  };

  Answer Ask(const std::string& bytes, std::uintptr_t tag = kRequestTag, WindowId from = kClient) {
    const std::size_t sentBefore = h.host.Sent().size();
    std::vector<std::uint8_t> block(bytes.begin(), bytes.end());  // nothing readable past it
    CopyData copy{tag, block.data(), block.size()};
    Answer answer;
    h.app().OnWindowMessage(msg::kCopyData, from, reinterpret_cast<std::intptr_t>(&copy),
                            &answer.result);
    if (h.host.Sent().size() == sentBefore) return answer;
    const FakeWindowHost::DataSent& sent = h.host.Sent().back();
    EXPECT_EQ(sent.to, from);
    EXPECT_EQ(sent.tag, kReplyTag);
    Reply reply;
    EXPECT_TRUE(DecodeReply(reinterpret_cast<const std::uint8_t*>(sent.bytes.data()),
                            sent.bytes.size(), &reply));
    answer.code = reply.code;
    answer.text = reply.text;
    return answer;
  }
  Answer Run(const Strings& args) {
    Command command;
    std::string reason;
    EXPECT_TRUE(ParseCommandLine(args, &command, &reason)) << reason;
    return Ask(EncodeRequest(command));
  }

  // What a command could change: the current desktop, every list, what is visible.
  std::string State() {
    std::string s = "current " + std::to_string(h.app().CurrentDesktop());
    for (DesktopNumber n = 1; n <= 3; ++n)
      for (const std::string& t : h.Titles(n)) s += " " + std::to_string(n) + ":" + t;
    for (WindowId w : h.windows.ZOrder())
      s += " " + h.windows.TitleOf(w) + (h.windows.IsVisible(w) ? "+" : "-");
    return s;
  }
  void SetUp() override {
    StartWith();
    h.OpenWindows({"A", "B"});
    stored_ = h.store.Snapshot();
  }
  FakeSettingsStore::Contents stored_;
};

TEST_F(Commands, SwitchByNumberAndByNameAsTheHotkeyDoes) {
  Answer a = Run({"/switch", "2"});
  EXPECT_EQ(a.result, kRequestAnswered);
  EXPECT_EQ(a.code, kExitDone);
  EXPECT_EQ(State(), "current 2 1:A 1:B B- A- veilswitcherAppWin-");
  a = Run({"/switch", "oNE"});  // the registry's rule: case does not matter
  EXPECT_EQ(a.code, kExitDone);
  EXPECT_EQ(State(), "current 1 1:A 1:B B+ A+ veilswitcherAppWin-");
}

TEST_F(Commands, NextPrevLastSendAndPinAsTheirHotkeys) {
  const WindowId b = h.windows.ZOrder()[0];
  h.windows.ClickOn(b);
  EXPECT_EQ(Run({"/send", "next"}).code, kExitDone);
  EXPECT_EQ(State(), "current 1 2:B B- A+ veilswitcherAppWin-");
  EXPECT_EQ(Run({"/switch", "next"}).code, kExitDone);
  EXPECT_EQ(Run({"/switch", "last"}).code, kExitDone);
  EXPECT_EQ(h.app().CurrentDesktop(), 1);
  const Answer none = Run({"/switch", "prev"});  // no wrap-around: desktop 1 has none
  EXPECT_EQ(none.code, kExitRefused);
  EXPECT_EQ(none.text, "no previous desktop\n");
  EXPECT_EQ(Run({"/switch", "last"}).code, kExitDone);
  EXPECT_EQ(State(), "current 2 1:A 2:B B+ A- veilswitcherAppWin-");
  EXPECT_EQ(Run({"/pin"}).code, kExitDone);
  EXPECT_EQ(Run({"/switch", "prev"}).code, kExitDone);
  EXPECT_EQ(State(), "current 1 1:A A+ B+ veilswitcherAppWin-");  // pinned, B came along
  h.windows.ClickOn(b);
  EXPECT_EQ(Run({"/pin"}).code, kExitDone);  // unpinned: it stays here now
  EXPECT_EQ(Run({"/send", "Three", "/follow"}).code, kExitDone);
  EXPECT_EQ(State(), "current 3 1:A 3:B B+ A- veilswitcherAppWin-");
  EXPECT_EQ(Run({"/send", "3"}).code, kExitRefused);  // it is there already
  h.windows.ClickOn(h.host.Hidden());
  const std::string before = State();
  EXPECT_EQ(Run({"/pin"}).code, kExitRefused);  // nothing of another program in front
  EXPECT_EQ(Run({"/send", "1"}).code, kExitRefused);
  EXPECT_EQ(State(), before);
}

TEST_F(Commands, KeysPressedBeforeARequestComeFirstAndOnlyOnce) {
  std::uint32_t lParam = 0;
  ASSERT_TRUE(h.hotkeys.Press(kAlt, kF3, &lParam));
  h.host.PostThread(kWmHotkey, lParam);
  EXPECT_EQ(Run({"/switch", "2"}).code, kExitDone);
  EXPECT_EQ(h.app().CurrentDesktop(), 2);
  EXPECT_EQ(h.app().LastDesktop(), 3);
  std::uint32_t message = 0;
  EXPECT_FALSE(h.host.NextMessage(&message, &lParam));  // the loop will not see the key again
}

TEST_F(Commands, NoSuchDesktopIsRefusedAndChangesNothing) {
  const std::string before = State();
  for (const Strings& args :
       {Strings{"/switch", "9"}, Strings{"/switch", "4"}, Strings{"/switch", "0"},
        Strings{"/switch", "-1"}, Strings{"/switch", "Four"}}) {
    const Answer a = Run(args);
    EXPECT_EQ(a.result, kRequestAnswered);
    EXPECT_EQ(a.code, kExitRefused) << args[1];
    EXPECT_THAT(a.text, ::testing::StartsWith("no desktop")) << args[1];
  }
  EXPECT_EQ(State(), before);
  EXPECT_EQ(h.store.Snapshot(), stored_);
}

TEST_F(Commands, GarbageIsRefusedWithAnAnswerAndChangesNothing) {
  const std::string before = State();
  const std::string garbage[] = {std::string(),
                                 std::string(1, '\0'),
                                 "/switch",
                                 "\x90\x91\x92",
                                 std::string("/switch\0ABCDEFGHIJKLMNOP\0", 25),
                                 std::string(100000, '\x7f'),
                                 std::string("/reboot\0", 8)};
  for (const std::string& bytes : garbage) {
    const Answer a = Ask(bytes);
    EXPECT_EQ(a.result, kRequestAnswered);
    EXPECT_EQ(a.code, kExitRefused);
    EXPECT_THAT(a.text, ::testing::StartsWith("bad request: "));
  }
  // Not a request, or no window to answer: not taken, and nothing is sent anywhere.
  EXPECT_EQ(Ask(std::string("/exit\0", 6), 0x1234).code, -1);
  EXPECT_EQ(Ask(std::string("/exit\0", 6), kRequestTag, 0).result, kRequestNotTaken);
  EXPECT_EQ(State(), before);
  EXPECT_EQ(h.store.Snapshot(), stored_);
}

TEST_F(Commands, RefusedWhileADialogIsOpen) {
  std::vector<int> codes;
  h.dialogs.onOptions = [&](CVirtualDeskApp&) { codes.push_back(Run({"/switch", "2"}).code); };
  h.dialogs.onAbout = [&] { codes.push_back(Run({"/exit"}).code); };
  std::intptr_t result = 0;
  h.app().OnWindowMessage(msg::kTrayNotify, 0, msg::kLButtonDown, &result);
  h.app().OnWindowMessage(msg::kCommand, kCmdAbout, 0, &result);
  EXPECT_EQ(codes, (std::vector<int>{kExitRefused, kExitRefused}));
  EXPECT_EQ(h.app().CurrentDesktop(), 1);
  EXPECT_EQ(Run({"/switch", "2"}).code, kExitDone);  // and taken again once they have closed
}

TEST_F(Commands, ListGivesEveryDesktopTopWindowFirstInUtf8) {
  Run({"/switch", "2"});
  h.windows.Open("caf\xe9 \"2\"");
  const Answer a = Run({"/list"});
  EXPECT_EQ(a.code, kExitDone);
  EXPECT_EQ(a.text,
            "{\"current\": 2, \"desktops\": ["
            "{\"number\": 1, \"name\": \"One\", \"hotkey\": \"Alt+F1\", \"windows\": [\"B\", "
            "\"A\"]}, "
            "{\"number\": 2, \"name\": \"Two\", \"hotkey\": \"Alt+F2\", \"windows\": "
            "[\"caf\xc3\xa9 \\\"2\\\"\"]}, "
            "{\"number\": 3, \"name\": \"Three\", \"hotkey\": \"Alt+F3\", \"windows\": []}]}\n");
  EXPECT_EQ(h.Titles(2), Strings{});  // listing the current desktop records nothing
}

TEST_F(Commands, ExitAnswersFirstThenEndsTheWayTheMenuDoes) {
  Run({"/switch", "2"});
  EXPECT_THROW(Run({"/exit"}), ProcessExit);
  EXPECT_EQ(h.process.ExitCode(), 0);
  EXPECT_LT(h.timeline.Find("host.SendData"), h.timeline.Find("proc.Exit 0"));
  h.Stop();
  for (WindowId w : h.windows.ZOrder()) EXPECT_EQ(h.windows.IsVisible(w), w != h.host.Hidden());
}

}  // namespace
}  // namespace vt
