#include "qt/x11_keyboard.h"

#include <QGuiApplication>

// Xlib's headers last: they define macros (None, Bool, KeyPress) that Qt's headers use as names.
#include <X11/XKBlib.h>

namespace qtui {

void sendKeyRepeatsAsPressesAlone() {
  const auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
  if (!x11 || !x11->display()) return;
  Bool supported = False;
  XkbSetDetectableAutoRepeat(x11->display(), True, &supported);
}

}  // namespace qtui
