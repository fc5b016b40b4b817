// A small X11 helper for the process tests and the start-up benchmark.
//   xprobe close WINDOW_ID          asks the window to close, as a window manager does
//                                   (a WM_DELETE_WINDOW client message)
//   xprobe launch SETTLE_MS PROGRAM starts PROGRAM, waits for its first top-level window
//                                   to be mapped (or the one named XPROBE_WINDOW_NAME), and prints the milliseconds from exec to
//                                   the map, and the resident KiB and threads SETTLE_MS later;
//                                   then ends it
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <thread>

#include "resident_memory.h"

namespace {

int closeWindow(Display* display, Window window) {
  XEvent event{};
  event.xclient.type = ClientMessage;
  event.xclient.window = window;
  event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
  event.xclient.format = 32;
  event.xclient.data.l[0] = static_cast<long>(XInternAtom(display, "WM_DELETE_WINDOW", False));
  event.xclient.data.l[1] = CurrentTime;
  XSendEvent(display, window, False, NoEventMask, &event);
  XFlush(display);
  return 0;
}

int launch(Display* display, int settleMs, const char* name, char** program) {
  XSelectInput(display, DefaultRootWindow(display), SubstructureNotifyMask);
  XSync(display, False);
  const auto start = std::chrono::steady_clock::now();
  const pid_t child = fork();
  if (child == 0) {
    execv(program[0], program);
    _exit(127);
  }
  for (;;) {
    XEvent event;
    XNextEvent(display, &event);
    if (event.type != MapNotify || event.xmap.event != DefaultRootWindow(display)) continue;
    if (!name) break;
    char* mappedName = nullptr;
    const bool named = XFetchName(display, event.xmap.window, &mappedName) && mappedName &&
                       std::strcmp(mappedName, name) == 0;
    XFree(mappedName);
    if (named) break;
  }
  const auto mapped = std::chrono::steady_clock::now();
  std::this_thread::sleep_for(std::chrono::milliseconds(settleMs));
  const long rss = residentKiB(std::to_string(child));
  const long threads = procStatusValue(std::to_string(child), "Threads:");
  kill(child, SIGTERM);
  waitpid(child, nullptr, 0);
  std::printf("map_ms=%.2f rss_kib=%ld threads=%ld\n",
              std::chrono::duration<double, std::milli>(mapped - start).count(), rss, threads);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  // Closed on every return: the connection is the probe's only resource.
  const std::unique_ptr<Display, int (*)(Display*)> connection(XOpenDisplay(nullptr), XCloseDisplay);
  Display* display = connection.get();
  if (!display) {
    std::fprintf(stderr, "xprobe: no X display\n");
    return 2;
  }
  if (argc == 3 && std::strcmp(argv[1], "close") == 0) {
    return closeWindow(display, static_cast<Window>(std::strtoul(argv[2], nullptr, 0)));
  }
  if (argc >= 4 && std::strcmp(argv[1], "launch") == 0) {
    // XPROBE_WINDOW_NAME: wait for the window of that name, not any window.
    return launch(display, std::atoi(argv[2]), std::getenv("XPROBE_WINDOW_NAME"), argv + 3);
  }
  std::fprintf(stderr, "usage: xprobe close WINDOW_ID | xprobe launch SETTLE_MS PROGRAM [ARGS]\n");
  return 2;
}
