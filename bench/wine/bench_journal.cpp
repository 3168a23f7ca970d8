// The journal of hidden windows under Wine, with the program's own code and the real registry:
// the records of COUNT windows of another process written to the volatile key, as before and
// after a switch that hid them all, then the journal emptied, as after the switch back. Prints
// "identify MS" (every window asked its process and class, as each capture does), "record MS" and
// "clear MS" for each of REPS pairs; it asserts nothing and is not a test.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/win32/win32_settings_store.h"
#include "platform/win32/win32_window_system.h"
#include "settings/hidden_journal.h"

namespace {

double MsSince(const LARGE_INTEGER& start) {
  LARGE_INTEGER now, frequency;
  QueryPerformanceCounter(&now);
  QueryPerformanceFrequency(&frequency);
  return 1000.0 * static_cast<double>(now.QuadPart - start.QuadPart) /
         static_cast<double>(frequency.QuadPart);
}

// Desktop 1 holds the windows: current desktop 2 records them all, current desktop 1 none.
bool FillDesktopOne(const std::string& prefix, int count, DesktopTable& table) {
  table.GetDesktop(1).name = "VirtDesk1";
  table.GetDesktop(2).name = "VirtDesk2";
  for (int i = 1; i <= count; ++i) {
    const std::string title = prefix + std::to_string(i);
    HWND w = FindWindowA(nullptr, title.c_str());
    if (!w) {
      std::printf("missing %s\n", title.c_str());
      return false;
    }
    table.GetDesktop(1).windows.push_back(WindowEntry{ToWindowId(w), title, 0, std::string()});
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4) {
    std::fputs("usage: bench_journal TITLE_PREFIX COUNT REPS\n", stderr);
    return 2;
  }
  DesktopTable table;
  if (!FillDesktopOne(argv[1], std::atoi(argv[2]), table)) return 1;
  Win32WindowSystem windows;
  Win32SettingsStore store;
  HiddenJournal journal(store);
  for (int i = 0, reps = std::atoi(argv[3]); i < reps; ++i) {
    for (DesktopNumber current : {2, 1}) {
      LARGE_INTEGER start;
      QueryPerformanceCounter(&start);
      // The switch away identifies every window it captures, then writes every listed window
      // before its first hide, then what it hid.
      if (current == 2) {
        for (WindowEntry& entry : table.GetDesktop(1).windows) {
          entry.process = windows.ProcessOf(entry.window);
          entry.windowClass = windows.ClassOf(entry.window);
        }
        std::printf("identify %.3f\n", MsSince(start));
        QueryPerformanceCounter(&start);
        journal.Write(HiddenWindowRecords(table, 0, PendingCalls(), windows));
      }
      journal.Write(HiddenWindowRecords(table, current, PendingCalls(), windows));
      std::printf("%s %.3f\n", current == 1 ? "clear" : "record", MsSince(start));
    }
  }
  return 0;
}
