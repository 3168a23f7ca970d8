// Cost of one desktop switch against the number of windows, over the in-memory window system,
// and the part of it that keeping the journal of hidden windows takes. Prints figures; it asserts
// nothing and is not a test.
#include <chrono>
#include <cstdio>
#include <string>

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
  KnownIdentities known;
  const PendingCalls none;
  auto begin = Clock::now();
  for (int i = 0; i < switches; ++i) {
    const DesktopNumber current = static_cast<DesktopNumber>(i % 2 == 0 ? 2 : 1);
    if (current == 2)
      journal.Write(HiddenWindowRecords(h.app().Table(), 0, none, h.windows, known));
    journal.Write(HiddenWindowRecords(h.app().Table(), current, none, h.windows, known));
  }
  return MicrosecondsSince(begin, switches);
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
  return 0;
}
