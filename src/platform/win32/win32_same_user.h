#pragma once

#include <windows.h>

// Whether window `w` belongs to a process of the user this process runs as. Lower integrity is
// kept out by the system itself (UIPI drops its WM_COPYDATA); this keeps out other users sharing
// the desktop. False whenever the question cannot be answered.
bool WindowOfOwnUser(HWND w);

#include <string>

// The SID of the user this process runs as, in its string form ("S-1-5-21-..."); empty when it
// cannot be read.
std::string OwnUserSid();
