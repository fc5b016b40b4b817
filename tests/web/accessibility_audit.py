#!/usr/bin/python3
"""The page's accessibility audit: axe-core, run in the browser on the page in each state a user
meets (at start, a tax shown, the report up), in the light and the dark colour scheme, in a
desktop's window and on a phone's 360 x 640 screen. Every rule of WCAG 2.0 and 2.1 at levels A
and AA runs, and axe-core's best practices; any violation fails the test, printed with its
elements.

   accessibility_audit.py PAGE TOOLS_DIR [BROWSER...]     (default: chromium)

BROWSER is one of tests/web/browsers.py's: chromium, firefox, webkit. axe-core comes from npm
at the version that tests/web/package-lock.json pins, installed with `npm ci` into TOOLS_DIR
(in the build tree): from the registry the first time, from npm's cache or the folder itself
after that, offline.

Before it trusts a clean result, the test breaks the page on purpose, a way at a time, and
checks that axe-core finds each fault: an audit that cannot fail would pass anything."""
import json
import os
import pathlib
import shutil
import subprocess
import sys

sys.dont_write_bytecode = True  # nothing written into the source tree
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import browsers  # noqa: E402

HERE = pathlib.Path(__file__).resolve().parent
TAGS = ["wcag2a", "wcag2aa", "wcag21a", "wcag21aa", "best-practice"]
WAIT = 5  # seconds for anything the page does
AXE_SECONDS = 30  # one run of axe-core

# The screens, in CSS pixels: a desktop's window, and a phone's, where the page lays its
# controls out in one column.
VIEWPORTS = [("desktop 1024 x 768", 1024, 768), ("phone 360 x 640", 360, 640)]
SCHEMES = ["light", "dark"]

# The page broken on purpose, a fault each, and the rule of axe-core that must find it.
FAULTS = [
    ("the price box loses its label", "document.getElementById('Label2').htmlFor = '';", "label"),
    ("the price label faint grey on the light face",
     "document.getElementById('Label2').style.color = '#d8d8d8';", "color-contrast"),
    ("the page loses its language", "document.documentElement.removeAttribute('lang');", "html-has-lang"),
    ("the page forbids zooming",
     "document.querySelector('meta[name=viewport]').content += ', maximum-scale=1, user-scalable=no';",
     "meta-viewport"),
    ("the tax label's role misspelt", "document.getElementById('lblSalesTax').setAttribute('role', 'statsu');",
     "aria-roles"),
    ("the page loses its heading", "document.querySelector('h1').remove();", "page-has-heading-one"),
    ("the report up with an empty title",
     "document.getElementById('reportTitle').textContent = '';"
     "document.getElementById('report').show();", "empty-heading"),
    ("the report's OK button without a name",
     "document.getElementById('reportOk').textContent = '';"
     "document.getElementById('report').show();", "button-name"),
]

# Rules that must have looked at the page in every audit, whatever they found: a run that
# checked nothing proves nothing.
CORE_RULES = {"color-contrast", "document-title", "html-has-lang", "button-name"}


class AuditFailed(Exception):
    pass


def install_axe(tools_dir):
    """axe.min.js's text and version, at the version the lockfile pins."""
    install_tools(tools_dir)
    lockfile = HERE / "package-lock.json"
    version = json.loads(lockfile.read_text())["packages"]["node_modules/axe-core"]["version"]
    installed = tools_dir / "node_modules" / "axe-core"
    got = json.loads((installed / "package.json").read_text())["version"]
    if got != version:
        raise AuditFailed(f"{installed} holds axe-core {got}; the lockfile pins {version}")
    return (installed / "axe.min.js").read_text(encoding="utf-8"), version


def install_tools(tools_dir):
    """The tools the lockfile pins (axe-core, Lighthouse), installed into tools_dir with `npm ci`
    unless the folder holds them from the same lockfile already."""
    tools_dir.mkdir(parents=True, exist_ok=True)
    lockfile = HERE / "package-lock.json"
    stamp = tools_dir / "installed-from.package-lock.json"
    if not (stamp.exists() and stamp.read_bytes() == lockfile.read_bytes() and (tools_dir / "node_modules").is_dir()):
        for name in ("package.json", "package-lock.json"):
            shutil.copyfile(HERE / name, tools_dir / name)
        npm = shutil.which("npm")
        if npm is None:
            raise AuditFailed("npm, which installs the pinned tools, is missing: scripts/install-deps installs it")
        command = [npm, "ci", "--no-audit", "--no-fund", "--ignore-scripts", "--loglevel=error"]
        said = ""
        # From npm's cache, offline, first; then from the registry.
        for mode in ("--offline", "--prefer-offline"):
            run = subprocess.run(command + [mode], cwd=tools_dir, capture_output=True, text=True, timeout=180)
            if run.returncode == 0:
                break
            said = run.stderr.strip()
        else:
            raise AuditFailed(
                f"npm ci could not install the tools of {lockfile} into {tools_dir}. The first install needs "
                f"the npm registry; after it, the tests run offline (from this folder, or npm's cache for a new "
                f"build folder). Run the test once with the registry reachable. npm said:\n{said}")
        shutil.copyfile(lockfile, stamp)


def wait_for(browser, what, condition):
    if not browsers.wait_until(WAIT, lambda: browser.run("return Boolean(" + condition + ");"), interval=0.05):
        raise AuditFailed(f"{what}: not seen within {WAIT} s")


def load(browser, url, width, height, scheme):
    """The page afresh at a size, checked to be that size and in the colour scheme."""
    browser.set_viewport(width, height)
    browser.navigate(url)
    got = browser.run("return [innerWidth, matchMedia('(prefers-color-scheme: dark)').matches];")
    if got != [width, scheme == "dark"]:
        raise AuditFailed(f"the page is {got[0]} px wide and {'dark' if got[1] else 'light'}, not {width} px and {scheme}")
    errors = browser.console_errors()
    if errors:
        raise AuditFailed("the page logged errors:\n  " + "\n  ".join(errors))


def show_a_tax(browser):
    browser.type("19.99")
    browser.press("c", "Alt")
    wait_for(browser, "the tax on 19.99 in Pennsylvania, 1.1994",
             "document.getElementById('lblSalesTax').textContent.includes('1.1994')")


def show_the_report(browser):
    # After a tax the price box is empty: Alt+C brings up the report.
    wait_for(browser, "the price box empty and focused",
             "document.activeElement.id === 'txtPrice' && document.activeElement.value === ''")
    browser.press("c", "Alt")
    wait_for(browser, "the report up, its OK button focused",
             "document.getElementById('report').open && document.activeElement.id === 'reportOk'")


STATES = [("at start", None), ("a tax shown", show_a_tax), ("the report up", show_the_report)]


def audit(browser, axe_source):
    """axe-core's findings on the document as it is: violations with their elements, and the ids
    of the rules that looked at something. axe.run is asynchronous: its result is left in the
    page and polled for."""
    if browser.run("return typeof window.axe;") != "object":
        browser.run(axe_source + "\nreturn null;")
    browser.run("""
        window.__audit = null;
        axe.run(document, {runOnly: {type: 'tag', values: arguments[0]}}).then(r => {
          window.__audit = {
            violations: r.violations.map(v => ({id: v.id, impact: v.impact, help: v.help, helpUrl: v.helpUrl,
              nodes: v.nodes.map(n => ({target: n.target, html: n.html, summary: n.failureSummary}))})),
            looked: r.passes.concat(r.incomplete).map(p => p.id), incomplete: r.incomplete.map(i => i.id)};
        }, e => { window.__audit = {error: String(e)}; });
        return null;""", TAGS)
    results = browsers.wait_until(AXE_SECONDS, lambda: browser.run("return window.__audit;"), interval=0.1)
    if results is None:
        raise AuditFailed(f"axe.run gave no result within {AXE_SECONDS} s")
    if "error" in results:
        raise AuditFailed(f"axe.run failed: {results['error']}")
    results["looked"] = set(results["looked"]) | {v["id"] for v in results["violations"]}
    return results


def describe(violations):
    lines = []
    for v in violations:
        lines.append(f"  {v['id']} ({v['impact']}): {v['help']} <{v['helpUrl']}>")
        for node in v["nodes"]:
            lines.append(f"    at {' '.join(map(str, node['target']))}: {node['html']}")
            lines.extend(f"      {line}" for line in (node["summary"] or "").splitlines())
    return "\n".join(lines)


def audit_in(name, url, axe_source):
    """Every audit in one browser, a browser of its own for each colour scheme; the number of
    audits with violations, and of audits."""
    found, audits = 0, 0
    for scheme in SCHEMES:
        with browsers.Scratch() as scratch:
            browser = browsers.start_browser(name, scratch, dark=scheme == "dark")
            for viewport, width, height in VIEWPORTS:
                load(browser, url, width, height, scheme)
                for state, step in STATES:
                    if step:
                        step(browser)
                    results = audit(browser, axe_source)
                    audits += 1
                    where = f"{name} {browser.version}, {viewport}, {scheme}, {state}"
                    if not CORE_RULES <= results["looked"]:
                        raise AuditFailed(f"{where}: axe-core did not run {sorted(CORE_RULES - results['looked'])}")
                    if results["violations"]:
                        found += 1
                        print(f"{where}: {len(results['violations'])} violation(s)\n{describe(results['violations'])}")
                    else:
                        review = f"; for review by hand: {', '.join(results['incomplete'])}" if results["incomplete"] else ""
                        print(f"{where}: no violation ({len(results['looked'])} rules applied{review})")
    return found, audits


def faults_missed(name, url, axe_source):
    """The faults put in the page that axe-core did not find, each in a fresh page."""
    missed = []
    with browsers.Scratch() as scratch:
        browser = browsers.start_browser(name, scratch)
        for fault, script, rule in FAULTS:
            load(browser, url, *VIEWPORTS[0][1:], "light")
            browser.run(script + "\nreturn null;")
            found = rule in {v["id"] for v in audit(browser, axe_source)["violations"]}
            print(f"{name}, fault put in, {fault}: {'found' if found else 'MISSED'} ({rule})")
            if not found:
                missed.append(fault)
    return missed


def main(page, tools_dir, *names):
    names = names or ("chromium",)
    page = pathlib.Path(page).resolve()
    if not page.exists():
        raise AuditFailed(f"{page} is missing: build the target salestax_page")
    axe_source, version = install_axe(pathlib.Path(tools_dir))
    url = page.as_uri()
    found, audits = 0, 0
    for name in names:
        f, a = audit_in(name, url, axe_source)
        found, audits = found + f, audits + a
    missed = faults_missed(names[0], url, axe_source)
    if missed:
        raise AuditFailed(f"axe-core missed faults put in the page on purpose: {', '.join(missed)}")
    if found:
        raise AuditFailed(f"{found} of {audits} audits found violations (axe-core {version})")
    print(f"{audits} audits with axe-core {version} ({', '.join(TAGS)}) in {', '.join(names)}: no violation; "
          f"{len(FAULTS)} faults put in, all found")


if __name__ == "__main__":
    if len(sys.argv) < 3:
        sys.exit(__doc__)
    try:
        main(*sys.argv[1:])
    except (AuditFailed, browsers.BrowserDidNotStart, AssertionError) as e:
        print(f"FAIL: {e}", file=sys.stderr)
        sys.exit(1)
