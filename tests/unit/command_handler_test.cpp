#include <algorithm>
#include <iterator>
#include <sstream>

#include "commands/command_messages.h"
#include "test_support.h"

namespace vt {
namespace {

// The running copy (desktops One, Two, Three; windows A and B on One) asked by a client window.
class Commands : public Running {
 protected:
  void SetUp() override {
    StartWith();
    h.OpenWindows({"A", "B"});
  }
  // The message's result, then the answer's code and text ("-" when none was sent).
  std::string Ask(const std::string& bytes, std::uintptr_t tag = kRequestTag, WindowId from = 9) {
    const std::size_t before = h.host.Sent().size();
    std::vector<std::uint8_t> block(bytes.begin(), bytes.end());  // nothing readable past it
    CopyData copy{tag, block.data(), block.size()};
    std::intptr_t result = -1;
    h.app().OnWindowMessage(msg::kCopyData, from, reinterpret_cast<std::intptr_t>(&copy), &result);
    Reply reply;
    const auto& all = h.host.Sent();  // watchers' lines may follow the answer
    auto sent = std::find_if(all.begin() + static_cast<long>(before), all.end(),
                             [](const FakeWindowHost::DataSent& d) { return d.tag != kEventTag; });
    if (sent == all.end()) return std::to_string(result) + " -";
    EXPECT_TRUE(sent->to == from && sent->tag == kReplyTag &&
                DecodeReply(reinterpret_cast<const std::uint8_t*>(sent->bytes.data()),
                            sent->bytes.size(), &reply));
    return std::to_string(result) + " " + std::to_string(reply.code) + " " + reply.text;
  }
  // Commands one after the other ("/switch 2; /pin"), their answers laid end to end.
  std::string Run(const std::string& lines) {
    std::string answers, reason;
    std::istringstream in(lines);
    for (std::string line; std::getline(in, line, ';');) {
      std::istringstream words(line);
      Command command;  // a line refused here would show as the usage, /help's answer
      ParseCommandLine(Strings(std::istream_iterator<std::string>(words), {}), &command, &reason);
      answers += Ask(EncodeRequest(command));
    }
    return answers;
  }
  // What a command could change: the current desktop, every list, what is visible.
  std::string State() {
    std::string s = std::to_string(h.app().CurrentDesktop());
    for (DesktopNumber n = 1; n <= 3; ++n)
      for (const std::string& t : h.Titles(n)) s += " " + std::to_string(n) + ":" + t;
    for (WindowId w : h.windows.ZOrder())
      s += " " + h.windows.TitleOf(w) + (h.windows.IsVisible(w) ? "+" : "-");
    return s;
  }
};

TEST_F(Commands, MissingDesktopsGarbageAndOpenDialogsAreRefusedWithAnAnswerChangingNothing) {
  const std::string before = State();
  const auto stored = h.store.Snapshot();
  for (const char* target : {"9", "4", "0", "-1", "Four"})
    EXPECT_THAT(Run("/switch " + std::string(target)), ::testing::StartsWith("3 1 no desktop"));
  for (const std::string& bytes :
       {std::string(), std::string(1, '\0'), std::string("\x90\x91"), std::string(100000, 'x'),
        std::string("/switch\0ABCDEFGHIJKLMNOP\0", 25), std::string("/reboot\0", 8)})
    EXPECT_THAT(Ask(bytes), ::testing::StartsWith("1 1 bad request: ")) << bytes.size();
  // Not a request, or no window to answer: not taken, and nothing is sent anywhere.
  EXPECT_EQ(Ask(std::string("/exit\0", 6), 0x1234), "0 -");
  EXPECT_EQ(Ask(std::string("/exit\0", 6), kRequestTag, 0), "0 -");
  EXPECT_EQ(h.store.Snapshot(), stored);
  std::string inDialog;
  h.dialogs.onOptions = [&](CVirtualDeskApp&) { inDialog = Run("/switch 2"); };
  std::intptr_t result = 0;
  h.app().OnWindowMessage(msg::kTrayNotify, 0, msg::kLButtonDown, &result);
  EXPECT_EQ(inDialog, "1 1 a dialog, message box or menu of veilswitcher is open\n");
  EXPECT_EQ(State(), before);
}

TEST_F(Commands, EachCommandAsItsHotkey) {
  std::string inSwitch;
  h.windows.WhileWaiting([&] { return !(inSwitch = Run("/switch 3")).empty(); });
  h.windows.ClickOn(h.windows.ZOrder()[0]);  // B
  EXPECT_EQ(Run("/send next"), "3 0 ");
  EXPECT_EQ(inSwitch, "2 -");  // busy inside the send's wait, and nothing answered
  EXPECT_EQ(State(), "1 2:B B- A+ veilswitcherAppWin-");
  EXPECT_EQ(Run("/switch two; /switch last"), "3 0 3 0 ");      // a name in any case
  EXPECT_EQ(Run("/switch prev"), "3 1 no previous desktop\n");  // no wrap-around
  EXPECT_EQ(Run("/switch next; /pin; /switch 1"), "3 0 3 0 3 0 ");
  EXPECT_EQ(State(), "1 1:A A+ B+ veilswitcherAppWin-");  // B is pinned: it came along
  h.windows.ClickOn(h.windows.ZOrder()[1]);               // B, unpinned: it stays here now
  EXPECT_EQ(Run("/pin; /send Three /follow"), "3 0 3 0 ");
  EXPECT_EQ(State(), "3 1:A 3:B B+ A- veilswitcherAppWin-");
  EXPECT_THAT(Run("/send 3"), ::testing::StartsWith("3 1 nothing to send"));
  h.windows.ClickOn(h.host.Hidden());
  EXPECT_EQ(Run("/pin"), "3 1 the foreground window cannot be pinned\n");
  EXPECT_EQ(State(), "3 1:A 3:B veilswitcherAppWin- B+ A-");
  std::uint32_t lParam = 0, message = 0;
  ASSERT_TRUE(h.hotkeys.Press(kAlt, kF1, &lParam));
  h.host.PostThread(kWmHotkey, lParam);
  EXPECT_EQ(Run("/switch 2; /switch 2"), "2 -3 0 ");  // asked again after the key's switch
  EXPECT_EQ(h.app().LastDesktop(), 1);  // the key pressed before the request came first
  EXPECT_FALSE(h.host.NextMessage(&message, &lParam));  // and the loop will not see it again
}

// Looking for the keys pressed before a request lets sent messages in: a second request then is
// asked again, as one arriving in an operation is, and nothing of it runs inside the first.
TEST_F(Commands, ARequestArrivingWhileKeysAreCollectedWaitsItsTurn) {
  std::uint32_t lParam = 0;
  ASSERT_TRUE(h.hotkeys.Press(kAlt, kF3, &lParam));
  h.host.PostThread(kWmHotkey, lParam);
  std::string nested;
  h.windows.WhileWaiting([&] {
    nested = Run("/switch 2");
    return true;
  });
  EXPECT_EQ(Run("/switch 1"), "2 -");
  EXPECT_EQ(nested, "2 -");
  EXPECT_EQ(h.app().CurrentDesktop(), 3);
}

// An elevated foreground window refuses the hide: the send is refused and the view stays.
TEST_F(Commands, ASendThatMovedNothingIsRefused) {
  h.windows.SetElevated(h.windows.Foreground());
  const std::string before = State();
  EXPECT_EQ(Run("/send 2 /follow"), "3 1 nothing to send to desktop 2\n");
  EXPECT_EQ(State(), before);
}

// A script names the window: it goes with its group, the foreground window stays; a handle that
// names no window, or one a switch would not take, is refused.
TEST_F(Commands, SendAndPinActOnTheWindowAScriptNames) {
  const WindowId a = h.windows.ZOrder()[1];  // below B, the foreground window
  const WindowId tool = h.windows.Open("A's tool");
  h.windows.SetOwner(tool, a);
  h.windows.ClickOn(h.windows.ZOrder()[1]);  // B
  EXPECT_EQ(Run("/send 3 /window " + std::to_string(a)), "3 0 ");
  EXPECT_EQ(h.Titles(3), (Strings{"A", "A's tool"}));
  EXPECT_EQ(Run("/send 2 /window 0x7777"), "3 1 nothing to send to desktop 2\n");
  EXPECT_EQ(Run("/pin /window " + std::to_string(h.host.Hidden())),
            "3 1 window " + std::to_string(h.host.Hidden()) + " cannot be pinned\n");
  const WindowId b = h.windows.Foreground();
  EXPECT_EQ(Run("/pin /window " + std::to_string(b) + "; /switch 2"), "3 0 3 0 ");
  EXPECT_TRUE(h.windows.IsVisible(b));
}

// The way back from anything: every hidden window comes here, one whose program has not yet taken
// its hide among them, and the other desktops are empty afterwards.
TEST_F(Commands, GatherBringsEveryHiddenWindowHere) {
  h.windows.Open("Hung", true, 5);
  h.windows.Hang(5);
  Run("/switch 2");
  h.windows.Open("C");
  Run("/switch 3");
  EXPECT_EQ(Run("/gather"), "3 0 ");
  h.windows.Wake(5);
  // Hung comes up last, when its program takes the show queued behind its hide.
  EXPECT_EQ(State(), "3 3:A 3:B 3:Hung 3:C Hung+ C+ B+ A+ veilswitcherAppWin-");
}

// Watchers hear every switch, pin and change of the desktops; one that does not take its line is
// dropped at once and holds no later switch up.
TEST_F(Commands, WatchersHearEveryChangeAndOneThatDoesNotAnswerIsDropped) {
  const std::string state =
      "{\"event\": \"state\", \"current\": 1, \"name\": \"One\", \"desktops\": [\"One\", "
      "\"Two\", \"Three\"]}\n";
  Command watch;
  watch.verb = CommandVerb::kWatch;
  EXPECT_EQ(Ask(EncodeRequest(watch), kRequestTag, 9), "3 0 " + state);
  EXPECT_EQ(Ask(EncodeRequest(watch), kRequestTag, 10), "3 0 " + state);
  h.host.HangWatcher(10);
  Run("/switch 2");
  const WindowId pinned = h.windows.Open("P");
  Run("/pin; /switch 1; /send 3");
  ASSERT_TRUE(h.app().SetDesktopName(3, "Drei"));
  auto linesTo = [&](WindowId w) {
    std::string lines;
    for (const auto& sent : h.host.Sent())
      if (sent.to == w && sent.tag == kEventTag) lines += sent.bytes;
    return lines;
  };
  EXPECT_EQ(linesTo(9),
            "{\"event\": \"switch\", \"current\": 2, \"name\": \"Two\"}\n"
            "{\"event\": \"pin\", \"current\": 2, \"name\": \"Two\", \"handle\": " +
                std::to_string(pinned) +
                ", \"pinned\": true}\n"
                "{\"event\": \"switch\", \"current\": 1, \"name\": \"One\"}\n"
                "{\"event\": \"send\", \"current\": 1, \"name\": \"One\", \"desktop\": 3}\n"
                "{\"event\": \"desktops\", \"current\": 1, \"name\": \"One\", \"desktops\": "
                "[\"One\", \"Two\", \"Drei\"]}\n");
  EXPECT_EQ(linesTo(10), "");
  EXPECT_EQ(
      std::count(h.timeline.Events().begin(), h.timeline.Events().end(), "host.Notify timed out"),
      1);
}

// Released before the command waits on anyone, answered only with what came of it: here the
// sent window's program is still busy with the hide at the send's wait, and a request comes.
TEST_F(Commands, ACommandIsTakenBeforeItWaitsAndAnsweredWithWhatCameOfIt) {
  const WindowId slow = h.windows.Open("Slow", true, 7);
  h.windows.ClickOn(slow);
  std::string atWait;
  h.windows.WhileWaiting([&] {
    if (h.windows.CallsOf(FakeWindowSystem::Call::kHideAsync).empty()) return false;
    atWait = std::to_string(h.timeline.Find("host.ReleaseSender 3") >= 0) +
             std::to_string(h.timeline.Find("host.SendData") >= 0) +
             std::to_string(h.windows.IsVisible(slow)) + " " + Run("/switch 3");
    return true;
  });
  EXPECT_EQ(Run("/send next /follow"), "3 0 ");
  EXPECT_EQ(atWait, "101 2 -");  // released, unanswered, the hide still queued; busy
  EXPECT_EQ(State(), "2 1:A 1:B 2:Slow Slow+ B- A- veilswitcherAppWin-");
}

// Once released, the client waits as long as the command runs; still it must have its answer
// before the follow-up switch and its half-second notice, so that it ends before them, and
// nothing that arrives during the command gets in before it.
class CommandsWithNotice : public Commands {
 protected:
  void SetUp() override {
    StartWith(WithNotice());
    h.OpenWindows({"A", "B"});
  }
};

TEST_F(CommandsWithNotice, TheAnswerComesBeforeTheViewFollowsAndNothingGetsInBetween) {
  std::string meanwhile;
  h.windows.WhileWaiting([&] {
    meanwhile += Run("/list");
    std::intptr_t result = 0;
    h.app().OnWindowMessage(msg::kTrayNotify, 0, msg::kLButtonDown, &result);
    return true;
  });
  std::string inDialog;
  h.dialogs.onOptions = [&](CVirtualDeskApp&) { inDialog = State(); };
  EXPECT_EQ(Run("/send next /follow"), "3 0 ");
  EXPECT_EQ(meanwhile, "2 -");  // busy: the client asks again
  EXPECT_LT(h.timeline.Find("host.SendData"), h.timeline.Find("ws.Show"));
  EXPECT_LT(h.timeline.Find("host.ReleaseSender"), h.timeline.Find("tip.Open Two"));
  EXPECT_EQ(inDialog, "2 1:A 2:B B+ A- veilswitcherAppWin-");  // the click waited for the switch
  // A client that gave up before its answer: nothing follows that it was told had failed.
  h.host.LoseData();
  const std::string before = State();
  for (const char* command : {"/switch 1", "/exit", "/switch last"}) Run(command);
  EXPECT_EQ(State(), before);
}

// Titles come as UTF-8 and are printed as they are; the desktop names are 8-bit (here Latin-1).
// Each window with what tells it apart from another of the same title; the pinned ones apart.
TEST_F(Commands, ListTopWindowFirstInUtf8ThenExitAfterTheAnswer) {
  Run("/switch 2");
  const WindowId cafe = h.windows.Open("caf\xc3\xa9 \"\\\t\"");
  const WindowId co = h.windows.Open("\xd0\x9f\xe4\xb8\x96\xf0\x9f\x98\x80 & Co");
  const WindowId pinned = h.windows.Open("Chat");
  h.windows.SetProgram(pinned, "chat.exe");
  h.windows.SetOwnerAndClass(pinned, 77, "Kl\xe4sse");
  ASSERT_EQ(Run("/pin"), "3 0 ");
  ASSERT_TRUE(h.app().SetDesktopName(3, "Tr\xe8s"));
  auto window = [](WindowId w, const std::string& title, const char* program, int pid,
                   const char* cls) {
    return "{\"handle\": " + std::to_string(w) + ", \"title\": \"" + title + "\", \"process\": \"" +
           program + "\", \"pid\": " + std::to_string(pid) + ", \"class\": \"" + cls + "\"}";
  };
  // A and B, opened by the fixture after the hidden window
  const std::string a = window(0x10030, "A", "test.exe", 0x4d0, "TestWindow");
  const std::string b = window(0x10050, "B", "test.exe", 0x4d0, "TestWindow");
  EXPECT_EQ(
      Run("/list"),
      "3 0 {\"version\": 1, \"current\": 2, \"desktops\": [{\"number\": 1, \"name\": "
      "\"One\", \"hotkey\": \"Alt+F1\", \"current\": false, \"windows\": [" +
          b + ", " + a +
          "]}, {\"number\": 2, \"name\": \"Two\", \"hotkey\": \"Alt+F2\", \"current\": "
          "true, \"windows\": [" +
          window(co, "\xd0\x9f\xe4\xb8\x96\xf0\x9f\x98\x80 & Co", "test.exe", 0x4d0, "TestWindow") +
          ", " + window(cafe, "caf\xc3\xa9 \\\"\\\\\\u0009\\\"", "test.exe", 0x4d0, "TestWindow") +
          "]}, {\"number\": 3, \"name\": \"Tr\xc3\xa8s\", \"hotkey\": \"Alt+F3\", "
          "\"current\": false, \"windows\": []}], \"pinned\": [" +
          window(pinned, "Chat", "chat.exe", 77, "Kl\xc3\xa4sse") + "]}\n");
  EXPECT_EQ(h.Titles(2), Strings{});  // listing the current desktop records nothing
  EXPECT_THROW(Run("/exit"), ProcessExit);
  EXPECT_LT(h.timeline.FindLast("host.SendData"), h.timeline.Find("proc.Exit 0"));
  h.Stop();
  for (WindowId w : h.windows.ZOrder()) EXPECT_EQ(h.windows.IsVisible(w), w != h.host.Hidden());
}

}  // namespace
}  // namespace vt
