// Cost of one desktop switch against the number of windows, over the in-memory window system,
// and the part of it that keeping the journal of hidden windows takes; then a send of the
// foreground window's group beside a switch that moves the same windows, and a switch with
// pinned windows beside one without. Prints figures; it asserts nothing and is not a test.
#include <chrono>
#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include "fakes/app_harness.h"
#include "settings/hidden_journal.h"

namespace {

using Clock = std::chrono::steady_clock;

double MicrosecondsSince(Clock::time_point begin, int count) {
  return std::chrono::duration<double, std::micro>(Clock::now() - begin).count() / count;
}

// Switches back and forth: every window hidden and recorded, then shown again.
double MicrosecondsPerSwitch(AppHarness& h, int switches) {
  auto begin = Clock::now();
  for (int i = 0; i < switches; ++i) {
    h.app().SwitchToDesktop(static_cast<DesktopNumber>(i % 2 == 0 ? 2 : 1));
    h.windows.ClearLog();  // the fakes keep records for tests; a benchmark must not grow them
    h.timeline.Clear();
  }
  return MicrosecondsSince(begin, switches);
}

// What the same switches spend on the journal, written to a store of its own: each switch away
// writes every listed window before its first hide and the hidden ones at its end; each switch
// back hides nothing, so it writes only at its end (none hidden).
double JournalMicrosecondsPerSwitch(AppHarness& h, int switches) {
  h.app().SwitchToDesktop(2);
  FakeSettingsStore store;
  HiddenJournal journal(store);
  const PendingCalls none;
  auto begin = Clock::now();
  for (int i = 0; i < switches; ++i) {
    const DesktopNumber current = static_cast<DesktopNumber>(i % 2 == 0 ? 2 : 1);
    if (current == 2) journal.Write(HiddenWindowRecords(h.app().Table(), 0, none, h.windows));
    journal.Write(HiddenWindowRecords(h.app().Table(), current, none, h.windows));
  }
  return MicrosecondsSince(begin, switches);
}

void Forget(AppHarness& h) {
  h.windows.ClearLog();
  h.timeline.Clear();
}

// Every window belongs to one program's main window, so the foreground group is all of them.
// Per round: the group sent from desktop 1 to 2 without the view (timed), the view sent after it
// (untimed), then the same windows taken from desktop 2 to an empty desktop 3 by a switch
// (timed) and back to 1 (untimed). Microseconds per send and per switch.
std::pair<double, double> SendBesideSwitch(int count, int rounds) {
  AppHarness h;
  const WindowId main = h.windows.Open("Main");
  for (int i = 1; i < count; ++i)
    h.windows.SetOwner(h.windows.Open("Tool " + std::to_string(i)), main);
  h.Start();
  MoreOptions more = h.app().GetMoreOptions();
  more.sendFollows = false;
  h.app().ApplyMoreOptions(more);
  Clock::duration send{}, swap{};
  for (int i = 0; i < rounds; ++i) {
    h.windows.ClickOn(main);
    auto begin = Clock::now();
    h.app().SendForegroundWindow(2, false);
    send += Clock::now() - begin;
    h.app().SwitchToDesktop(2);
    begin = Clock::now();
    h.app().SwitchToDesktop(3);
    swap += Clock::now() - begin;
    h.app().SwitchToDesktop(2);
    h.app().SendForegroundWindow(1, true);
    Forget(h);
  }
  auto us = [rounds](Clock::duration d) {
    return std::chrono::duration<double, std::micro>(d).count() / rounds;
  };
  return {us(send), us(swap)};
}

// Switches back and forth with `pinned` of the windows pinned; microseconds per switch.
double SwitchWithPinned(int count, int pinned, int switches) {
  AppHarness h;
  std::vector<WindowId> windows;
  for (int i = 0; i < count; ++i) windows.push_back(h.windows.Open("Window " + std::to_string(i)));
  h.Start();
  for (int i = 0; i < pinned; ++i) {
    h.windows.ClickOn(windows[static_cast<size_t>(i)]);
    h.app().TogglePinForeground();
  }
  return MicrosecondsPerSwitch(h, switches);
}

}  // namespace

int main() {
  std::printf("%-10s %-10s %-26s %s\n", "windows", "switches", "microseconds per switch",
              "of which the journal");
  for (int count : {10, 100, 1000}) {
    int switches = count >= 1000 ? 200 : 2000;
    AppHarness h;
    for (int i = 0; i < count; ++i) h.windows.Open("Window " + std::to_string(i));
    h.Start();  // first-run defaults: three desktops; the fake's notice pause costs nothing
    const double all = MicrosecondsPerSwitch(h, switches);
    const double journal = JournalMicrosecondsPerSwitch(h, switches);
    std::printf("%-10d %-10d %-26.2f %.2f (%.0f%%)\n", count, switches, all, journal,
                100.0 * journal / all);
  }
  std::printf("\n%-10s %-26s %s\n", "windows", "microseconds per send",
              "per switch moving the same windows");
  for (int count : {10, 100, 1000}) {
    const auto [send, swap] = SendBesideSwitch(count, count >= 1000 ? 50 : 500);
    std::printf("%-10d %-26.2f %.2f (send / switch %.2f)\n", count, send, swap, send / swap);
  }
  std::printf("\n%-10s %-26s %s\n", "windows", "us per switch, none pinned",
              "with a tenth of them pinned");
  for (int count : {10, 100, 1000}) {
    const int switches = count >= 1000 ? 200 : 2000;
    const double without = SwitchWithPinned(count, 0, switches);
    const double with = SwitchWithPinned(count, count / 10, switches);
    std::printf("%-10d %-26.2f %.2f (with / without %.2f)\n", count, without, with, with / without);
  }
  return 0;
}
