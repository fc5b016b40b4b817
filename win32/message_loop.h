#pragma once

#include <windows.h>

namespace win32 {

// Where the loop takes its messages from: GetMessageW's signature, so that tests can stand
// in for it.
using MessageSource = BOOL(WINAPI*)(LPMSG message, HWND window, UINT first, UINT last);

// Sent to the dialog with each key message (WM_KEYDOWN to WM_SYSKEYUP) before the dialog
// manager sees it, the MSG in lParam. A dialog that handles the key itself returns nonzero:
// the key is then dispatched as it is, past IsDialogMessageW and untranslated, so that it
// makes no WM_CHAR or WM_SYSCHAR (no access key, no typed letter, no beep), while
// DefWindowProc still sees it go down and up.
inline constexpr UINT kOwnKeyMessage = WM_APP + 1;

// Runs the thread's messages until WM_QUIT, offering keys for `dialog` to it first
// (kOwnKeyMessage), then to IsDialogMessageW (Tab, the arrow keys within a group, access
// keys), and dispatching the rest. Returns WM_QUIT's exit code; 1 when the source fails
// (GetMessageW's -1), whose message holds nothing to read.
int runMessageLoop(HWND dialog, MessageSource source = GetMessageW);

}  // namespace win32
