#pragma once

#include <windows.h>

namespace win32 {

// Where the loop takes its messages from: GetMessageW's signature, so that tests can stand
// in for it.
using MessageSource = BOOL(WINAPI*)(LPMSG message, HWND window, UINT first, UINT last);

// Runs the thread's messages until WM_QUIT, handing keys for `dialog` to IsDialogMessageW
// (Tab, the arrow keys within a group, access keys) and dispatching the rest. Returns
// WM_QUIT's exit code; 1 when the source fails (GetMessageW's -1), whose message holds
// nothing to read.
int runMessageLoop(HWND dialog, MessageSource source = GetMessageW);

}  // namespace win32
