#!/usr/bin/python3
"""The browser edition from a web server: the service worker on a school's server (updates,
other programs' caches, a web filter's page, withdrawal), two tabs sharing the stored
settings, and tools/serve_web.py's answers and the page under its policy; in headless
Chromium and in WebKit (in Xvfb).

Usage: test_served.py [chromium|webkit|server ...]   (all without arguments)
"""
import functools
import hashlib
import http.client
import http.server
import os
import re
import shutil
import socket
import subprocess
import sys
import tempfile
import threading
import time
import unittest
from pathlib import Path


sys.path.insert(0, str(Path(__file__).resolve().parent))
from test_web import PAGE, ROOT, Page, Xvfb, chromium, webkit  # noqa: E402

BUILD = PAGE.parent
DAY = 86400
BLOCKED = "<!doctype html><title>ブロック</title><p>このサイトは学校のフィルターでブロックされています。".encode()

# The program's caches, each file's URL with the SHA-256 of what is stored for it.
CACHES = """
const done = arguments[arguments.length - 1];
(async () => {
  const hex = (b) => Array.from(new Uint8Array(b), (x) => x.toString(16).padStart(2, '0')).join('');
  const out = {};
  for (const name of await caches.keys()) {
    const c = await caches.open(name);
    out[name] = {};
    for (const r of await c.keys())
      out[name][r.url] = hex(await crypto.subtle.digest('SHA-256', await (await c.match(r)).arrayBuffer()));
  }
  return out;
})().then(done, (e) => done('failed: ' + e));
"""


def sha256(path):
    return hashlib.sha256(Path(path).read_bytes()).hexdigest()


def listed_files():
    # The files the build's worker stores, as its list names them.
    return re.findall(r'"([^"]+)": "[0-9a-f]{64}"', (BUILD / "sw.js").read_text(encoding="utf-8"))


class SchoolServer:
    """A plain static server as schools run them: Last-Modified from the files' dates, no
    Cache-Control, a folder listing. It can stand for a web filter that answers the page
    with its own, and can lose files."""

    def __init__(self, folder):
        self.folder = folder
        self.filtered = set()  # names answered with the filter's page
        self.requests = []
        outer = self

        class Handler(http.server.SimpleHTTPRequestHandler):
            def log_message(self, *args):
                pass

            def do_GET(self):
                outer.requests.append(self.path)
                if self.path.split("?")[0].lstrip("/") in outer.filtered:
                    self.send_response(200)
                    self.send_header("Content-Type", "text/html; charset=utf-8")
                    self.send_header("Content-Length", str(len(BLOCKED)))
                    self.end_headers()
                    self.wfile.write(BLOCKED)
                    return
                super().do_GET()

        self.server = http.server.ThreadingHTTPServer(
            ("127.0.0.1", 0), functools.partial(Handler, directory=str(folder)))
        threading.Thread(target=self.server.serve_forever, daemon=True).start()
        self.base = f"http://127.0.0.1:{self.server.server_address[1]}/"

    def stop(self):
        self.server.shutdown()
        self.server.server_close()


def publish(folder, version, days_old):
    """Places a version of the program in the folder, its files dated days_old days back:
    version 1 is the build; later ones carry a mark in the page and a worker listing them."""
    names = listed_files()
    for name in names:
        shutil.copy(BUILD / name, folder / name)
    if version > 1:
        page = folder / "vaporia.html"
        page.write_bytes(page.read_bytes().replace(
            b"<head>", f'<head>\n<meta name="vaporia-test" content="v{version}">'.encode(), 1))
        subprocess.run([sys.executable, str(ROOT / "tools" / "web_sw.py"), str(ROOT / "web" / "sw.js"),
                        str(folder), *names], check=True)
    else:
        shutil.copy(BUILD / "sw.js", folder / "sw.js")
    when = time.time() - days_old * DAY
    for name in names + ["sw.js"]:
        os.utime(folder / name, (when, when))


class ServiceWorker:
    """The program at the root of a school's server, in a fresh browser each time."""
    browser = None

    def setUp(self):
        self.folder = Path(tempfile.mkdtemp())
        (self.folder / "other.html").write_text("<!doctype html><title>other</title><p>another page", encoding="utf-8")
        publish(self.folder, 1, days_old=30)
        self.server = SchoolServer(self.folder)
        self.url = self.server.base + "vaporia.html"
        self.d = self.browser()
        self.d.set_script_timeout(90)  # WebKit installs a worker slowly on a busy machine
        self.p = Page(self.d)

    def tearDown(self):
        self.d.quit()
        self.server.stop()
        shutil.rmtree(self.folder)

    def visit(self, url=None):
        self.d.get(url or self.url)

    def version(self):
        return self.p.js("const m = document.querySelector('meta[name=vaporia-test]'); return m ? m.content : 'v1'")

    def program_runs(self):
        self.p.wait(lambda: self.p.js("return !!(window.vaporia && document.getElementById('txtOndo'))"), what="the program")
        self.p.type_temperature("25")
        self.assertEqual(self.p.value("txtAturyoku"), "28.1")

    def caches(self):
        got = self.d.execute_async_script(CACHES)
        self.assertIsInstance(got, dict, got)
        return got

    def own_caches(self):
        return {k: v for k, v in self.caches().items() if k.startswith("vaporia ")}

    def installed(self, version_folder=None):
        """Waits until the worker controls the page and its one cache holds exactly the
        listed files of the version in the folder."""
        folder = version_folder or self.folder
        want = {self.server.base + n: sha256(folder / n) for n in listed_files()}
        self.d.execute_async_script("navigator.serviceWorker.ready.then(() => arguments[0]())")
        self.p.wait(lambda: self.p.js("return navigator.serviceWorker.controller !== null") or self.visit(),
                    timeout=90, what="the worker in control")
        self.p.wait(lambda: list(self.own_caches().values()) == [want], timeout=90, what="the version's files stored")

    def test_an_update_reaches_the_next_visit_and_nothing_else_is_stored_or_removed(self):
        self.visit()
        self.d.execute_async_script("caches.open('other-app-v1').then((c) => c.put('/other-app/data', new Response('x')))"
                                    ".then(() => arguments[0]())")
        self.installed()
        self.visit(self.server.base + "other.html")
        self.visit(self.server.base)  # the folder's listing
        self.visit(self.url + "?lesson=1")
        self.program_runs()
        self.installed()  # still the listed files alone
        # A new version on the server, its files older than the browser's copy is fresh for.
        publish(self.folder, 2, days_old=20)
        self.visit()
        self.assertEqual(self.version(), "v2", "the next visit shows the new version")
        self.program_runs()
        self.installed()
        self.assertIn("other-app-v1", self.caches())
        offline = self.caches()
        self.server.stop()
        self.visit(self.url + "?lesson=2")
        self.assertEqual(self.version(), "v2", "offline, from the cache")
        self.program_runs()
        self.assertEqual(self.caches(), offline)

    def test_a_filter_page_is_never_stored_as_the_program(self):
        self.visit()
        self.installed()
        v1 = self.folder / "v1"
        v1.mkdir()
        for name in listed_files():
            shutil.copy(self.folder / name, v1 / name)
        # The filter answers the page with its own while a new worker comes through.
        self.server.filtered = {"vaporia.html"}
        publish(self.folder, 2, days_old=20)
        seen = len(self.server.requests)
        self.visit()
        self.assertIn("フィルター", self.p.js("return document.body.textContent"))
        # The page's visit, then the new worker's install asking for it.
        self.p.wait(lambda: self.server.requests[seen:].count("/vaporia.html") >= 2, timeout=90,
                    what="the new worker's attempt")
        self.p.wait(lambda: self.d.execute_async_script(
            "navigator.serviceWorker.getRegistration().then((r) => arguments[0](!r.installing && !r.waiting))"),
            timeout=90, what="the install over")
        self.installed(v1)
        # Offline, the program of version 1 opens.
        self.server.stop()
        self.visit()
        self.assertEqual(self.version(), "v1")
        self.program_runs()

    def test_a_server_that_withdraws_the_worker_removes_it(self):
        self.visit()
        self.d.execute_async_script("caches.open('other-app-v1').then(() => arguments[0]())")
        self.installed()
        (self.folder / "sw.js").unlink()
        self.visit()
        self.p.wait(lambda: not self.own_caches(), timeout=90, what="its files gone")
        self.assertIn("other-app-v1", self.caches())
        # Gone once the page it served is left.
        self.p.wait(lambda: self.visit("about:blank") or self.visit() or
                    self.p.js("return navigator.serviceWorker.controller === null"), what="a visit without the worker")
        self.p.wait(lambda: self.d.execute_async_script(
            "navigator.serviceWorker.getRegistrations().then((r) => arguments[0](r.length === 0))"),
            what="no registration left")
        self.program_runs()


class ChromiumServiceWorker(ServiceWorker, unittest.TestCase):
    browser = staticmethod(chromium)


class WebKitServiceWorker(ServiceWorker, unittest.TestCase):
    browser = staticmethod(webkit)
    xvfb = Xvfb()

    @classmethod
    def setUpClass(cls):
        cls.xvfb.start()

    @classmethod
    def tearDownClass(cls):
        cls.xvfb.stop()


class TwoTabs:
    """Two tabs of the program in one browser, sharing the stored settings."""
    driver = None

    @classmethod
    def serve(cls):
        cls.folder = Path(tempfile.mkdtemp())
        publish(cls.folder, 1, days_old=0)
        (cls.folder / "sw.js").unlink()  # the tabs, not the worker
        cls.server = SchoolServer(cls.folder)

    @classmethod
    def tearDownClass(cls):
        cls.driver.quit()
        cls.server.stop()
        shutil.rmtree(cls.folder)

    def setUp(self):
        d = self.driver
        while len(d.window_handles) > 1:
            d.switch_to.window(d.window_handles[-1])
            d.close()
        d.switch_to.window(d.window_handles[0])
        self.a = self.open()
        self.d.execute_script("localStorage.clear()")
        self.a = self.open()
        d.switch_to.new_window("tab")
        self.b = self.open()

    @property
    def d(self):
        return self.driver

    def open(self):
        self.d.get(self.server.base + "vaporia.html")
        p = Page(self.d)
        p.wait(lambda: p.js("return !!(window.vaporia && document.getElementById('txtOndo'))"), what="the program")
        return self.d.current_window_handle

    def tab(self, handle):
        self.d.switch_to.window(handle)
        return Page(self.d)

    def settings(self, p, **boxes):
        p.menu("menu_File", "menu_Init")
        for box, value in boxes.items():
            if box.startswith("cmb"):
                p.js("document.getElementById(arguments[0]).selectedIndex = arguments[1]", box, value)
            else:
                p.el(box).clear()
                p.el(box).send_keys(value)
        p.el("cmdClose").click()

    def stored(self, p):
        ini = p.js("return localStorage.getItem('vaporia.CONFIG.INI')") or ""
        prefs = p.js("return JSON.parse(localStorage.getItem('vaporia.prefs') || '{}')")
        values = dict(re.findall(r"^(\w+)=(\S*)", ini, re.M))
        return values, prefs

    def test_neither_tab_loses_the_others_changes(self):
        a = self.tab(self.a)
        self.settings(a, txtContainer="10")
        a.menu("menu_View", "menu_DataBook")
        b = self.tab(self.b)
        self.settings(b, txtMol="3")
        # Zooms that fit the test's window: only those are offered.
        b.menu("menu_View", "menu_Zoom100")
        values, prefs = self.stored(b)
        self.assertEqual((values["container"], values["mol"]), ("10", "3"))
        self.assertEqual(prefs, {"zoom": 100, "dataBook": True, "legend": False, "markers": False})
        # Stored behind B's back, with no event for it (as before an event arrives): B's
        # next saves still keep it.
        b.js("""localStorage.setItem('vaporia.CONFIG.INI', localStorage.getItem('vaporia.CONFIG.INI').replace(/container=10 /, 'container=20 '));
                localStorage.setItem('vaporia.prefs', JSON.stringify({zoom: 100, dataBook: false}));""")
        self.settings(b, txtMol="5")
        b.menu("menu_View", "menu_ZoomFit")
        values, prefs = self.stored(b)
        self.assertEqual((values["container"], values["mol"]), ("20", "5"))
        self.assertEqual(prefs, {"zoom": 0, "dataBook": False, "legend": False, "markers": False})
        self.assertEqual(b.text("lblVal"), "20ﾘｯﾄﾙ")

    def test_a_tab_follows_the_other_and_its_open_dialog_shows_the_new_values(self):
        b = self.tab(self.b)
        b.type_temperature("100")
        a = self.tab(self.a)
        self.settings(a, txtContainer="10", cmbTempUnit=1)
        a.menu("menu_View", "menu_DataBook")
        b = self.tab(self.b)
        b.wait(lambda: b.text("lblVal") == "10ﾘｯﾄﾙ", what="B following A's settings")
        self.assertEqual((b.text("lblTmp"), b.value("txtOndo")), ("Ｋ", "373"), "the same temperature in the new unit")
        self.assertTrue(b.visible("lblDataBook"))
        # B's dialog is open, its mol box changed, when A stores a new pressure unit.
        b.menu("menu_File", "menu_Init")
        b.el("txtMol").clear()
        b.el("txtMol").send_keys("4")
        a = self.tab(self.a)
        self.settings(a, cmbPressUnit=2, txtMol="2")
        b = self.tab(self.b)
        b.wait(lambda: b.js("return cmbPressUnit.selectedIndex") == 2, what="the open dialog following A")
        self.assertEqual((b.value("txtMol"), b.value("txtContainer")), ("4", "10"), "what B typed stays")
        b.el("cmdClose").click()
        values, _ = self.stored(b)
        self.assertEqual((values["pressureUnit"], values["mol"], values["container"], values["temperatureUnit"]),
                         ("2", "4", "10", "1"))
        a = self.tab(self.a)
        a.wait(lambda: a.text("lblMol") == "4mol", what="A following B")


class ChromiumTwoTabs(TwoTabs, unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.serve()
        cls.driver = chromium()


class WebKitTwoTabs(TwoTabs, unittest.TestCase):
    xvfb = Xvfb()

    @classmethod
    def setUpClass(cls):
        cls.xvfb.start()
        try:
            cls.driver = webkit()
        except Exception:
            cls.xvfb.stop()
            raise
        try:
            cls.driver.switch_to.new_window("tab")
            cls.driver.close()
            cls.driver.switch_to.window(cls.driver.window_handles[0])
        except Exception as e:
            cls.driver.quit()
            cls.xvfb.stop()
            raise unittest.SkipTest(f"this WebKit driver opens no second tab: {e}")
        cls.serve()

    @classmethod
    def tearDownClass(cls):
        super().tearDownClass()
        cls.xvfb.stop()


class ServeWeb(unittest.TestCase):
    """tools/serve_web.py on a folder with more in it than the program."""

    @classmethod
    def setUpClass(cls):
        cls.folder = Path(tempfile.mkdtemp())
        for f in BUILD.iterdir():
            shutil.copy(f, cls.folder / f.name)
        (cls.folder / "sub").mkdir()
        (cls.folder / "sub" / "x.txt").write_text("x")
        (cls.folder / ".hidden").write_text("secret")
        cls.log = tempfile.TemporaryFile()
        env = dict(os.environ)
        env.pop("VAPORIA_WEB_HOST", None)
        cls.proc = subprocess.Popen([sys.executable, str(ROOT / "tools" / "serve_web.py"), "--dir", str(cls.folder),
                                     "--port", "0"], stdout=subprocess.PIPE, stderr=cls.log, text=True, env=env)
        cls.banner = cls.proc.stdout.readline()
        m = re.search(r"http://([\d.]+):(\d+)/vaporia.html", cls.banner)
        if not m:
            cls.proc.kill()
            raise AssertionError("no address: " + cls.banner)
        cls.host, cls.port = m.group(1), int(m.group(2))
        cls.url = f"http://{cls.host}:{cls.port}/vaporia.html"

    @classmethod
    def tearDownClass(cls):
        cls.proc.terminate()
        cls.proc.wait(10)
        cls.log.close()
        shutil.rmtree(cls.folder)

    def request(self, path, method="GET", headers=None, conn=None):
        c = conn or http.client.HTTPConnection(self.host, self.port, timeout=10)
        c.request(method, path, headers=headers or {})
        r = c.getresponse()
        body = r.read()
        return r, body

    def raw(self, data):
        with socket.create_connection((self.host, self.port), timeout=10) as s:
            s.sendall(data)
            return s.recv(4096).split(b"\r\n", 1)[0]

    def test_binds_this_computer_only_unless_asked(self):
        self.assertEqual(self.host, "127.0.0.1")
        # The listening sockets on the port, from the kernel's table: loopback only.
        listening = []
        for line in Path("/proc/net/tcp").read_text().splitlines()[1:]:
            local, state = line.split()[1], line.split()[3]
            address, port = local.split(":")
            if state == "0A" and int(port, 16) == self.port:
                listening.append(socket.inet_ntoa(bytes.fromhex(address)[::-1]))
        self.assertEqual(listening, ["127.0.0.1"])

    def test_headers_of_the_programs_files(self):
        conn = http.client.HTTPConnection(self.host, self.port, timeout=10)
        types = {"vaporia.html": "text/html; charset=utf-8", "sw.js": "text/javascript; charset=utf-8",
                 "manifest.webmanifest": "application/manifest+json", "vaporia-128.png": "image/png"}
        for name, kind in types.items():
            with self.subTest(name):
                r, body = self.request("/" + name, conn=conn)  # one connection: HTTP/1.1 keeps it
                self.assertEqual((r.status, r.version), (200, 11))
                self.assertEqual(body, (BUILD / name).read_bytes())
                self.assertEqual(r.getheader("Content-Type"), kind)
                self.assertEqual(r.getheader("Cache-Control"), "no-cache")
                self.assertEqual(r.getheader("X-Content-Type-Options"), "nosniff")
                self.assertIn("default-src 'self'", r.getheader("Content-Security-Policy"))
                again, _ = self.request("/" + name, headers={"If-None-Match": r.getheader("ETag")}, conn=conn)
                self.assertEqual(again.status, 304)
        policy = self.request("/vaporia.html")[0].getheader("Content-Security-Policy")
        self.assertNotIn("'unsafe-inline'", policy)
        self.assertRegex(policy, r"script-src 'sha256-[^']+' ")

    def test_no_listing_and_bad_requests_refused_without_a_traceback(self):
        cases = {
            "/sub/": 404, "/sub": 404, "/sub/x.txt": 404, "/.hidden": 404, "/%2ehidden": 404,
            "/../etc/passwd": 404, "/..%2f..%2fetc%2fpasswd": 404, "/%2e%2e/%2e%2e/etc/passwd": 404,
            "/..\\vaporia.html": 404, "/nothing.html": 404,
            "/%00": 400, "/vaporia.html%00.png": 400, "/%ff": 400, "/a%0d%0aSet-Cookie:x=1": 400,
            "/vaporia.html?lesson=1": 200, "/": 302,
        }
        for path, status in cases.items():
            with self.subTest(path):
                r, body = self.request(path)
                self.assertEqual(r.status, status)
                self.assertNotIn(b"secret", body)
                self.assertNotIn(b"x.txt", body)
        self.assertEqual(self.request("/")[0].getheader("Location"), "/vaporia.html")
        self.assertEqual(self.request("/vaporia.html", method="POST")[0].status, 501)
        self.assertIn(b" 400 ", self.raw(b"GARBAGE\r\n\r\n"))
        self.assertIn(b" 400 ", self.raw(b"GET /\x00 HTTP/1.1\r\nHost: x\r\n\r\n"))
        self.assertEqual(self.request("/vaporia.html")[0].status, 200, "still serving")
        self.log.seek(0)
        self.assertNotIn(b"Traceback", self.log.read())

    def page_under_the_policy(self, driver, early_script=None):
        p = Page(driver)
        driver.get(self.url)
        p.wait(lambda: p.js("return !!(window.vaporia && document.getElementById('txtOndo'))"), what="the program")
        p.type_temperature("25")
        self.assertEqual(p.value("txtAturyoku"), "28.1")
        p.menu("menu_File", "menu_Init")
        self.assertEqual(p.value("txtContainer"), "30")
        p.el("cmdClose").click()
        self.assertTrue(p.js("return getComputedStyle(document.getElementById('picGrph')).position === 'absolute'"),
                        "the style sheet applies")
        return p

    def test_the_page_runs_under_the_policy_in_chromium(self):
        d = chromium()
        try:
            d.execute_cdp_cmd("Page.addScriptToEvaluateOnNewDocument", {"source":
                "window.__csp = []; document.addEventListener('securitypolicyviolation',"
                " (e) => window.__csp.push(e.violatedDirective + ' ' + e.blockedURI));"})
            p = self.page_under_the_policy(d)
            self.assertEqual(p.js("return window.__csp"), [])
            p.wait(lambda: p.js("return navigator.serviceWorker.controller !== null") or d.refresh(),
                   timeout=90, what="the worker in control")
            p.wait(lambda: p.js("return !!document.getElementById('txtOndo')"), what="the program")
            self.assertEqual(p.js("return window.__csp"), [])
        finally:
            d.quit()

    def test_the_page_runs_under_the_policy_in_webkit(self):
        xvfb = Xvfb()
        xvfb.start()
        try:
            d = webkit()
        except Exception:
            xvfb.stop()
            raise
        try:
            self.page_under_the_policy(d)
        finally:
            d.quit()
            xvfb.stop()


def main():
    groups = {"chromium": [ChromiumServiceWorker, ChromiumTwoTabs], "webkit": [WebKitServiceWorker, WebKitTwoTabs],
              "server": [ServeWeb]}
    chosen = sys.argv[1:] or list(groups)
    if not PAGE.exists():
        sys.exit(f"{PAGE} is missing: run tools/build_web.sh first")
    loader = unittest.defaultTestLoader
    suite = unittest.TestSuite(loader.loadTestsFromTestCase(c) for g in chosen for c in groups[g])
    result = unittest.TextTestRunner(verbosity=2).run(suite)
    sys.exit(0 if result.wasSuccessful() else 1)


if __name__ == "__main__":
    main()
