#!/usr/bin/python3
"""The page as an app, served from its folder (the build's web/app) over http on 127.0.0.1.

    app_test.py BROWSER --app BUILD/web/app --worker TEMPLATE MAKE_WORKER --facts NODE FACTS.js
    app_test.py lighthouse --app BUILD/web/app --tools BUILD/tests/web/npm

In each browser (chromium, firefox, webkit), the folder served under /salestax/: the service
worker takes the page over and keeps the folder; with the server stopped the page reloads and
opens again, and calculates; a changed release, served on the same origin, is not taken while
its files are not the ones its worker names, and is taken at the next start once they are,
the old cache gone. In Chromium also: no installability error, the manifest as Chromium reads
it (names, icons, display, start URL, scope, theme), the icons' sizes and safe zones, and
the theme colours the face of the page, light and dark.

`lighthouse` runs Lighthouse (pinned in tests/web/package-lock.json) on the folder served at
the root, as a phone: accessibility, best practices and SEO must score 100; the performance
score and metrics are printed.
"""
import argparse
import json
import os
import pathlib
import re
import shutil
import subprocess
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import browsers  # noqa: E402
from page_test import Checks, Facts, Page, read_png  # noqa: E402

CONTROLLED_SECONDS = 20  # the worker installed (every file fetched and checked) and in control

# A promise's value, kept in the page until it is read (run() takes no promise).
AWAITED = """
if (!('__awaited' in window)) {
  window.__awaited = null;
  Promise.resolve(%s).then((v) => { window.__awaited = {v}; }, (e) => { window.__awaited = {v: 'error: ' + e}; });
}
const got = window.__awaited;
if (got !== null) delete window.__awaited;
return got;
"""


def awaited(browser, expression, seconds=5):
    got = browsers.wait_until(seconds, lambda: browser.run(AWAITED % expression))
    if got is None:
        raise AssertionError("%s: no value within %d s" % (expression, seconds))
    return got["v"]


def caches(browser):
    return awaited(browser, "caches.keys()")


def settled_caches(browser, probe, seconds=CONTROLLED_SECONDS):
    """The page's caches once probe(caches) holds, or the last seen after `seconds`."""
    seen = []

    def look():
        seen[:] = [caches(browser)]
        return probe(seen[0])
    browsers.wait_until(seconds, look, interval=0.3)
    return seen[0]


def calculates(page):
    page.calculate("p", "19.99")
    return page.settle(lambda s: s["tax"] == "1.1994")["tax"]


def next_release(app, folder, worker_command, marker):
    """A copy of the app in folder, its page marked, its worker made anew over its files."""
    shutil.copytree(app, folder)
    index = pathlib.Path(folder, "index.html")
    index.write_text(index.read_text(encoding="utf-8").replace("<head>", '<head>\n<meta name="release" content="%s">' % marker, 1),
                     encoding="utf-8")
    subprocess.run(worker_command + [folder], check=True, timeout=60)


RELEASE = "const m = document.querySelector('meta[name=release]'); return m ? m.content : 'first';"


def offline_and_update(browser, scratch, args, checks):
    site = scratch.folder("site")
    shutil.copytree(args.app, os.path.join(site, "salestax"))
    server = browsers.PageServer(site)
    port, url = server.port, server.url("salestax/")
    page = Page(browser)
    page.open(url)
    controlled = browsers.wait_until(CONTROLLED_SECONDS, lambda: browser.run("return !!navigator.serviceWorker.controller;"))
    checks.check("the worker controls the page within %d s" % CONTROLLED_SECONDS, controlled)
    first = caches(browser)
    checks.check("  one cache, named for the folder and the release: %s" % first,
                 first and len(first) == 1 and re.fullmatch(r"salestax %s [0-9a-f]{16}" % re.escape(url), first[0]))
    fetched = sorted({path for method, path, status in server.requests if status == 200})
    files = sorted("/salestax/" + p.relative_to(args.app).as_posix() for p in pathlib.Path(args.app).rglob("*") if p.is_file())
    checks.equal("  every file of the folder was fetched", sorted(set(fetched) - {"/salestax/"}), files)
    server.close()

    browser.reload()
    checks.equal("with the server stopped, the page reloads and calculates", calculates(page), "1.1994")
    page.open(url + "?from=home-screen")
    checks.equal("  and opens again at its start URL, and calculates", calculates(page), "1.1994")

    # A release whose worker names files the server does not give (a proxy's old page): its
    # install fails, and the release kept stays whole.
    second = os.path.join(scratch.path, "second")
    next_release(args.app, second, args.worker, "second")
    mixed = scratch.folder("mixed")
    shutil.copytree(args.app, os.path.join(mixed, "salestax"))
    shutil.copy(os.path.join(second, "sw.js"), os.path.join(mixed, "salestax", "sw.js"))
    server = browsers.PageServer(mixed, port)
    page.open(url)
    browsers.wait_until(CONTROLLED_SECONDS, lambda: ("GET", "/salestax/index.html", 200) in server.requests)
    kept = settled_caches(browser, lambda c: c == first and awaited(
        browser, "navigator.serviceWorker.getRegistration().then((r) => !r.installing && !r.waiting)"))
    checks.equal("a release whose files are not the ones its worker names is not taken", kept, first)
    server.close()

    server = browsers.PageServer(os.path.join(scratch.path, "site-second"), port)
    shutil.copytree(second, os.path.join(scratch.path, "site-second", "salestax"))
    page.open(url)
    checks.equal("a new release served: this start shows the one kept", browser.run(RELEASE), "first")
    now = settled_caches(browser, lambda c: c and len(c) == 1 and c != first)
    checks.check("  its worker takes over, the old cache gone: %s" % now,
                 now and len(now) == 1 and now != first and now[0].startswith("salestax %s " % url))
    page.open(url)
    checks.equal("  the next start shows the new release", browser.run(RELEASE), "second")
    checks.equal("  and calculates", calculates(page), "1.1994")
    server.close()
    browser.reload()
    checks.equal("  offline too", (browser.run(RELEASE), calculates(page)), ("second", "1.1994"))
    checks.equal("no console error", browser.console_errors(), [])


def png_size(path):
    with open(path, "rb") as f:
        head = f.read(24)
    return int.from_bytes(head[16:20], "big"), int.from_bytes(head[20:24], "big")


def installable(browser, scratch, args, facts, checks):
    server = browsers.PageServer(args.app)
    scratch.closers.append(server.close)
    url = server.url("")
    browser.navigate(url)
    checks.equal("Chromium finds no installability error", browser.cdp("Page.getInstallabilityErrors", {}), {"installabilityErrors": []})
    got = browser.cdp("Page.getAppManifest", {})
    checks.equal("the manifest is read without error", (got["url"], got["errors"]), (url + "manifest.webmanifest", []))
    manifest = json.loads(got["data"])
    checks.equal("  its names, display, start URL and scope",
                 [manifest[k] for k in ("name", "short_name", "display", "start_url", "scope")],
                 [facts.name, manifest["short_name"][:12], "standalone", "./", "./"])
    icons = {(i["sizes"], i["purpose"]): i["src"] for i in manifest["icons"]}
    checks.equal("  icons at 192 and 512 px, any and maskable", sorted(icons),
                 sorted((s, p) for s in ("192x192", "512x512") for p in ("any", "maskable")))
    for (sizes, purpose), src in sorted(icons.items()):
        path = os.path.join(args.app, src)
        size = png_size(path)
        checks.equal("  %s is %s px" % (src, sizes), "%dx%d" % size, sizes)
        if purpose == "maskable":
            # Every mask keeps the middle circle of 80%: outside it, only the face.
            pixels = read_png(path)
            face = pixels[0, 0]
            r = 0.4 * size[0]
            outside = [xy for xy, rgb in pixels.items()
                       if rgb != face and (xy[0] + 0.5 - size[0] / 2) ** 2 + (xy[1] + 0.5 - size[1] / 2) ** 2 > r * r]
            checks.check("  %s: the art inside the safe zone on a full-bleed face" % src,
                         not outside and all(pixels[x, y] == face for x in (0, size[0] - 1) for y in (0, size[1] - 1)),
                         "%d pixels of art outside the circle" % len(outside))
    requested = {path for method, path, status in server.requests if status == 200}
    checks.check("  Chromium fetched the manifest's icons", {"/" + src for src in icons.values()} & requested, requested)
    return manifest


THEME = """
const hex = [...document.querySelectorAll('meta[name=theme-color]')].find((m) => matchMedia(m.media).matches).content;
const rgb = 'rgb(' + [1, 3, 5].map((i) => parseInt(hex.slice(i, i + 2), 16)).join(', ') + ')';
return [matchMedia('(prefers-color-scheme: dark)').matches, hex, rgb, getComputedStyle(document.body).backgroundColor];
"""


def theme_colours(browser, scratch, url, manifest, checks):
    for dark in (False, True):
        other = browsers.start_browser("chromium", scratch, dark=dark) if dark else browser
        other.navigate(url)
        is_dark, hex_colour, rgb, face = other.run(THEME)
        scheme = "dark" if dark else "light"
        checks.equal("%s: the theme colour is the page's face" % scheme, (is_dark, rgb), (dark, face))
        if not dark:
            checks.equal("  and the manifest's", manifest["theme_color"], hex_colour)


def lighthouse(args, checks):
    from accessibility_audit import install_tools
    install_tools(pathlib.Path(args.tools))
    with browsers.Scratch() as scratch:
        server = browsers.PageServer(args.app)
        scratch.closers.append(server.close)
        report = run_lighthouse(scratch, args.tools, server.url(""))
        scores = {k: round(c["score"] * 100) for k, c in report["categories"].items()}
        print("Lighthouse %s, %s, Chromium %s" % (report["lighthouseVersion"], report["configSettings"]["formFactor"],
                                                  report["environment"]["hostUserAgent"].split("Chrome/")[-1].split(" ")[0]))
        for category in ("accessibility", "best-practices", "seo"):
            failed = [a for a in report["categories"][category]["auditRefs"] if a["weight"] and report["audits"][a["id"]]["score"] != 1]
            checks.equal("%s 100" % category, scores[category], 100)
            for audit in failed:
                print("      %s: %s" % (audit["id"], report["audits"][audit["id"]]["title"]))
        print("performance %d (not asserted)" % scores["performance"])
        for name, value in metrics(report):
            print("  %s: %s" % (name, value))


def run_lighthouse(scratch, tools, url, timeout=240):
    """Lighthouse's report (its JSON) on url, as a phone, in Chromium headless with a profile in
    the scratch folder."""
    me = scratch.unique("lighthouse")
    out = os.path.join(scratch.path, me + ".json")
    env = scratch.environment(me, CHROME_PATH="/usr/bin/chromium", TMPDIR=scratch.folder(me, "tmp"))
    cli = os.path.join(tools, "node_modules", "lighthouse", "cli", "index.js")
    process = scratch.start(["node", cli, url, "--output=json", "--output-path=" + out, "--quiet",
                             "--only-categories=performance,accessibility,best-practices,seo",
                             "--chrome-flags=--headless=new --no-sandbox --disable-gpu"], me + ".log", env)
    try:
        process.wait(timeout=timeout)
    except subprocess.TimeoutExpired:
        browsers.stop(process)
        raise AssertionError("Lighthouse did not finish within %d s: %s" % (timeout, scratch.log(me + ".log")[-500:]))
    if process.returncode != 0 or not os.path.exists(out):
        raise AssertionError("Lighthouse failed (%s): %s" % (process.returncode, scratch.log(me + ".log")[-500:]))
    with open(out) as f:
        return json.load(f)


METRICS = ["first-contentful-paint", "largest-contentful-paint", "total-blocking-time", "cumulative-layout-shift",
           "speed-index", "interactive", "max-potential-fid"]


def metrics(report):
    """The performance metrics, as Lighthouse shows them."""
    return [(report["audits"][m]["title"], report["audits"][m]["displayValue"]) for m in METRICS if m in report["audits"]]


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("what", choices=sorted(browsers.BROWSERS) + ["lighthouse"])
    parser.add_argument("--app", required=True)
    parser.add_argument("--tools")
    parser.add_argument("--worker", nargs="+", help="the command that makes a folder's worker, less the folder")
    parser.add_argument("--facts", nargs="+")
    args = parser.parse_args()
    args.app = os.path.abspath(args.app)
    checks = Checks()
    if args.what == "lighthouse":
        try:
            lighthouse(args, checks)
        except (AssertionError, OSError) as e:
            checks.check("Lighthouse runs", False, e)
    else:
        with browsers.Scratch() as scratch:
            browser = checks.start_browser(args.what, scratch)
            if not browser:
                return checks.summary()
            try:
                if args.what == "chromium":
                    manifest = installable(browser, scratch, args, Facts(args.facts), checks)
                    theme_colours(browser, scratch, browser.run("return location.href;"), manifest, checks)
                offline_and_update(browser, scratch, args, checks)
            except Exception as e:  # a step that could not go on: what it met
                checks.check("the steps run to the end", False, e)
    return checks.summary()


if __name__ == "__main__":
    sys.exit(main())
