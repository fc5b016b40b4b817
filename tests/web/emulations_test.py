#!/usr/bin/python3
"""The page in Chromium where what a test can only emulate decides: a browser without inert
(emulated by a script run before the page), access keys typed on layouts where Alt and the
letter give another character, a key held with the keyboard's own repeats, and a phone (the
page at a phone's size, touch input, the decimal keypad), through the DevTools protocol:
its input is the browser's own, as a keyboard or a touch screen gives it.

    emulations_test.py --page BUILD/web/salestax.html --screenshots DIR --facts NODE FACTS.js

Phone screenshots (light and dark, with a tax and with the report) go to DIR.
"""
import os
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import browsers  # noqa: E402
from page_test import OPTION_OF, Checks, Page, page_arguments  # noqa: E402

# A browser without inert: the property there, doing nothing, as in Firefox before 112.
NO_INERT = """
Object.defineProperty(HTMLElement.prototype, 'inert', {configurable: true, get() { return false; }, set(v) {}});
"""

# What Alt and each access key's letter type on other layouts, with the key's place (code):
# Option on a Mac (its N a dead key), and the Russian layout.
LAYOUTS = [
    ("a Mac's Option", {"p": "π", "o": "ø", "m": "µ", "n": "Dead", "d": "∂", "c": "ç"}),
    ("the Russian layout", {"p": "з", "o": "щ", "m": "ь", "n": "т", "d": "в", "c": "с"}),
]
ALT = 1  # the protocol's modifier bit for Alt


class Keyboard:
    """Keys as the browser's own input, with a key's character and place given apart."""

    def __init__(self, browser):
        self.b = browser

    def send(self, kind, key, code, modifiers=0, text="", repeat=False):
        self.b.cdp("Input.dispatchKeyEvent", {"type": kind, "key": key, "code": code, "modifiers": modifiers,
                                              "text": text, "unmodifiedText": text, "autoRepeat": repeat})

    def alt_down(self):
        self.send("rawKeyDown", "Alt", "AltLeft", ALT)

    def alt_up(self):
        self.send("keyUp", "Alt", "AltLeft")

    def letter(self, kind, letter, character, repeat=False):
        """The letter's key, `character` what it types with Alt held."""
        text = "" if kind == "keyUp" or character == "Dead" else character
        self.send(kind, character, "Key" + letter.upper(), ALT, text, repeat)


def without_inert(b, page, facts, checks):
    script = b.cdp("Page.addScriptToEvaluateOnNewDocument", {"source": NO_INERT})["identifier"]
    page.open(b.page_url)
    b.press("c", "Alt")
    time.sleep(1.5)  # past the moment, a second after, the form would be made inert
    s = page.state()
    checks.equal("without inert: the report up, OK focused, the form not inert (the emulation holds)",
                 (s["report"], s["focus"], s["inert"]), (True, "reportOk", False))
    got = []
    for key, modifiers in [("Tab", ()), ("Tab", ()), ("Tab", ("Shift",)), ("Tab", ("Shift",)), ("Tab", ())]:
        b.press(key, *modifiers)
        got.append(page.state()["focus"])
    checks.equal("  Tab, Tab, Shift+Tab, Shift+Tab, Tab: each on OK", got, ["reportOk"] * 5)
    for target in ["#optOH", "#cmdCalculateSalesTax", "#txtPrice"]:
        b.click(target)
    b.type("9")
    b.run("document.getElementById('txtPrice').focus();")  # as a screen reader moves the focus
    s = page.state()
    checks.equal("  clicks on Ohio, the button and the price box, typing, the focus moved to the price box by a "
                 "script: nothing behind it changes, OK focused",
                 (s["report"], s["checked"], s["price"], s["tax"], s["focus"]), (True, ["optPA"], "", "0", "reportOk"))
    b.press("Escape")
    s = page.settle(lambda s: not s["report"])
    checks.equal("  Escape: the report gone, the price box focused", (s["report"], s["focus"]), (False, "txtPrice"))
    b.cdp("Page.removeScriptToEvaluateOnNewDocument", {"identifier": script})


def layouts(b, page, facts, checks):
    keyboard = Keyboard(b)
    page.open(b.page_url)
    _, price, tax = [e for e in facts.examples if e[0] == "p" and "." in e[1]][0]
    for layout, characters in LAYOUTS:
        got = []
        for key in ["o", "m", "n", "d", "p"]:
            keyboard.alt_down()
            keyboard.letter("keyDown", key, characters[key])
            keyboard.letter("keyUp", key, characters[key])
            keyboard.alt_up()
            s = page.state()
            got.append((characters[key], s["checked"], s["focus"]))
            b.press("Tab", "Shift")
        checks.equal("%s: Alt with the keys of P, O, M, N and D check and focus their state" % layout,
                     got, [(characters[k], [OPTION_OF[k]], OPTION_OF[k]) for k in ["o", "m", "n", "d", "p"]])
        b.type(price)
        keyboard.alt_down()
        keyboard.letter("keyDown", "c", characters["c"])
        held = page.state()
        keyboard.letter("keyUp", "c", characters["c"])
        keyboard.alt_up()
        s = page.settle(lambda s: s["price"] == "")
        checks.equal("  Alt+%s (the C key): nothing while held, then %s's tax %s, nothing typed" % (characters["c"], price, tax),
                     (held["price"], s["tax"], s["price"], s["focus"]), (price, tax, "", "txtPrice"))

    # The keyboard's own repeats of a held C, marked as repeats: one click when it is let go of.
    b.type(price)
    page.runs()
    keyboard.alt_down()
    keyboard.letter("keyDown", "c", "c")
    for _ in range(5):
        keyboard.letter("keyDown", "c", "c", repeat=True)
    runs_held, repeats = page.runs()
    keyboard.letter("keyUp", "c", "c")
    keyboard.alt_up()
    checks.equal("Alt+C held with five repeats: nothing while held, one tax when let go of",
                 (repeats, runs_held, page.runs()[0]), (5, [], ["tax"]))


def tap(b, selector):
    """A finger down and up at the element's centre."""
    x, y = b.centre(selector)
    b.cdp("Input.dispatchTouchEvent", {"type": "touchStart", "touchPoints": [{"x": x, "y": y}]})
    b.cdp("Input.dispatchTouchEvent", {"type": "touchEnd", "touchPoints": []})


# The smallest of each target's width and height, in CSS pixels.
TARGETS = """
return Object.fromEntries(arguments[0].map((s) => {
  const r = document.querySelector(s).getBoundingClientRect();
  return [s, Math.round(Math.min(r.width, r.height) * 100) / 100];
}));
"""
PHONE_TARGETS = ["#txtPrice", "#cmdCalculateSalesTax"] + ["#" + o for o in OPTION_OF.values()]


def phone(b, page, facts, checks, shots, scheme):
    b.cdp("Emulation.setEmulatedMedia", {"features": [{"name": "prefers-color-scheme", "value": scheme}]})
    b.cdp("Emulation.setDeviceMetricsOverride", {"width": 360, "height": 740, "deviceScaleFactor": 2, "mobile": True})
    b.cdp("Emulation.setTouchEmulationEnabled", {"enabled": True, "maxTouchPoints": 5})
    page.open(b.page_url)
    checks.equal("%s phone: 360 CSS pixels wide, a touch screen" % scheme,
                 b.run("return [innerWidth, matchMedia('(pointer: coarse)').matches, navigator.maxTouchPoints > 0];"),
                 [360, True, True])
    checks.equal("  the price box brings up the decimal keypad",
                 b.run("return document.getElementById('txtPrice').inputMode;"), "decimal")
    small = {s: size for s, size in b.run(TARGETS, PHONE_TARGETS).items() if size < 44}
    checks.equal("  the price box, the button and every state at least 44 px each way", small, {})
    checks.equal("  every caption fits, nothing overlaps, nothing outside the width", page.layout(list(facts.controls), True), [])

    key, price, tax = [e for e in facts.examples if e[0] == "n"][0]
    tap(b, "#" + OPTION_OF[key])
    tap(b, "#txtPrice")
    b.cdp("Input.insertText", {"text": price})
    typed = page.state()
    tap(b, "#cmdCalculateSalesTax")
    s = page.settle(lambda s: s["tax"] == tax)
    checks.equal("  a tap on New York, %s typed, a tap on the button: tax %s" % (price, tax),
                 (typed["checked"], typed["price"], s["tax"], s["price"], s["report"]), ([OPTION_OF[key]], price, tax, "", False))
    b.screenshot(shots("phone-%s" % scheme))

    tap(b, "#cmdCalculateSalesTax")
    s = page.settle(lambda s: s["report"])
    checks.equal("  a tap on the button with no price: the report, OK focused",
                 (s["report"], s["reportText"][1], s["focus"]), (True, "Run-time error 1", "reportOk"))
    checks.check("  OK at least 44 px each way", b.run(TARGETS, ["#reportOk"])["#reportOk"] >= 44, b.run(TARGETS, ["#reportOk"]))
    checks.equal("  the report within the width", page.layout(["report"], True), [])
    b.screenshot(shots("phone-%s-report" % scheme))
    tap(b, "#optOH")
    checks.equal("  a tap on Ohio under it: nothing", page.state()["checked"], [OPTION_OF[key]])
    tap(b, "#reportOk")
    s = page.settle(lambda s: not s["report"])
    time.sleep(1)
    later = page.state()
    checks.equal("  a tap on OK: the report gone, the price box focused, then and a second later",
                 (s["report"], s["focus"], later["report"], later["focus"]), (False, "txtPrice", False, "txtPrice"))

    # A paste longer than the box: what the box holds.
    b.cdp("Input.insertText", {"text": "1" * (facts.price_max_length + 1000)})
    checks.equal("  a paste of %d characters: the box holds %d" % (facts.price_max_length + 1000, facts.price_max_length),
                 b.run("return document.getElementById('txtPrice').value.length;"), facts.price_max_length)
    b.run("document.getElementById('txtPrice').value = '';")


def main():
    args = page_arguments(browser=False)
    facts = args.facts
    checks = Checks()

    def shots(variant):
        return args.shot("chromium", variant)

    with browsers.Scratch() as scratch:
        b = checks.start_browser("chromium", scratch)
        if not b:
            return checks.summary()
        b.page_url = "file://" + os.path.abspath(args.page)
        page = Page(b)
        without_inert(b, page, facts, checks)
        layouts(b, page, facts, checks)
        for scheme in ["light", "dark"]:
            phone(b, page, facts, checks, shots, scheme)
        checks.equal("no console error", b.console_errors(), [])
    return checks.summary()


if __name__ == "__main__":
    sys.exit(main())
