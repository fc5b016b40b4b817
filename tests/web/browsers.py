"""The page's browsers, each started privately and driven through WebDriver with real input.

    with Scratch() as scratch:
        browser = start_browser("chromium" | "firefox" | "webkit", scratch)
        browser.navigate(url)
        browser.run("return document.title;")          # a function body: its JSON-able result
        browser.press("c", "Alt")                       # real key events, modifiers held around
        browser.type("19.99")
        browser.click("#cmdCalculateSalesTax")          # the pointer at the element's centre
        browser.set_viewport(360, 640)
        browser.screenshot(path)
        browser.console_errors()                        # every error logged since the start

- Chromium: Debian's chromium through chromedriver (python3-selenium), headless, with a fresh
  user-data-dir and no network; console errors from the driver's browser log.
- WebKitGTK: MiniBrowser through WebKitWebDriver (python3-selenium) on a private Xvfb; its
  driver has no console log, so the page's errors are trapped in the page (see TRAP).
- Firefox ESR: no driver in Debian; Firefox speaks WebDriver BiDi over a websocket
  (python3-websockets), console errors from log.entryAdded.
- Chromium and Firefox headed instead, given a display (start_browser's `display`): a window
  with the browser's own toolbars and menus, driven through the same protocols.

Every process is started in a session of its own, given a free port, a profile and a home in
the scratch folder, waited for with bounded polling (BrowserDidNotStart within seconds), and
stopped by its pid (its process group) when the scratch folder is closed. A browser's
variant (dark colour scheme, a device pixel ratio) is chosen when it is started: where the
browser can emulate it (Chromium) it is emulated, elsewhere it is the browser's own setting.
"""
import asyncio
import base64
import glob
import http.server
import itertools
import json
import os
import shutil
import signal
import socket
import subprocess
import tempfile
import threading
import time

# WebDriver's code points for the keys the tests press; any other key is its character.
KEYS = {"Alt": "\uE00A", "Shift": "\uE008", "Control": "\uE009", "Tab": "\uE004", "Return": "\uE006",
        "Escape": "\uE00C", "Space": "\uE00D", "Backspace": "\uE003", "Home": "\uE011", "End": "\uE010",
        "Left": "\uE012", "Up": "\uE013", "Right": "\uE014", "Down": "\uE015"}

# What every browser here is started with, headless for WebDriver or headed for the screen
# reader (headed_command): no first-run pages, nothing asked of the network, no crash
# reports; and a UTF-8 locale, which a fresh minimal system's shell does not set and without
# which a headed Firefox's content process dies at start ("Exiting due to channel error").
LOCALE = {"LANG": "C.UTF-8"}
CHROMIUM_FLAGS = [
    "--no-first-run", "--no-default-browser-check", "--disable-background-networking",
    "--disable-component-update", "--disable-sync", "--disable-default-apps", "--disable-extensions",
    "--disable-breakpad", "--disable-features=Translate,OptimizationHints,MediaRouter,AutofillServerCommunication",
    "--password-store=basic", "--host-resolver-rules=MAP * ~NOTFOUND, EXCLUDE 127.0.0.1"]
FIREFOX_PREFS = {
    "browser.shell.checkDefaultBrowser": False,
    "browser.startup.homepage_override.mstone": "ignore",
    "browser.aboutwelcome.enabled": False,
    "browser.sessionstore.resume_from_crash": False,
    "datareporting.policy.dataSubmissionEnabled": False,
    "datareporting.policy.firstRunURL": "",
    "toolkit.telemetry.reportingpolicy.firstRun": False,
    "app.update.disabledForTesting": True,
    "app.normandy.enabled": False,
    "network.captive-portal-service.enabled": False,
    "network.connectivity-service.enabled": False,
    "browser.safebrowsing.malware.enabled": False,
    "browser.safebrowsing.phishing.enabled": False,
    "browser.safebrowsing.update.enabled": False,
    "extensions.update.enabled": False,
    "network.proxy.type": 0,
    "network.dns.disablePrefetch": True,
}
FIREFOX_ENVIRONMENT = {"MOZ_CRASHREPORTER_DISABLE": "1"}


def write_firefox_profile(profile, prefs):
    with open(os.path.join(profile, "user.js"), "w") as f:
        for key, value in prefs.items():
            f.write("user_pref(%s, %s);\n" % (json.dumps(key), json.dumps(value)))


def headed_command(name, profile):
    """The command that starts `name` headed in a window of 800 x 600 at the screen's corner,
    with its profile in the folder `profile` (written here) and accessible to screen readers:
    `env`, the variables, then the browser and its arguments; the page's URL goes last."""
    os.makedirs(profile, exist_ok=True)
    variables = dict(LOCALE)
    if name == "chromium":
        variables["ACCESSIBILITY_ENABLED"] = "1"
        # Chromium refuses to run as root in its sandbox.
        sandbox = ["--no-sandbox"] if os.geteuid() == 0 else []
        argv = ["/usr/bin/chromium", *sandbox, *CHROMIUM_FLAGS, "--force-renderer-accessibility", "--user-data-dir=" + profile,
                "--window-position=0,0", "--window-size=800,600"]
    elif name == "firefox":
        variables.update(FIREFOX_ENVIRONMENT, GNOME_ACCESSIBILITY="1")
        write_firefox_profile(profile, FIREFOX_PREFS)
        argv = ["firefox-esr", "--no-remote", "--new-instance", "-profile", profile]
    else:
        raise ValueError("no such browser: %s (chromium or firefox)" % name)
    return ["env", *("%s=%s" % item for item in variables.items()), *argv]


START_SECONDS = 20  # a browser or driver not up by then has failed to start
COMMAND_SECONDS = 30  # one WebDriver command

# The page's errors where the driver reports none (WebKitGTK): window errors, rejected
# promises and console.error calls, kept in the page for console_errors(). Put in once the
# page has loaded, it misses what goes wrong while the page loads; that the page became
# ready (navigate) is the check for that.
TRAP = """
if (!window.__errors) {
  window.__errors = [];
  window.addEventListener("error", (e) => window.__errors.push("error: " + e.message));
  window.addEventListener("unhandledrejection", (e) => window.__errors.push("unhandled rejection: " + e.reason));
  const original = console.error;
  console.error = function (...args) { window.__errors.push("console.error: " + args.join(" ")); return original.apply(console, args); };
}
"""


class BrowserDidNotStart(Exception):
    pass


def wait_until(seconds, probe, interval=0.1):
    """Polls probe() until it gives a true value, which is returned; None after `seconds`."""
    deadline = time.monotonic() + seconds
    while True:
        value = probe()
        if value or time.monotonic() >= deadline:
            return value or None
        time.sleep(interval)


def free_port():
    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


def port_open(port):
    try:
        with socket.create_connection(("127.0.0.1", port), timeout=0.5):
            return True
    except OSError:
        return False


class Scratch:
    """A folder for one test's profiles, homes and logs, and the processes started in it; on
    leaving, each process is stopped (last first) by its process group, and the folder goes
    unless SALESTAX_KEEP_SCRATCH is set."""

    def __init__(self):
        self.path = tempfile.mkdtemp(prefix="salestax-web-")
        self.processes = []
        self.closers = []
        self.count = 0

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        self.close()

    def unique(self, name):
        """A new folder's name for one more instance of `name`: chromium-1, chromium-2..."""
        self.count += 1
        return "%s-%d" % (name, self.count)

    def folder(self, *names):
        path = os.path.join(self.path, *names)
        os.makedirs(path, exist_ok=True)
        return path

    def environment(self, name, **extra):
        """A private home and runtime folder for one program, and the browsers' locale."""
        env = {k: v for k, v in os.environ.items()
               if k not in ("DISPLAY", "WAYLAND_DISPLAY", "DBUS_SESSION_BUS_ADDRESS", "XAUTHORITY")}
        home = self.folder(name, "home")
        runtime = self.folder(name, "runtime")
        os.chmod(runtime, 0o700)
        env.pop("LC_ALL", None)
        env.update(LOCALE, HOME=home, XDG_CONFIG_HOME=os.path.join(home, ".config"),
                   XDG_CACHE_HOME=os.path.join(home, ".cache"), XDG_DATA_HOME=os.path.join(home, ".local/share"),
                   XDG_RUNTIME_DIR=runtime)
        env.update(extra)
        return env

    def start(self, argv, log_name, env=None, **popen):
        log = open(os.path.join(self.path, log_name), "ab")
        process = subprocess.Popen(argv, stdin=subprocess.DEVNULL, stdout=popen.pop("stdout", log), stderr=log,
                                   env=env, start_new_session=True, **popen)
        log.close()
        self.processes.append(process)
        return process

    def log(self, name):
        try:
            with open(os.path.join(self.path, name), errors="replace") as f:
                return f.read()
        except OSError:
            return ""

    def close(self):
        for close in reversed(self.closers):
            try:
                close()
            except Exception as e:  # a browser that went away is stopped below all the same
                print("(closing: %s)" % e)
        self.closers.clear()
        for process in reversed(self.processes):
            stop(process)
        self.processes.clear()
        if not os.environ.get("SALESTAX_KEEP_SCRATCH"):
            shutil.rmtree(self.path, ignore_errors=True)
        else:
            print("scratch kept in", self.path)


def stop(process):
    """Stops a process started in a session of its own and whatever it started there: asked
    first, killed when not gone 5 seconds later."""
    if process.poll() is None:
        for sig in (signal.SIGTERM, signal.SIGKILL):
            try:
                os.killpg(process.pid, sig)
            except ProcessLookupError:
                break
            try:
                process.wait(timeout=5)
                break
            except subprocess.TimeoutExpired:
                continue
    # Children that outlived the leader, still in its group.
    try:
        os.killpg(process.pid, signal.SIGKILL)
    except (ProcessLookupError, PermissionError):
        pass


def start_xvfb(scratch, name):
    """An X server of our own on a display it picks, with an authorisation file of its own,
    both named after `name`; returns the environment entries for its clients."""
    auth = os.path.join(scratch.path, name + ".xauthority")
    cookie = os.urandom(16).hex()
    subprocess.run(["xauth", "-f", auth, "add", ":0", ".", cookie], check=True, capture_output=True, timeout=10)
    read, write = os.pipe()
    process = scratch.start(["Xvfb", "-displayfd", str(write), "-screen", "0", "1280x1024x24", "-dpi", "96",
                             "-nolisten", "tcp", "-noreset", "-auth", auth], name + ".xvfb.log", pass_fds=(write,))
    os.close(write)
    number = b""
    deadline = time.monotonic() + 10
    os.set_blocking(read, False)
    while not number.endswith(b"\n") and time.monotonic() < deadline and process.poll() is None:
        try:
            number += os.read(read, 16)
        except BlockingIOError:
            time.sleep(0.05)
    os.close(read)
    if not number.endswith(b"\n"):
        raise BrowserDidNotStart("Xvfb did not start: " + scratch.log(name + ".xvfb.log")[-300:])
    display = ":" + number.decode().strip()
    # The cookie was written for :0; the server's display is only known now.
    subprocess.run(["xauth", "-f", auth, "add", display, ".", cookie], check=True, capture_output=True, timeout=10)
    return {"DISPLAY": display, "XAUTHORITY": auth}


class PageServer:
    """One folder over http on 127.0.0.1, on a port of its own (or the one given: the same
    origin again, for a server started anew), each request kept in `requests` as (method,
    path, status), every answer marked not to be cached: each load is a first one. The app's
    files go out with their types whatever the machine's /etc/mime.types says; a file that is
    not there is a 404."""

    TYPES = {".html": "text/html; charset=utf-8", ".js": "text/javascript; charset=utf-8",
             ".webmanifest": "application/manifest+json", ".png": "image/png", ".wasm": "application/wasm",
             ".txt": "text/plain; charset=utf-8"}

    def __init__(self, folder, port=0):
        requests = self.requests = []

        class Handler(http.server.SimpleHTTPRequestHandler):
            extensions_map = {**http.server.SimpleHTTPRequestHandler.extensions_map, **PageServer.TYPES}

            def __init__(self, *args, **kwargs):
                super().__init__(*args, directory=folder, **kwargs)

            def end_headers(self):
                self.send_header("Cache-Control", "no-store")
                super().end_headers()

            def log_request(self, code="-", size="-"):
                requests.append((self.command, self.path, int(getattr(code, "value", code))))

            def log_message(self, *args):
                pass

        self.server = http.server.ThreadingHTTPServer(("127.0.0.1", port), Handler)
        self.port = self.server.server_address[1]
        self.thread = threading.Thread(target=self.server.serve_forever, daemon=True)
        self.thread.start()

    def url(self, name):
        return "http://127.0.0.1:%d/%s" % (self.port, name)

    def close(self):
        self.server.shutdown()
        self.server.server_close()


class Browser:
    """What the tests do in any browser. Subclasses give _evaluate (an expression to its
    value, a string or None), _perform (WebDriver input sources, as both protocols take them),
    _navigate, _reload, set_viewport (the page's size in CSS pixels; returns the size it got),
    frames_drawn (waits for the page to draw that many frames), _screenshot (of the page's
    viewport, to a PNG file) and console_errors (every error the page logged since the
    browser started)."""

    name = ""
    version = ""
    # Whether a synthesized Return or Space activates a focused button.
    keys_activate_buttons = True

    def navigate(self, url, ready_seconds=10):
        """Opens url and waits until the page says it is ready (data-ready on its root)."""
        self._navigate(url)
        if not wait_until(ready_seconds, lambda: self.run("return document.documentElement.hasAttribute('data-ready');")):
            raise AssertionError("the page at %s did not become ready within %d s" % (url, ready_seconds))

    def reload(self, ready_seconds=10):
        """Loads the page again, as the browser's reload does, and waits until it is ready."""
        self._reload()
        if not wait_until(ready_seconds, lambda: self.run("return document.documentElement.hasAttribute('data-ready');")):
            raise AssertionError("the page did not become ready within %d s of a reload" % ready_seconds)

    def run(self, body, *args):
        """Runs a function body with args as its arguments; its result through JSON."""
        text = self._evaluate("JSON.stringify((function () {%s}).apply(null, %s))" % (body, json.dumps(args)))
        return None if text is None else json.loads(text)

    def keys(self, *steps):
        """Key steps, ("down", key) or ("up", key), a key a name of KEYS or a character."""
        actions = [{"type": "key" + kind.capitalize(), "value": KEYS.get(key, key)} for kind, key in steps]
        self._perform([{"type": "key", "id": "keyboard", "actions": actions}])

    def press(self, key, *modifiers):
        """The modifiers down, the key down and up, the modifiers up, last first."""
        self.keys(*[("down", m) for m in modifiers], ("down", key), ("up", key), *[("up", m) for m in reversed(modifiers)])

    def type(self, text):
        self.keys(*[step for c in text for step in (("down", c), ("up", c))])

    def centre(self, selector):
        return self.run("const r = document.querySelector(arguments[0]).getBoundingClientRect();"
                        "return [r.left + r.width / 2, r.top + r.height / 2];", selector)

    def click(self, selector):
        """The mouse moved to the element's centre, pressed and released there."""
        x, y = self.centre(selector)
        self._perform([{"type": "pointer", "id": "mouse", "parameters": {"pointerType": "mouse"}, "actions": [
            {"type": "pointerMove", "x": int(x), "y": int(y), "origin": "viewport"},
            {"type": "pointerDown", "button": 0}, {"type": "pointerUp", "button": 0}]}])

    def screenshot(self, path):
        """The page's viewport to a PNG file, once what the page shows now has been painted:
        the browser's screenshot is of the last frame it drew (WebKitGTK's lags behind)."""
        self.frames_drawn(2)
        self._screenshot(path)

    def viewport(self):
        return self.run("return [innerWidth, innerHeight, devicePixelRatio];")


class SeleniumBrowser(Browser):
    def _start_session(self, port, options, connection=None):
        from selenium import webdriver
        from selenium.webdriver.remote.remote_connection import RemoteConnection
        url = "http://127.0.0.1:%d" % port
        # Each request to the driver, the new session's too, fails after that long (selenium
        # 4.8; later ones have a default of their own).
        if hasattr(RemoteConnection, "set_timeout"):
            RemoteConnection.set_timeout(COMMAND_SECONDS)
        self.driver = webdriver.Remote(command_executor=connection or RemoteConnection(url), options=options)
        self.driver.set_page_load_timeout(COMMAND_SECONDS)
        self.driver.set_script_timeout(COMMAND_SECONDS)
        self.version = self.driver.capabilities.get("browserVersion", "")

    def _navigate(self, url):
        self.driver.get(url)

    def _reload(self):
        self.driver.refresh()

    def _evaluate(self, expression):
        return self.driver.execute_script("return " + expression + ";")

    def _perform(self, sources):
        self.driver.execute("actions", {"actions": sources})

    def frames_drawn(self, count):
        self.driver.execute_async_script(
            "const done = arguments[arguments.length - 1]; let n = arguments[0];"
            "const next = () => (n-- > 0 ? requestAnimationFrame(next) : done());  next();", count)

    def _screenshot(self, path):
        with open(path, "wb") as f:
            f.write(self.driver.get_screenshot_as_png())

    def quit(self):
        self.driver.quit()


class Chromium(SeleniumBrowser):
    name = "chromium"

    def __init__(self, scratch, dark=False, scale=1, display=None):
        from selenium import webdriver
        from selenium.webdriver.chromium.remote_connection import ChromiumRemoteConnection
        self.scale, self.errors = scale, []
        port, me = free_port(), scratch.unique("chromium")
        env = scratch.environment(me, **(display or {}))
        scratch.start(["/usr/bin/chromedriver", "--port=%d" % port, "--allowed-ips=127.0.0.1"], me + ".log", env)
        if not wait_until(START_SECONDS, lambda: port_open(port)):
            raise BrowserDidNotStart("chromedriver did not listen: " + scratch.log(me + ".log")[-300:])
        options = webdriver.ChromeOptions()
        options.binary_location = "/usr/bin/chromium"
        headless = [] if display else ["--headless=new", "--hide-scrollbars"]
        for argument in [*headless, "--no-sandbox", "--user-data-dir=" + scratch.folder(me, "profile"), "--window-size=800,600",
                         *CHROMIUM_FLAGS, "--disable-gpu", "--font-render-hinting=none"]:
            options.add_argument(argument)
        options.set_capability("goog:loggingPrefs", {"browser": "ALL"})
        self._start_session(port, options, ChromiumRemoteConnection("http://127.0.0.1:%d" % port, "goog", "chrome"))
        scratch.closers.append(self.quit)
        if dark:
            self.cdp("Emulation.setEmulatedMedia", {"features": [{"name": "prefers-color-scheme", "value": "dark"}]})
        if not display:
            self.set_viewport(800, 600)

    def cdp(self, command, parameters):
        return self.driver.execute("executeCdpCommand", {"cmd": command, "params": parameters})["value"]

    def set_viewport(self, width, height):
        self.cdp("Emulation.setDeviceMetricsOverride",
                 {"width": width, "height": height, "deviceScaleFactor": self.scale, "mobile": False})
        return self.run("return [innerWidth, innerHeight];")

    def console_errors(self):
        for entry in self.driver.execute("getLog", {"type": "browser"})["value"]:
            if entry["level"] == "SEVERE":
                self.errors.append(entry["message"])
        return list(self.errors)


def given_capabilities(capabilities):
    """Selenium's options carrying these capabilities and no others, for a driver that refuses
    selenium's own for its browser."""
    from selenium.webdriver.common.options import ArgOptions

    class Given(ArgOptions):
        @property
        def default_capabilities(self):
            return {}

        def to_capabilities(self):
            return dict(capabilities)
    return Given()


class WebKit(SeleniumBrowser):
    name = "webkit"
    # WebKitGTK's own browser, from libwebkit2gtk-4.1-0, in the architecture's library folder.
    MINIBROWSERS = sorted(glob.glob("/usr/lib/*/webkit2gtk-4.1/MiniBrowser"))

    def __init__(self, scratch, dark=False, scale=1):
        if not self.MINIBROWSERS:
            raise BrowserDidNotStart("no MiniBrowser in /usr/lib/*/webkit2gtk-4.1 (package libwebkit2gtk-4.1-0)")
        port, me = free_port(), scratch.unique("webkit")
        display = start_xvfb(scratch, me)
        # GDK_SCALE: the whole browser at that many device pixels to a CSS pixel, as on a
        # screen of that density.
        env = scratch.environment(me, WEBKIT_DISABLE_SANDBOX_THIS_IS_DANGEROUS="1", GDK_SCALE=str(scale),
                                  GDK_DPI_SCALE="1", NO_AT_BRIDGE="1", **display)
        scratch.start(["WebKitWebDriver", "--port=%d" % port], me + ".log", env)
        if not wait_until(START_SECONDS, lambda: port_open(port)):
            raise BrowserDidNotStart("WebKitWebDriver did not listen: " + scratch.log(me + ".log")[-300:])
        arguments = ["--automation"] + (["--dark-mode"] if dark else [])
        self._start_session(port, given_capabilities({
            "browserName": "MiniBrowser",
            "webkitgtk:browserOptions": {"binary": self.MINIBROWSERS[0], "args": arguments}}))
        scratch.closers.append(self.quit)
        self.scale, self.errors = scale, []
        self.set_viewport(800, 600)

    def _trapped(self):
        return self.driver.execute_script("return window.__errors || null;")

    def _navigate(self, url):
        self.errors += self._trapped() or []  # the page's, before it goes
        super()._navigate(url)
        self.driver.execute_script(TRAP)

    def _reload(self):
        self.errors += self._trapped() or []
        super()._reload()
        self.driver.execute_script(TRAP)

    def set_viewport(self, width, height):
        """The window resized until its page has the size asked for (the window's own parts
        around it added); MiniBrowser's toolbar keeps it from getting narrower than about
        450 pixels."""
        for _ in range(3):
            inner = self.driver.execute_script("return [innerWidth, innerHeight];")
            if inner == [width, height]:
                break
            rect = self.driver.get_window_rect()
            self.driver.set_window_rect(width=rect["width"] + width - inner[0], height=rect["height"] + height - inner[1])
        return self.driver.execute_script("return [innerWidth, innerHeight];")

    def console_errors(self):
        trapped = self._trapped()
        return self.errors + (trapped if trapped is not None else ["the page's error trap is gone: it was loaded again"])


class Firefox(Browser):
    """Firefox ESR over WebDriver BiDi: a websocket whose messages are read by a thread of its
    own, answers matched to commands by id, log entries kept."""

    name = "firefox"
    keys_activate_buttons = False

    def __init__(self, scratch, dark=False, scale=1, display=None):
        import websockets
        self.scale, self.errors, self.ids = scale, [], itertools.count(1)
        port, me = free_port(), scratch.unique("firefox")
        profile = scratch.folder(me, "profile")
        prefs = {
            **FIREFOX_PREFS,
            # 0 dark, 1 light: the colour scheme pages are told the user prefers.
            "layout.css.prefers-color-scheme.content-override": 0 if dark else 1,
            "ui.systemUsesDarkTheme": 1 if dark else 0,
        }
        write_firefox_profile(profile, prefs)
        env = scratch.environment(me, **FIREFOX_ENVIRONMENT, **(display or {"MOZ_HEADLESS": "1"}))
        scratch.start(["firefox-esr", *([] if display else ["--headless"]), "--no-remote", "--remote-debugging-port", str(port),
                       "--remote-allow-hosts", "127.0.0.1", "-profile", profile, "about:blank"], me + ".log", env)
        if not wait_until(START_SECONDS, lambda: "WebDriver BiDi listening" in scratch.log(me + ".log")):
            raise BrowserDidNotStart("Firefox did not listen: " + scratch.log(me + ".log")[-300:])
        self.loop = asyncio.new_event_loop()
        self.pending = {}
        threading.Thread(target=self.loop.run_forever, daemon=True).start()

        async def connect():  # made in the loop's own thread, as websockets wants
            return await websockets.connect("ws://127.0.0.1:%d/session" % port, max_size=None, open_timeout=10)
        self.socket = self._wait(connect(), START_SECONDS)
        asyncio.run_coroutine_threadsafe(self._read(), self.loop)
        session = self.command("session.new", {"capabilities": {"alwaysMatch": {"acceptInsecureCerts": False}}})
        self.version = session["capabilities"]["browserVersion"]
        scratch.closers.append(self.quit)
        self.command("session.subscribe", {"events": ["log.entryAdded"]})
        self.context = self.command("browsingContext.getTree", {})["contexts"][0]["context"]
        if not display:
            self.set_viewport(800, 600)

    def _wait(self, coroutine, seconds=COMMAND_SECONDS):
        return asyncio.run_coroutine_threadsafe(asyncio.wait_for(coroutine, seconds), self.loop).result()

    async def _read(self):
        async for message in self.socket:
            data = json.loads(message)
            if "id" in data and data["id"] in self.pending:
                self.pending.pop(data["id"]).set_result(data)
            elif data.get("method") == "log.entryAdded" and data["params"].get("level") == "error":
                entry = data["params"]
                self.errors.append("%s: %s" % (entry.get("type"), entry.get("text")))

    async def _send(self, message):
        future = self.loop.create_future()
        self.pending[message["id"]] = future
        await self.socket.send(json.dumps(message))
        return await future

    def command(self, method, params):
        answer = self._wait(self._send({"id": next(self.ids), "method": method, "params": params}))
        if answer.get("type") == "error" or "error" in answer:
            raise AssertionError("%s: %s: %s" % (method, answer.get("error"), answer.get("message")))
        return answer["result"]

    def _navigate(self, url):
        self.command("browsingContext.navigate", {"context": self.context, "url": url, "wait": "complete"})

    def _reload(self):
        self.command("browsingContext.reload", {"context": self.context, "wait": "complete"})

    def _evaluate(self, expression):
        answer = self.command("script.evaluate", {"expression": expression, "target": {"context": self.context},
                                                  "awaitPromise": False, "resultOwnership": "none"})
        if answer["type"] == "exception":
            raise AssertionError("script: " + answer["exceptionDetails"]["text"])
        result = answer["result"]
        return result.get("value") if result["type"] == "string" else None

    def _perform(self, sources):
        self.command("input.performActions", {"context": self.context, "actions": sources})

    def set_viewport(self, width, height):
        self.command("browsingContext.setViewport", {"context": self.context, "viewport": {"width": width, "height": height},
                                                     "devicePixelRatio": self.scale})
        return self.run("return [innerWidth, innerHeight];")

    def frames_drawn(self, count):
        self.command("script.evaluate", {
            "expression": "new Promise((done) => { let n = %d; const next = () => (n-- > 0 ? requestAnimationFrame(next) : done());"
                          " next(); })" % count,
            "target": {"context": self.context}, "awaitPromise": True, "resultOwnership": "none"})

    def _screenshot(self, path):
        data = self.command("browsingContext.captureScreenshot", {"context": self.context})["data"]
        with open(path, "wb") as f:
            f.write(base64.b64decode(data))

    def console_errors(self):
        return list(self.errors)

    def quit(self):
        try:
            self.command("browser.close", {})
        finally:
            self._wait(self.socket.close(), 5)
            self.loop.call_soon_threadsafe(self.loop.stop)


BROWSERS = {"chromium": Chromium, "firefox": Firefox, "webkit": WebKit}


def start_browser(name, scratch, dark=False, scale=1, display=None):
    """A browser of its own in the scratch folder, its page 800 x 600 CSS pixels at `scale`
    device pixels each, in the dark colour scheme if asked. Chromium and Firefox run headless
    unless given a display (start_xvfb's entries): then headed on it, a window of the
    browser's own size with its toolbars and menus, as a user has it."""
    return BROWSERS[name](scratch, dark=dark, scale=scale, **({"display": display} if display else {}))


if __name__ == "__main__":
    # browsers.py headed chromium|firefox PROFILE: headed_command's words, each ended by a NUL,
    # for a shell test to start the browser with.
    import sys
    if len(sys.argv) != 4 or sys.argv[1] != "headed":
        sys.exit("usage: browsers.py headed chromium|firefox PROFILE")
    sys.stdout.write("".join(word + "\0" for word in headed_command(sys.argv[2], sys.argv[3])))
