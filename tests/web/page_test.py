#!/usr/bin/python3
"""The page in a real browser, driven by real keys and the pointer, from a disk (file://) and
over http from a private server that serves the build's web folder alone: the controls at the
table's rectangles, captions that fit, the start state, the tab order and the arrow keys,
the access keys, Return and Escape doing nothing in the price box, the worked examples, the
tax label widening, the error reports over an inert form, the live region, no console error
and no request but the page; then the page on a phone's viewport, in the dark colour scheme
and at 200%, with a screenshot of each in the build tree.

    page_test.py BROWSER --page BUILD/web/salestax.html --screenshots DIR --facts NODE FACTS.js

BROWSER is chromium, firefox or webkit (see browsers.py). The control table, the worked
examples come from the build's facts program.
"""
import argparse
import os
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import browsers  # noqa: E402


class Checks:
    def __init__(self):
        self.passed = self.failed = 0

    def check(self, what, ok, detail=""):
        self.passed, self.failed = self.passed + bool(ok), self.failed + (not ok)
        print(("ok: " if ok else "FAIL: ") + what + ("" if ok or not detail else "\n      " + str(detail)))
        return bool(ok)

    def equal(self, what, actual, expected):
        return self.check(what, actual == expected, "got %r, expected %r" % (actual, expected))

    def start_browser(self, name, scratch, **options):
        """A new browser `name` (browsers.start_browser), its version printed; None, counted as
        a failure, where it does not start."""
        try:
            browser = browsers.start_browser(name, scratch, **options)
        except (browsers.BrowserDidNotStart, ImportError) as e:
            self.check("%s starts" % name, False, e)
            return None
        print("%s %s" % (browser.name, browser.version))
        return browser

    def summary(self):
        """Prints the counts; the test's exit status: 0 when something passed and nothing failed."""
        print("%d passed, %d failed" % (self.passed, self.failed))
        return 0 if self.failed == 0 and self.passed > 0 else 1


class Facts:
    """What the build says of itself: the client size, each control's rectangle in it and the
    worked examples (access key, price, tax)."""

    def __init__(self, command):
        self.controls, self.examples = {}, []
        for line in subprocess.run(command, capture_output=True, text=True, check=True, timeout=60).stdout.splitlines():
            key, *fields = line.split(" ")
            if key == "client":
                self.client = [int(v) for v in fields]
            elif key == "control":
                self.controls[fields[0]] = [int(v) for v in fields[1:]]
            elif key == "example":
                self.examples.append(tuple(fields))
            elif key == "name":
                self.name = " ".join(fields)
            elif key == "price_max_length":
                self.price_max_length = int(fields[0])


def page_arguments(browser=True, facts=True):
    """The command line the page's tests share: [BROWSER] --page PAGE --screenshots DIR
    [--facts COMMAND...]. The screenshots' folder is made; args.facts is the build's Facts, and
    args.shot(browser, variant) the path of a screenshot in the folder."""
    parser = argparse.ArgumentParser()
    if browser:
        parser.add_argument("browser", choices=sorted(browsers.BROWSERS))
    parser.add_argument("--page", required=True)
    parser.add_argument("--screenshots", required=True)
    if facts:
        parser.add_argument("--facts", nargs="+", required=True)
    args = parser.parse_args()
    os.makedirs(args.screenshots, exist_ok=True)
    if facts:
        args.facts = Facts(args.facts)
    args.shot = lambda name, variant: os.path.join(args.screenshots, "web-%s-%s.png" % (name, variant))
    return args


def longest_tax(facts):
    """The worked example with the longest tax, wider than the tax label's table width."""
    return max(facts.examples, key=lambda example: len(example[2]))


# The page as the tests see it. The tax shown is the tax label's text less what only screen
# readers get; a radio button is named by its option's id; the document itself by "".
STATE = """
const tax = document.getElementById('lblSalesTax');
const announcement = document.getElementById('taxAnnouncement');
const price = document.getElementById('txtPrice');
const report = document.getElementById('report');
const focused = document.activeElement;
const text = (id) => (document.getElementById(id) || {}).textContent;
return {
  tax: [...tax.childNodes].filter((n) => !(n.classList && n.classList.contains('for-screen-readers')))
                          .map((n) => n.textContent).join(''),
  spoken: announcement.textContent.replace(/\\s+/g, ' ').trim(),
  live: ['aria-live', 'aria-atomic'].map((a) => announcement.getAttribute(a)),
  price: price.value, selection: [price.selectionStart, price.selectionEnd],
  focus: !focused || focused === document.body ? '' : focused.type === 'radio' ? focused.parentElement.id : focused.id,
  checked: [...document.querySelectorAll('input[type=radio]')].filter((r) => r.checked).map((r) => r.parentElement.id),
  report: report.open, inert: document.getElementById('Form1').inert,
  reportText: [text('reportTitle'), text('reportHeading'), text('reportMessage')],
  page: location.href + ' ' + (window.__sameDocument === true), title: document.title,
};
"""

# What of each control's contents lies outside its box, or makes it scroll; what overlaps:
# for the controls named in arguments[0], and for the viewport when arguments[1] is set.
LAYOUT = """
const [names, inViewport] = arguments;
const elements = names.map((n) => document.getElementById(n));
const box = (e) => e.getBoundingClientRect();
const outside = (r, b) => r.left < b.left - 0.5 || r.right > b.right + 0.5 || r.top < b.top - 0.5 || r.bottom > b.bottom + 0.5;
const problems = [];
for (const e of elements) {
  const b = box(e);
  if (e.scrollWidth > e.clientWidth || e.scrollHeight > e.clientHeight)
    problems.push(`${e.id} scrolls: ${e.scrollWidth}x${e.scrollHeight} in ${e.clientWidth}x${e.clientHeight}`);
  const walker = document.createTreeWalker(e, NodeFilter.SHOW_TEXT | NodeFilter.SHOW_ELEMENT);
  for (let n; (n = walker.nextNode());) {
    const element = n.nodeType === Node.ELEMENT_NODE ? n : n.parentElement;
    if (element.closest('.for-screen-readers') || (n.nodeType === Node.TEXT_NODE && !n.textContent.trim())) continue;
    const range = document.createRange();
    range.selectNodeContents(n);
    const rects = n.nodeType === Node.ELEMENT_NODE ? [box(n)] : [...range.getClientRects()];
    for (const r of rects) {
      if (r.width && outside(r, b)) problems.push(`${e.id}: "${n.textContent}" sticks out: ${JSON.stringify(r)} of ${JSON.stringify(b)}`);
    }
  }
  if (inViewport && (b.left < 0 || b.right > innerWidth)) problems.push(`${e.id} is outside the viewport: ${b.left}..${b.right} of ${innerWidth}`);
}
for (let i = 0; i < elements.length; ++i) {
  for (let j = i + 1; j < elements.length; ++j) {
    const [a, b] = [elements[i], elements[j]];
    if (a.contains(b) || b.contains(a)) continue;
    const [p, q] = [box(a), box(b)];
    if (Math.min(p.right, q.right) - Math.max(p.left, q.left) > 0.5 && Math.min(p.bottom, q.bottom) - Math.max(p.top, q.top) > 0.5)
      problems.push(`${a.id} and ${b.id} overlap`);
  }
}
const root = document.documentElement;
if (inViewport && root.scrollWidth > innerWidth) problems.push(`the page scrolls sideways: ${root.scrollWidth} in ${innerWidth}`);
return problems;
"""

# Each control's rectangle relative to the form, and the form's size.
RECTANGLES = """
const form = document.getElementById('Form1').getBoundingClientRect();
const out = {Form1: [form.width, form.height]};
for (const name of arguments[0]) {
  const r = document.getElementById(name).getBoundingClientRect();
  out[name] = [r.left - form.left, r.top - form.top, r.width, r.height].map((v) => Math.round(v * 100) / 100);
}
return out;
"""

# Each access key as the captions show it underlined.
UNDERLINED = """
return Object.fromEntries([...document.querySelectorAll('.access-key')].map((u) =>
  [u.closest('[id]').id, u.textContent]));
"""

# What the command did since the last look, in order: "tax" for each tax shown (the same
# tax again too), "report" for each report shown; and the repeats of C's key the page was sent.
RUNS = """
if (!window.__runs) {
  window.__runs = [];
  window.__repeats = 0;
  new MutationObserver((records) => window.__runs.push(...records.map(() => 'tax')))
    .observe(document.getElementById('lblSalesTax'), {childList: true});
  new MutationObserver((records) => window.__runs.push(...records.filter((r) => r.oldValue === null).map(() => 'report')))
    .observe(document.getElementById('report'), {attributeFilter: ['open'], attributeOldValue: true});
  document.addEventListener('keydown', (e) => { window.__repeats += e.code === 'KeyC' && e.repeat; }, true);
}
const [runs, repeats] = [window.__runs.splice(0), window.__repeats];
window.__repeats = 0;
return [runs, repeats];
"""

# Each state's access key, as the facts name states, and its option button.
OPTION_OF = {"p": "optPA", "o": "optOH", "m": "optMD", "n": "optNY", "d": "optDE"}


def luminance(css_colour):
    """The relative luminance of an rgb() colour, as WCAG defines it."""
    return relative_luminance([int(v) for v in css_colour[css_colour.index("(") + 1:-1].split(",")[:3]])


class Page:
    def __init__(self, browser):
        self.b = browser

    def state(self):
        return self.b.run(STATE)

    def open(self, url):
        self.b.navigate(url)
        # Set in this document: gone if the page is navigated or reloaded.
        self.b.run("window.__sameDocument = true;")

    def choose(self, key):
        """A state by its access key, then back to the price box."""
        self.b.press(key, "Alt")
        self.b.press("Tab", "Shift")

    def calculate(self, key, price):
        self.choose(key)
        self.b.type(price)
        self.b.press("c", "Alt")

    def settle(self, probe, seconds=2):
        """The page's state once probe(state) holds, or after `seconds`."""
        return browsers.wait_until(seconds, lambda: (lambda s: s if probe(s) else None)(self.state())) or self.state()

    def layout(self, names, in_viewport=False):
        return self.b.run(LAYOUT, names, in_viewport)

    def runs(self):
        """What the command did since the last call (RUNS), once the page has settled, and how
        many of C's key presses the browser sent as repeats."""
        self.b.frames_drawn(2)
        return self.b.run(RUNS)

    def leave_and_come_back(self):
        """The page's window loses the keyboard to a new tab, which is closed again; False
        where the browser gives a page no focus to lose (headless Firefox)."""
        driver = getattr(self.b, "driver", None)
        if driver is None:
            return False
        mine = driver.current_window_handle
        driver.switch_to.new_window("tab")
        driver.close()
        driver.switch_to.window(mine)
        return True


def geometry(page, facts, checks):
    names = list(facts.controls)
    rects = page.b.run(RECTANGLES, names)
    checks.equal("the form is the client area, %dx%d" % tuple(facts.client), rects["Form1"], facts.client)
    wrong = {n: (rects[n], r) for n, r in facts.controls.items() if rects[n] != r}
    checks.check("every control at its table rectangle at 96 dpi (%d controls)" % len(names), not wrong,
                 "got, expected: %r" % wrong)
    checks.equal("every caption fits, nothing overlaps", page.layout(names), [])
    underlined = page.b.run(UNDERLINED)
    checks.equal("each access key underlined in its caption", underlined,
                 {"cmdCalculateSalesTax": "C", **{option: key.upper() for key, option in OPTION_OF.items()}})


def start_state(page, facts, checks):
    s = page.state()
    checks.equal("at start: Pennsylvania checked, tax 0, price empty and focused",
                 (s["checked"], s["tax"], s["price"], s["focus"], s["report"]), (["optPA"], "0", "", "txtPrice", False))
    checks.equal("the document's title", s["title"], "Form1")
    # Screen readers are told of each tax by an announcement of its own, empty until the first
    # tax, so that the start's "0" is not read out as the page loads.
    checks.equal("the tax's announcement is a polite, atomic live region, empty at start",
                 (s["live"], s["spoken"]), (["polite", "true"], ""))


def focus_order(page, facts, checks):
    b = page.b

    def visits(*modifiers):
        """The controls Tab (with the modifiers) visits from the price box back to it, at most six."""
        seen = []
        while len(seen) < 6 and seen[-1:] != ["txtPrice"]:
            before = page.state()["focus"]
            b.press("Tab", *modifiers)
            # Each press moves the focus. Where it leaves the page for the browser's own
            # parts, the document keeps its last focused element (Firefox): no change, "".
            after = page.settle(lambda s: s["focus"] != before, 1)["focus"]
            seen.append("" if after == before else after)
        return [f for f in seen if f]  # the document itself, where a browser stops on it, left out

    checks.equal("Tab: price box, the checked state, the command button, (out of the page,) the price box again",
                 visits(), ["optPA", "cmdCalculateSalesTax", "txtPrice"])
    # Back from the command button: where Shift+Tab goes from the price box, out of the page
    # and in again, is the browser's own business (Firefox comes back to the states).
    b.press("Tab")
    b.press("Tab")
    checks.equal("Shift+Tab: the other way round", visits("Shift"), ["optPA", "txtPrice"])

    # The arrow keys move among the states, checking each (at either end, browsers differ:
    # WebKit stays, the others wrap round).
    b.press("Tab")
    steps = [("Down", "optOH"), ("Down", "optMD"), ("Right", "optNY"), ("Down", "optDE"), ("Up", "optNY"),
             ("Left", "optMD")]
    got = []
    for key, _ in steps:
        b.press(key)
        s = page.state()
        got.append((key, s["focus"], s["checked"]))
    checks.equal("the arrow keys move the focus among the states and check each",
                 got, [(k, o, [o]) for k, o in steps])
    b.press("Tab", "Shift")
    b.press("Tab")
    checks.equal("Tab into the states goes to the checked one", page.state()["focus"], "optMD")
    b.press("Tab", "Shift")
    checks.equal("and Shift+Tab from it back to the price box", page.state()["focus"], "txtPrice")


def access_keys(page, facts, checks):
    b = page.b
    got = []
    for key in ["o", "m", "n", "d", "p"]:
        b.press(key, "Alt")
        s = page.state()
        got.append((key, s["checked"], s["focus"]))
        b.press("Tab", "Shift")
    checks.equal("Alt+O, M, N, D, P check their state and focus it",
                 got, [(k, [OPTION_OF[k]], OPTION_OF[k]) for k in ["o", "m", "n", "d", "p"]])
    checks.equal("Shift+Tab from a state goes back to the price box", page.state()["focus"], "txtPrice")

    b.type("100")
    b.keys(("down", "Alt"), ("down", "c"))
    held = page.state()
    b.keys(("up", "c"), ("up", "Alt"))
    released = page.state()
    checks.equal("Alt+C: nothing while C is down", (held["tax"], held["price"]), ("0", "100"))
    checks.equal("the command when C is let go of: the tax, the price box emptied and focused",
                 (released["tax"], released["price"], released["focus"]), ("6", "", "txtPrice"))

    # The command button by the keys that press a focused button.
    if not b.keys_activate_buttons:
        print("(not testable in %s: a synthesized Return or Space does not press a focused button)" % b.name)
        return
    for key, price, tax in [("Space", "19.99", "1.1994"), ("Return", "-5", "-0.3")]:
        b.type(price)
        b.press("Tab")
        b.press("Tab")
        before = page.state()["focus"]
        b.press(key)
        s = page.settle(lambda s: s["tax"] == tax)
        checks.equal("%s on the focused command button runs it" % key,
                     (before, s["tax"], s["price"], s["focus"]), ("cmdCalculateSalesTax", tax, "", "txtPrice"))


# The command's access key as the shared rule has it, held as a hand holds it, with the
# price 19.99 in the box: C's key pressed `repeats` more times while held (a browser sends a
# held key's repeats as presses), then `meanwhile`, then C and Alt let go of, then `after`;
# what the command did.
COMMAND_KEY = [
    ("Alt+C", 0, None, None, ["tax"]),
    ("Alt+C held, its key repeating", 3, None, None, ["tax"]),
    ("Alt+C held, the button clicked by the mouse", 0, "click", None, ["tax"]),
    ("Alt+C held, the window left and come back to", 0, "leave", None, []),
    ("Alt+C, then a plain C typed into the price box", 0, None, "c", ["tax"]),
]
PRESSED = "return document.getElementById('cmdCalculateSalesTax').classList.contains('pressed');"


def command_key(page, facts, checks):
    b = page.b
    page.runs()
    for what, repeats, meanwhile, after, expected in COMMAND_KEY:
        b.type("19.99")
        b.keys(("down", "Alt"), *[("down", "c")] * (1 + repeats))
        (runs_held, sent_as_repeats), held = page.runs(), b.run(PRESSED)
        if meanwhile == "click":
            b.click("#cmdCalculateSalesTax")
        elif meanwhile == "leave" and not page.leave_and_come_back():
            print("(not testable in headless %s: %s; see the headed test)" % (b.name, what))
            b.keys(("up", "c"), ("up", "Alt"))
            b.run("document.getElementById('txtPrice').value = '';")
            page.runs()
            continue
        b.keys(("up", "c"), ("up", "Alt"))
        if after:
            b.type(after)
        runs = page.runs()[0]
        s = page.state()
        left = "19.99" if not expected else after or ""
        checks.equal("%s: the button shown pressed while held, nothing run; then %s" % (what, expected or "nothing run"),
                     (held, runs_held, runs, b.run(PRESSED), s["price"], s["focus"]),
                     (True, [], expected, False, left, "txtPrice"))
        if repeats:
            print("  (%s sent %d of the %d repeated presses as repeats)" % (b.name, sent_as_repeats, repeats))
        for _ in left:
            b.press("Backspace")


# How a report is brought up, and how it is dismissed: the focus returns to the price box
# whatever had it before, and keeps it once the report has closed.
OPENERS = [
    ("Alt+C from the price box", [("c", "Alt")], "Escape"),
    ("a click on the button", "click", "click"),
    ("Alt+O, then Alt+C from Ohio", [("o", "Alt"), ("c", "Alt")], "Escape"),
]


def focus_after_report(page, facts, checks):
    b = page.b
    for what, opener, dismissal in OPENERS:
        b.type("abc")
        if opener == "click":
            b.click("#cmdCalculateSalesTax")
        else:
            for key, modifier in opener:
                b.press(key, modifier)
        page.settle(lambda s: s["report"] and s["inert"], seconds=5)
        if dismissal == "click":
            b.click("#reportOk")
        else:
            b.press(dismissal)
        seen = [page.state()]
        seen.append(page.settle(lambda s: not s["report"]))
        time.sleep(1)
        seen.append(page.state())
        checks.equal("a report brought up by %s, dismissed by %s: the price box focused, the price selected, at once, "
                     "as the report closes and a second later" % (what, dismissal),
                     [(s["report"], s["focus"], s["selection"]) for s in seen[1:]] + [seen[0]["focus"]],
                     [(False, "txtPrice", [0, 3])] * 2 + ["txtPrice"])
        b.press("Backspace")
        page.choose("p")


def keys_that_do_nothing(page, facts, checks):
    b = page.b
    b.type("12.5")
    before = page.state()
    for key in ["Return", "Escape"]:
        b.press(key)
        b.frames_drawn(2)  # what the key started (a form's submission, a navigation) has begun
        after = page.state()
        checks.equal("%s in the price box does nothing (no navigation, no command, no report)" % key, after, before)
    for _ in "12.5":
        b.press("Backspace")


def worked_examples(page, facts, checks):
    b = page.b
    for i, (key, price, tax) in enumerate(facts.examples):
        page.choose(key)
        b.type(price)
        # The last one by the pointer on the button, the others by Alt+C.
        how = "a click on the button" if i == len(facts.examples) - 1 else "Alt+C"
        if how == "Alt+C":
            b.press("c", "Alt")
        else:
            b.click("#cmdCalculateSalesTax")
        s = page.settle(lambda s: s["price"] == "")
        checks.equal("%s in %s by %s: tax %s, the price box emptied and focused" % (price, OPTION_OF[key], how, tax),
                     (s["checked"], s["tax"], s["price"], s["focus"], s["report"]), ([OPTION_OF[key]], tax, "", "txtPrice", False))
        checks.equal("  and the live region says it", (s["live"], s["spoken"]),
                     (["polite", "true"], "Sales Tax is: " + tax))


def long_tax(page, facts, checks):
    names = list(facts.controls)
    described = facts.controls["lblSalesTax"]
    key, price, tax = longest_tax(facts)
    page.calculate(key, price)
    s = page.settle(lambda s: s["tax"] == tax)
    checks.equal("%s in %s: tax %s" % (price, OPTION_OF[key], tax), s["tax"], tax)
    rect = page.b.run(RECTANGLES, ["lblSalesTax"])["lblSalesTax"]
    checks.check("the tax label widens to the right for it, from its place and height",
                 rect[:2] == described[:2] and rect[3] == described[3] and rect[2] > described[2], "%r from %r" % (rect, described))
    checks.equal("  with nothing clipped or overlapping", page.layout(names), [])
    key, price, tax = min(facts.examples, key=lambda example: len(example[2]))
    page.calculate(key, price)
    page.settle(lambda s: s["tax"] == tax)
    checks.equal("a short tax after it: the label back at its table width",
                 page.b.run(RECTANGLES, ["lblSalesTax"])["lblSalesTax"], described)


# The reports: the price typed, the state, what the report says; and how it is dismissed.
ERRORS = [
    ("", "p", "Run-time error 1", "Please enter a price: the price box is empty."),
    ("abc", "o", "Run-time error 1", 'The price "abc" is not a number.'),
    ("1" + "0" * 20, "p", "Run-time error 2", "The tax is too large to show."),
]
DISMISSALS = ["Return", "click", "Escape", "Space"]


def error_reports(page, facts, checks):
    b = page.b
    dismissals = [d for d in DISMISSALS if b.keys_activate_buttons or d not in ("Return", "Space")]
    if len(dismissals) < len(DISMISSALS):
        print("(not testable in %s: Return and Space on OK, which a synthesized key does not press there)" % b.name)
    cases = [(price, key, heading, message, how) for price, key, heading, message in ERRORS for how in dismissals]
    for price, key, heading, message, how in cases:
        page.choose(key)
        b.type(price)
        before = page.state()
        b.press("c", "Alt")
        s = page.settle(lambda s: s["report"] and s["inert"], seconds=5)
        shown = '"%s" in %s' % (price, OPTION_OF[key])
        checks.equal("%s: the report, its title, heading and message, OK focused, the form inert" % shown,
                     (s["report"], s["reportText"], s["focus"], s["inert"]),
                     (True, [facts.name, heading, message], "reportOk", True))
        # Under it, neither the pointer nor the keys reach the form.
        for target in ["#cmdCalculateSalesTax", "#txtPrice", "#reportMessage"]:
            b.click(target)
        b.type("9")
        b.press("o", "Alt")
        b.press("Tab")
        b.press("Tab", "Shift")
        under = page.state()
        checks.equal("  clicks on the command button, the price box and the message, typing, Alt+O, Tab, Shift+Tab: "
                     "nothing changes",
                     (under["report"], under["reportText"], under["price"], under["tax"], under["checked"], under["inert"]),
                     (True, s["reportText"], price, before["tax"], before["checked"], True))
        checks.equal("  the focus stays on OK", under["focus"], "reportOk")
        if how == "click":
            b.click("#reportOk")
        else:
            b.press(how)
        at_once = page.state()
        after = page.settle(lambda s: not s["report"])
        checks.equal("  %s dismisses it: at once the price box focused, the price kept and selected whole" % how,
                     (at_once["focus"], at_once["price"], at_once["selection"]), ("txtPrice", price, [0, len(price)]))
        checks.equal("  then the report closes, the form takes input again, the tax label unchanged",
                     (after["report"], after["inert"], after["tax"], after["focus"]), (False, False, before["tax"], "txtPrice"))
        if after["report"]:  # not dismissed: OK clicked, so that the next case starts afresh
            b.click("#reportOk")
            page.settle(lambda s: not s["report"])
            b.click("#txtPrice")
        b.press("Backspace")  # the price, selected whole, gone

    # Two quick Alt+C: one report, gone after one dismissal.
    page.runs()
    b.keys(("down", "Alt"), ("down", "c"), ("up", "c"), ("down", "c"), ("up", "c"), ("up", "Alt"))
    page.settle(lambda s: s["report"])
    b.press("Escape")
    s = page.settle(lambda s: not s["report"])  # closed 100 ms after the keys that came before
    checks.equal("two quick Alt+C: one report, gone after one Escape", (page.runs()[0], s["report"], s["focus"]),
                 (["report"], False, "txtPrice"))

    # The report modal from the moment it opens, before the form under it is made inert: Tab
    # and a click on Ohio at once after Alt+C, in one go of input, are kept from the form. When
    # each came, the form's inert is noted before the page sees it.
    b.run("""window.__inertAt = [];
             for (const type of ['keydown', 'mousedown'])
               window.addEventListener(type, (e) => { if (e.key === 'Tab' || e.type === 'mousedown')
                 window.__inertAt.push(type + (document.getElementById('Form1').inert ? ' inert' : ' not inert')); }, true);""")
    x, y = b.centre("#optOH")
    steps = [("keyDown", "Alt"), ("keyDown", "c"), ("keyUp", "c"), ("keyUp", "Alt"), ("keyDown", "Tab"), ("keyUp", "Tab")]
    b._perform([
        {"type": "key", "id": "keyboard", "actions": [{"type": kind, "value": browsers.KEYS.get(k, k)} for kind, k in steps]},
        {"type": "pointer", "id": "mouse", "parameters": {"pointerType": "mouse"},
         "actions": [{"type": "pause", "duration": 0}] * len(steps) + [
             {"type": "pointerMove", "x": int(x), "y": int(y), "origin": "viewport"},
             {"type": "pointerDown", "button": 0}, {"type": "pointerUp", "button": 0}]}])
    # A screen reader moves the focus as a script does, by the element's focus(). A window
    # without the keyboard (headless Firefox) is told of no focus: there the focus is back on
    # OK only as the form is made inert, which the check above sees.
    inert, has_focus, moved = b.run("const inert = document.getElementById('Form1').inert;"
                                    "document.getElementById('txtPrice').focus();"
                                    "return [inert, document.hasFocus(), document.activeElement.id];")
    s = page.settle(lambda s: s["inert"], seconds=5)
    checks.equal("Tab and a click on Ohio at once after Alt+C, before the form is inert: the report up, OK focused, "
                 "Pennsylvania still checked", (b.run("return window.__inertAt;"), s["report"], s["focus"], s["checked"]),
                 (["keydown not inert", "mousedown not inert"], True, "reportOk", ["optPA"]))
    if has_focus:
        checks.equal("  the focus moved to the price box by a script before the form is inert: back on OK at once",
                     (inert, moved), (False, "reportOk"))
    else:
        print("(not testable in %s: a focus moved back at once, in a window that is told of no focus)" % b.name)
    b.press("Escape")
    page.settle(lambda s: not s["report"])


# Long prices, put into the box by a script as a paste puts them there (the box's length does
# not hold a script to it) and calculated by a click: the state, the price as a head, a
# character repeated and a tail, its length, and the tax, or the report's heading. Leading
# zeros and zeros after the point leave a worked example's tax as it is; at the last of many
# digits a tie between two Singles is broken, or a price stops being a number.
# Past what any box holds, and past the module's first 16 MB (4,000,000 characters stopped a
# page whose memory could not grow): in Chromium only as many as its text box lays out within
# the driver's 30 s (4,000,000 took it 10 s here), elsewhere 16,000,000.
HUGE_PRICE = {"chromium": 4_000_000}


def long_prices_of(facts, huge):
    n = facts.price_max_length
    examples = [e for e in facts.examples if e[1] in ("19.99", "-5", "8388608")]
    cases = []
    for key, price, tax in examples:
        sign, digits = ("-", price[1:]) if price.startswith("-") else ("", price)
        for length in (4097, n):
            cases.append((key, sign, "0", digits, length, tax))
            cases.append((key, price + ("" if "." in price else "."), "0", "", length, tax))
    tie = [e for e in examples if e[1] == "8388608"][0]  # 2^24 / 2: Singles one apart above it
    for length in (4097, n):
        cases.append((tie[0], "8388608.5", "0", "", length, tie[2]))  # the tie, to the even Single
        cases.append((tie[0], "8388608.5", "0", "1", length, "short 8388609"))  # just over it
    cases += [("p", "", "0", "x", 4097, "Run-time error 1"), ("p", "", "9", "", n, "Run-time error 2"),
              # WebKit cuts a value at 524,288 characters: the tax is the same.
              ("p", "-5.", "0", "", huge, [e for e in examples if e[1] == "-5"][0][2])]
    return cases


LONG_STATE = """
const price = document.getElementById('txtPrice'), focused = document.activeElement;
return [document.getElementById('lblSalesTax').textContent, price.value.length, price.selectionStart, price.selectionEnd,
        document.getElementById('report').open, document.getElementById('reportHeading').textContent,
        focused && focused.id];
"""


def long_prices(page, facts, checks):
    b = page.b
    checks.equal("the price box holds at most %d characters" % facts.price_max_length,
                 b.run("return document.getElementById('txtPrice').maxLength;"), facts.price_max_length)
    page.calculate("o", "8388609")
    short = {"short 8388609": page.settle(lambda s: s["price"] == "")["tax"]}
    cases = long_prices_of(facts, HUGE_PRICE.get(b.name, 16_000_000))
    for key, head, fill, tail, length, expected in cases:
        page.choose(key)
        b.run("document.getElementById('txtPrice').value = arguments[0] + arguments[1].repeat(arguments[3]) + arguments[2];",
              head, fill, tail, length - len(head) - len(tail))
        held = b.run("return document.getElementById('txtPrice').value.length;")
        b.click("#cmdCalculateSalesTax")
        shown = '"%s" + "%s" x %d + "%s" (%d characters%s) in %s' % (
            head, fill, length - len(head) - len(tail), tail, length, "" if held == length else ", %d held" % held,
            OPTION_OF[key])
        got = browsers.wait_until(5, lambda: (lambda s: s if s[1] == 0 or s[4] else None)(b.run(LONG_STATE)))
        got = got or b.run(LONG_STATE)
        if expected.startswith("Run-time error"):
            b.press("Escape")
            page.settle(lambda s: not s["report"])
            after = b.run(LONG_STATE)
            checks.equal("%s: the report, %s; after it the price kept whole, selected, focused" % (shown, expected),
                         (got[4], got[5], after[1:4], after[6]), (True, expected, [length, 0, length], "txtPrice"))
            b.run("document.getElementById('txtPrice').value = '';")
        else:
            tax = short.get(expected, expected)
            checks.equal("%s: tax %s (%s), read whole" % (shown, tax, expected), (got[0], got[1], got[4], got[6]),
                         (tax, 0, False, "txtPrice"))
    checks.check("  the tie and just over it differ", short["short 8388609"] not in [c[5] for c in cases],
                 short)


def contrast(page, checks, scheme):
    """WCAG's contrast of the most distinct pixel of an option circle (Ohio's, neither checked
    nor focused) and of the price box's top edge against the form's background, in a
    screenshot: each 3:1 or more, as a control's edge must be."""
    b = page.b
    b.press("Tab")  # the focus to the checked state: the price box's edge without a focus ring
    places = b.run("""const px = devicePixelRatio, form = document.getElementById('Form1').getBoundingClientRect();
        const box = (e) => { const r = e.getBoundingClientRect(); return [r.left, r.top, r.right, r.bottom].map((v) => Math.round(v * px)); };
        return {circle: box(document.querySelector('#optOH input')), price: box(document.getElementById('txtPrice')),
                background: [Math.round((form.left + 4) * px), Math.round((form.top + 4) * px)]};""")
    with tempfile.TemporaryDirectory() as folder:
        shot = os.path.join(folder, "contrast.png")
        b.screenshot(shot)
        pixels = read_png(shot)
    background = pixels[tuple(places["background"])]
    left, top, right, bottom = places["circle"]
    circle = max(contrast_of(pixels[x, y], background) for x in range(left, right) for y in range(top, bottom))
    left, top, right, _ = places["price"]
    edge = max(contrast_of(pixels[x, y], background) for x in range(left + 2, right - 2) for y in (top, top + 1))
    checks.check("%s: an option circle stands out 3:1 or more (%.2f:1)" % (scheme, circle), circle >= 3)
    checks.check("%s: the price box's edge stands out 3:1 or more (%.2f:1)" % (scheme, edge), edge >= 3)
    b.press("Tab", "Shift")


def read_png(path):
    """The pixels of a PNG file, (x, y) to (r, g, b), read by ImageMagick."""
    text = subprocess.run(["convert", path, "-depth", "8", "txt:-"], capture_output=True, text=True, check=True).stdout
    pixels = {}
    for line in text.splitlines()[1:]:
        at, colour = line.split(":", 1)
        x, y = at.split(",")
        pixels[int(x), int(y)] = tuple(int(float(v)) for v in colour[colour.index("(") + 1:colour.index(")")].split(",")[:3])
    return pixels


def contrast_of(a, b):
    x, y = sorted(relative_luminance(c) for c in (a, b))
    return (y + 0.05) / (x + 0.05)


def relative_luminance(rgb):
    """The relative luminance of a colour's 8-bit channels, as WCAG defines it."""
    linear = [c / 12.92 if c <= 0.04045 else ((c + 0.055) / 1.055) ** 2.4 for c in (v / 255 for v in rgb)]
    return 0.2126 * linear[0] + 0.7152 * linear[1] + 0.0722 * linear[2]


def phone(page, facts, checks, shots):
    size = page.b.set_viewport(360, 640)
    if size != [360, 640]:
        print("(not possible in %s: a 360 x 640 page; the narrowest it gives is %d x %d)" % (page.b.name, *size))
    checks.check("a viewport narrow enough for the one-column layout", size[0] <= 464, size)
    names = list(facts.controls)
    checks.equal("on a %d x %d phone: no sideways scroll, every control within the width, captions fit, no overlap" % tuple(size),
                 page.layout(names, True), [])
    page.calculate("n", "10")
    s = page.settle(lambda s: s["tax"] == "0.75")
    checks.equal("  and the calculator works there", (s["tax"], s["focus"]), ("0.75", "txtPrice"))
    page.b.screenshot(shots("phone"))
    page.b.set_viewport(800, 600)


def run_in(browser, facts, checks, url, origin):
    page = Page(browser)
    print("-- %s, from %s" % (browser.name, origin))
    page.open(url)
    for section in [start_state, geometry, focus_order, access_keys, command_key, keys_that_do_nothing, worked_examples,
                    long_tax, error_reports, focus_after_report, long_prices]:
        section(page, facts, checks)
    checks.equal("the page stayed one document all along", page.state()["page"], url + " true")
    return page


def main():
    args = page_arguments()
    facts = args.facts
    checks = Checks()

    def shots(variant):
        return args.shot(args.browser, variant)

    folder, name = os.path.split(os.path.abspath(args.page))
    with browsers.Scratch() as scratch:
        server = browsers.PageServer(folder)
        scratch.closers.append(server.close)
        browser = checks.start_browser(args.browser, scratch)
        if not browser:
            return checks.summary()
        run_in(browser, facts, checks, "file://" + os.path.join(folder, name), "a disk (file://)")
        checks.equal("no console error from file://", browser.console_errors(), [])
        page = run_in(browser, facts, checks, server.url(name), "http://127.0.0.1")
        page.calculate("p", "19.99")
        checks.equal("the light screenshot shows 1.1994", page.settle(lambda s: s["tax"] == "1.1994")["tax"], "1.1994")
        browser.screenshot(shots("light"))
        contrast(page, checks, "light")
        page.calculate("p", "abc")
        checks.check("the report's screenshot shows it", page.settle(lambda s: s["report"])["report"])
        browser.screenshot(shots("report"))
        browser.press("Escape")
        page.settle(lambda s: not s["report"])
        browser.press("Backspace")
        phone(page, facts, checks, shots)
        checks.equal("no console error over http", browser.console_errors(), [])

        # The variants, each in a browser of its own.
        for variant, options in [("dark", {"dark": True}), ("zoom200", {"scale": 2})]:
            print("-- %s, %s" % (browser.name, variant))
            other = browsers.start_browser(args.browser, scratch, **options)
            page = Page(other)
            if variant == "zoom200":
                # A 1024 x 768 window at 200%: half as many CSS pixels, each two device pixels.
                other.set_viewport(512, 384)
                page.open(server.url(name))
                checks.equal("at 200%: two device pixels a CSS pixel", other.viewport(), [512, 384, 2])
                geometry(page, facts, checks)
                checks.equal("  no sideways scroll, every control within the width",
                             page.layout(list(facts.controls), True), [])
            else:
                page.open(server.url(name))
                dark, face, text = other.run("const s = getComputedStyle(document.body);"
                                             "return [matchMedia('(prefers-color-scheme: dark)').matches, s.backgroundColor, s.color];")
                face, text = luminance(face), luminance(text)
                checks.check("in the dark colour scheme: a dark face, light text at 4.5:1 or more",
                             dark and face < 0.2 < text and (text + 0.05) / (face + 0.05) >= 4.5, (dark, face, text))
                checks.equal("  every caption fits, nothing overlaps", page.layout(list(facts.controls)), [])
                contrast(page, checks, "dark")
            key, price, tax = longest_tax(facts)
            page.calculate(key, price)
            checks.equal("  the screenshot shows the long tax", page.settle(lambda s: s["price"] == "")["tax"], tax)
            other.screenshot(shots(variant))
            checks.equal("no console error (%s)" % variant, other.console_errors(), [])
        checks.equal("over http, from every browser started, no request but the page's", sorted(set(server.requests)),
                     [("GET", "/" + name, 200)])

    return checks.summary()


if __name__ == "__main__":
    sys.exit(main())
