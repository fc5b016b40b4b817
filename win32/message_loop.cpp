#include "win32/message_loop.h"

namespace win32 {

int runMessageLoop(HWND dialog, MessageSource source) {
  MSG message{};
  for (;;) {
    const BOOL got = source(&message, nullptr, 0, 0);
    if (got == -1) return 1;
    if (got == 0) return static_cast<int>(message.wParam);
    if (!IsWindow(dialog)) {
      TranslateMessage(&message);
      DispatchMessageW(&message);
    } else if (message.message >= WM_KEYDOWN && message.message <= WM_SYSKEYUP &&
               SendMessageW(dialog, kOwnKeyMessage, 0, reinterpret_cast<LPARAM>(&message))) {
      DispatchMessageW(&message);
    } else if (!IsDialogMessageW(dialog, &message)) {
      TranslateMessage(&message);
      DispatchMessageW(&message);
    }
  }
}

}  // namespace win32
