#!/usr/bin/python3
"""The page's start in browsers that lack what today's have, each emulated in Chromium by a
script run in every new document before the page's own (DevTools' Page.addScriptToEvaluate-
OnNewDocument), from a disk (file://) and over http: where the page can run, it works (19.99 in
Pennsylvania, Alt+C, 1.1994) with no console error; where it cannot, it says why on the page,
with the browsers it runs in, and its form, still shown, takes no key and no click. Screenshots
of the message, light and dark, in the build tree.

    old_browsers_test.py --page BUILD/web/salestax.html --screenshots DIR
"""
import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import browsers  # noqa: E402
import page_test  # noqa: E402

# Chromium up to about 114 compiles no more than 4 KB of WebAssembly at once on the page's own
# thread: new WebAssembly.Module refuses a larger module with the error below. What the page
# was doing when it was refused is kept: whether its form took input then, and once the module
# compiled in the background was in.
SYNC_COMPILE_LIMIT = """
(() => {
  const taking = () => [...document.querySelectorAll('#Form1 input, #Form1 button')].filter((c) => !c.disabled).length;
  window.__refused = [];
  WebAssembly.Module = new Proxy(WebAssembly.Module, {
    construct(target, args, newTarget) {
      if (args[0].byteLength > 4096) {
        window.__refused.push(taking());
        throw new RangeError('WebAssembly.Compile is disallowed on the main thread, if the buffer size is larger than 4KB. ' +
                             'Use WebAssembly.compile, or compile on a worker thread.');
      }
      return Reflect.construct(target, args, newTarget);
    },
  });
  const instantiate = WebAssembly.instantiate;
  WebAssembly.instantiate = (...args) => instantiate(...args).then((result) => {
    window.__refused.push(taking());
    return result;
  });
})();
"""

# Before Chrome 140, Firefox 133 and Safari 18.2: no Uint8Array.fromBase64; atob is counted.
NO_FROM_BASE64 = """
(() => {
  delete Uint8Array.fromBase64;
  window.__atob = 0;
  const atob = window.atob;
  window.atob = function (...args) { ++window.__atob; return atob.apply(this, args); };
})();
"""

# Before Chrome 102, Firefox 112 and Safari 15.5: no inert (a property set on an element then
# does nothing).
NO_INERT = "delete HTMLElement.prototype.inert;"

# Before Chrome 95, Firefox 100 and Safari 15.2: WebAssembly without its exceptions. A module
# that has a tag section (id 13: the exceptions' tags, which any use of them needs) is invalid,
# as it is there; others are not touched.
NO_EXCEPTIONS = """
(() => {
  const usesExceptions = (source) => {
    const b = ArrayBuffer.isView(source) ? new Uint8Array(source.buffer, source.byteOffset, source.byteLength)
                                         : new Uint8Array(source);
    for (let at = 8; at < b.length;) {
      const id = b[at++];
      let size = 0, shift = 0, byte;
      do { byte = b[at++]; size += (byte & 0x7f) * 2 ** shift; shift += 7; } while (byte & 0x80);
      if (id === 13) return true;
      at += size;
    }
    return false;
  };
  const refused = () => new WebAssembly.CompileError('invalid section code 13');
  const W = WebAssembly, validate = W.validate, compile = W.compile, instantiate = W.instantiate;
  W.validate = (bytes) => !usesExceptions(bytes) && validate(bytes);
  W.compile = (bytes) => (usesExceptions(bytes) ? Promise.reject(refused()) : compile(bytes));
  W.instantiate = (source, imports) => (!(source instanceof W.Module) && usesExceptions(source)
                                        ? Promise.reject(refused()) : instantiate(source, imports));
  W.Module = new Proxy(W.Module, {
    construct(target, args, newTarget) {
      if (usesExceptions(args[0])) throw refused();
      return Reflect.construct(target, args, newTarget);
    },
  });
})();
"""

# No WebAssembly at all: turned off, or a browser from before it.
NO_WEBASSEMBLY = "delete window.WebAssembly;"

# Chrome 95 and 96, Safari 15.2 to 15.6: the page's security policy allows WebAssembly by a
# word they do not know ('wasm-unsafe-eval'), so they refuse to compile it.
COMPILE_REFUSED = """
(() => {
  const refused = () => new WebAssembly.CompileError("Refused to compile or instantiate WebAssembly module because " +
      "'unsafe-eval' is not an allowed source of script in the following Content Security Policy directive");
  const W = WebAssembly;
  W.compile = W.instantiate = () => Promise.reject(refused());
  W.Module = function () { throw refused(); };
})();
"""

# A module that traps as it starts: each of its functions, its constructors the first called,
# ends in WebAssembly's "unreachable".
TRAPS = """
(() => {
  const W = WebAssembly, Instance = W.Instance, instantiate = W.instantiate;
  const trapping = (instance) => ({exports: Object.fromEntries(Object.entries(instance.exports).map(([name, value]) =>
      [name, typeof value === 'function' ? () => { throw new W.RuntimeError('unreachable'); } : value]))});
  W.Instance = new Proxy(Instance, {construct: (target, args, newTarget) => trapping(Reflect.construct(target, args, newTarget))});
  W.instantiate = (...args) => instantiate(...args).then((r) => ({module: r.module, instance: trapping(r.instance)}));
})();
"""

BASELINE = "It runs in Chrome and Edge 97 or later, Firefox 100 or later, and Safari 16 or later"
WORKS = None

# Each emulated browser: its name, the script, and what the page does there: WORKS, or the
# problem it names (data-start-problem) and the words of its message.
EMULATED = [
    ("today's Chromium", "", WORKS),
    ("Chromium up to 114: no compile over 4 KB on the page's thread", SYNC_COMPILE_LIMIT, WORKS),
    ("no Uint8Array.fromBase64", NO_FROM_BASE64, WORKS),
    ("no inert", NO_INERT, WORKS),
    ("Chrome 97 to 101: the 4 KB limit, no fromBase64, no inert", SYNC_COMPILE_LIMIT + NO_FROM_BASE64 + NO_INERT, WORKS),
    ("no WebAssembly exceptions", NO_EXCEPTIONS, ("no-exceptions", "it needs WebAssembly exceptions")),
    ("no WebAssembly", NO_WEBASSEMBLY, ("no-webassembly", "it needs WebAssembly")),
    ("WebAssembly refused by the page's security policy", COMPILE_REFUSED,
     ("failed", "could not start in this browser (CompileError: Refused to compile")),
    ("a module that traps as it starts", TRAPS, ("failed", "could not start in this browser (RuntimeError: unreachable)")),
]

# What the page shows and takes: its outcome, the message (shown, its text, its role, its
# box), the form (shown, its controls taking input) and the calculator's state.
SHOWN = """
const root = document.documentElement, problem = document.getElementById('startProblem');
const form = document.getElementById('Form1').getBoundingClientRect();
const box = problem.getBoundingClientRect();
return {
  outcome: root.hasAttribute('data-ready') ? 'ready' : root.getAttribute('data-start-problem'),
  message: problem.hidden ? null : problem.innerText.replace(/\\s+/g, ' ').trim(),
  role: problem.getAttribute('role'),
  messageOnScreen: box.height > 0 && box.top >= 0 && box.bottom <= form.top && form.top < innerHeight,
  formShown: form.width > 0 && form.height > 0 && !!document.getElementById('Label1').innerText.trim(),
  controls: document.querySelectorAll('#Form1 input, #Form1 button').length,
  taking: [...document.querySelectorAll('#Form1 input, #Form1 button')].filter((c) => !c.disabled).map((c) => c.id || c.parentElement.id),
  refused: window.__refused || null, atob: window.__atob === undefined ? null : window.__atob,
};
"""


def open_emulated(browser, url, script, new_tab=True):
    """A new tab (or the browser's first, with its colour scheme) with the script put in
    before the page's, the page opened there; what it shows once it is ready or has said it
    cannot run."""
    if new_tab:
        browser.driver.switch_to.new_window("tab")
    if script:
        browser.cdp("Page.addScriptToEvaluateOnNewDocument", {"source": script})
    browser._navigate(url)
    browsers.wait_until(10, lambda: browser.run(SHOWN)["outcome"])
    return browser.run(SHOWN)


def close_tab(browser, home):
    browser.driver.close()
    browser.driver.switch_to.window(home)


def works(browser, page, name, shown, checks):
    checks.equal("%s: ready, every control taking input, no message" % name,
                 (shown["outcome"], len(shown["taking"]), shown["message"]), ("ready", shown["controls"], None))
    s = page.state()
    checks.equal("  Pennsylvania checked, the price box empty and focused", (s["checked"], s["price"], s["focus"]),
                 (["optPA"], "", "txtPrice"))
    browser.type("19.99")
    browser.press("c", "Alt")
    s = page.settle(lambda s: s["tax"] == "1.1994")
    browser.frames_drawn(10)
    again = page.state()
    checks.equal("  19.99, Alt+C: tax 1.1994, the price box emptied and focused, and so still a moment later",
                 [(x["tax"], x["price"], x["focus"], x["report"]) for x in (s, again)], [("1.1994", "", "txtPrice", False)] * 2)


def cannot_run(browser, page, name, shown, expected, checks):
    problem, words = expected
    checks.equal("%s: the page says it cannot run (%s)" % (name, problem), shown["outcome"], problem)
    message = shown["message"] or ""
    checks.check("  its message says what is missing and where the page runs: \"%s\"" % message,
                 words in message and BASELINE in message, "expected %r and %r" % (words, BASELINE))
    checks.equal("  the message is an alert, on screen above the form", (shown["role"], shown["messageOnScreen"]),
                 ("alert", True))
    checks.equal("  the form is shown, no control of it taking input", (shown["formShown"], shown["taking"]), (True, []))
    before = page.state()
    browser.click("#txtPrice")
    browser.type("5")
    browser.press("c", "Alt")
    browser.press("o", "Alt")
    browser.click("#cmdCalculateSalesTax")
    browser.click("#optMD")
    browser.frames_drawn(10)
    after = page.state()
    checks.equal("  a click on the price box, typing, Alt+C, Alt+O, clicks on the button and on Maryland: nothing changes",
                 [(x["price"], x["tax"], x["checked"], x["report"]) for x in (before, after)],
                 [("", "0", ["optPA"], False)] * 2)
    later = browser.run(SHOWN)
    checks.equal("  and still not ready, the message still there", (later["outcome"], later["message"]), (problem, message))


def run_table(browser, url, origin, checks):
    home = browser.driver.current_window_handle
    page = page_test.Page(browser)
    for name, script, expected in EMULATED:
        seen = len(browser.console_errors())
        shown = open_emulated(browser, url, script)
        label = "%s, from %s" % (name, origin)
        if expected is WORKS:
            works(browser, page, label, shown, checks)
            if NO_FROM_BASE64 in script:
                checks.check("  the WebAssembly decoded by atob", shown["atob"], shown["atob"])
            if SYNC_COMPILE_LIMIT in script:
                # Refused with no control taking input, and none taking input yet when the
                # module compiled in the background was in.
                checks.equal("  compiled in the background, once refused; the form taking no input meanwhile",
                             shown["refused"], [0, 0])
            checks.equal("  no console error", browser.console_errors()[seen:], [])
        else:
            cannot_run(browser, page, label, shown, expected, checks)
        close_tab(browser, home)


def main():
    args = page_test.page_arguments(browser=False, facts=False)
    checks = page_test.Checks()
    folder, name = os.path.split(os.path.abspath(args.page))
    with browsers.Scratch() as scratch:
        server = browsers.PageServer(folder)
        scratch.closers.append(server.close)
        browser = checks.start_browser("chromium", scratch)
        if not browser:
            return checks.summary()
        run_table(browser, "file://" + os.path.join(folder, name), "a disk", checks)
        run_table(browser, server.url(name), "http", checks)

        # JavaScript off: the page's own words in place of the glue's.
        home = browser.driver.current_window_handle
        browser.driver.switch_to.new_window("tab")
        browser.cdp("Emulation.setScriptExecutionDisabled", {"value": True})
        browser._navigate(server.url(name))
        said = browser.run("const n = document.querySelector('noscript > .start-problem');"
                           "return n ? n.innerText.replace(/\\s+/g, ' ').trim() : null;")
        checks.check("JavaScript off: the page says it runs in JavaScript (%r)" % said, said and "JavaScript" in said)
        close_tab(browser, home)

        # The message's screenshots, light and dark, and its text against the face.
        for scheme, other in [("light", browser), ("dark", browsers.start_browser("chromium", scratch, dark=True))]:
            shown = open_emulated(other, server.url(name), NO_EXCEPTIONS, new_tab=False)
            contrast = other.run("const s = getComputedStyle(document.getElementById('startProblem'));"
                                 "return [s.color, getComputedStyle(document.body).backgroundColor];")
            text, face = (page_test.luminance(c) for c in contrast)
            ratio = (max(text, face) + 0.05) / (min(text, face) + 0.05)
            checks.check("%s: the message at %.1f:1 against the face (4.5:1 or more)" % (scheme, ratio),
                         shown["message"] and ratio >= 4.5)
            other.screenshot(args.shot("chromium", "cannot-run-" + scheme))

    return checks.summary()


if __name__ == "__main__":
    sys.exit(main())
