#pragma once

#include <windows.h>

// The calls for per-monitor dpi, looked up at run time: the newest Windows has them all;
// older ones fall back on the system-wide dpi. Each costs one lookup the first time.
namespace win32::dpi {

// Per-monitor aware (v2) through SetProcessDpiAwarenessContext where it exists, else
// system aware through SetProcessDPIAware. Call before any window is created.
void declareAwareness();

// The dpi of the monitor the window is on (GetDpiForWindow), else the system's.
UINT of(HWND window);

// The system's message font at `dpi` (SystemParametersInfoForDpi, else scaled from the
// system's metrics).
LOGFONTW messageFont(UINT dpi);

// The window rectangle whose client area is `client` (AdjustWindowRectExForDpi, else
// AdjustWindowRectEx).
RECT windowRectFor(RECT client, DWORD style, DWORD exStyle, UINT dpi);

}  // namespace win32::dpi
