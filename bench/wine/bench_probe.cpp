// bench_probe: the Windows half of the Wine benchmark. It runs beside veilswitcher.exe in the same
// prefix and plays every other program: it owns the windows that get switched, presses the
// hotkeys through the system's input path and times, with QueryPerformanceCounter, how long the
// windows take to reach the visibility a switch should give them. bench_wine.py drives it.
// Every subcommand prints plain lines on stdout; timings are "LABEL MILLISECONDS".
#include <windows.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

#include "key_input.h"

namespace {

const char kUsage[] =
    "usage: bench_probe COMMAND ...\n"
    "  hello                              print hello and exit (the cost of a Wine start)\n"
    "  idle SECONDS                       print ready and pump, with no window at all\n"
    "  windows PREFIX N SECONDS           open N windows PREFIX1..PREFIXN, print ready, pump\n"
    "  responder TITLE COMBO SECONDS      one window that a hotkey of ours shows and hides\n"
    "  quit-owner TITLE                   end the thread that owns the window TITLE\n"
    "  switch-loop PREFIX N REPS WARMUP AWAY BACK\n"
    "                                     press AWAY until PREFIX1..N are all hidden, BACK\n"
    "                                     until all are shown; print away/back MS per press,\n"
    "                                     then restacked K N: pairs that changed the stacking\n"
    "                                     of two windows that overlap\n"
    "  direct-loop PREFIX N REPS WARMUP   the same, hiding and showing them with ShowWindow\n"
    "  hotkey-self COMBO REPS             press a hotkey of this thread; print self MS each\n"
    "  watch-start CLASS TIMEOUT_MS       print keys, window, idle as a start reaches them\n"
    "  close-class CLASS                  post WM_CLOSE to the window of that class\n"
    "  owned PREFIX N SECONDS             the same, PREFIX1 owning all the others\n"
    "  notice-off                         write ShowCurDeskMsg = 00 (REG_BINARY)\n"
    "  send-stays                         write SendFollows 0, WrapAround 1 and PinWindow\n"
    "                                     Ctrl+Alt+P (the extras)\n"
    "  pin PREFIX K COMBO                 make PREFIX1..K the foreground one by one and press\n"
    "                                     COMBO on each; print pinned K\n"
    "  forget-settings                    delete the program's keys and its Run value\n"
    "  rules N                            store N window rules, only the last matching the\n"
    "                                     windows of time-hide\n"
    "  time-hide N                        N times: open a window and print hidden MS, from its\n"
    "                                     creation until a rule hid it, or timeout\n"
    "  cpu-time CLASS                     cpu 100NS: kernel and user time of the process\n"
    "  hung-watcher CLASS                 /watch the copy, print watching, then take no message\n"
    "                                     owning the window of that class\n";

const char kOptionsKey[] = "Software\\veilswitcher";
const char kDesksKey[] = "Software\\veilswitcher\\desks";
const char kRunKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
const char kRunValue[] = "veilswitcher.exe";
const DWORD kWaitLimitMs = 20000;

void Say(const std::string& line) {
  std::fputs(line.c_str(), stdout);
  std::fputc('\n', stdout);
  std::fflush(stdout);
}

void SayMs(const char* label, double ms) {
  char line[64];
  std::snprintf(line, sizeof line, "%s %.3f", label, ms);
  Say(line);
}

// ---- time -------------------------------------------------------------------------------

double TicksPerMs() {
  LARGE_INTEGER f;
  QueryPerformanceFrequency(&f);
  return static_cast<double>(f.QuadPart) / 1000.0;
}

LONGLONG Now() {
  LARGE_INTEGER t;
  QueryPerformanceCounter(&t);
  return t.QuadPart;
}

double MsSince(LONGLONG start) {
  static const double perMs = TicksPerMs();
  return static_cast<double>(Now() - start) / perMs;
}

bool Expired(DWORD deadline) {
  return static_cast<LONG>(deadline - GetTickCount()) <= 0;
}

// ---- keys -------------------------------------------------------------------------------

// A prepared press: the keys go down in the order written and up in reverse, in one SendInput.
class Press {
 public:
  explicit Press(const std::string& combo)
      : keys_(ParseCombo(combo)), events_(PressEvents(keys_)) {}
  bool valid() const { return !keys_.empty(); }
  bool Send() { return SendEvents(events_); }
  // RegisterHotKey's view of the combination: modifier flags and the one other key.
  bool AsHotkey(UINT* mods, UINT* vk) const {
    *mods = 0;
    *vk = 0;
    for (WORD k : keys_) {
      if (k == VK_MENU)
        *mods |= MOD_ALT;
      else if (k == VK_CONTROL)
        *mods |= MOD_CONTROL;
      else if (k == VK_SHIFT)
        *mods |= MOD_SHIFT;
      else
        *vk = k;
    }
    return *vk != 0;
  }

 private:
  std::vector<WORD> keys_;
  std::vector<INPUT> events_;
};

// ---- windows of our own -----------------------------------------------------------------

LRESULT CALLBACK QuitOnDestroyProc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_DESTROY) PostQuitMessage(0);
  return DefWindowProcA(w, msg, wp, lp);
}

ATOM RegisterOwnClass(const char* name, WNDPROC proc) {
  WNDCLASSA wc = {};
  wc.lpfnWndProc = proc;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  wc.lpszClassName = name;
  return RegisterClassA(&wc);
}

HWND OpenWindow(const char* cls, const std::string& title, int index, HWND owner = nullptr) {
  // Cascaded, and kept on the 1280x800 desktop however many there are.
  const int x = 20 + (index % 30) * 30;
  const int y = 20 + (index % 20) * 25;
  return CreateWindowExA(0, cls, title.c_str(), WS_OVERLAPPEDWINDOW | WS_VISIBLE, x, y, 260, 140,
                         owner, nullptr, GetModuleHandleA(nullptr), nullptr);
}

// Pumps until WM_QUIT or the deadline; the window owner must keep pumping, or the switcher's
// ShowWindow calls on its windows would block. Hotkeys of the thread go to `onHotkey`.
template <typename OnHotkey>
void PumpUntil(DWORD deadline, OnHotkey onHotkey) {
  while (!Expired(deadline)) {
    MsgWaitForMultipleObjects(0, nullptr, FALSE, deadline - GetTickCount(), QS_ALLINPUT);
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      if (msg.message == WM_QUIT) return;
      if (msg.message == WM_HOTKEY) onHotkey();
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
  }
}

// With `owned`, PREFIX1 owns all the others, as a program's main window owns its tool windows.
int OpenWindows(const std::string& prefix, int count, DWORD seconds, bool owned = false) {
  if (count < 1 || !RegisterOwnClass("benchWindow", DefWindowProcA)) return 2;
  HWND first = nullptr;
  for (int i = 1; i <= count; ++i) {
    HWND w = OpenWindow("benchWindow", prefix + std::to_string(i), i, owned ? first : nullptr);
    if (i == 1) first = w;
    if (!w) {
      Say("fail");
      return 1;
    }
  }
  if (owned) SetForegroundWindow(FindWindowA(nullptr, (prefix + std::to_string(count)).c_str()));
  Say("ready");
  PumpUntil(GetTickCount() + seconds * 1000, [] {});
  return 0;
}

// The baseline for a switch: the same road from key press to a window changing visibility in
// another process, with the least possible work in between.
int Responder(const std::string& title, const std::string& combo, DWORD seconds) {
  UINT mods, vk;
  if (!Press(combo).AsHotkey(&mods, &vk) || !RegisterOwnClass("benchToggle", QuitOnDestroyProc))
    return 2;
  HWND w = OpenWindow("benchToggle", title, 0);
  if (!w || !RegisterHotKey(nullptr, 1, mods, vk)) {
    Say("fail");
    return 1;
  }
  Say("ready");
  PumpUntil(GetTickCount() + seconds * 1000,
            [w] { ShowWindow(w, IsWindowVisible(w) ? SW_HIDE : SW_SHOW); });
  UnregisterHotKey(nullptr, 1);
  return 0;
}

int QuitOwner(const char* title) {
  HWND w = FindWindowA(nullptr, title);
  if (!w) {
    Say("missing");
    return 1;
  }
  PostThreadMessageA(GetWindowThreadProcessId(w, nullptr), WM_QUIT, 0, 0);
  Say("posted");
  return 0;
}

int CloseClass(const char* cls) {
  HWND w = FindWindowA(cls, nullptr);
  if (!w) {
    Say("missing");
    return 1;
  }
  PostMessageA(w, WM_CLOSE, 0, 0);
  Say("posted");
  return 0;
}

// ---- timing a switch --------------------------------------------------------------------

// Waits until every window has `visible`. Windows reach it one after another (the switcher walks
// them in order), so each pass resumes at the first one still missing it, which keeps each pass
// to about one call; a full pass at the end confirms none went back. Each call is a request to
// the wineserver that the switcher and the windows' owner wait on as well: a probe spinning on it
// slowed the switch it timed by about a third (and not the plain loop, which makes its calls
// itself), so it looks once a millisecond.
bool WaitAll(const std::vector<HWND>& windows, bool visible, DWORD deadline) {
  size_t next = 0;
  for (;;) {
    while (next < windows.size() && (IsWindowVisible(windows[next]) != FALSE) == visible) ++next;
    if (next == windows.size()) {
      next = 0;
      while (next < windows.size() && (IsWindowVisible(windows[next]) != FALSE) == visible) ++next;
      if (next == windows.size()) return true;
    }
    if (Expired(deadline)) return false;
    Sleep(1);
  }
}

// Visible titled top-level windows besides ours: the switcher hides them too.
BOOL CALLBACK CountOther(HWND w, LPARAM data) {
  auto* state = reinterpret_cast<std::pair<const std::vector<HWND>*, int>*>(data);
  char title[8] = "";
  if (!IsWindowVisible(w) || !GetWindowTextA(w, title, sizeof title)) return TRUE;
  for (HWND own : *state->first) {
    if (own == w) return TRUE;
  }
  ++state->second;
  return TRUE;
}

int CountOthers(const std::vector<HWND>& windows) {
  std::pair<const std::vector<HWND>*, int> state(&windows, 0);
  EnumWindows(CountOther, reinterpret_cast<LPARAM>(&state));
  return state.second;
}

bool FindAll(const std::string& prefix, int count, std::vector<HWND>* windows) {
  for (int i = 1; i <= count; ++i) {
    HWND w = FindWindowA(nullptr, (prefix + std::to_string(i)).c_str());
    if (!w || !IsWindowVisible(w)) {
      Say("missing " + prefix + std::to_string(i));
      return false;
    }
    windows->push_back(w);
  }
  return true;
}

// Under Wine a window of another thread made the foreground one is the foreground only once its
// thread has taken the activation; until then there is none, and a send key finds nothing to
// send. A user presses the next key into a window, so the next step waits, untimed, for the
// foreground to be one of the windows when they are shown (the switch activated one), or for
// there to be one at all when they are hidden.
const DWORD kForegroundLimitMs = 3000;

void WaitForeground(const std::vector<HWND>& windows, bool ours, DWORD deadline) {
  for (;;) {
    const HWND fg = GetForegroundWindow();
    const bool found =
        ours ? std::find(windows.begin(), windows.end(), fg) != windows.end() : fg != nullptr;
    if (found || Expired(deadline)) return;
    Sleep(1);
  }
}

// Whether a window reaches `visible` before the deadline: one window looked at a millisecond, in
// turn, for the same reason as above.
bool AnyReaches(const std::vector<HWND>& windows, bool visible, DWORD deadline) {
  for (size_t k = 0;; k = (k + 1) % windows.size()) {
    if ((IsWindowVisible(windows[k]) != FALSE) == visible) return true;
    if (Expired(deadline)) return false;
    Sleep(1);
  }
}

// Now and then, while the program's windows are being restacked, Wine lets a press reach no
// hotkey at all (the program never gets its WM_HOTKEY). A press after which not one window has
// moved within this time is counted as lost and made again, the time taken from the new press.
const DWORD kLostPressMs = 3000;

// One timed step: `act` starts it (a key press, or the hides and shows themselves); it ends when
// every window has `visible`. False when they never got there.
template <typename Act>
bool Timed(Act act, const std::vector<HWND>& windows, bool visible, double* ms, int* lost) {
  LONGLONG start = Now();
  if (!act()) return false;
  // A plain top-down loop over a thousand windows takes tens of seconds under Wine.
  const DWORD limit = kWaitLimitMs + 200 * static_cast<DWORD>(windows.size());
  const DWORD firstMove = GetTickCount() + kLostPressMs;
  if (!AnyReaches(windows, visible, firstMove)) {
    ++*lost;
    start = Now();
    if (!act()) return false;
  }
  if (!WaitAll(windows, visible, GetTickCount() + limit)) return false;
  *ms = MsSince(start);
  // Let the switcher finish what follows the last hide or show (activation) before the next one.
  Sleep(40);
  WaitForeground(windows, visible, GetTickCount() + kForegroundLimitMs);
  return true;
}

std::string TitleOf(HWND w) {
  char title[64] = "";
  if (w) GetWindowTextA(w, title, sizeof title);
  return w ? "\"" + std::string(title) + "\"" : "none";
}

// GA_ROOTOWNER stops at an owned overlapped window; the owners are followed one by one.
HWND RootOwner(HWND w) {
  for (HWND owner = w ? GetWindow(w, GW_OWNER) : nullptr; owner; owner = GetWindow(w, GW_OWNER))
    w = owner;
  return w;
}

// Why a step never ended: the windows left in the wrong state and where the foreground was.
void SayTimeout(const char* step, int pair, const std::vector<HWND>& windows, bool visible) {
  std::string wrong;
  int count = 0;
  for (HWND w : windows) {
    if ((IsWindowVisible(w) != FALSE) == visible) continue;
    if (++count <= 5) wrong += " " + TitleOf(w);
  }
  const HWND fg = GetForegroundWindow();
  Say("timeout " + std::string(step) + " pair " + std::to_string(pair) + ": " +
      std::to_string(count) + " not " + (visible ? "shown" : "hidden") + wrong + "; foreground " +
      TitleOf(fg) + " owned by " + TitleOf(RootOwner(fg)));
}

struct LoopArgs {
  std::string prefix;
  int count, reps, warmup;
};

LoopArgs ParseLoop(char** argv) {
  return {argv[0], std::atoi(argv[1]), std::atoi(argv[2]), std::atoi(argv[3])};
}

// The windows in their stacking order, top first.
std::vector<HWND> Stacking(const std::vector<HWND>& windows) {
  std::vector<HWND> order;
  for (HWND w = GetTopWindow(nullptr); w; w = GetWindow(w, GW_HWNDNEXT)) {
    if (std::find(windows.begin(), windows.end(), w) != windows.end()) order.push_back(w);
  }
  return order;
}

// Whether the stacking looks the same as `before`: every two windows that overlap are in the
// same order. Wine keeps no fixed order among windows that do not overlap (it moves them as it
// maps a run of windows, whoever shows them and in whatever order), and nobody can see it. Each
// window's rectangle is read once: a thousand windows make half a million pairs.
bool LooksStackedAs(const std::vector<HWND>& before, const std::vector<HWND>& now) {
  if (before.size() != now.size()) return false;
  std::map<HWND, size_t> place;
  for (size_t i = 0; i < now.size(); ++i) place[now[i]] = i;
  std::vector<size_t> at(before.size());
  std::vector<RECT> rect(before.size());
  for (size_t i = 0; i < before.size(); ++i) {
    const auto found = place.find(before[i]);
    if (found == place.end() || !GetWindowRect(before[i], &rect[i])) return false;
    at[i] = found->second;
  }
  RECT both;
  for (size_t i = 0; i < before.size(); ++i) {
    for (size_t j = i + 1; j < before.size(); ++j) {
      if (at[i] > at[j] && IntersectRect(&both, &rect[i], &rect[j])) return false;
    }
  }
  return true;
}

// Under Wine a run of windows just shown goes on moving for a while after the last one is up
// (a walk of the stacking then can miss one): the stacking is read once two reads in a row agree.
std::vector<HWND> SettledStacking(const std::vector<HWND>& windows) {
  std::vector<HWND> last = Stacking(windows);
  for (const DWORD limit = GetTickCount() + 3000; !Expired(limit);) {
    Sleep(50);
    std::vector<HWND> now = Stacking(windows);
    if (now == last) break;
    last = std::move(now);
  }
  return last;
}

// Runs warm-up plus timed pairs of steps away (all hidden) and back (all shown). After each
// pair the windows' stacking is compared with the one before the first: "restacked K of N"
// counts the pairs that left two overlapping windows in the other order.
template <typename Away, typename Back>
int TimePairs(const LoopArgs& a, Away away, Back back) {
  std::vector<HWND> windows;
  if (a.count < 1 || a.reps < 1) return 2;
  if (!FindAll(a.prefix, a.count, &windows)) return 1;
  Say("others " + std::to_string(CountOthers(windows)));
  const std::vector<HWND> stacking = SettledStacking(windows);
  int restacked = 0, lost = 0;
  for (int i = 0; i < a.warmup + a.reps; ++i) {
    double awayMs = 0, backMs = 0;
    if (!Timed([&] { return away(windows); }, windows, false, &awayMs, &lost)) {
      SayTimeout("away", i, windows, false);
      return 1;
    }
    if (!Timed([&] { return back(windows); }, windows, true, &backMs, &lost)) {
      SayTimeout("back", i, windows, true);
      return 1;
    }
    restacked += !LooksStackedAs(stacking, SettledStacking(windows));
    if (i < a.warmup) continue;
    SayMs("away", awayMs);
    SayMs("back", backMs);
  }
  Say("restacked " + std::to_string(restacked) + " " + std::to_string(a.warmup + a.reps));
  Say("lost " + std::to_string(lost));
  return 0;
}

int SwitchLoop(char** argv) {
  Press away(argv[4]), back(argv[5]);
  if (!away.valid() || !back.valid()) return 2;
  return TimePairs(
      ParseLoop(argv), [&](const std::vector<HWND>&) { return away.Send(); },
      [&](const std::vector<HWND>&) { return back.Send(); });
}

// The window-system work of a switch without the program: the same calls from another process.
// Hides go from the top of the z-order down (the last window opened is on top); shows go from the
// bottom up, and the top one is brought to the foreground, as after a switch, so that the next
// hide again starts at the active window and Wine has to pass the activation down the stack.
int DirectLoop(char** argv) {
  const auto hide = [](const std::vector<HWND>& windows) {
    for (auto it = windows.rbegin(); it != windows.rend(); ++it) ShowWindow(*it, SW_HIDE);
    return true;
  };
  const auto show = [](const std::vector<HWND>& windows) {
    for (HWND w : windows) ShowWindow(w, SW_SHOW);
    SetForegroundWindow(windows.back());
    return true;
  };
  return TimePairs(ParseLoop(argv), hide, show);
}

// Press to WM_HOTKEY in the pressing thread itself: input delivery alone.
int HotkeySelf(const std::string& combo, int reps) {
  Press press(combo);
  UINT mods, vk;
  if (!press.AsHotkey(&mods, &vk) || reps < 1) return 2;
  if (!RegisterHotKey(nullptr, 7, mods, vk)) {
    Say("fail");
    return 1;
  }
  for (int i = 0; i < reps; ++i) {
    const LONGLONG start = Now();
    const DWORD deadline = GetTickCount() + kWaitLimitMs;
    press.Send();
    MSG msg;
    while (!PeekMessageA(&msg, nullptr, WM_HOTKEY, WM_HOTKEY, PM_REMOVE)) {
      if (Expired(deadline)) {
        Say("timeout");
        return 1;
      }
      SwitchToThread();
    }
    SayMs("self", MsSince(start));
    Sleep(20);
  }
  UnregisterHotKey(nullptr, 7);
  return 0;
}

// ---- start-up ---------------------------------------------------------------------------

bool HasValue(const char* path, const char* name) {
  HKEY key;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, path, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) {
    return false;
  }
  const bool found = RegQueryValueExA(key, name, nullptr, nullptr, nullptr, nullptr) == 0;
  RegCloseKey(key);
  return found;
}

// Everything a first start writes; VirtDesk3 goes last.
bool DefaultsWritten() {
  return HasValue(kOptionsKey, "PrevDesk") && HasValue(kOptionsKey, "NextDesk") &&
         HasValue(kOptionsKey, "ShowCurDeskMsg") && HasValue(kRunKey, kRunValue) &&
         HasValue(kDesksKey, "VirtDesk1") && HasValue(kDesksKey, "VirtDesk2") &&
         HasValue(kDesksKey, "VirtDesk3");
}

bool WaitIdle(HWND w, DWORD deadline) {
  DWORD pid = 0;
  GetWindowThreadProcessId(w, &pid);
  HANDLE process = OpenProcess(SYNCHRONIZE | PROCESS_QUERY_INFORMATION, FALSE, pid);
  if (!process) return false;
  const LONG left = static_cast<LONG>(deadline - GetTickCount());
  const DWORD idle = WaitForInputIdle(process, left > 0 ? left : 0);
  CloseHandle(process);
  return idle == 0;
}

// The caller stamps each line as it arrives, against the moment it launched the program; the
// checks here are only the fastest way to notice each step. "keys" is said only when the
// defaults were not there at the beginning, that is on a first start.
int WatchStart(const char* cls, DWORD timeout) {
  const DWORD deadline = GetTickCount() + timeout;
  bool keysPending = !DefaultsWritten();
  // Also loads what FindWindowA needs now, so that it does not compete with the start watched.
  if (FindWindowA(cls, nullptr)) {
    Say("stale");
    return 1;
  }
  Say("watching");
  HWND w = nullptr;
  while (!w) {
    if (keysPending && DefaultsWritten()) {
      Say("keys");
      keysPending = false;
    }
    if (Expired(deadline)) {
      Say("none");
      return 1;
    }
    w = FindWindowA(cls, nullptr);
    if (!w) Sleep(1);
  }
  Say("window");
  const bool idle = WaitIdle(w, deadline);
  Say(idle ? "idle" : "busy");
  if (keysPending) Say(DefaultsWritten() ? "keys" : "keys-missing");
  return idle ? 0 : 1;
}

// ---- settings ---------------------------------------------------------------------------

// Rules 1..N-1 match programs that never run, so each new window is tried against all of them.
int StoreRules(int count) {
  LONG status = ERROR_SUCCESS;
  for (int i = 1; i <= count && status == ERROR_SUCCESS; ++i) {
    HKEY key;
    const std::string path = std::string(kOptionsKey) + "\\rules\\" + std::to_string(i);
    status = RegCreateKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                             &key, nullptr);
    if (status != ERROR_SUCCESS) break;
    const bool last = i == count;
    const std::string program = last ? "bench_probe.exe" : "absent" + std::to_string(i) + ".exe";
    const std::string title = last ? "Bench rule*" : "*";
    for (const auto& [name, text] : {std::pair<const char*, std::string>{"Program", program},
                                     {"Title", title},
                                     {"Desktop", "VirtDesk2"}}) {
      if (status == ERROR_SUCCESS)
        status = RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                                static_cast<DWORD>(text.size() + 1));
    }
    RegCloseKey(key);
  }
  Say(status == ERROR_SUCCESS ? "ok" : "fail");
  return status == ERROR_SUCCESS ? 0 : 1;
}

// From just before CreateWindowEx until this thread has handled the hide a rule sent it.
int TimeHide(int count) {
  RegisterOwnClass("benchRuled", DefWindowProcA);
  for (int i = 0; i < count; ++i) {
    const LONGLONG start = Now();
    HWND w = OpenWindow("benchRuled", "Bench rule " + std::to_string(i), i);
    const DWORD deadline = GetTickCount() + 5000;
    while (w && IsWindowVisible(w) && !Expired(deadline)) PumpUntil(GetTickCount() + 1, [] {});
    if (w && !IsWindowVisible(w)) {
      SayMs("hidden", MsSince(start));
    } else {
      Say("timeout");
    }
    DestroyWindow(w);
    PumpUntil(GetTickCount() + 300, [] {});
  }
  return 0;
}

int CpuTime(const char* cls) {
  DWORD pid = 0;
  GetWindowThreadProcessId(FindWindowA(cls, nullptr), &pid);
  HANDLE process = pid ? OpenProcess(PROCESS_QUERY_INFORMATION, FALSE, pid) : nullptr;
  FILETIME created, ended, kernel, user;
  if (!process || !GetProcessTimes(process, &created, &ended, &kernel, &user)) {
    Say("missing");
    return 1;
  }
  CloseHandle(process);
  auto units = [](const FILETIME& t) {
    return (static_cast<unsigned long long>(t.dwHighDateTime) << 32) | t.dwLowDateTime;
  };
  Say("cpu " + std::to_string(units(kernel) + units(user)));
  return 0;
}

// A /watch client whose thread stops taking messages once the running copy has it: the copy's
// next line to it finds nobody to take it.
bool g_watchAnswered = false;

LRESULT CALLBACK HungWatcherProc(HWND w, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message != WM_COPYDATA) return DefWindowProcA(w, message, wParam, lParam);
  g_watchAnswered = true;
  return TRUE;
}

int HungWatcher(const char* cls) {
  WNDCLASSA wc = {};
  wc.lpfnWndProc = HungWatcherProc;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.lpszClassName = "benchHungWatcher";
  RegisterClassA(&wc);
  HWND own = CreateWindowExA(0, wc.lpszClassName, nullptr, 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                             wc.hInstance, nullptr);
  static const char kWatch[] = "/watch";  // the request: the command's arguments, each ended
  COPYDATASTRUCT copy = {0x56534331, sizeof kWatch, const_cast<char*>(kWatch)};
  DWORD_PTR result = 0;
  SendMessageTimeoutA(FindWindowA(cls, nullptr), WM_COPYDATA, reinterpret_cast<WPARAM>(own),
                      reinterpret_cast<LPARAM>(&copy), SMTO_NORMAL, 5000, &result);
  PumpUntil(GetTickCount() + 5000, [] {});
  Say(g_watchAnswered ? "watching" : "not watching");
  Sleep(INFINITE);
  return 0;
}

int NoticeOff() {
  HKEY key;
  if (RegCreateKeyExA(HKEY_CURRENT_USER, kOptionsKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key,
                      nullptr) != ERROR_SUCCESS) {
    Say("fail");
    return 1;
  }
  const BYTE off = 0;
  const LONG status = RegSetValueExA(key, "ShowCurDeskMsg", 0, REG_BINARY, &off, 1);
  RegCloseKey(key);
  Say(status == ERROR_SUCCESS ? "ok" : "fail");
  return status == ERROR_SUCCESS ? 0 : 1;
}

// A send that leaves the view where it is, and desktops that wrap round, so that sending to the
// next desktop and then switching there can go on for ever.
int SendStays() {
  HKEY key;
  if (RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\veilswitcher\\more", 0, nullptr, 0,
                      KEY_SET_VALUE, nullptr, &key, nullptr) != ERROR_SUCCESS) {
    Say("fail");
    return 1;
  }
  const DWORD off = 0, on = 1;
  const BYTE* data[] = {reinterpret_cast<const BYTE*>(&off), reinterpret_cast<const BYTE*>(&on)};
  static const char kPinKey[] = "3 80";  // MOD_ALT | MOD_CONTROL, 'P'
  LONG status = RegSetValueExA(key, "SendFollows", 0, REG_DWORD, data[0], sizeof(DWORD));
  if (status == ERROR_SUCCESS)
    status = RegSetValueExA(key, "WrapAround", 0, REG_DWORD, data[1], sizeof(DWORD));
  if (status == ERROR_SUCCESS)
    status = RegSetValueExA(key, "PinWindow", 0, REG_SZ, reinterpret_cast<const BYTE*>(kPinKey),
                            sizeof kPinKey);
  RegCloseKey(key);
  Say(status == ERROR_SUCCESS ? "ok" : "fail");
  return status == ERROR_SUCCESS ? 0 : 1;
}

// The pin key acts on the foreground window, so each window is made the foreground one first.
int PinEach(const std::string& prefix, int count, const std::string& combo) {
  Press press(combo);
  if (!press.valid() || count < 1) return 2;
  int pinned = 0;
  for (int i = 1; i <= count; ++i) {
    HWND w = FindWindowA(nullptr, (prefix + std::to_string(i)).c_str());
    if (!w) continue;
    SetForegroundWindow(w);
    const DWORD deadline = GetTickCount() + kForegroundLimitMs;
    while (GetForegroundWindow() != w && !Expired(deadline)) Sleep(1);
    if (GetForegroundWindow() != w || !press.Send()) continue;
    ++pinned;
    Sleep(100);  // the program takes the press before the foreground moves on
  }
  Say("pinned " + std::to_string(pinned));
  return pinned == count ? 0 : 1;
}

int ForgetSettings() {
  RegDeleteTreeA(HKEY_CURRENT_USER, kOptionsKey);
  HKEY run;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, kRunKey, 0, KEY_SET_VALUE, &run) == ERROR_SUCCESS) {
    RegDeleteValueA(run, kRunValue);
    RegCloseKey(run);
  }
  const bool gone = !HasValue(kOptionsKey, "NextDesk") && !HasValue(kRunKey, kRunValue);
  Say(gone ? "ok" : "fail");
  return gone ? 0 : 1;
}

// ---- main -------------------------------------------------------------------------------

int Dispatch(const std::string& cmd, int argc, char** argv) {
  if (cmd == "hello" && argc == 0) {
    Say("hello");
    return 0;
  }
  if (cmd == "idle" && argc == 1) {
    Say("ready");
    PumpUntil(GetTickCount() + std::strtoul(argv[0], nullptr, 0) * 1000, [] {});
    return 0;
  }
  if (cmd == "windows" && argc == 3) {
    return OpenWindows(argv[0], std::atoi(argv[1]), std::strtoul(argv[2], nullptr, 0));
  }
  if (cmd == "responder" && argc == 3) {
    return Responder(argv[0], argv[1], std::strtoul(argv[2], nullptr, 0));
  }
  if (cmd == "quit-owner" && argc == 1) return QuitOwner(argv[0]);
  if (cmd == "switch-loop" && argc == 6) return SwitchLoop(argv);
  if (cmd == "direct-loop" && argc == 4) return DirectLoop(argv);
  if (cmd == "hotkey-self" && argc == 2) return HotkeySelf(argv[0], std::atoi(argv[1]));
  if (cmd == "watch-start" && argc == 2) {
    return WatchStart(argv[0], std::strtoul(argv[1], nullptr, 0));
  }
  if (cmd == "close-class" && argc == 1) return CloseClass(argv[0]);
  if (cmd == "owned" && argc == 3) {
    return OpenWindows(argv[0], std::atoi(argv[1]), std::strtoul(argv[2], nullptr, 0), true);
  }
  if (cmd == "notice-off" && argc == 0) return NoticeOff();
  if (cmd == "send-stays" && argc == 0) return SendStays();
  if (cmd == "pin" && argc == 3) return PinEach(argv[0], std::atoi(argv[1]), argv[2]);
  if (cmd == "forget-settings" && argc == 0) return ForgetSettings();
  if (cmd == "rules" && argc == 1) return StoreRules(std::atoi(argv[0]));
  if (cmd == "time-hide" && argc == 1) return TimeHide(std::atoi(argv[0]));
  if (cmd == "cpu-time" && argc == 1) return CpuTime(argv[0]);
  if (cmd == "hung-watcher" && argc == 1) return HungWatcher(argv[0]);
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  const int status = argc < 2 ? 2 : Dispatch(argv[1], argc - 2, argv + 2);
  if (status == 2) std::fputs(kUsage, stderr);
  return status;
}
