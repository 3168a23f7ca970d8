#pragma once

#include "app/platform.h"

// The last chance of a crashing program: an unhandled exception, or a C++ termination, first
// shows the windows `rescue` holds hidden and then ends the process as it would have ended.
// `rescue` must live until the process ends.
void InstallCrashGuard(HiddenWindowRescue* rescue);
