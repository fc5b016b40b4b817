// The Windows program: one thread, one window. The command line is ignored.
#include <windows.h>
#include <objbase.h>

#include "win32/dpi.h"
#include "win32/form1_window.h"
#include "win32/message_loop.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int show) {
  win32::dpi::declareAwareness();
  // For the screen readers' annotations of the controls; an apartment of this thread alone.
  const bool com = SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
  const HWND window = win32::Form1Window::create(instance, show);
  const int status = window ? win32::runMessageLoop(window) : 1;
  win32::Form1Window::unregister(instance);
  if (com) CoUninitialize();
  return status;
}
