#!/usr/bin/python3
"""Start-up of the page against a naive peer, in one run of Debian's Chromium (headless, a fresh
profile): the time from the start of the navigation to a ready page, measured in the page by
the Performance API.

   web_startup.py PAGE [--runs N] [--warm-up N] [--json FILE] [--breakdown] [--app FOLDER --tools DIR]

- salestax.html (PAGE) is ready when its root has data-ready and the price box has the focus;
- bench/naive_page.html, the same controls written out in HTML and the tax in JavaScript's
  doubles, is ready at DOMContentLoaded with the price box focused (it marks itself so).

A script put in every new document before the page's own (Page.addScriptToEvaluateOnNewDocument)
watches for both moments and keeps performance.now() then, which counts from the navigation's
start (performance.timeOrigin). Each page is loaded N times from the disk (file://) and N
times from a server on 127.0.0.1 that forbids caching, all in turn, each load in a new tab
(so a renderer process of its own, with nothing compiled before); the first rounds warm the
browser up and are not counted. Reported: the median and the 90th percentile of each, the
ratio of the medians, the pages' sizes, raw and gzip -9, and the machine's load average,
which other work on it raises, and the times with it. This is a benchmark: it states numbers
and whether they meet the goals, and fails only if a page does not load or logs an error.

--breakdown adds where the page's own time goes, measured in a copy of it marked at each step
(performance.mark): the HTML with the form up to decoding the WebAssembly, decoding it,
compiling and running the module's script, compiling and instantiating the WebAssembly, the
module's constructors, taking up the form's elements, and focusing the price box.

--app adds Lighthouse's figures (its version pinned in tests/web/package-lock.json, installed
into DIR with npm ci) for the page as an app, its folder served on 127.0.0.1: the performance
score and metrics as a phone on a slow network and processor (simulated), and the other
categories' scores."""
import argparse
import gzip
import json
import os
import pathlib
import shutil
import statistics
import sys
import tempfile

HERE = pathlib.Path(__file__).resolve().parent
sys.dont_write_bytecode = True  # nothing written into the source tree
sys.path.insert(0, str(HERE.parent / "tests" / "web"))
import browsers  # noqa: E402

NAIVE = HERE / "naive_page.html"
GOAL_RATIO = 1.3
GOAL_BYTES = 150 * 1024

# Put in each new document before anything of its own runs: the moment data-ready appears on
# the root and the moment the price box has the focus, whichever order they come in.
PROBE = """
(() => {
  const probe = window.__startup = {attribute: null, focus: null, ready: null};
  const settle = () => {
    const active = document.activeElement;
    if (probe.ready === null && probe.attribute !== null && active && active.id === 'txtPrice')
      probe.ready = performance.now();
  };
  new MutationObserver(() => {
    if (probe.attribute === null && document.documentElement.hasAttribute('data-ready')) {
      probe.attribute = performance.now();
      settle();
    }
  }).observe(document, {subtree: true, attributes: true, attributeFilter: ['data-ready']});
  document.addEventListener('focusin', (e) => {
    if (e.target.id === 'txtPrice' && probe.focus === null) { probe.focus = performance.now(); settle(); }
  }, true);
})();
"""

# For --breakdown, put in each document too: when decoding the WebAssembly's base64 (with
# Uint8Array.fromBase64 or atob, whichever the page's glue takes), compiling it and
# instantiating it start and end, and the price box's first focus() call.
TIMERS = """
(() => {
  const mark = (name) => performance.mark(name);
  const timedCall = (object, name, start, end) => {
    const original = object[name];
    if (!original) return;
    object[name] = function (...args) {
      mark(start);
      const result = original.apply(this, args);
      mark(end);
      return result;
    };
  };
  timedCall(Uint8Array, 'fromBase64', 'base64-decode-start', 'base64-decoded');
  timedCall(window, 'atob', 'base64-decode-start', 'base64-decoded');
  const timed = (constructor, start, end) => new Proxy(constructor, {
    construct(target, args, newTarget) {
      mark(start);
      const made = Reflect.construct(target, args, newTarget);
      mark(end);
      return made;
    },
  });
  WebAssembly.Module = timed(WebAssembly.Module, 'compile-start', 'compile-end');
  WebAssembly.Instance = timed(WebAssembly.Instance, 'instance-start', 'instance-end');
  const focus = HTMLElement.prototype.focus;
  HTMLElement.prototype.focus = function (...args) {
    const first = this.id === 'txtPrice' && !performance.getEntriesByName('focus-start').length;
    if (first) mark('focus-start');
    const result = focus.apply(this, args);
    if (first) mark('focus-end');
    return result;
  };
})();
"""

# The marks of the copy, and what the time up to each was spent on (from the mark before it,
# in the order they come).
STEPS = {
    "module-script-reached": "navigation, the renderer, the HTML with the form, the page's glue",
    "module-script-compiled": "parsing and compiling the module's script",
    "base64-decode-start": "its top level up to the glue's decoding of the WebAssembly",
    "base64-decoded": "decoding the WebAssembly's base64",
    "compile-start": "to compiling it",
    "compile-end": "compiling the WebAssembly (new WebAssembly.Module)",
    "instance-start": "to instantiating it",
    "instance-end": "instantiating it (new WebAssembly.Instance)",
    "runtime-initialized": "the module's constructors",
    "focus-start": "taking up the form's elements, listening to their events",
    "focus-end": "focusing the price box (and the style and layout that forces)",
    "form-built": "the rest of the start",
    "module-script-ran": "the rest of its top level",
}


def marked_copy(text):
    """The page with performance marks around its module's script and its start."""
    glue = "Module._web_start();"
    start = text.rfind("<script>\n")
    end = text.rfind("\n</script>")
    if text.count(glue) != 1 or start < 0 or end < start:
        raise AssertionError("the page's glue or module script is not where --breakdown looks for it")
    text = (text[:start] + "<script>performance.mark('module-script-reached');</script>\n<script>\n"
            "performance.mark('module-script-compiled');\n" + text[start + len("<script>\n"):end]
            + "\n;performance.mark('module-script-ran');" + text[end:])
    return text.replace(glue, "performance.mark('runtime-initialized'); " + glue + " performance.mark('form-built');")


READ = """
const n = performance.getEntriesByType('navigation')[0];
return {ready: window.__startup.ready, attribute: window.__startup.attribute, focus: window.__startup.focus,
        responseEnd: n.responseEnd, domInteractive: n.domInteractive,
        domContentLoaded: n.domContentLoadedEventEnd, load: n.loadEventEnd,
        marks: Object.fromEntries(performance.getEntriesByType('mark').map((m) => [m.name, m.startTime]))};
"""


def percentile(values, fraction):
    """The nearest-rank percentile."""
    ordered = sorted(values)
    return ordered[max(0, min(len(ordered) - 1, round(fraction * len(ordered) + 0.5) - 1))]


def sizes(path):
    data = path.read_bytes()
    return len(data), len(gzip.compress(data, compresslevel=9, mtime=0))


def measure(pages, runs, warm_up, breakdown):
    """{(page name, transport): [the READ record of each counted load]}, for pages {name: text}"""
    folder = tempfile.mkdtemp(prefix="salestax-bench-")
    server = browsers.PageServer(folder)
    urls = {}
    for name, text in pages.items():
        pathlib.Path(folder, name + ".html").write_text(text, encoding="utf-8")
        urls[(name, "file")] = pathlib.Path(folder, name + ".html").as_uri()
        urls[(name, "http")] = server.url(name + ".html")
    records = {key: [] for key in urls}
    try:
        with browsers.Scratch() as scratch:
            browser = browsers.start_browser("chromium", scratch)
            home = browser.driver.current_window_handle
            keys = list(urls)
            for round_ in range(warm_up + runs):
                # The pages and transports in turn, each round starting one further along.
                for key in keys[round_ % len(keys):] + keys[:round_ % len(keys)]:
                    # Each load in a new tab, which has a renderer process of its own: a page
                    # opened afresh, with none of its script or WebAssembly compiled before.
                    browser.driver.switch_to.new_window("tab")
                    browser.cdp("Page.addScriptToEvaluateOnNewDocument", {"source": PROBE + (TIMERS if breakdown else "")})
                    browser.navigate(urls[key])
                    if browsers.wait_until(5, lambda: browser.run("return window.__startup.ready !== null;")) is None:
                        raise AssertionError(f"{urls[key]}: ready, but the price box never had the focus")
                    if round_ >= warm_up:
                        records[key].append(browser.run(READ))
                    browser.console_errors()  # kept by the browser object, read before the tab goes
                    browser.driver.close()
                    browser.driver.switch_to.window(home)
            errors = browser.console_errors()
            if errors:
                raise AssertionError("the pages logged errors:\n  " + "\n  ".join(errors[:5]))
            version = browser.version
    finally:
        server.close()
        shutil.rmtree(folder, ignore_errors=True)
    return records, version


def lighthouse(app, tools):
    """Lighthouse's scores and performance metrics for the app served from its folder."""
    from accessibility_audit import install_tools
    from app_test import metrics, run_lighthouse
    install_tools(tools)
    with browsers.Scratch() as scratch:
        server = browsers.PageServer(str(app))
        scratch.closers.append(server.close)
        report = run_lighthouse(scratch, str(tools), server.url(""))
    scores = ", ".join(f"{c['title'].lower()} {round(c['score'] * 100)}" for c in report["categories"].values())
    settings = report["configSettings"]
    throttling = settings["throttling"]
    print(f"Lighthouse {report['lighthouseVersion']} on the app served from {app} ({settings['formFactor']}, "
          f"{settings['throttlingMethod']}d: {throttling['rttMs']:.0f} ms round trips, "
          f"{throttling['throughputKbps']:.0f} kbit/s, a {throttling['cpuSlowdownMultiplier']:.0f}x slower processor): {scores}")
    for name, value in metrics(report):
        print(f"  {name}: {value}")


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("page", type=pathlib.Path)
    parser.add_argument("--runs", type=int, default=30)
    parser.add_argument("--warm-up", type=int, default=3)
    parser.add_argument("--json", type=pathlib.Path, help="write every load's record there")
    parser.add_argument("--breakdown", action="store_true", help="also where the page's own time goes")
    parser.add_argument("--app", type=pathlib.Path, help="the app's folder, for Lighthouse's figures")
    parser.add_argument("--tools", type=pathlib.Path, help="where npm installs Lighthouse")
    args = parser.parse_args()
    pages = {"salestax": args.page.read_text(encoding="utf-8"), "naive": NAIVE.read_text(encoding="utf-8")}
    if args.breakdown:
        pages["salestax-marked"] = marked_copy(pages["salestax"])
    before_load = os.getloadavg()[0]
    records, version = measure(pages, args.runs, args.warm_up, args.breakdown)

    print(f"Chromium {version}, headless; {args.runs} loads of each page and transport, alternated, "
          f"after {args.warm_up} rounds of warm-up. Milliseconds from the start of the navigation. "
          f"Load average before and after: {before_load:.2f}, {os.getloadavg()[0]:.2f} ({os.cpu_count()} cores).")
    print(f"{'page':10} {'from':5} {'ready median':>13} {'p90':>7} {'DOMContentLoaded':>17} {'load':>7} "
          f"{'ready after the last byte':>26}")
    medians = {}
    for (name, transport), loads in records.items():
        ready = [r["ready"] for r in loads]
        medians[(name, transport)] = statistics.median(ready)
        print(f"{name:10} {transport:5} {statistics.median(ready):13.1f} {percentile(ready, 0.9):7.1f} "
              f"{statistics.median(r['domContentLoaded'] for r in loads):17.1f} "
              f"{statistics.median(r['load'] for r in loads):7.1f} "
              f"{statistics.median(r['ready'] - r['responseEnd'] for r in loads):26.1f}")
    met = True
    if args.breakdown:
        print("Where the time goes, in a copy of salestax.html marked at each step (medians, ms):")
        for transport in ("file", "http"):
            loads = records[("salestax-marked", transport)]
            reached = [name for name in STEPS if all(name in r["marks"] for r in loads)]
            partly = [name for name in STEPS if name not in reached and any(name in r["marks"] for r in loads)]
            if partly:
                raise AssertionError(f"marks reached in some loads only: {', '.join(partly)}")
            at = {name: [r["marks"][name] for r in loads] for name in reached}
            at["ready"] = [r["ready"] for r in loads]
            before = [0.0] * len(loads)
            print(f"  from {transport}:")
            for name in sorted(at, key=lambda name: statistics.median(at[name])):
                what = STEPS.get(name, "to the probe seeing the page ready")
                print(f"    {statistics.median(b - a for a, b in zip(before, at[name])):6.1f}  "
                      f"(at {statistics.median(at[name]):6.1f})  {what}")
                before = at[name]
            if len(reached) < len(STEPS):
                print(f"    (not in this build: {', '.join(name for name in STEPS if name not in reached)})")
    for transport in ("file", "http"):
        ratio = medians[("salestax", transport)] / medians[("naive", transport)]
        met &= ratio <= GOAL_RATIO
        print(f"ratio salestax/naive, {transport}: {ratio:.2f} (goal: at most {GOAL_RATIO})")
    for name, path in (("salestax", args.page), ("naive", NAIVE)):
        raw, packed = sizes(path)
        print(f"size of {name}: {raw} bytes, {packed} bytes with gzip -9")
        if name == "salestax":
            met &= raw < GOAL_BYTES
    print(f"goals (at most {GOAL_RATIO} times the naive page's median from the disk and over http, "
          f"under {GOAL_BYTES // 1024} KiB): {'met' if met else 'NOT met'}")
    if args.app:
        lighthouse(args.app, args.tools or args.app.parent / "npm")
    if args.json:
        args.json.write_text(json.dumps({f"{k[0]} {k[1]}": v for k, v in records.items()}, indent=1))


if __name__ == "__main__":
    try:
        main()
    except (AssertionError, browsers.BrowserDidNotStart) as e:
        sys.exit(f"FAIL: {e}")
