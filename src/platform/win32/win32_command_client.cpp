#include "platform/win32/win32_command_client.h"

#include <windows.h>

#include <algorithm>

#include "commands/command_messages.h"
#include "platform/win32/win32_text.h"
#include "platform/win32/win32_window_host.h"

namespace {

constexpr DWORD kBudgetMilliseconds = 950;  // the whole run, from the first look for the copy
constexpr DWORD kBusyRetryMilliseconds = 25;
constexpr const char* kReplyClass = "veilswitcherReply";
constexpr std::size_t kConsolePiece = 8192;  // characters

// The answer, as it arrives at the client's window while the request is still being sent.
struct Exchange {
  HWND copy = nullptr;
  bool answered = false;
  Reply reply;
};
Exchange g_exchange;

LRESULT CALLBACK ReplyWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message != WM_COPYDATA) return DefWindowProcA(window, message, wParam, lParam);
  const auto* copy = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
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

// UTF-8 text: as it is to a pipe or a file, as characters to a console. False with nowhere to go.
bool Print(DWORD which, const std::string& utf8) {
  HANDLE out = OutputHandle(which);
  if (out == INVALID_HANDLE_VALUE) return false;
  DWORD mode = 0;
  DWORD written = 0;
  if (GetConsoleMode(out, &mode)) {  // in pieces: older consoles refuse a long write whole
    const WideText wide = Utf8ToWide(utf8);
    for (std::size_t at = 0; at < wide.size(); at += kConsolePiece) {
      const std::size_t piece = std::min(kConsolePiece, wide.size() - at);
      WriteConsoleW(out, wide.data() + at, static_cast<DWORD>(piece), &written, nullptr);
    }
  } else {
    WriteFile(out, utf8.data(), static_cast<DWORD>(utf8.size()), &written, nullptr);
  }
  return true;
}

int BadCommandLine(const std::string& reason) {
  const std::string text = "veilswitcher: " + reason + "\n" + kUsageText;
  if (!Print(STD_ERROR_HANDLE, text))
    MessageBoxA(nullptr, text.c_str(), "veilswitcher", MB_OK | MB_ICONERROR);
  return kExitBadCommandLine;
}

int Refused(int code, const std::string& text) {
  Print(STD_ERROR_HANDLE, "veilswitcher: " + text + "\n");
  return code;
}

DWORD Left(DWORD started) {
  const DWORD spent = GetTickCount() - started;
  return spent >= kBudgetMilliseconds ? 0 : kBudgetMilliseconds - spent;
}

// Sends the request until it is answered, is refused unanswered, or the time is up; a copy in
// the middle of an operation answers "busy" and is asked again.
void SendRequest(HWND replyWindow, const std::string& request, DWORD started) {
  COPYDATASTRUCT copy = {};
  copy.dwData = kRequestTag;
  copy.cbData = static_cast<DWORD>(request.size());
  copy.lpData = const_cast<char*>(request.data());
  for (DWORD left = Left(started); left > 0 && !g_exchange.answered; left = Left(started)) {
    DWORD_PTR result = kRequestNotTaken;
    const LRESULT sent =
        SendMessageTimeoutA(g_exchange.copy, WM_COPYDATA, reinterpret_cast<WPARAM>(replyWindow),
                            reinterpret_cast<LPARAM>(&copy), SMTO_ABORTIFHUNG, left, &result);
    if (g_exchange.answered || sent == 0 || result != static_cast<DWORD_PTR>(kRequestBusy)) return;
    Sleep(kBusyRetryMilliseconds);
  }
}

// An ended copy has shown every window again by the time the client returns, where time allows.
void AwaitEnd(HANDLE process, DWORD started) {
  if (process != nullptr) WaitForSingleObject(process, Left(started));
}

int Carry(const Command& command) {
  const DWORD started = GetTickCount();
  g_exchange.copy = FindWindowA(Win32WindowHost::kClassName, nullptr);
  if (g_exchange.copy == nullptr) return Refused(kExitNoCopy, "veilswitcher is not running");
  DWORD processId = 0;
  GetWindowThreadProcessId(g_exchange.copy, &processId);
  HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, processId);
  SendRequest(CreateReplyWindow(), EncodeRequest(command), started);
  int code = kExitRefused;
  if (g_exchange.answered) {
    const Reply& reply = g_exchange.reply;
    Print(reply.code == kExitDone ? STD_OUTPUT_HANDLE : STD_ERROR_HANDLE, reply.text);
    if (command.verb == CommandVerb::kExit && reply.code == kExitDone) AwaitEnd(process, started);
    code = reply.code;
  } else if (!IsWindow(g_exchange.copy)) {
    code = Refused(kExitNoCopy, "veilswitcher is not running");
  } else {
    code = Refused(kExitRefused, "veilswitcher did not answer within a second (busy)");
  }
  if (process != nullptr) CloseHandle(process);
  return code;
}

}  // namespace

int RunCommandClient(const std::vector<std::string>& args) {
  Command command;
  std::string reason;
  if (!ParseCommandLine(args, &command, &reason)) return BadCommandLine(reason);
  if (command.verb == CommandVerb::kHelp) {
    if (!Print(STD_OUTPUT_HANDLE, kUsageText))
      MessageBoxA(nullptr, kUsageText, "veilswitcher", MB_OK | MB_ICONINFORMATION);
    return kExitDone;
  }
  return Carry(command);
}
