// Cost of one desktop switch against the number of windows, over the in-memory window system.
// Prints figures; it asserts nothing and is not a test.
#include <chrono>
#include <cstdio>
#include <string>

#include "fakes/app_harness.h"

namespace {

double MicrosecondsPerSwitch(int windowCount, int switches) {
  AppHarness h;
  for (int i = 0; i < windowCount; ++i) h.windows.Open("Window " + std::to_string(i));
  h.Start();  // first-run defaults: three desktops; the fake's notice pause costs nothing
  auto begin = std::chrono::steady_clock::now();
  for (int i = 0; i < switches; ++i) {
    h.app().SwitchToDesktop(static_cast<DesktopNumber>(i % 2 == 0 ? 2 : 1));
    h.windows.ClearLog();  // the fakes keep records for tests; a benchmark must not grow them
    h.timeline.Clear();
  }
  auto elapsed = std::chrono::steady_clock::now() - begin;
  return std::chrono::duration<double, std::micro>(elapsed).count() / switches;
}

}  // namespace

int main() {
  std::printf("%-10s %-10s %s\n", "windows", "switches", "microseconds per switch");
  for (int count : {10, 100, 1000}) {
    int switches = count >= 1000 ? 200 : 2000;
    std::printf("%-10d %-10d %.2f\n", count, switches, MicrosecondsPerSwitch(count, switches));
  }
  return 0;
}
