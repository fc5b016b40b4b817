// The Windows program: one thread, one window. The command line is ignored.
#include <windows.h>
#include <objbase.h>

#include "win32/dpi.h"
#include "win32/form1_window.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int show) {
  win32::dpi::declareAwareness();
  // For the screen readers' annotations of the controls; an apartment of this thread alone.
  const bool com = SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
  const HWND window = win32::Form1Window::create(instance, show);
  int status = window ? 0 : 1;
  MSG message;
  while (window && GetMessageW(&message, nullptr, 0, 0) > 0) {
    if (!IsWindow(window) || !IsDialogMessageW(window, &message)) {
      TranslateMessage(&message);
      DispatchMessageW(&message);
    }
  }
  if (window) status = static_cast<int>(message.wParam);
  if (com) CoUninitialize();
  return status;
}
