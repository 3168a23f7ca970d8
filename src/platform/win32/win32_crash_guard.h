#pragma once

#include "app/platform.h"

// The last chance of a crashing program: an unhandled exception, a stack overflow, abort() or a
// C++ termination first shows the windows `rescue` holds hidden, once, and then ends the process
// as it would have ended. Call it on the thread that runs the program: that thread keeps stack in
// reserve for the rescue. `rescue` must live until the process ends.
void InstallCrashGuard(HiddenWindowRescue* rescue);
