// veilswitcher.com, the console twin of veilswitcher.exe. Windows looks for a .com before an .exe,
// so "veilswitcher /list" typed at a prompt in the program's folder (or with it on PATH) runs
// this one: a console program, which the prompt waits for and whose exit code it keeps, as it
// does for no windowed program. It is the program's own client; it is never the resident copy.
#include <windows.h>

#include <string>
#include <vector>

#include "commands/command_line.h"
#include "commands/command_messages.h"
#include "platform/win32/win32_command_client.h"
#include "platform/win32/win32_text.h"

namespace {

constexpr DWORD kReadyMilliseconds = 10000;  // as long as the client waits for a silent copy

// Text for the wide calls, each ending in its zero; std::wstring would add 20 KB to the file.
struct ProgramPaths {
  WideText folder;   // with its trailing separator
  WideText program;  // veilswitcher.exe in that folder
  WideText line;     // the program's path, quoted
};

ProgramPaths PathsBeside() {
  WideText path(MAX_PATH);
  DWORD length = 0;
  while ((length = GetModuleFileNameW(nullptr, path.data(), path.size())) == path.size())
    path.resize(path.size() * 2);
  path.resize(length);
  while (!path.empty() && path.back() != L'\\' && path.back() != L'/') path.pop_back();
  static const wchar_t kName[] = L"veilswitcher.exe";  // with its zero
  ProgramPaths paths;
  paths.folder = path;
  paths.folder.push_back(L'\0');
  paths.program = path;
  paths.program.insert(paths.program.end(), kName, kName + sizeof kName / sizeof *kName);
  paths.line.push_back(L'"');
  paths.line.insert(paths.line.end(), paths.program.begin(), paths.program.end() - 1);
  paths.line.insert(paths.line.end(), {L'"', L'\0'});
  return paths;
}

// As a double click starts it: no console of ours, no handle of ours, in its own folder, so that
// the resident copy outlives this prompt and holds no other folder in use.
int StartProgramBeside() {
  ProgramPaths paths = PathsBeside();
  STARTUPINFOW startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION started = {};
  if (!CreateProcessW(
          paths.program.data(), paths.line.data(), nullptr, nullptr, FALSE, DETACHED_PROCESS,
          nullptr, paths.folder.size() > 1 ? paths.folder.data() : nullptr, &startup, &started)) {
    const DWORD error = GetLastError();
    const int chars = static_cast<int>(paths.program.size()) - 1;
    return ReportFailure(kExitNoCopy, "cannot start " + WideToUtf8(paths.program.data(), chars) +
                                          " (error " + std::to_string(error) + ")");
  }
  // Until it takes messages, or gives up as a refused second copy: a command typed next then
  // finds the copy's window.
  WaitForInputIdle(started.hProcess, kReadyMilliseconds);
  CloseHandle(started.hThread);
  CloseHandle(started.hProcess);
  return kExitDone;
}

}  // namespace

int main(int argc, char** argv) {
  const std::vector<std::string> args(argv + 1, argv + argc);
  if (AsksRunningCopy(args)) return RunCommandClient(args);
  return StartProgramBeside();
}
