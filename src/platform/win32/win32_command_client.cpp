#include "platform/win32/win32_command_client.h"

#include <windows.h>

#include <algorithm>

#include "commands/command_messages.h"
#include "platform/win32/win32_text.h"
#include "platform/win32/win32_window_host.h"

namespace {

// The longest the client waits without a sign of life from the copy: for its request to be taken
// (a copy busy with something else is asked again meanwhile), and between two signs while the
// command runs. A command's own waits on other programs are bounded by the copy's limits.
constexpr DWORD kNoAnswerMilliseconds = 10000;
constexpr DWORD kBusyRetryMilliseconds = 25;
constexpr DWORD kProbeEveryMilliseconds = 250;
constexpr DWORD kProbeMilliseconds = 500;  // a copy inside a command's wait answers at once
constexpr const char* kReplyClass = "veilswitcherReply";
constexpr std::size_t kConsolePiece = 8192;  // characters

// The answer, as it arrives at the client's window: during the send for a refusal, later for a
// command taken.
struct Exchange {
  HWND copy = nullptr;
  bool answered = false;
  Reply reply;
  std::vector<std::string> events;  // /watch's lines not printed yet
};
Exchange g_exchange;

LRESULT CALLBACK ReplyWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message != WM_COPYDATA) return DefWindowProcA(window, message, wParam, lParam);
  const auto* copy = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
  // Printed later, outside the copy's send: a watcher takes its line at once.
  if (g_exchange.answered && copy != nullptr && copy->dwData == kEventTag &&
      reinterpret_cast<HWND>(wParam) == g_exchange.copy && copy->lpData != nullptr) {
    g_exchange.events.emplace_back(static_cast<const char*>(copy->lpData), copy->cbData);
    return TRUE;
  }
  if (g_exchange.answered || reinterpret_cast<HWND>(wParam) != g_exchange.copy || copy == nullptr ||
      copy->dwData != kReplyTag)
    return FALSE;
  g_exchange.answered = DecodeReply(static_cast<const std::uint8_t*>(copy->lpData),
                                    copy->lpData == nullptr ? 0 : copy->cbData, &g_exchange.reply);
  return g_exchange.answered;
}

HWND CreateReplyWindow() {
  WNDCLASSA wc = {};
  wc.lpfnWndProc = ReplyWndProc;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.lpszClassName = kReplyClass;
  RegisterClassA(&wc);
  return CreateWindowExA(0, kReplyClass, nullptr, 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                         GetModuleHandleA(nullptr), nullptr);
}

// A GUI program has standard handles only when it was given them (a pipe, a file); started from
// a console it has none, and writes to the console it was started from.
HANDLE OutputHandle(DWORD which) {
  HANDLE handle = GetStdHandle(which);
  if (handle != nullptr && handle != INVALID_HANDLE_VALUE) return handle;
  static HANDLE console = INVALID_HANDLE_VALUE;
  static bool attached = false;
  if (!attached) {
    attached = true;
    if (AttachConsole(ATTACH_PARENT_PROCESS))
      console = CreateFileA("CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_WRITE, nullptr,
                            OPEN_EXISTING, 0, nullptr);
  }
  return console;
}

// UTF-8 text: as it is to a pipe or a file, as characters to a console. False with nowhere to go
// or when the writing failed (a pipe whose reader has gone).
bool Print(DWORD which, const std::string& utf8) {
  HANDLE out = OutputHandle(which);
  if (out == INVALID_HANDLE_VALUE) return false;
  DWORD mode = 0;
  DWORD written = 0;
  bool ok = true;
  if (GetConsoleMode(out, &mode)) {  // in pieces: older consoles refuse a long write whole
    const WideText wide = Utf8ToWide(utf8);
    for (std::size_t at = 0; at < wide.size(); at += kConsolePiece) {
      const std::size_t piece = std::min(kConsolePiece, wide.size() - at);
      ok = WriteConsoleW(out, wide.data() + at, static_cast<DWORD>(piece), &written, nullptr) && ok;
    }
  } else {
    ok = WriteFile(out, utf8.data(), static_cast<DWORD>(utf8.size()), &written, nullptr) != FALSE;
  }
  return ok;
}

int BadCommandLine(const std::string& reason) {
  const std::string text = "veilswitcher: " + reason + "\n" + kUsageText;
  if (!Print(STD_ERROR_HANDLE, text))
    MessageBoxA(nullptr, text.c_str(), "veilswitcher", MB_OK | MB_ICONERROR);
  return kExitBadCommandLine;
}

// What the client knows without the copy: to the output, or to a box when there is none.
int Inform(const char* text) {
  if (!Print(STD_OUTPUT_HANDLE, text))
    MessageBoxA(nullptr, text, "veilswitcher", MB_OK | MB_ICONINFORMATION);
  return kExitDone;
}

DWORD Since(DWORD tick) {
  return GetTickCount() - tick;
}

DWORD Left(DWORD started) {
  const DWORD spent = Since(started);
  return spent >= kNoAnswerMilliseconds ? 0 : kNoAnswerMilliseconds - spent;
}

enum class Handover { kTaken, kRefused, kBusy, kSilent };

// Sends the request until the copy takes it, refuses it or stays silent; a copy in the middle of
// an operation answers "busy" and is asked again. A refusal is answered during the send, a
// command taken once it is done.
Handover HandOver(HWND replyWindow, const std::string& request) {
  COPYDATASTRUCT copy = {};
  copy.dwData = kRequestTag;
  copy.cbData = static_cast<DWORD>(request.size());
  copy.lpData = const_cast<char*>(request.data());
  const DWORD started = GetTickCount();
  for (DWORD left = Left(started); left > 0; left = Left(started)) {
    DWORD_PTR result = kRequestNotTaken;
    const LRESULT sent =
        SendMessageTimeoutA(g_exchange.copy, WM_COPYDATA, reinterpret_cast<WPARAM>(replyWindow),
                            reinterpret_cast<LPARAM>(&copy), SMTO_NORMAL, left, &result);
    if (g_exchange.answered || (sent != 0 && result == static_cast<DWORD_PTR>(kRequestAccepted)))
      return Handover::kTaken;
    if (sent == 0) return Handover::kSilent;
    if (result != static_cast<DWORD_PTR>(kRequestBusy)) return Handover::kRefused;
    Sleep(kBusyRetryMilliseconds);
  }
  return Handover::kBusy;
}

// Whether the copy takes a message now; inside a command's waits it does.
bool Alive() {
  DWORD_PTR result = 0;
  return SendMessageTimeoutA(g_exchange.copy, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, kProbeMilliseconds,
                             &result) != 0;
}

// Sent messages (the answer) are delivered while the queue is looked at.
void Pump() {
  MSG m;
  while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&m);
}

// Waits for the answer to a command taken, however long it runs: until the answer is here, the
// copy has ended, or it has shown no sign of life for kNoAnswerMilliseconds. False when the copy
// ended first.
bool AwaitAnswer(HANDLE process) {
  DWORD alive = GetTickCount();
  DWORD probed = alive;
  while (!g_exchange.answered && Since(alive) < kNoAnswerMilliseconds) {
    const DWORD woke = MsgWaitForMultipleObjects(process != nullptr ? 1 : 0, &process, FALSE,
                                                 kProbeEveryMilliseconds, QS_ALLINPUT);
    Pump();
    if (g_exchange.answered) break;
    if ((process != nullptr && woke == WAIT_OBJECT_0) || !IsWindow(g_exchange.copy)) return false;
    if (Since(probed) < kProbeEveryMilliseconds) continue;
    probed = GetTickCount();
    if (Alive()) alive = GetTickCount();
  }
  return true;
}

// An ended copy has shown every window again by the time the client returns, where time allows.
void AwaitEnd(HANDLE process) {
  if (process != nullptr) WaitForSingleObject(process, kNoAnswerMilliseconds);
}

// /watch's lines as they come, each written at once, until the copy ends (or, with no handle on
// it, its window goes) or the reader of the output has gone.
int Watch(HANDLE process) {
  for (;;) {
    const DWORD woke = MsgWaitForMultipleObjects(process != nullptr ? 1 : 0, &process, FALSE,
                                                 kProbeEveryMilliseconds, QS_ALLINPUT);
    Pump();
    std::vector<std::string> lines;
    lines.swap(g_exchange.events);
    for (const std::string& line : lines) {
      if (!Print(STD_OUTPUT_HANDLE, line)) return kExitDone;
    }
    if (process != nullptr ? woke == WAIT_OBJECT_0 : !IsWindow(g_exchange.copy)) return kExitDone;
  }
}

int Answered(const Command& command, HANDLE process) {
  const Reply& reply = g_exchange.reply;
  Print(reply.code == kExitDone ? STD_OUTPUT_HANDLE : STD_ERROR_HANDLE, reply.text);
  if (reply.code != kExitDone) return reply.code;
  if (command.verb == CommandVerb::kExit) AwaitEnd(process);
  if (command.verb == CommandVerb::kWatch) return Watch(process);
  return reply.code;
}

int Unanswered(Handover handover, bool ended) {
  if (handover == Handover::kBusy)
    return ReportFailure(kExitRefused, "veilswitcher stayed busy for 10 seconds: nothing was done");
  if (handover == Handover::kRefused)
    return ReportFailure(kExitRefused, "veilswitcher did not take the command: nothing was done");
  if (handover == Handover::kSilent && !IsWindow(g_exchange.copy))
    return ReportFailure(kExitNoCopy, "veilswitcher ended before it took the command");
  if (ended)
    return ReportFailure(kExitNoAnswer,
                         "veilswitcher ended before it answered: the outcome is unknown");
  return ReportFailure(kExitNoAnswer, "veilswitcher stopped answering: the outcome is unknown");
}

int Carry(const Command& command) {
  g_exchange.copy = FindWindowA(Win32WindowHost::kClassName, nullptr);
  if (g_exchange.copy == nullptr) return ReportFailure(kExitNoCopy, "veilswitcher is not running");
  DWORD processId = 0;
  GetWindowThreadProcessId(g_exchange.copy, &processId);
  HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, processId);
  const Handover handover = HandOver(CreateReplyWindow(), EncodeRequest(command));
  const bool ended = handover == Handover::kTaken && !AwaitAnswer(process);
  const int code = g_exchange.answered ? Answered(command, process) : Unanswered(handover, ended);
  if (process != nullptr) CloseHandle(process);
  return code;
}

}  // namespace

int ReportFailure(int code, const std::string& reason) {
  Print(STD_ERROR_HANDLE, "veilswitcher: " + reason + "\n");
  return code;
}

int RunCommandClient(const std::vector<std::string>& args) {
  Command command;
  std::string reason;
  if (!ParseCommandLine(args, &command, &reason)) return BadCommandLine(reason);
  if (command.verb == CommandVerb::kHelp) return Inform(kUsageText);
  if (command.verb == CommandVerb::kVersion) return Inform(kVersionText);
  return Carry(command);
}
