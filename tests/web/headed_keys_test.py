#!/usr/bin/python3
"""The access keys in a headed browser, as a user has it: a window with its address bar and
menus on a private Xvfb under openbox, the page opened from a disk, the price box clicked,
and each key pressed as a hand presses it, through the X server (xdotool: Alt down, the
letter down and up, Alt up). Alt+D is also the address bar's key in Chromium and Firefox,
and Alt+letter opens a menu in some browsers: the page takes each of its keys, and the
browser acts on none of them. The page's state is read through WebDriver; the keyboard is
the page's when the page says it has the focus, and keys typed next reach the page.

    headed_keys_test.py --page BUILD/web/salestax.html chromium firefox
"""
import argparse
import os
import subprocess
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import browsers  # noqa: E402
from page_test import OPTION_OF, Checks, Page  # noqa: E402

# Each access key in turn: what is typed into the price box first, then the state checked,
# the focus, the tax shown and the price box's text once the key has been pressed.
KEYS = [(key, "", OPTION_OF[key], OPTION_OF[key], "0", "") for key in "domnp"] + [
    ("c", "19.99", "optPA", "txtPrice", "1.1994", "")]

# The keys a browser keeps for itself whatever the page does, and what it does with them
# (the README says the same). None is kept in Chromium 156 or Firefox ESR 153 on Linux.
KEPT = {}

# What the page knows of the keyboard: whether its document has the focus (not when the
# address bar, a menu or another window has it), and the keys it was sent since the last look.
KEYBOARD = """
if (!window.__keys) {
  window.__keys = [];
  document.addEventListener('keydown', (e) => window.__keys.push(e.key), true);
}
return [document.hasFocus(), window.__keys.splice(0)];
"""


def x_environment(display):
    return dict(os.environ, **display)


def xdotool(display, *words):
    return subprocess.run(["xdotool", *words], env=x_environment(display), capture_output=True, text=True,
                          timeout=10).stdout.strip()


def start_openbox(scratch, display):
    """Openbox on the display, once it manages windows: it claims the screen before it has
    finished starting, and a window mapped in between is never managed, so it is ready once a
    window mapped after that (xmessage's, a new one for each try) gets its WM_STATE."""
    wm = scratch.folder("openbox")
    scratch.start(["openbox", "--sm-disable"], "openbox.log",
                  dict(x_environment(display), HOME=wm, XDG_CONFIG_HOME=wm, XDG_CACHE_HOME=wm))
    env = x_environment(display)

    def claimed():
        return "window id" in subprocess.run(["xprop", "-root", "_NET_SUPPORTING_WM_CHECK"], env=env,
                                             capture_output=True, text=True).stdout
    if not browsers.wait_until(10, claimed):
        raise browsers.BrowserDidNotStart("openbox did not start: " + scratch.log("openbox.log")[-300:])
    for attempt in range(5):
        title = "window-manager-probe-%d" % attempt
        probe = subprocess.Popen(["xmessage", "-title", title, "probe"], env=env, stdout=subprocess.DEVNULL,
                                 stderr=subprocess.DEVNULL)
        try:
            if browsers.wait_until(2, lambda: "Normal" in subprocess.run(
                    "xprop -id $(xdotool search --name '^%s$' | head -n 1) WM_STATE" % title, shell=True, env=env,
                    capture_output=True, text=True).stdout):
                return
        finally:
            probe.kill()
            probe.wait()
    raise browsers.BrowserDidNotStart("openbox did not manage a window within 10 s of claiming the screen")


class HeadedPage(Page):
    def __init__(self, browser, display):
        super().__init__(browser)
        self.display = display

    def open(self, url):
        """The page, and the browser's window, whose title is the page's and the browser's name."""
        super().open(url)
        self.window = browsers.wait_until(10, lambda: self.x("search", "--onlyvisible", "--name", "^Form1 "))
        if not self.window:
            raise AssertionError("no %s window showing the page" % self.b.name)

    def x(self, *words):
        return xdotool(self.display, *words)

    def click_price_box(self):
        """The pointer moved into the page, where the page learns where its viewport is on the
        screen, then pressed and released on the price box: the page's, not the address bar's,
        is then the keyboard (a browser opened through WebDriver may leave it in the address bar)."""
        self.b.run("window.__origin = null; document.addEventListener('mousemove',"
                   " (e) => { window.__origin = [e.screenX - e.clientX, e.screenY - e.clientY]; }, {once: true});")
        geometry = dict(line.split("=") for line in self.x("getwindowgeometry", "--shell", self.window).splitlines())
        self.x("mousemove", str(int(geometry["X"]) + int(geometry["WIDTH"]) // 2),
               str(int(geometry["Y"]) + int(geometry["HEIGHT"]) // 2))
        origin = browsers.wait_until(5, lambda: self.b.run("return window.__origin;"))
        if not origin:
            raise AssertionError("the pointer moved over the window never reached the page")
        x, y = self.b.centre("#txtPrice")
        self.x("mousemove", str(round(origin[0] + x)), str(round(origin[1] + y)), "click", "1")

    def type_to_page(self, text):
        """Types text; whether the page then has the keyboard (KEYBOARD), and the keys it was
        sent, once they are all of text's or after 2 seconds."""
        self.b.run(KEYBOARD)
        self.type(text)
        sent = []

        def all_sent():
            sent.extend(self.b.run(KEYBOARD)[1])
            return sent == list(text)
        browsers.wait_until(2, all_sent)
        return self.b.run(KEYBOARD)[0], sent

    def alt_key(self, key):
        self.x("keydown", "alt", "keydown", key, "keyup", key, "keyup", "alt")

    def type(self, text):
        self.x("type", "--delay", "30", text)


def run_in(name, page_url, checks):
    with browsers.Scratch() as scratch:
        display = browsers.start_xvfb(scratch, name)
        start_openbox(scratch, display)
        browser = browsers.start_browser(name, scratch, display=display)
        print("# %s %s, headed, under openbox" % (name, browser.version))
        page = HeadedPage(browser, display)
        page.open(page_url)
        page.click_price_box()
        page.type("5")
        start = page.settle(lambda s: s["price"] == "5")
        checks.equal("%s: a click in the price box, and a digit typed lands there" % name,
                     (start["focus"], start["price"]), ("txtPrice", "5"))
        page.x("key", "BackSpace")
        expected_page = start["page"]
        for key, typed, checked, focus, tax, price in KEYS:
            what = "%s: Alt+%s" % (name, key.upper())
            page.type(typed)
            page.settle(lambda s: s["price"] == typed)
            page.alt_key(key)
            wanted = (checked, focus, tax, price, expected_page)
            look = lambda s: (s["checked"][0] if s["checked"] else None, s["focus"], s["tax"], s["price"], s["page"])
            now = look(page.settle(lambda s: look(s) == wanted))
            time.sleep(0.5)
            settled = look(page.state())
            # The keyboard after the key: the page's document keeps the focus, the browser's
            # window stays the active one, and digits typed next are the page's (into the price
            # box when it has the focus, and to nothing on a state's radio button).
            has_focus, sent = page.type_to_page("12")
            kept = not has_focus or sent != ["1", "2"]
            active = page.x("getactivewindow") == page.window
            after = page.state()
            if (name, key) in KEPT:
                print("known: %s is the browser's: %s" % (what, KEPT[name, key]))
                checks.check(what + " is still the browser's", kept, "the page had it: %r" % (settled,))
            else:
                checks.equal(what + ": the state, the focus, the tax, the price box, the same page, on the key", now, wanted)
                checks.equal(what + ": the same half a second later", settled, wanted)
                checks.equal(what + ": the page keeps the keyboard, in the active window; digits typed next reach it",
                             (has_focus, active, sent, after["page"]), (True, True, ["1", "2"], expected_page))
            if kept:
                # The keyboard given back to the page as a user gives it, for the next key: a
                # menu closed, the price box clicked.
                page.x("key", "Escape")
                page.click_price_box()
                page.x("key", "ctrl+a", "BackSpace")
                continue
            # Back to the price box, empty.
            if focus == "txtPrice":
                checks.equal(what + ": the digits land in the price box", after["price"], "12")
                page.x("key", "BackSpace", "BackSpace")
            else:
                checks.equal(what + ": the digits change nothing on a state", (look(after), after["price"]), (wanted, ""))
                page.x("key", "shift+Tab")
            back = page.settle(lambda s: (s["focus"], s["price"]) == ("txtPrice", ""))
            checks.equal(what + ": back in the price box", (back["focus"], back["price"]), ("txtPrice", ""))
        checks.equal("%s: no console error" % name, browser.console_errors(), [])


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--page", required=True)
    parser.add_argument("browsers", nargs="+", choices=["chromium", "firefox"])
    args = parser.parse_args()
    checks = Checks()
    for name in args.browsers:
        try:
            run_in(name, "file://" + os.path.abspath(args.page), checks)
        except (browsers.BrowserDidNotStart, AssertionError) as e:
            checks.check("%s: the test ran to its end" % name, False, e)
    return checks.summary()


if __name__ == "__main__":
    sys.exit(main())
