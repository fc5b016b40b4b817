#!/usr/bin/env python3
"""Random real input for the running calculator, through the X server with xdotool and xclip:
typed characters, keys, pastes, clicks, the wheel, resizes and moves; a report that comes up
is dismissed after a random delay. Every so many events a probe picks a state by its access
key, types a known price, presses Alt+C and reads the tax back by selecting the label's text
with the mouse, and checks it against exact rational arithmetic.

    chaos.py --pid PID --window WID --seed SEED (--events N | --seconds S) --log STDERR_LOG

CHAOS_VERBOSE=1 prints every xdotool command; CHAOS_SCREENSHOT=FILE.png keeps a screenshot of
the screen at a failure.
"""
import argparse
import os
import random
import re
import struct
import subprocess
import sys
import time
from fractions import Fraction

REPORT = "^Sales Tax Calculator$"
TAX_FORM = re.compile(r"^-?(0|[1-9][0-9]*)(\.[0-9]{0,3}[1-9])?$")
SANITIZER = re.compile(r"ERROR: AddressSanitizer|runtime error:|ERROR: LeakSanitizer")

# Where the controls are, in the window's own pixels.
PRICE_BOX, BUTTON, TAX_LABEL = (324, 84), (328, 192), (289, 136)
CONTROLS = [PRICE_BOX, BUTTON, TAX_LABEL, (47, 96), (47, 128), (47, 164), (47, 200), (47, 232),
            (230, 136), (230, 88), (84, 250), (40, 64)]
STATES = {}  # each state's access key and rate, from the build's facts (--facts)
CHARACTERS = list("0123456789" * 4 + "+-.,$eE  " + "abcxyzXYZ") + ["é", "€", "中", "文", "😀", "ß"]
KEYS = ["Tab", "ISO_Left_Tab", "Left", "Right", "Up", "Down", "Home", "End", "BackSpace", "Delete",
        "ctrl+z", "ctrl+shift+z", "ctrl+y", "ctrl+a", "ctrl+c", "ctrl+x", "ctrl+v", "Return", "Escape",
        "alt+p", "alt+o", "alt+m", "alt+n", "alt+d", "alt+c", "space"]


def binary32(value: Fraction) -> Fraction:
    """The binary32 nearest to value, ties to even, as an exact fraction."""
    def bits(f):
        return struct.unpack("<I", struct.pack("<f", f))[0]

    def value_of(b):
        return Fraction(struct.unpack("<f", struct.pack("<I", b))[0])
    b = bits(float(value))
    candidates = [c for c in (b - 1, b, b + 1) if 0 <= c < 0x7F800000 or 0x80000000 <= c < 0xFF800000]
    return min((abs(value_of(c) - value), c & 1, value_of(c)) for c in candidates)[2]


def tax_text(price: str, rate: Fraction) -> str:
    scaled = binary32(Fraction(price)) * rate * 10000
    whole, rest = divmod(scaled, 1)
    if rest > Fraction(1, 2) or (rest == Fraction(1, 2) and whole % 2):
        whole += 1
    whole = int(whole)
    sign, digits = ("-" if whole < 0 else ""), str(abs(whole)).rjust(5, "0")
    text = (digits[:-4] + "." + digits[-4:]).rstrip("0").rstrip(".")
    return sign + text if whole else "0"


class Chaos:
    def __init__(self, args):
        self.args, self.rng = args, random.Random(args.seed)
        self.events = self.probes = self.reports = self.retyped = self.misread = 0
        self.clipboard = self.primary_owner = None
        self.size = (465, 443)

    def x(self, *words):
        if os.environ.get("CHAOS_VERBOSE"):
            print("  xdotool", *words)
        return subprocess.run(["xdotool", *map(str, words)], capture_output=True, text=True,
                              timeout=30).stdout

    def fail(self, why):
        if os.environ.get("CHAOS_SCREENSHOT"):
            subprocess.run(["import", "-window", "root", os.environ["CHAOS_SCREENSHOT"]])
        print("FAIL: %s (seed %d, after %d events and %d probes)" % (why, self.args.seed, self.events, self.probes))
        sys.exit(1)

    def alive(self):
        try:
            os.kill(self.args.pid, 0)
        except OSError:
            self.fail("the program ended")
        with open(self.args.log, errors="replace") as log:
            found = SANITIZER.search(log.read())
        if found:
            self.fail("a sanitizer report: " + found.group(0))

    def report(self):
        found = self.x("search", "--onlyvisible", "--name", REPORT).split()
        return found[0] if found else None

    def set_clipboard(self, text):
        if self.clipboard:
            self.clipboard.kill()
            self.clipboard.wait()
        self.clipboard = subprocess.Popen(["xclip", "-quiet", "-selection", "clipboard"], stdin=subprocess.PIPE,
                                          stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        self.clipboard.stdin.write(text.encode())
        self.clipboard.stdin.close()
        time.sleep(0.05)

    def dismiss(self, report, how=None):
        time.sleep(self.rng.uniform(0, 0.3))
        how = how or self.rng.choice(["Return", "Escape", "button"])
        self.x("windowactivate", "--sync", report)
        if how == "button":
            geometry = dict(re.findall(r"(WIDTH|HEIGHT)=(\d+)", self.x("getwindowgeometry", "--shell", report)))
            self.x("mousemove", "--window", report, int(geometry.get("WIDTH", 300)) - 50,
                   int(geometry.get("HEIGHT", 110)) - 22, "click", "1")
        else:
            self.x("key", how)
        for _ in range(50):
            if self.report() != report:
                self.reports += 1
                return
            time.sleep(0.1)
        self.x("key", "--window", report, "Escape")  # a missed click: try once more, then give up
        time.sleep(0.5)
        if self.report() == report:
            self.fail("a report could not be dismissed")
        self.reports += 1

    def random_point(self):
        return self.rng.randrange(self.size[0]), self.rng.randrange(self.size[1])

    def random_text(self, long=False):
        if long:
            return "".join(self.rng.choice("0123456789.,e-") for _ in range(100_000))
        return "".join(self.rng.choice(CHARACTERS) for _ in range(self.rng.randint(1, 12)))

    def event(self):
        w, r = self.args.window, self.rng.random()
        if r < 0.25:
            # Characters outside the keyboard map are typed by remapping a key, which needs time.
            self.x("type", "--delay", "30", "--", self.random_text())
        elif r < 0.55:
            self.x("key", self.rng.choice(KEYS))
        elif r < 0.62:
            self.set_clipboard(self.random_text(long=self.rng.random() < 0.2))
            self.x("key", "ctrl+v")
        elif r < 0.82:
            x, y = self.rng.choice(CONTROLS) if self.rng.random() < 0.7 else self.random_point()
            # Only within the window: a click on the desktop would open the window manager's menu.
            x, y = min(x, self.size[0] - 1), min(y, self.size[1] - 1)
            self.x("mousemove", "--window", w, x, y, "click", self.rng.choice([1, 1, 1, 2, 3]))
        elif r < 0.88:
            self.x("mousemove", "--window", w, *self.random_point(),
                   "click", self.rng.choice([4, 5]))
        elif r < 0.94:
            self.size = (self.rng.randrange(150, 900), self.rng.randrange(120, 700))
            self.x("windowsize", "--sync", w, *self.size)
        else:
            self.x("windowmove", w, self.rng.randrange(0, 500), self.rng.randrange(0, 300))
        self.events += 1

    def settle(self):
        """No report, no menu, the window at its size and active."""
        report = self.report()
        if report:
            self.dismiss(report, "Return")
        self.x("key", "Escape")
        self.size = (465, 443)
        self.x("windowsize", "--sync", self.args.window, *self.size)
        self.x("windowactivate", "--sync", self.args.window)

    def own_primary(self):
        if self.primary_owner:
            self.primary_owner.kill()
            self.primary_owner.wait()
        self.primary_owner = subprocess.Popen(["xclip", "-quiet", "-selection", "primary", "-i", "/dev/null"],
                                              stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        for _ in range(20):
            if self.primary() == "":
                return
            time.sleep(0.05)

    def primary(self):
        return subprocess.run(["xclip", "-o", "-selection", "primary", "-t", "UTF8_STRING"], capture_output=True,
                              text=True, timeout=10).stdout

    def select_tax(self):
        """The label's text, selected with the mouse and read from the primary selection."""
        w = self.args.window
        self.own_primary()  # so that a selection that did not happen reads as empty
        # A click first clears any selection, which a press would start to drag instead; then
        # the press waits out the double-click time.
        self.x("mousemove", "--window", w, *TAX_LABEL, "click", "1", "sleep", "0.5", "mousedown", "1", "sleep", "0.05",
               "mousemove", "--window", w, 380, TAX_LABEL[1], "sleep", "0.05",
               "mousemove", "--window", w, 464, TAX_LABEL[1], "mouseup", "1", "sleep", "0.1")
        return self.primary()

    def read_tax(self):
        """The label's text as two selections in a row agree on it: a selection made by the
        mouse now and then comes out short."""
        last = None
        for _ in range(5):
            text = self.select_tax()
            if text and text == last:
                return text
            if text != last and last is not None:
                self.misread += 1
            last = text
            if not text:
                self.settle()
        return last or ""

    def enter_price(self, price):
        """Types the price into the emptied box and reads it back: xdotool's typing of characters
        outside the keyboard map remaps keys, and a key typed while X and the program catch up
        can come out as another character."""
        for attempt in range(3):
            if attempt:
                self.retyped += 1
                self.settle()
            self.x("mousemove", "--window", self.args.window, *PRICE_BOX, "click", "1", "sleep", "0.1")
            self.x("key", "ctrl+a", "BackSpace")
            self.x("type", "--delay", "5", "--", price)
            self.x("key", "ctrl+a")
            for _ in range(10):
                time.sleep(0.1)
                if self.primary() == price:
                    return
        self.fail("could not type %s into the price box" % price)

    def probe(self):
        self.settle()
        before = self.read_tax()
        if not TAX_FORM.match(before):
            self.fail("the tax label shows %r" % before)
        key = self.rng.choice(list(STATES))
        price = "%d.%02d" % (self.rng.randrange(0, 100000), self.rng.randrange(100))
        if self.rng.random() < 0.3:
            price = "-" + price
        self.x("key", "alt+" + key)
        self.enter_price(price)
        self.x("key", "alt+c")
        time.sleep(0.2)
        if self.report():
            self.fail("a valid price %s brought up a report" % price)
        got, expected = self.read_tax(), tax_text(price, STATES[key])
        if got != expected:
            self.fail("%s with rate %s shows %r, not %r" % (price, float(STATES[key]), got, expected))
        self.probes += 1

    def timed_long_paste(self):
        """How long a 100,000-character paste and Alt+C take, to the report."""
        self.settle()
        self.set_clipboard("1" * 99_999 + "x")
        self.x("mousemove", "--window", self.args.window, *PRICE_BOX, "click", "1")
        self.x("key", "ctrl+a", "BackSpace")
        time.sleep(0.2)
        start = time.monotonic()
        self.x("key", "ctrl+v", "alt+c")
        while not self.report():
            if time.monotonic() - start > 30:
                self.fail("no report 30 s after pasting 100,000 characters")
            time.sleep(0.005)
        print("a 100,000-character paste and Alt+C: report after %.0f ms" % ((time.monotonic() - start) * 1000))
        self.dismiss(self.report(), "Return")

    def run(self):
        print("chaos seed %d" % self.args.seed)
        self.timed_long_paste()
        end = time.monotonic() + self.args.seconds if self.args.seconds else None
        while (self.events < self.args.events) if not end else (time.monotonic() < end):
            self.event()
            report = self.report()
            if report and self.rng.random() < 0.8:
                self.dismiss(report)
            if self.events % 10 == 0:
                self.alive()
            if self.events % self.args.probe_every == 0:
                self.probe()
        self.probe()
        self.settle()
        self.alive()
        for helper in (self.clipboard, self.primary_owner):
            if helper:
                helper.kill()
                helper.wait()
        print("events sent: %d, probes: %d, reports dismissed: %d, prices typed again: %d, tax reads that disagreed: %d"
              % (self.events, self.probes, self.reports, self.retyped, self.misread))


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--pid", type=int, required=True)
    parser.add_argument("--window", required=True)
    parser.add_argument("--seed", type=int, required=True)
    parser.add_argument("--events", type=int, default=300)
    parser.add_argument("--seconds", type=float, default=0)
    parser.add_argument("--probe-every", type=int, default=40)
    parser.add_argument("--log", required=True)
    parser.add_argument("--facts", required=True, help="what the build's facts program printed")
    args = parser.parse_args()
    with open(args.facts) as facts:
        for line in facts:
            fields = line.split()
            if fields[0] == "rate":
                STATES[fields[1]] = Fraction(float.fromhex(fields[2]))
    Chaos(args).run()


main()
