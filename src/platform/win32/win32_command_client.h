#pragma once

#include <string>
#include <vector>

// The program run with a command: a short-lived client of the running copy. It takes no lock,
// registers no hotkey and touches no setting; it finds the running copy's hidden window, hands
// it the command, prints the answer and gives the exit code (kExitDone ... kExitNoAnswer). It
// waits as long as the command runs, and at most 10 seconds for a copy that shows no sign of life.
int RunCommandClient(const std::vector<std::string>& args);

// "veilswitcher: REASON" and a line feed to standard error (UTF-8); returns `code`.
int ReportFailure(int code, const std::string& reason);
