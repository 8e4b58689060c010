#!/usr/bin/python3
"""End-to-end tests of the browser edition, build-web/vaporia.html opened as a file, in
headless Chromium (chromedriver) and in WebKit (WebKitWebDriver with MiniBrowser, in Xvfb).

Usage: test_web.py [chromium|webkit|touch ...]   (all three groups without arguments)
"""
import base64
import math
import os
import re
import shutil
import subprocess
import sys
import tempfile
import time
import unittest
import zlib
from pathlib import Path

from selenium import webdriver
from selenium.webdriver.common.action_chains import ActionChains
from selenium.webdriver.common.actions import interaction
from selenium.webdriver.common.actions.action_builder import ActionBuilder
from selenium.webdriver.common.actions.pointer_input import PointerInput
from selenium.webdriver.common.by import By
from selenium.webdriver.common.keys import Keys
from selenium.webdriver.support.ui import Select
from selenium.webdriver.chrome.service import Service as ChromeService

ROOT = Path(__file__).resolve().parents[2]
PAGE = ROOT / "build-web" / "vaporia.html"
URL = PAGE.as_uri()
LESSON1 = ROOT / "lessons" / "lesson1-water-curve.so1"
REPLAY = ROOT / "tests" / "core" / "app"  # the core's scripted session and its golden hashes
CHROMIUM_FLAGS = ["--headless", "--no-sandbox", "--disable-gpu", "--disable-background-networking",
                  "--disable-component-update", "--disable-sync", "--no-first-run"]

RED, WATER = (255, 0, 0), (0, 0, 192)


def chromium():
    opts = webdriver.ChromeOptions()
    for f in CHROMIUM_FLAGS:
        opts.add_argument(f)
    opts.add_argument("--window-size=1000,800")
    opts.add_argument("--allow-file-access-from-files")
    return webdriver.Chrome(service=ChromeService("/usr/bin/chromedriver"), options=opts)


def minibrowser():
    for d in sorted(Path("/usr/lib").glob("*/webkit2gtk-4.*")):
        if (d / "MiniBrowser").exists():
            return str(d / "MiniBrowser")
    raise unittest.SkipTest("MiniBrowser not found")


def webkit():
    opts = webdriver.WebKitGTKOptions()
    opts.binary_location = minibrowser()
    opts.add_argument("--automation")
    opts.add_argument("--geometry=1000x800")
    return webdriver.WebKitGTK(executable_path="/usr/bin/WebKitWebDriver", options=opts)


class Xvfb:
    """An X server for WebKit when none is there; stopped with the tests."""

    def __init__(self):
        self.proc = None

    def start(self):
        if os.environ.get("DISPLAY"):
            return
        r, w = os.pipe()
        self.proc = subprocess.Popen(["Xvfb", "-displayfd", str(w), "-screen", "0", "1920x1200x24", "-nolisten", "tcp"],
                                     pass_fds=(w,), stderr=subprocess.DEVNULL)
        os.close(w)
        display = b""
        while not display.endswith(b"\n"):
            chunk = os.read(r, 16)
            if not chunk:
                break
            display += chunk
        os.close(r)
        os.environ["DISPLAY"] = ":" + display.decode().strip()

    def stop(self):
        if self.proc:
            self.proc.terminate()
            self.proc.wait(10)
            del os.environ["DISPLAY"]


class Page:
    """The program in one browser: load it, read and drive its controls by their names."""

    def __init__(self, driver):
        self.d = driver

    def js(self, script, *args):
        return self.d.execute_script(script, *args)

    def load(self, fresh=True):
        self.d.get(URL)
        if fresh:
            self.js("localStorage.clear()")
            self.d.get(URL)
        self.wait(lambda: self.js("return !!(window.vaporia && document.getElementById('txtOndo'))"))

    def wait(self, cond, timeout=10.0, what="condition"):
        end = time.time() + timeout
        while time.time() < end:
            v = cond()
            if v:
                return v
            time.sleep(0.03)
        raise AssertionError("timed out waiting for " + what)

    def el(self, id_):
        return self.d.find_element(By.ID, id_)

    def value(self, id_):
        return self.js("return document.getElementById(arguments[0]).value", id_)

    def text(self, id_):
        return self.js("return document.getElementById(arguments[0]).textContent", id_)

    def visible(self, id_):
        return self.js("const e = document.getElementById(arguments[0]); return !!e && e.offsetParent !== null", id_)

    def type_temperature(self, text):
        box = self.el("txtOndo")
        self.js("arguments[0].scrollIntoView({block: 'nearest', inline: 'nearest'})", box)
        box.click()
        self.js("const b = document.getElementById('txtOndo'); b.select();")
        box.send_keys(Keys.BACKSPACE)
        box.send_keys(text)

    def menu(self, title, item):
        self.el(title).click()
        self.el(item).click()

    def pixel(self, x, y):
        """The graph's colour at panel pixel (x, y), wherever the display's pixels put it."""
        return tuple(self.js(
            "const c = document.getElementById('picGrphCanvas');"
            "const x = Math.floor((arguments[0] + 0.5) * c.width / 315), y = Math.floor((arguments[1] + 0.5) * c.height / 334);"
            "return Array.from(c.getContext('2d').getImageData(x, y, 1, 1).data.slice(0, 3))", x, y))

    def choose_file(self, path):
        # The test stands in for the chooser: no native dialog, the file set by the driver.
        picker = self.wait(lambda: self.d.find_elements(By.ID, "filePicker"), what="file picker")[0]
        picker.send_keys(str(path))

    def no_native_chooser(self):
        self.js("HTMLInputElement.prototype.click = function () { if (this.type !== 'file') HTMLElement.prototype.click.call(this); }")

    def load_scenario(self, path):
        self.no_native_chooser()
        self.menu("menu_File", "menu_Sinario")
        self.el("cmdLoad").click()
        self.choose_file(path)

    def capture_downloads(self):
        # The next saved file's bytes land in window.__saved instead of the download folder.
        self.js("""
            window.__saved = null;
            window.showSaveFilePicker = undefined;
            const make = URL.createObjectURL.bind(URL);
            URL.createObjectURL = (b) => { b.arrayBuffer().then(a => window.__saved = Array.from(new Uint8Array(a))); return make(b); };
            HTMLAnchorElement.prototype.click = function () {};
        """)

    def saved(self):
        return bytes(self.wait(lambda: self.js("return window.__saved"), what="saved file"))

    def message(self):
        return self.wait(lambda: self.visible("msgBox") and self.text("msgText"), what="message box")

    def settings_ini(self):
        return self.js("return localStorage.getItem('vaporia.CONFIG.INI')")


def misses(page, ids):
    # Points of the square of 44 CSS px around each control's centre (for the spinner's
    # arrows and the tabs, whose areas reach away from their drawing, the square beside it;
    # for the temperature box, around its area) that miss the control.
    return page.js("""
        const out = [];
        for (const id of arguments[0]) {
          const e = document.getElementById(id);
          const r = (id === 'txtOndo' ? document.getElementById('txtOndoHit') : e).getBoundingClientRect();
          const cx = r.left + r.width / 2, cy = r.top + r.height / 2;
          const sx = id.startsWith('UpDown') ? r.left + 22 : cx;
          const up = id === 'UpDownOndoUp' || id.startsWith('SSTabMenu_'); // areas reaching upwards
          const sy = up ? r.bottom - 23 : id === 'UpDownOndoDown' ? r.top + 23 : cy; // clear of the arrows' shared edge
          for (const [dx, dy] of [[-21,-21],[21,-21],[-21,21],[21,21],[0,0]]) {
            const hit = document.elementFromPoint(sx + dx, sy + dy);
            const ok = hit && (hit === e || e.contains(hit) || (hit.control === e));
            if (!ok) out.push(id + ' ' + dx + ',' + dy + ' -> ' + (hit && (hit.id || hit.tagName)));
          }
        }
        return out;""", ids)


def clear_of(p, id_, other):
    """Points of control id_ (its corners, clear of their rounding, and its centre) where the page finds
    something else, and whether its box meets other's."""
    return p.js("""
        const e = document.getElementById(arguments[0]), r = e.getBoundingClientRect();
        const o = document.getElementById(arguments[1]).getBoundingClientRect();
        const out = [];
        if (r.bottom > o.top && r.top < o.bottom && r.right > o.left && r.left < o.right) out.push('meets ' + arguments[1]);
        for (const [x, y] of [[r.left + 4, r.top + 4], [r.right - 4, r.top + 4], [r.left + 4, r.bottom - 4],
                              [r.right - 4, r.bottom - 4], [(r.left + r.right) / 2, (r.top + r.bottom) / 2]]) {
          const hit = document.elementFromPoint(x, y);
          if (!hit || !(hit === e || e.contains(hit))) out.push(x + ',' + y + ' -> ' + (hit && (hit.id || hit.className)));
        }
        // and the list's top row is the list's, not the button's
        const top = document.elementFromPoint((o.left + o.right) / 2, o.top + 2);
        if (top === e) out.push('the list top is ' + arguments[0]);
        return out;""", id_, other)


def png_rgb(data):
    """Rows of (r, g, b) pixels of an 8-bit, non-interlaced RGB or RGBA PNG (the drivers' screenshots)."""
    pos, idat = 8, b""
    while pos < len(data):
        n = int.from_bytes(data[pos:pos + 4], "big")
        tag, body = data[pos + 4:pos + 8], data[pos + 8:pos + 8 + n]
        pos += 12 + n
        if tag == b"IHDR":
            w, h, depth, kind, interlace = (int.from_bytes(body[0:4], "big"), int.from_bytes(body[4:8], "big"),
                                             body[8], body[9], body[12])
        elif tag == b"IDAT":
            idat += body
    assert depth == 8 and kind in (2, 6) and not interlace
    bpp = 3 if kind == 2 else 4
    raw, stride, rows, prev, i = zlib.decompress(idat), w * bpp, [], bytearray(w * bpp), 0
    for _ in range(h):
        f, line = raw[i], bytearray(raw[i + 1:i + 1 + stride])
        i += 1 + stride
        for x in range(stride):
            a = line[x - bpp] if x >= bpp else 0
            b = prev[x]
            c = prev[x - bpp] if x >= bpp else 0
            if f == 1:
                line[x] = (line[x] + a) & 255
            elif f == 2:
                line[x] = (line[x] + b) & 255
            elif f == 3:
                line[x] = (line[x] + (a + b) // 2) & 255
            elif f == 4:
                pa, pb, pc = abs(b - c), abs(a - c), abs(a + b - 2 * c)
                line[x] = (line[x] + (a if pa <= pb and pa <= pc else b if pb <= pc else c)) & 255
        rows.append([tuple(line[x:x + 3]) for x in range(0, stride, bpp)])
        prev = line
    return rows


def ink_box(shot, left, top, right, bottom):
    """The size of the dark ink within a box of a screenshot (rows of pixels), or None."""
    ink = [(x, y) for y in range(top, bottom) for x in range(left, right) if sum(shot[y][x]) < 3 * 200]
    if not ink:
        return None
    return (max(x for x, _ in ink) - min(x for x, _ in ink) + 1, max(y for _, y in ink) - min(y for _, y in ink) + 1)


def list_ink_cut(p, id_):
    """For each item of the list id_ shown in it: why its text does not show whole. The ink the
    engine paints inside the list's border, left of its arrow, must be as wide and as tall as
    the same text's ink in a free line of the list's font to its right (where both dialogs have
    room), painted by the same engine at the same scale."""
    sel = p.el(id_)
    out = []
    for i in range(p.js("return arguments[0].options.length", sel)):
        text, scale, boxes = p.js("""const s = arguments[0], cs = getComputedStyle(s);
            s.selectedIndex = arguments[1];
            const ref = document.getElementById('inkRef') || document.createElement('span');
            ref.id = 'inkRef';
            ref.style.cssText = `position:absolute; left:${s.offsetLeft + s.offsetWidth + 8}px; top:${s.offsetTop - 6}px;
              padding:6px; background:#fff; color:#000; white-space:pre; z-index:9; font:${cs.font}`;
            ref.textContent = s.options[s.selectedIndex].text;
            s.parentElement.appendChild(ref);
            const d = devicePixelRatio, box = (e) => { const r = e.getBoundingClientRect(); return [r.left, r.top, r.right, r.bottom].map(v => v * d); };
            return [ref.textContent, s.getBoundingClientRect().width / s.offsetWidth * d, [box(s), box(ref)]];""", sel, i)
        b, r = boxes
        for _ in range(5):  # until the line is painted
            time.sleep(0.15)
            # The page's screenshot (WebKit's driver does not picture one element of a scaled page).
            shot = png_rgb(p.d.get_screenshot_as_png())
            shown = ink_box(shot, round(b[0] + scale), round(b[1] + scale), round(b[2] - 17 * scale), round(b[3] - scale))
            whole = ink_box(shot, round(r[0]), round(r[1]), round(r[2]), round(r[3]))
            if whole:
                break
        if not shown or not whole or shown[0] < whole[0] - 1 or shown[1] < whole[1] - 1:
            out.append(f"{text}: ink {shown} of {whole}")
    p.js("document.getElementById('inkRef')?.remove()")
    return out


def play_lesson(p, tap, step):
    """Plays the first sample lesson to its end with step(); the readouts on the way."""
    tap("menu_File")
    tap("menu_Lesson1")
    tap("picSinario")
    assert not p.js("return document.getElementById('cmdNextStep').hidden")
    seen = []
    for _ in range(14):
        step()
        seen.append(p.value("txtAturyoku"))
    step()  # the last step ramps, one degree per frame, up to 110
    p.wait(lambda: p.value("txtOndo") == "110", what="ramp to 110")
    step()  # past the end: nothing more happens
    return seen, p.value("txtOndo"), p.value("txtAturyoku")


def finger(driver, id_):
    """A tap by the W3C touch pointer, as the driver delivers one."""
    x, y = driver.execute_script("const r = document.getElementById(arguments[0]).getBoundingClientRect();"
                                 "return [r.left + r.width / 2, r.top + r.height / 2]", id_)
    a = ActionBuilder(driver, mouse=PointerInput(interaction.POINTER_TOUCH, "finger"))
    a.pointer_action.move_to_location(int(x), int(y)).pointer_down().pointer_up()
    a.perform()


def fnv1a64(data):
    h = 0xcbf29ce484222325
    for b in data:
        h = ((h ^ b) * 0x100000001b3) & 0xFFFFFFFFFFFFFFFF
    return f"{h:016x}"


def golden_lines():
    """The core's replay hashes by name: {"start.graph": "start.graph: 49fb…", …}."""
    text = (REPLAY / "replay_golden.inc").read_text(encoding="utf-8")
    body = text[text.index('R"golden(') + len('R"golden('):text.index(')golden"')]
    return {line.split(": ")[0]: line for line in body.splitlines() if ": " in line}


def session_opening():
    """The core's scripted session up to its first lesson, read from the C++ header itself so
    that the two replays cannot drift apart: (op, text, value, count) per step."""
    src = (REPLAY / "ReplayScript.h").read_text(encoding="utf-8")
    consts = {k: int(v) for k, v in re.findall(r"\b(k\w+) = (\d+)\b", src)}
    body = src[src.index("kSession[] = {"):]
    body = re.sub(r"//[^\n]*", "", body[:body.index("\n};")])
    num = lambda f: consts[f] if f in consts else int(f)
    steps = []
    for entry in re.findall(r"\{(Op::[^{}]*(?:\{\}[^{}]*)*)\}", body):
        f = [x.strip() for x in entry.split(",")]
        op = f[0][len("Op::"):]
        if op == "LoadLesson":
            break
        text = f[1] if len(f) > 1 else "{}"
        assert text == "{}" or re.fullmatch(r'"[^"\\]*"', text), entry
        steps.append((op, text.strip('"') if text != "{}" else "",
                      num(f[2]) if len(f) > 2 else 0, num(f[3]) if len(f) > 3 else 1))
    return steps


def keystroke(p, before, after):
    """The one keystroke that turns the temperature box's text before into after: a character
    added or erased at the end, or the whole text selected and typed over or erased."""
    if after and after[:-1] == before:
        whole, key = False, after[-1]
    elif before and before[:-1] == after:
        whole, key = False, Keys.BACKSPACE
    elif len(after) <= 1:
        whole, key = True, after or Keys.BACKSPACE
    else:
        raise AssertionError(f"no one keystroke from {before!r} to {after!r}")
    p.js("const b = document.getElementById('txtOndo'); b.focus();"
         "b.setSelectionRange(arguments[0] ? 0 : b.value.length, b.value.length);", whole)
    p.el("txtOndo").send_keys(key)


class Behaviour:
    """What both engines must do alike."""
    driver = None
    page = None

    def setUp(self):
        self.page.load()

    def test_opened_from_a_file_url_and_nothing_scheduled_at_rest(self):
        p = self.page
        self.assertEqual(p.js("return location.protocol"), "file:")
        self.assertTrue(p.js("return document.title.startsWith('蒸気圧曲線')"))
        # The boxes start empty, as the desktop's do: no "0" beside a readout of 0.
        self.assertEqual(p.js("return [txtOndo.value, txtAturyoku.value]"), ["", ""])
        # A field at rest at freezing point: the page asks for no timer and no frame.
        p.js("window.__raf = 0; const r = window.requestAnimationFrame; window.requestAnimationFrame = (f) => { window.__raf++; return r(f); };")
        p.type_temperature("-20")
        p.wait(lambda: not p.js("return vaporia.isScheduled()"), what="rest")
        time.sleep(0.3)
        self.assertFalse(p.js("return vaporia.isScheduled()"))
        self.assertEqual(p.js("return window.__raf"), 0)
        p.type_temperature("60")
        self.assertTrue(p.js("return vaporia.isScheduled()"), "a warm field moves")

    def test_typed_temperatures_give_the_readout_in_every_unit(self):
        p = self.page
        cases = [  # temperature unit, pressure unit, typed, readout, unit labels
            (0, 0, "25", "28.1", "℃", "mmHg"),
            (0, 1, "25", "0.037", "℃", "atm"),
            (0, 2, "25", "37", "℃", "hPa"),
            (1, 0, "300", "31.4", "Ｋ", "mmHg"),
            (0, 0, "20.5", p and None, "℃", "mmHg"),
        ]
        for tu, pu, typed, readout, lt, lp in cases:
            with self.subTest(tu=tu, pu=pu, typed=typed):
                p.menu("menu_File", "menu_Init")
                p.js("document.getElementById('cmbTempUnit').selectedIndex = arguments[0];"
                     "document.getElementById('cmbPressUnit').selectedIndex = arguments[1];", tu, pu)
                p.el("cmdClose").click()
                self.assertEqual((p.text("lblTmp"), p.text("lblPress")), (lt, lp))
                p.type_temperature(typed)
                if readout is None:  # a fraction goes to the even neighbour: 20.5 reads as 20
                    at20 = p.value("txtAturyoku")
                    p.type_temperature("20")
                    self.assertEqual(p.value("txtAturyoku"), at20)
                else:
                    self.assertEqual(p.value("txtAturyoku"), readout)
        # Each keystroke is a change: "1" then "12" each give their readout.
        p.type_temperature("1")
        one = p.value("txtAturyoku")
        p.el("txtOndo").send_keys("2")
        self.assertNotEqual(p.value("txtAturyoku"), one)
        # Beside text that is no temperature no number stands, and the box says so; a
        # temperature again, and the input method's ー for minus, bring the readout back.
        before = p.value("txtAturyoku")
        for bad in ("abc", "-274", "1e3"):
            p.type_temperature(bad)
            self.assertEqual(p.value("txtAturyoku"), "", bad)
            self.assertEqual(p.el("txtOndo").get_attribute("aria-invalid"), "true", bad)
        p.type_temperature("12")
        self.assertEqual(p.value("txtAturyoku"), before)
        self.assertIsNone(p.el("txtOndo").get_attribute("aria-invalid"))
        p.type_temperature("-5")
        minus5 = p.value("txtAturyoku")
        p.type_temperature("ー５")
        self.assertEqual(p.value("txtAturyoku"), minus5)

    def test_points_on_the_graph_canvas(self):
        p = self.page
        p.type_temperature("100")  # Water 100 ℃, 760 mmHg: the red box spans (240,16)-(242,18)
        self.assertEqual(p.value("txtAturyoku"), "760.0")
        self.assertEqual(p.pixel(241, 17), RED)
        p.type_temperature("50")
        self.assertEqual(p.pixel(241, 17), WATER)  # the earlier point in Water's colour
        p.el("picGrphCls").click()
        self.assertEqual(p.pixel(241, 17), (255, 255, 255))
        labels = p.js("return Array.from(document.querySelectorAll('#grphLabels span')).map(s => s.textContent)")
        self.assertIn("0", labels)
        self.assertIn("700", labels)
        self.assertNotIn("800", labels)  # no room above the top line: not pushed below it

    def test_liquid_taken_up_by_the_next_frame_readout_by_the_next_temperature(self):
        p = self.page
        p.type_temperature("25")
        water = p.value("txtAturyoku")
        Select(p.el("cmbLiquid")).select_by_visible_text("エタノール")
        p.wait(lambda: p.js("return vaporia.core.liquid()") == 1, what="liquid taken up")
        self.assertEqual(p.value("txtAturyoku"), water)  # until the temperature changes
        p.type_temperature("100")
        p.type_temperature("25")
        self.assertNotEqual(p.value("txtAturyoku"), water)
        # Earlier points now take Ethanol's colour.
        green = p.js("""const c = document.getElementById('picGrphCanvas'), d = c.getContext('2d').getImageData(0, 0, c.width, c.height).data;
            let n = 0; for (let i = 0; i < d.length; i += 4) if (d[i] === 0 && d[i + 1] === 204 && d[i + 2] === 0) n++;
            return n;""")
        self.assertGreaterEqual(green, 9)

    def test_scenario_loaded_played_by_keys_and_saved_back_byte_identical(self):
        p = self.page
        p.load_scenario(LESSON1)
        p.wait(lambda: p.js("return document.querySelectorAll('#listSinario .steprow').length") == 15, what="list")
        self.assertEqual(p.value("txtTTl"), "水の蒸気圧曲線")
        p.capture_downloads()
        p.el("cmdSave").click()
        self.assertEqual(p.saved(), LESSON1.read_bytes())
        p.el("cmdClose").click()
        self.assertIn("水の蒸気圧曲線", p.js("return document.title"))

        p.el("picSinario").click()
        body = p.d.find_element(By.TAG_NAME, "body")
        p.js("document.activeElement.blur()")
        # Steps 1-4: settings, Water, graph on, temperature 0. A held key is one step.
        ActionChains(p.d).key_down(Keys.SPACE).pause(0.4).key_up(Keys.SPACE).perform()
        for _ in range(3):
            body.send_keys(Keys.ARROW_DOWN)
        self.assertEqual(p.value("txtOndo"), "0")
        body.send_keys(Keys.ENTER)  # step 5: 10 ℃
        self.assertEqual(p.value("txtOndo"), "10")
        for _ in range(9):          # steps 6-14: up to 100 ℃
            body.send_keys(Keys.ARROW_DOWN)
        self.assertEqual((p.value("txtOndo"), p.value("txtAturyoku")), ("100", "760.0"))
        body.send_keys(Keys.ARROW_DOWN)  # step 15: one degree per frame up to 110
        p.wait(lambda: p.value("txtOndo") == "110", what="ramp to 110")
        body.send_keys(Keys.ARROW_DOWN)  # finished: nothing more
        self.assertEqual(p.value("txtOndo"), "110")

    def test_report_picture_and_csv_table_downloaded(self):
        p = self.page
        p.type_temperature("100")
        p.type_temperature("50")
        p.capture_downloads()
        p.menu("menu_File", "menu_GrphSave")
        png = p.saved()
        self.assertEqual(png[:8], b"\x89PNG\r\n\x1a\n")
        self.assertEqual((int.from_bytes(png[16:20], "big"), int.from_bytes(png[20:24], "big")), (1050, 1162))
        p.capture_downloads()
        p.menu("menu_File", "menu_CsvSave")
        csv = p.saved().decode("utf-8")
        self.assertTrue(csv.startswith("\ufeff"))
        self.assertIn("760.0", csv)
        # a header and the points meant, 100 and 50: 1, 10 and 5 were typed through
        rows = csv.strip().split("\r\n")
        self.assertEqual(rows[0], "\ufeff番号,物質,温度,温度の単位,圧力,圧力の単位,蒸気圧の値")
        self.assertEqual([r.split(",")[2] for r in rows[1:]], ["100", "50"])
        self.assertTrue(all(r.endswith(",標準") for r in rows[1:]))
        # every point when asked for, as on the desktop
        p.menu("menu_File", "menu_TypedThrough")
        p.capture_downloads()
        p.menu("menu_File", "menu_CsvSave")
        rows = p.saved().decode("utf-8").strip().split("\r\n")
        self.assertEqual([r.split(",")[2] for r in rows[1:]], ["1", "10", "100", "5", "50"])
        p.el("menu_File").click()
        self.assertEqual(p.js("return document.getElementById('menu_TypedThrough').getAttribute('aria-checked')"), "true")
        p.js("vaporia.closeMenu()")

    def test_report_picture_has_its_resolution_and_legend(self):
        p = self.page
        p.type_temperature("25")
        p.type_temperature("60")
        p.capture_downloads()
        p.menu("menu_File", "menu_GrphSave")
        png = p.saved()
        at = png.find(b"pHYs")
        self.assertGreater(at, 0)
        self.assertLess(at, png.find(b"IDAT"))
        self.assertEqual(png[at + 4:at + 13], (11339).to_bytes(4, "big") * 2 + b"\x01")  # 288 dpi
        self.assertEqual(zlib.crc32(png[at:at + 13]), int.from_bytes(png[at + 13:at + 17], "big"))
        # The legend's top rows: the newest point's red marker and Water's marker.
        counts = p.js("""const c = vaporia.reportCanvas(); const d = c.getContext('2d').getImageData(0, 0, c.width, 40).data;
            let red = 0, water = 0;
            for (let i = 0; i < d.length; i += 4) {
              if (d[i] === 255 && d[i + 1] === 0 && d[i + 2] === 0) red++;
              if (d[i] === 0 && d[i + 1] === 0 && d[i + 2] === 192) water++;
            }
            return [red, water];""")
        self.assertEqual(counts, [24 * 24, 24 * 24])

    def test_graph_labels_keep_apart_and_inside_the_panel(self):
        p = self.page
        ranges = {
            "default": "",
            "K 223-423": "[DATA]\r\ntemperatureUnit=1\r\ngrphWMin=223\r\ngrphWMax=423\r\n",
            "0-3000 mmHg": "[DATA]\r\ngrphHMin=0\r\ngrphHMax=3000\r\n",
        }
        for name, ini in ranges.items():
            with self.subTest(name):
                p.js("localStorage.setItem('vaporia.CONFIG.INI', arguments[0])", ini)
                p.load(fresh=False)
                # Each label's ink as the browser draws it: its baseline from a marker in the
                # span, its pixels from the same text drawn on a canvas in the same font.
                boxes = p.js("""
                    const out = [];
                    const g = document.createElement('canvas');
                    g.width = 200; g.height = 60;
                    const c = g.getContext('2d', { willReadFrequently: true });
                    for (const s of document.querySelectorAll('#grphLabels span')) {
                      const m = document.createElement('i');
                      m.style.cssText = 'display:inline-block;width:0;height:0;vertical-align:baseline';
                      s.appendChild(m);
                      const baseline = s.offsetTop + m.offsetTop;
                      m.remove();
                      const cs = getComputedStyle(s);
                      c.clearRect(0, 0, 200, 60);
                      c.font = `${cs.fontStyle} ${cs.fontWeight} ${cs.fontSize} ${cs.fontFamily}`;
                      c.textBaseline = 'alphabetic';
                      c.fillText(s.textContent, 20, 40);
                      const d = c.getImageData(0, 0, 200, 60).data;
                      let l = 1e9, t = 1e9, r = -1e9, b = -1e9;
                      for (let y = 0; y < 60; y++) for (let x = 0; x < 200; x++)
                        if (d[(y * 200 + x) * 4 + 3] > 96) { l = Math.min(l, x); r = Math.max(r, x + 1); t = Math.min(t, y); b = Math.max(b, y + 1); }
                      out.push([s.textContent, s.offsetLeft + l - 20, baseline + t - 40, s.offsetLeft + r - 20, baseline + b - 40]);
                    }
                    return out;""")
                self.assertGreater(len(boxes), 6)
                for text, left, top, right, bottom in boxes:
                    self.assertTrue(left >= 0 and top >= 0 and right <= 315 and bottom <= 334, (text, left, top, right, bottom))
                for i, a in enumerate(boxes):
                    for b in boxes[i + 1:]:
                        apart = a[3] <= b[1] or b[3] <= a[1] or a[4] <= b[2] or b[4] <= a[2]
                        self.assertTrue(apart, (a, b))
        p.js("localStorage.clear()")

    def test_steps_show_their_units_and_a_lesson_loaded_in_playback_starts_at_step_1(self):
        p = self.page
        p.type_temperature("100")
        self.assertEqual(p.value("txtAturyoku"), "760.0")
        p.js("""vaporia.core.addInit(-1, 1, 1, '2', '10', '223', '423', '0', '2');
                vaporia.core.addTemp(-1, '300', false);""")
        p.el("picSinario").click()
        body = p.d.find_element(By.TAG_NAME, "body")
        p.js("document.activeElement.blur()")
        body.send_keys(Keys.ARROW_DOWN)
        p.wait(lambda: p.text("lblTmp") == "Ｋ", what="unit labels")
        self.assertEqual([p.text(i) for i in ("lblTmp", "lblPress", "lblMol", "lblVal")], ["Ｋ", "atm", "2mol", "10ﾘｯﾄﾙ"])
        # 100 ℃ stays 100 ℃: 373 K, 1 atm, at once.
        self.assertEqual(p.value("txtOndo"), "373")
        self.assertEqual(p.value("txtAturyoku"), "1.000")
        self.assertEqual(p.text("lblStep"), "ステップ 1 / 2")
        body.send_keys(Keys.ARROW_DOWN)
        self.assertEqual(p.value("txtOndo"), "300")
        self.assertEqual(p.text("lblStep"), "シナリオの終わり（2 / 2）")
        # F9, from the temperature box: back to the start, the scenario kept.
        p.el("txtOndo").send_keys(Keys.F9)
        p.wait(lambda: p.value("txtOndo") == "", what="the reset")
        self.assertEqual(p.value("txtAturyoku"), "")
        self.assertEqual(p.text("lblStep"), "ステップ 0 / 2")
        self.assertEqual(p.js("return vaporia.core.pointCount()"), 0)
        # Lesson 1 loaded while playback is on: its steps 1-4 lead to 0 ℃.
        p.menu("menu_File", "menu_Lesson1")
        p.js("document.activeElement.blur()")
        for _ in range(4):
            body.send_keys(Keys.ARROW_DOWN)
        p.wait(lambda: p.value("txtOndo") == "0", what="step 4 of the lesson")
        p.el("picSinario").click()
        self.assertEqual(p.text("lblStep"), "")

    def test_data_book_mark_on_screen_and_in_the_table(self):
        p = self.page
        self.assertFalse(p.visible("lblDataBook"))
        p.menu("menu_View", "menu_DataBook")
        self.assertTrue(p.visible("lblDataBook"))
        self.assertEqual(p.text("lblDataBook"), "文献値で計算中")
        p.type_temperature("25")
        p.capture_downloads()
        p.menu("menu_File", "menu_CsvSave")
        self.assertTrue(p.saved().decode("utf-8").strip().endswith(",文献値"))
        p.menu("menu_View", "menu_DataBook")
        self.assertFalse(p.visible("lblDataBook"))

    def test_a_filling_that_never_evaporates_shows_its_liquid(self):
        p = self.page
        p.js("localStorage.setItem('vaporia.CONFIG.INI', '[DATA]\\r\\nmol=1\\r\\ncontainer=1\\r\\n')")
        p.load(fresh=False)
        p.type_temperature("150")
        time.sleep(1.5)
        # The bottom row of molecules lies packed along the floor of the container.
        inked = p.js("""const c = document.getElementById('picBack');
            const d = c.getContext('2d').getImageData(0, c.height - 8, c.width, 6).data;
            let n = 0; for (let i = 0; i < d.length; i += 4) if (d[i] | d[i + 1] | d[i + 2]) n++;
            return [n, c.width * 6];""")
        self.assertGreater(inked[0], inked[1] // 2)
        p.js("localStorage.clear()")

    def test_editor_adds_inserts_and_deletes_steps(self):
        p = self.page
        p.menu("menu_File", "menu_Sinario")
        rows = lambda: p.js("return Array.from(document.querySelectorAll('#listSinario .steprow')).map(r => r.textContent)")
        p.el("SSTabMenu_1").click()
        p.el("txtTemp").send_keys("-10")
        p.el("cmdAdd2").click()
        p.el("SSTabMenu_2").click()
        p.el("optGrphOff").click()
        p.el("cmdAdd3").click()
        p.el("SSTabMenu_4").click()
        p.el("cmbBussitu").send_keys("x")  # typed, not chosen: no liquid
        p.el("cmdAdd5").click()
        self.assertEqual(rows(), ["温度を -10 ℃ に設定します。", "グラフを非表示にします。", "データをジエチルエーテルに設定します。"])
        p.d.find_elements(By.CSS_SELECTOR, "#listSinario .steprow")[1].click()
        p.el("SSTabMenu_3").click()
        p.el("cmdAdd4").click()  # goes before the selected row
        self.assertEqual(rows()[1], "描画されたグラフを消します。")
        p.d.find_elements(By.CSS_SELECTOR, "#listSinario .steprow")[0].click()
        p.el("cmdDel").click()
        self.assertEqual(len(rows()), 3)
        self.assertEqual(rows()[0], "描画されたグラフを消します。")
        # A temperature below a settings step reads in that step's unit, and says it ramps.
        p.el("SSTabMenu_0").click()
        Select(p.el("cmbTempUnit")).select_by_index(1)
        p.el("cmdAdd1").click()
        p.el("SSTabMenu_1").click()
        p.el("txtTemp").clear()
        p.el("txtTemp").send_keys("300")
        p.el("chkAddTemp").click()
        p.el("cmdAdd2").click()
        self.assertEqual(rows()[-2:], ["初期値設定", "温度を 300 Ｋ に設定します。（1度ずつ変化する）"])
        p.el("txtTTl").send_keys("テスト")
        p.el("cmdClose").click()
        # The title is held padded to 30 characters; the tab shows it without the padding.
        self.assertEqual(p.js("return vaporia.core.caption()"), "蒸気圧曲線　-　テスト" + " " * 27)
        self.assertEqual(p.js("return document.title"), "蒸気圧曲線　-　テスト")

    def test_settings_read_from_and_written_to_a_config_ini_file(self):
        p = self.page
        ini = Path(tempfile.mkdtemp()) / "CONFIG.INI"
        ini.write_bytes(b"[data]\r\nMOL= 5 \r\npressureUnit=2\r\ngrphWMax=oops\r\n[school]\r\nroom=3\r\n")
        try:
            p.no_native_chooser()
            p.menu("menu_File", "menu_ConfigImport")
            p.choose_file(ini)
            p.wait(lambda: p.text("lblMol") == "5mol", what="imported settings")
        finally:
            shutil.rmtree(ini.parent)
        self.assertEqual(p.text("lblPress"), "hPa")
        p.menu("menu_File", "menu_Init")
        self.assertEqual(p.value("txtGrphWMax"), "150")  # no number: the default
        p.el("cmdClose").click()
        p.capture_downloads()
        p.menu("menu_File", "menu_ConfigExport")
        out = p.saved().decode("ascii")
        self.assertEqual(out, p.settings_ini())
        self.assertIn("room=3", out)

    def test_config_ini_files_keep_the_desktops_bytes_and_a_refused_one_is_named(self):
        p = self.page
        text = "; 理科室の設定\r\n[DATA]\r\nmol={}\r\n[school]\r\nroom=理科室\r\n"
        files = [  # name, bytes, what the export gives
            ("CONFIG.INI", text.format(2).encode("cp932"), None),
            ("utf8.ini", b"\xef\xbb\xbf" + text.format(3).encode("utf-8"), None),
            ("unicode.ini", text.format(4).encode("utf-16"), text.format(4).encode("cp932")),
        ]
        folder = Path(tempfile.mkdtemp())
        try:
            p.no_native_chooser()
            for mol, (name, data, exported) in enumerate(files, 2):
                with self.subTest(name):
                    (folder / name).write_bytes(data)
                    p.menu("menu_File", "menu_ConfigImport")
                    p.choose_file(folder / name)
                    p.wait(lambda: p.text("lblMol") == f"{mol}mol", what="imported settings")
                    p.capture_downloads()
                    p.menu("menu_File", "menu_ConfigExport")
                    self.assertEqual(p.saved(), exported or data)
            (folder / "写真.png").write_bytes(b"\x89PNG\r\n\x1a\n\0\0\0\rIHDR")
            p.menu("menu_File", "menu_ConfigImport")
            p.choose_file(folder / "写真.png")
            self.assertIn("「写真.png」を設定ファイル（CONFIG.INI）として読み込めません", p.message())
            p.el("cmdMsgOK").click()
            self.assertEqual(p.text("lblMol"), "4mol")
        finally:
            shutil.rmtree(folder)

    def test_damaged_stored_settings_give_the_defaults_said_once(self):
        p = self.page
        p.js("localStorage.setItem('vaporia.CONFIG.INI', '[DATA]\\nmol=あ'); localStorage.setItem('vaporia.prefs', '{\"zoom\": 7')")
        p.load(fresh=False)
        self.assertIn("壊れていた", p.message())
        p.el("cmdMsgOK").click()
        self.assertEqual((p.text("lblMol"), p.text("lblVal")), ("1mol", "30ﾘｯﾄﾙ"))
        p.menu("menu_File", "menu_Init")
        p.el("txtMol").clear()
        p.el("txtMol").send_keys("3")
        p.el("cmdClose").click()
        self.assertFalse(p.visible("msgBox"), "said once")
        self.assertEqual(p.text("lblMol"), "3mol")
        self.assertIn("mol=3", p.settings_ini())

    def test_hostile_scenario_refused_and_the_old_one_kept(self):
        p = self.page
        p.load_scenario(LESSON1)
        p.wait(lambda: p.value("txtTTl") == "水の蒸気圧曲線", what="lesson")
        bad = Path(tempfile.mkdtemp()) / "broken.so1"
        bad.write_bytes(b"\x89PNG\r\n\x1a\n" + b"\xff" * 500)
        try:
            p.el("cmdLoad").click()
            p.choose_file(bad)
            self.assertIn("「broken.so1」はシナリオデータとして読み込めません", p.message())
            p.el("cmdMsgOK").click()
        finally:
            shutil.rmtree(bad.parent)
        self.assertEqual(p.value("txtTTl"), "水の蒸気圧曲線")
        self.assertEqual(p.js("return document.querySelectorAll('#listSinario .steprow').length"), 15)
        p.capture_downloads()
        p.el("cmdSave").click()
        self.assertEqual(p.saved(), LESSON1.read_bytes())

    def test_settings_limits_and_the_stored_config_ini_after_a_reload(self):
        p = self.page
        p.menu("menu_File", "menu_Init")
        shown = [p.value(i) for i in ("txtMol", "txtContainer", "txtGrphWMin", "txtGrphWMax", "txtPressWMin", "txtPressWMax")]
        self.assertEqual(shown, ["1", "30", "-50", "150", "0", "800"])
        for box, typed, kept in (("txtMol", "2345", "234"), ("txtGrphWMin", "-100", "-10"),
                                 ("txtPressWMax", "10000", "1000"), ("txtContainer", "2.5", "2.5")):
            p.el(box).clear()
            p.el(box).send_keys(typed)
            self.assertEqual(p.value(box), kept, box)
        p.js("document.getElementById('cmbPressUnit').selectedIndex = 1")
        p.el("cmdClose").click()
        ini = p.settings_ini()
        self.assertIn("[DATA]", ini)
        self.assertIn("pressureUnit=" + "1".ljust(50), ini)
        self.assertIn("container=" + "2.5".ljust(50), ini)
        self.assertIn("mol=" + "234".ljust(50), ini)
        # A line the program does not own survives its saves.
        p.js("localStorage.setItem('vaporia.CONFIG.INI', localStorage.getItem('vaporia.CONFIG.INI') + '[EXTRA]\\r\\nkeep=me\\r\\n')")
        p.load(fresh=False)
        self.assertEqual((p.text("lblPress"), p.text("lblMol"), p.text("lblVal")), ("atm", "234mol", "2.5ﾘｯﾄﾙ"))
        p.menu("menu_File", "menu_Init")
        self.assertEqual(p.value("txtGrphWMin"), "-10")
        p.el("cmdDefault").click()
        self.assertEqual(p.value("txtMol"), "1")
        p.el("frmSystem_x").click()  # closing without 閉じる keeps the stored settings
        self.assertEqual(p.text("lblPress"), "atm")
        p.menu("menu_File", "menu_Init")
        p.el("cmdDefault").click()
        p.el("cmdClose").click()
        ini = p.settings_ini()
        self.assertIn("pressureUnit=" + "0".ljust(50), ini)
        self.assertIn("keep=me", ini)

    def test_settings_the_model_cannot_show_refused_at_their_box(self):
        p = self.page
        p.menu("menu_File", "menu_Init")
        box = p.el("txtMol")
        box.clear()
        box.send_keys("1.5")
        p.el("cmdClose").click()
        self.assertIn("物質量（mol）には 1 以上の整数", p.message())
        p.el("cmdMsgOK").click()
        self.assertTrue(p.el("cmdClose").is_displayed(), "the dialog stays open")
        self.assertEqual(p.js("return document.activeElement.id"), "txtMol")
        self.assertEqual(p.el("txtMol").get_attribute("aria-invalid"), "true")
        self.assertNotIn("mol=", p.settings_ini() or "", "nothing saved")
        box = p.el("txtMol")
        box.clear()
        box.send_keys("2")
        p.el("cmdClose").click()
        self.assertEqual(p.text("lblMol"), "2mol")

    def test_full_storage_reported_and_the_settings_kept_in_memory(self):
        p = self.page
        p.js("Storage.prototype.setItem = function () { throw new DOMException('full', 'QuotaExceededError'); }")
        p.menu("menu_File", "menu_Init")
        p.js("document.getElementById('cmbPressUnit').selectedIndex = 2")
        p.el("cmdClose").click()
        self.assertIn("保存できませんでした", p.message())
        p.el("cmdMsgOK").click()
        self.assertEqual(p.text("lblPress"), "hPa")
        p.type_temperature("25")
        self.assertEqual(p.value("txtAturyoku"), "37")
        # Another dialog and back: the values in memory still hold.
        p.menu("menu_Help", "menu_ver")
        self.assertIn("ブラウザー", p.text("lblDescription"))
        self.assertFalse(p.d.find_elements(By.ID, "cmdSysInfo"))
        p.el("cmdOK").click()
        self.assertEqual(p.text("lblPress"), "hPa")

    def test_menus_by_access_keys(self):
        p = self.page
        ActionChains(p.d).key_down(Keys.ALT).send_keys("f").key_up(Keys.ALT).send_keys("i").perform()
        p.wait(lambda: p.visible("frmSystem"), what="settings dialog")
        p.el("frmSystem_x").click()
        ActionChains(p.d).key_down(Keys.ALT).send_keys("h").key_up(Keys.ALT).perform()
        ActionChains(p.d).send_keys(Keys.ARROW_DOWN).send_keys(Keys.ENTER).perform()
        p.wait(lambda: p.visible("frmAbout"), what="about box")
        self.assertEqual(p.text("lblVersion"), "ﾊﾞｰｼﾞｮﾝ 1.0.0")
        ActionChains(p.d).send_keys(Keys.ESCAPE).perform()
        self.assertFalse(p.visible("frmAbout"))

    def test_zoom_and_data_book_remembered(self):
        p = self.page
        p.type_temperature("25")
        self.assertEqual(p.value("txtAturyoku"), "28.1")
        p.menu("menu_View", "menu_DataBook")
        p.type_temperature("0")
        p.type_temperature("25")
        book = p.value("txtAturyoku")
        self.assertNotEqual(book, "28.1")
        p.menu("menu_View", "menu_Zoom100")
        self.assertEqual(p.js("return vaporia.scale"), 1)
        self.assertEqual(p.js("return getComputedStyle(document.getElementById('picBack')).imageRendering"), "pixelated")
        p.load(fresh=False)
        self.assertEqual(p.js("return vaporia.scale"), 1)
        p.type_temperature("25")
        self.assertEqual(p.value("txtAturyoku"), book)
        p.el("menu_View").click()
        self.assertEqual(p.js("return document.getElementById('menu_DataBook').getAttribute('aria-checked')"), "true")
        p.el("menu_ZoomFit").click()

    def window(self, w, h):
        """Resizes the window and waits for the stage to be laid out in it anew."""
        self.driver.set_window_size(w, h)
        self.page.wait(lambda: self.page.js("""const e = document.documentElement, r = document.getElementById('stage').getBoundingClientRect();
            return e.clientWidth === arguments[0] && r.right <= e.clientWidth + 0.5 && r.bottom <= e.clientHeight + 0.5
              && (Math.abs(r.right + r.left - e.clientWidth) < 1 || Math.abs(r.bottom + r.top - e.clientHeight) < 1);""", w),
            what="the stage laid out in the window")

    def test_graph_grid_lines_one_device_pixel_and_labels_12_css_pixels_at_fitted_sizes(self):
        p = self.page
        try:
            for w, h in ((1024, 768), (768, 1024), (1280, 800), (900, 700)):
                with self.subTest(size=(w, h)):
                    self.window(w, h)
                    time.sleep(0.3)  # painted
                    box, dpr, label = p.js("""const r = document.getElementById('picGrphCanvas').getBoundingClientRect();
                        const l = parseFloat(getComputedStyle(document.querySelector('#grphLabels span')).fontSize);
                        return [[r.left, r.top, r.width, r.height], devicePixelRatio, l * vaporia.scale];""")
                    self.assertGreaterEqual(label, 12 - 0.01, "label size in CSS pixels")
                    shot = png_rgb(p.d.get_screenshot_as_png())
                    left, top, width, height = (v * dpr for v in box)
                    # Across the plot between the grid's rows and down it between its columns, from
                    # the frame's left edge: every grid line one device pixel, none lost.
                    def runs(cells):
                        out, run = [], 0
                        for c in cells + [(255, 255, 255)]:
                            if max(c) < 240: run += 1
                            elif run: out.append(run); run = 0
                        return out
                    for panel_y in (60, 300):
                        y = int(top + (panel_y + 0.5) * height / 334)
                        xs = range(int(left + 14.6 * width / 315), int(left + width) - 1)
                        self.assertEqual(runs([shot[y][x] for x in xs]), [1] * 20, f"row {panel_y}")
                    for panel_x in (22, 292):
                        x = int(left + (panel_x + 0.5) * width / 315)
                        ys = range(int(top + 20 * height / 334), int(top + 333 * height / 334))
                        self.assertEqual(runs([shot[y][x] for y in ys]), [1] * 8, f"column {panel_x}")
        finally:
            self.window(1000, 800)

    def test_markers_choice_and_legend_are_remembered_and_f2_turns_the_choice_off(self):
        p = self.page
        canvas = """const c = document.getElementById('picGrphCanvas'), d = c.getContext('2d').getImageData(0, 0, c.width, c.height).data;
            let h = 0, red = 0; for (let i = 0; i < d.length; i += 4) { h = (h * 31 + d[i] + 7 * d[i + 1] + 13 * d[i + 2]) | 0;
              if (d[i] === 255 && d[i + 1] === 0 && d[i + 2] === 0) red++; } return [h, red];"""
        p.type_temperature("40")
        p.type_temperature("60")
        squares, red = p.js(canvas)
        p.menu("menu_View", "menu_Markers")
        ringed, ring_red = p.js(canvas)
        self.assertNotEqual(ringed, squares)
        self.assertGreater(ring_red, 3 * red)  # the newest ringed as well as red
        p.menu("menu_View", "menu_Legend")
        legend = lambda: p.js("const l = document.getElementById('grphLegend'); return l.hidden ? null : l.innerText")
        self.assertEqual(legend().split(), ["最新の点", "水"])
        p.load(fresh=False)
        p.type_temperature("40")
        p.type_temperature("60")
        self.assertEqual(p.js(canvas)[0], ringed)
        self.assertEqual(legend().split(), ["最新の点", "水"])
        p.d.find_element(By.TAG_NAME, "body").send_keys(Keys.F2)
        p.wait(lambda: p.js(canvas)[0] == squares, what="the panel's squares again")
        p.el("menu_View").click()
        self.assertEqual(p.js("return document.getElementById('menu_Markers').getAttribute('aria-checked')"), "false")
        p.js("vaporia.closeMenu()")

    def zooms_offered(self):
        self.page.el("menu_View").click()
        offered = self.page.js("""return Array.from(document.querySelectorAll('#menu_View_list [data-zoom]'),
            b => [Number(b.dataset.zoom), !b.disabled, b.getAttribute('aria-checked') === 'true', b.title])""")
        self.page.js("vaporia.closeMenu()")
        return offered

    def test_zoom_offers_only_what_fits_and_a_remembered_zoom_falls_back_to_fit(self):
        p = self.page
        try:
            # Room for 150 % (a stage of 1200 × 908), not for 200 % (1600 × 1210).
            self.window(1300, 1120)
            offered = self.zooms_offered()
            self.assertEqual([o[:3] for o in offered], [[0, True, True], [100, True, False], [150, True, False], [200, False, False]])
            self.assertIn("1600 × 1210", offered[3][3])
            p.el("menu_View").click()
            p.el("menu_Zoom200").click()  # greyed: nothing happens
            self.assertNotEqual(p.js("return vaporia.scale"), 2)
            p.js("vaporia.closeMenu()")
            p.menu("menu_View", "menu_Zoom150")
            self.assertEqual(p.js("return vaporia.scale"), 1.5)
            # A smaller window: the stage fits it, with 画面に合わせる in effect; 150 % greyed
            # but remembered, and back in a window it fits.
            self.window(1000, 800)
            vw, vh = p.js("return [document.documentElement.clientWidth, document.documentElement.clientHeight]")
            self.assertAlmostEqual(p.js("return vaporia.scale"), min(vw / 800, vh / 605), places=6)
            self.assertEqual([o[:3] for o in self.zooms_offered()],
                             [[0, True, True], [100, True, False], [150, False, False], [200, False, False]])
            p.load(fresh=False)
            self.assertAlmostEqual(p.js("return vaporia.scale"), min(vw / 800, vh / 605), places=6)
            self.window(1300, 1120)
            p.wait(lambda: p.js("return vaporia.scale") == 1.5, what="150 % again")
        finally:
            self.window(1000, 800)

    def test_temperature_box_shows_its_text_whole(self):
        p = self.page
        for zoom in ("menu_ZoomFit", "menu_Zoom100"):
            p.menu("menu_View", zoom)
            for text in ("-120", "−120", "－１２０", "-273", "200"):
                p.type_temperature(text)
                # Laid out wider than the box, the text would scroll and lose its start.
                self.assertEqual(p.js("const b = txtOndo; return [b.scrollWidth <= b.clientWidth, b.scrollLeft]"), [True, 0],
                                 (zoom, text))
        p.type_temperature("25")
        self.assertEqual(p.js("return txtOndo.style.fontSize"), "", "text that fits keeps the box's font")
        p.menu("menu_View", "menu_ZoomFit")

    def test_editor_shows_delete_clear_of_the_list_and_the_unit_lists_whole(self):
        p = self.page
        p.menu("menu_File", "menu_Lesson1")
        p.menu("menu_File", "menu_Sinario")
        self.assertEqual(clear_of(p, "cmdDel", "listSinario"), [])
        for box in ("cmbTempUnit", "cmbPressUnit"):
            self.assertEqual(list_ink_cut(p, box), [], box)
        p.el("cmdClose").click()
        p.menu("menu_File", "menu_Init")
        for box in ("cmbTempUnit", "cmbPressUnit"):
            self.assertEqual(list_ink_cut(p, box), [], box)
        p.el("cmdClose").click()

    def test_committed_composition_counts_once_in_either_event_order(self):
        p = self.page
        p.type_temperature("2")
        before = p.js("return vaporia.core.pointCount()")
        # Safari's order: the composition's end, then an input event for the same text.
        p.js("""const b = document.getElementById('txtOndo'); b.value = '２５';
            b.dispatchEvent(new CompositionEvent('compositionend', {data: '２５'}));
            b.dispatchEvent(new InputEvent('input', {data: '２５', inputType: 'insertText', isComposing: false}));""")
        self.assertEqual(p.js("return vaporia.core.pointCount()"), before + 1)
        self.assertEqual(p.value("txtAturyoku"), "28.1")

    def test_spinner_and_full_width_and_minus_signs(self):
        p = self.page
        p.type_temperature("-10")
        minus = p.value("txtAturyoku")
        p.type_temperature("25")
        p.type_temperature("－１０")
        self.assertEqual(p.value("txtAturyoku"), minus)
        p.type_temperature("199")
        p.el("UpDownOndoUp").click()
        self.assertEqual(p.value("txtOndo"), "200")
        p.el("UpDownOndoUp").click()
        self.assertEqual(p.value("txtOndo"), "200")  # the spinner stops at 200

    def test_replays_the_opening_of_the_cores_session_with_its_bytes(self):
        # The core's replay up to its first lesson, through the page's own controls: at each
        # checkpoint the golden lines but .labels (the face's font) and .field (when frames
        # ran). The page keeps its own clock, so the script's gaps and frames are left to it:
        # no ramp runs with playback off, and a liquid chosen, taken up by the next frame,
        # changes none of the lines compared before a temperature is typed.
        p = self.page
        golden = golden_lines()
        keys = {40: Keys.ARROW_DOWN, 13: Keys.ENTER, 32: Keys.SPACE, 38: Keys.ARROW_UP}
        got, want, checked = [], [], []
        for op, text, value, count in session_opening():
            if op == "Start":  # the page as setUp loaded it, with no stored settings
                p.js("window.__keyups = 0; document.addEventListener('keyup', () => window.__keyups++);")
            elif op == "Type":
                keystroke(p, p.value("txtOndo"), text)
                self.assertEqual(p.value("txtOndo"), text)
            elif op == "Spin":
                # A held button is its clicks: the repeats of a real hold follow the page's timer.
                for _ in range(count):
                    p.el("UpDownOndoUp" if value > 0 else "UpDownOndoDown").click()
            elif op == "SelectLiquid":
                Select(p.el("cmbLiquid")).select_by_index(value)
                p.wait(lambda: p.js("return vaporia.core.liquid()") == value, what="liquid taken up")
            elif op == "Frames":
                pass
            elif op == "KeyUp":
                # Released on the page itself: in the box Space would type, on the list Down choose.
                p.js("document.activeElement.blur(); window.__keyups = 0;")
                body = p.d.find_element(By.TAG_NAME, "body")
                for _ in range(count):
                    body.send_keys(keys[value])
                self.assertEqual(p.js("return window.__keyups"), count, "the releases reached the page")
            elif op == "Check":
                b = {k: base64.b64decode(v) for k, v in p.js("""
                    const c = vaporia.core, utf8 = (t) => new TextEncoder().encode(t);
                    const b64 = (a) => { let s = '';
                      for (let i = 0; i < a.length; i += 0x8000) s += String.fromCharCode.apply(null, a.subarray(i, i + 0x8000));
                      return btoa(s); };
                    const g = document.getElementById('picGrphCanvas');
                    return {
                      graph: b64(c.graphPixels()),
                      shown: b64(g.getContext('2d').getImageData(0, 0, g.width, g.height).data),
                      raster: b64(c.graphRaster().data),
                      csv: b64(c.pointsCsv()),
                      so1: b64(c.sinarioEncode()),
                      ini: b64(c.settingsToIni(new Uint8Array(0))),
                      texts: b64(utf8(txtOndo.value + '\\n' + txtAturyoku.value)),
                    };""").items()}
                self.assertEqual(len(b["graph"]), 315 * 334 * 4)
                self.assertEqual(len(b["so1"]), 2380)
                # The canvas shows the program's picture at the display's pixels, redrawn after
                # every change.
                self.assertTrue(b["shown"] == b["raster"], f"{text}: the canvas is not the core's graph")
                for what in ("graph", "csv", "so1", "ini", "texts"):
                    name = f"{text}.{what}"
                    self.assertIn(name, golden)
                    got.append(f"{name}: {fnv1a64(b[what])}")
                    want.append(golden[name])
                checked.append(text)
            else:
                self.fail(f"the page's replay does not play {op}")
        self.assertGreater(len(checked), 10)
        self.assertEqual([(w, g) for g, w in zip(got, want) if g != w], [], "golden line, the page's")


class ChromiumBehaviour(Behaviour, unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.driver = chromium()
        cls.page = Page(cls.driver)

    @classmethod
    def tearDownClass(cls):
        cls.driver.quit()

    def test_blocked_storage_reported_and_the_program_works(self):
        p = self.page
        script = self.driver.execute_cdp_cmd("Page.addScriptToEvaluateOnNewDocument", {"source":
            "Object.defineProperty(window, 'localStorage', {get() { throw new DOMException('blocked', 'SecurityError'); }});"})
        try:
            self.driver.get(URL)
            self.assertIn("保存領域を読めません", p.message())
            p.el("cmdMsgOK").click()
            p.type_temperature("25")
            self.assertEqual(p.value("txtAturyoku"), "28.1")
            p.menu("menu_File", "menu_Init")
            p.js("document.getElementById('cmbPressUnit').selectedIndex = 1")
            p.el("cmdClose").click()
            self.assertIn("保存できませんでした", p.message())
            p.el("cmdMsgOK").click()
            self.assertEqual(p.text("lblPress"), "atm")
        finally:
            self.driver.execute_cdp_cmd("Page.removeScriptToEvaluateOnNewDocument", {"identifier": script["identifier"]})

    def test_full_screen_by_the_button_and_by_f11(self):
        p = self.page
        p.el("cmdFullScreen").click()
        p.wait(lambda: p.js("return !!document.fullscreenElement"), what="full screen")
        ActionChains(p.d).send_keys(Keys.F11).perform()
        p.wait(lambda: p.js("return !document.fullscreenElement"), what="window again")

    def test_save_picker_gets_the_record(self):
        p = self.page
        p.load_scenario(LESSON1)
        p.wait(lambda: p.value("txtTTl") == "水の蒸気圧曲線", what="lesson")
        p.js("""window.__saved = null; window.__name = null;
            window.showSaveFilePicker = async (o) => { window.__name = o.suggestedName; return {
              createWritable: async () => ({ write: async (b) => { window.__saved = Array.from(new Uint8Array(await b.arrayBuffer())); }, close: async () => {} }) }; };""")
        p.el("cmdSave").click()
        self.assertEqual(p.saved(), LESSON1.read_bytes())
        self.assertEqual(p.js("return window.__name"), "水の蒸気圧曲線.so1")


class WebKitBehaviour(Behaviour, unittest.TestCase):
    xvfb = Xvfb()

    def test_stage_fits_windows_of_tablet_sizes(self):
        p = self.page
        for w, h in ((1024, 768), (768, 1024)):
            with self.subTest(size=(w, h)):
                self.driver.set_window_size(w, h)
                p.wait(lambda: abs(p.js("return document.documentElement.clientWidth") - w) < 40, what="resize")
                time.sleep(0.2)
                vw, vh, sw, sh = p.js("const e = document.documentElement; return [e.clientWidth, e.clientHeight, e.scrollWidth, e.scrollHeight]")
                self.assertEqual((sw, sh), (vw, vh), "no scrolling")
                r = p.js("const r = document.getElementById('stage').getBoundingClientRect(); return [r.left, r.top, r.right, r.bottom]")
                self.assertTrue(r[0] >= -0.5 and r[1] >= -0.5 and r[2] <= vw + 0.5 and r[3] <= vh + 0.5, r)
                self.assertTrue(abs((r[2] - r[0]) - vw) < 1 or abs((r[3] - r[1]) - vh) < 1, r)
        self.driver.set_window_size(1000, 800)

    def test_a_finger_plays_a_lesson_as_keys_do_and_finds_44_pixel_targets(self):
        # WebKitWebDriver hands a touch action to the page as a mouse's pointer events, as an
        # iPad with a keyboard and trackpad also gives them: the controls answer either.
        p = self.page
        self.driver.set_window_size(1024, 768)
        try:
            p.load()
            self.assertEqual(misses(p, ["txtOndo", "UpDownOndoUp", "UpDownOndoDown", "picSinario", "picGrphSw",
                                        "picGrphCls", "cmbLiquid", "menu_File", "menu_View", "menu_Help",
                                        "cmdFullScreen"]), [])
            tap = lambda id_: finger(self.driver, id_)
            by_tap = play_lesson(p, tap, lambda: tap("cmdNextStep"))
            self.assertEqual(misses(p, ["cmdNextStep"]), [])
            p.load()
            body = p.d.find_element(By.TAG_NAME, "body")
            by_key = play_lesson(p, lambda id_: p.el(id_).click(), lambda: body.send_keys(Keys.ARROW_DOWN))
            self.assertEqual(by_tap, by_key)
            p.type_temperature("20")
            tap("UpDownOndoUp")
            self.assertEqual(p.value("txtOndo"), "21")
        finally:
            self.driver.set_window_size(1000, 800)

    @classmethod
    def setUpClass(cls):
        cls.xvfb.start()
        try:
            cls.driver = webkit()
        except Exception:
            cls.xvfb.stop()
            raise
        cls.page = Page(cls.driver)

    @classmethod
    def tearDownClass(cls):
        cls.driver.quit()
        cls.xvfb.stop()


class Touch(unittest.TestCase):
    """Chromium with touch emulation at tablet sizes, in both orientations."""

    @classmethod
    def setUpClass(cls):
        cls.driver = chromium()
        cls.page = Page(cls.driver)

    @classmethod
    def tearDownClass(cls):
        cls.driver.quit()

    def device(self, w, h):
        d = self.driver
        d.execute_cdp_cmd("Emulation.setDeviceMetricsOverride",
                          {"width": w, "height": h, "deviceScaleFactor": 1, "mobile": True})
        d.execute_cdp_cmd("Emulation.setTouchEmulationEnabled", {"enabled": True, "maxTouchPoints": 5})
        self.page.load()

    def tap(self, id_, times=1):
        x, y = self.page.js("const r = document.getElementById(arguments[0]).getBoundingClientRect();"
                            "return [r.left + r.width / 2, r.top + r.height / 2]", id_)
        for _ in range(times):
            for kind, points in (("touchStart", [{"x": x, "y": y}]), ("touchEnd", [])):
                self.driver.execute_cdp_cmd("Input.dispatchTouchEvent", {"type": kind, "touchPoints": points})

    def test_stage_fits_both_orientations(self):
        # tablets from the smallest to the largest screens, and a phone, which still gets the whole stage
        for w, h in ((1024, 768), (768, 1024), (2560, 1600), (1600, 2560), (390, 844), (844, 390)):
            with self.subTest(size=(w, h)):
                self.device(w, h)
                p = self.page
                vw, vh, sw, sh = p.js("const e = document.documentElement; return [e.clientWidth, e.clientHeight, e.scrollWidth, e.scrollHeight]")
                self.assertEqual((sw, sh), (vw, vh), "no scrolling")
                for id_ in ("stage", "picGrph", "picBack", "txtAturyoku"):
                    r = p.js("const r = document.getElementById(arguments[0]).getBoundingClientRect(); return [r.left, r.top, r.right, r.bottom]", id_)
                    self.assertTrue(r[0] >= -0.5 and r[1] >= -0.5 and r[2] <= vw + 0.5 and r[3] <= vh + 0.5, (id_, r))
                # The stage uses the whole of one side.
                r = p.js("const r = document.getElementById('stage').getBoundingClientRect(); return [r.width, r.height]")
                self.assertTrue(abs(r[0] - vw) < 1 or abs(r[1] - vh) < 1, r)

    def test_hit_areas_at_least_44_css_pixels(self):
        for w, h in ((1024, 768), (768, 1024)):
            self.device(w, h)
            p = self.page
            p.el("picSinario").click()  # the step control shows while playback is on
            misses = self.misses(['txtOndo', 'UpDownOndoUp', 'UpDownOndoDown', 'picSinario', 'picGrphSw',
                                  'picGrphCls', 'cmbLiquid', 'menu_File', 'menu_View', 'menu_Help',
                                  'cmdNextStep', 'cmdFullScreen'])
            self.assertEqual(misses, [], (w, h))
            self.tap("menu_View")
            self.assertEqual(self.misses(["menu_ZoomFit", "menu_Zoom100", "menu_FullScreen", "menu_DataBook"]), [], (w, h))
            self.tap("menu_View")

    def misses(self, ids):
        return misses(self.page, ids)


    def test_dialog_controls_are_finger_sized(self):
        p = self.page
        for w, h in ((1024, 768), (768, 1024)):
            self.device(w, h)
            p.menu("menu_File", "menu_Init")
            self.assertEqual(self.misses(["txtMol", "txtContainer", "cmbTempUnit", "cmbPressUnit", "txtGrphWMin",
                                          "txtGrphWMax", "txtPressWMin", "txtPressWMax", "cmdDefault", "cmdClose"]),
                             [], (w, h))
            self.tap("cmdClose")
            p.menu("menu_Help", "menu_ver")
            self.assertEqual(self.misses(["cmdOK"]), [], (w, h))
            self.tap("cmdOK")
            self.tap("menu_File")
            self.tap("menu_Lesson1")
            p.menu("menu_File", "menu_Sinario")
            self.assertEqual(self.misses(["cmdAdd1", "cmdDel", "cmdLoad", "cmdSave", "cmdClose"]
                                         + [f"SSTabMenu_{i}" for i in range(5)]), [], (w, h))
            self.assertEqual(clear_of(p, "cmdDel", "listSinario"), [], (w, h))
            rows = p.js("return Array.from(document.querySelectorAll('#listSinario .steprow'), r => r.getBoundingClientRect().height)")
            self.assertGreaterEqual(min(rows), 44)
            # The text boxes, drawn smaller, get a finger's area that focuses them.
            boxes = {0: ["txtTTl", "txtMol", "txtContainer", "txtGrphWMin", "txtGrphWMax", "txtPressWMin",
                         "txtPressWMax", "cmbTempUnit", "cmbPressUnit"], 1: ["txtTemp"], 4: ["cmbBussitu"]}
            for tab, ids in boxes.items():
                self.tap(f"SSTabMenu_{tab}")
                self.assertEqual(self.misses(ids), [], (w, h, tab))
            self.tap("SSTabMenu_0")
            x, y = p.js("const r = txtContainer.getBoundingClientRect(); return [r.left + 5, r.top - 4]")
            for kind, points in (("touchStart", [{"x": x, "y": y}]), ("touchEnd", [])):
                self.driver.execute_cdp_cmd("Input.dispatchTouchEvent", {"type": kind, "touchPoints": points})
            self.assertEqual(p.js("return document.activeElement.id"), "txtContainer", "a tap beside the box")
            self.tap("cmdClose")

    def rect(self, id_):
        return self.page.js("const r = document.getElementById(arguments[0]).getBoundingClientRect();"
                            "return [r.left, r.top, r.right, r.bottom]", id_)

    def zooms_offered(self):
        self.tap("menu_View")
        offered = self.page.js("return Array.from(document.querySelectorAll('#menu_View_list [data-zoom]'), b => !b.disabled)")
        self.tap("menu_View")
        return offered

    def test_upright_tablets_show_the_field_above_the_graph_and_readout_using_the_screen(self):
        p = self.page
        parts = ["picBack", "cmbLiquidBox", "lblMol", "lblVal", "picSinario", "picGrphSw", "picGrphCls", "picGrph",
                 "txtOndo", "UpDownOndo", "txtAturyoku", "lblTmp", "lblPress"]
        for w, h in ((768, 1024), (820, 1180)):
            with self.subTest(size=(w, h)):
                self.device(w, h)
                l, t, r, b = self.rect("stage")
                # The sideways window letter-boxed used 57 % and 53 % of these screens.
                self.assertGreaterEqual((r - l) * (b - t) / (w * h), 0.8)
                field, graph, readout = self.rect("picBack"), self.rect("picGrph"), self.rect("txtAturyoku")
                self.assertLessEqual(field[3], graph[1])
                self.assertLessEqual(field[3], readout[1])
                # Both pictures larger than the letter-boxed window showed them.
                self.assertGreater(field[2] - field[0], 1.1 * 371 * w / 800)
                self.assertGreater(graph[2] - graph[0], 1.1 * 315 * w / 800)
                boxes = {i: self.rect(i) for i in parts}
                overlaps = [(a, c) for n, a in enumerate(parts) for c in parts[n + 1:]
                            if boxes[a][0] < boxes[c][2] and boxes[c][0] < boxes[a][2]
                            and boxes[a][1] < boxes[c][3] and boxes[c][1] < boxes[a][3]]
                self.assertEqual(overlaps, [])
                # The upright stage fits at 100 %, not at 150 %.
                self.assertEqual(self.zooms_offered(), [True, True, False, False])

    def test_phone_controls_at_least_44_css_pixels(self):
        p = self.page
        self.device(390, 844)
        self.tap("picSinario")  # the step control shows while playback is on
        self.assertEqual(self.misses(["txtOndo", "UpDownOndoUp", "UpDownOndoDown", "picSinario", "picGrphSw",
                                      "picGrphCls", "cmbLiquid", "menu_File", "menu_View", "menu_Help",
                                      "cmdNextStep", "cmdFullScreen"]), [])
        for menu in ("menu_File", "menu_View", "menu_Help"):
            self.tap(menu)
            items = p.js("return Array.from(document.querySelectorAll(arguments[0]), b => b.id)", f"#{menu}_list .menuitem")
            self.assertEqual(self.misses(items), [], menu)
            self.tap(menu)
        # One column, the field above the graph above the readout, and no fixed zoom fits.
        field, graph, readout = self.rect("picBack"), self.rect("picGrph"), self.rect("txtAturyoku")
        self.assertTrue(field[3] <= graph[1] and graph[3] <= readout[1], (field, graph, readout))
        self.assertEqual(self.zooms_offered(), [True, False, False, False])

    def test_phone_dialogs_larger_than_the_screen_scroll_to_finger_sized_controls(self):
        p = self.page
        self.device(390, 844)
        p.menu("menu_File", "menu_Init")
        # Wider than the phone at the scale its finger areas need: the layer scrolls to each.
        self.assertGreater(p.js("const l = document.getElementById('frmSystem_layer'); return l.scrollWidth - l.clientWidth"), 0)
        for id_ in ("txtMol", "txtContainer", "cmbTempUnit", "cmbPressUnit", "txtGrphWMin", "txtGrphWMax",
                    "txtPressWMin", "txtPressWMax", "cmdDefault", "cmdClose", "frmSystem_x"):
            p.js("document.getElementById(arguments[0]).scrollIntoView({block: 'center', inline: 'center'})", id_)
            self.assertEqual(self.misses([id_]), [])
        self.tap("cmdClose")
        # The about box fits, its OK and × a finger's size at the scale it fits at.
        p.menu("menu_Help", "menu_ver")
        self.assertEqual(p.js("const l = document.getElementById('frmAbout_layer'); return l.scrollWidth - l.clientWidth"), 0)
        self.assertEqual(self.misses(["cmdOK", "frmAbout_x"]), [])
        self.tap("cmdOK")

    def menu_placement(self):
        """The open file menu: inside the screen, not scrolled, its first item at its top."""
        return self.page.js("""const l = document.getElementById('menu_File_list'), r = l.getBoundingClientRect();
            const first = document.getElementById('menu_Init').getBoundingClientRect();
            const e = document.documentElement;
            return [r.left >= 0 && r.top >= 0 && r.right <= e.clientWidth + 0.5 && r.bottom <= e.clientHeight + 0.5,
                    l.scrollHeight <= l.clientHeight, l.scrollTop, first.top - r.top < 10];""")

    def test_file_menu_fits_the_screen_and_opens_at_its_top(self):
        p = self.page
        for w, h in ((1024, 768), (768, 1024), (390, 844), (844, 390)):
            with self.subTest(size=(w, h)):
                self.device(w, h)
                self.tap("menu_File")
                self.assertEqual(self.menu_placement(), [True, True, 0, True])
                self.tap("menu_File")
        # A screen too small for it: the menu scrolls, and after an item chosen far down it
        # opens again at its top.
        self.device(640, 360)
        p.capture_downloads()
        self.tap("menu_File")
        self.assertEqual(self.menu_placement()[:2], [True, False])
        p.js("const l = document.getElementById('menu_File_list'); l.scrollTop = l.scrollHeight;")
        self.tap("menu_ConfigExport")
        self.assertIn(b"[DATA]", p.saved())
        self.tap("menu_File")
        self.assertEqual(self.menu_placement(), [True, False, 0, True])
        self.assertEqual(self.misses(["menu_Init"]), [])

    def test_composition_counts_once_committed_and_a_held_arrow_repeats(self):
        p = self.page
        self.device(1024, 768)
        p.type_temperature("0")
        before = p.value("txtAturyoku")
        p.el("txtOndo").click()
        p.js("document.getElementById('txtOndo').select()")
        self.driver.execute_cdp_cmd("Input.imeSetComposition", {"text": "２５", "selectionStart": 2, "selectionEnd": 2})
        self.assertEqual(p.value("txtAturyoku"), before, "no readout from an unfinished composition")
        self.driver.execute_cdp_cmd("Input.insertText", {"text": "２５"})
        self.assertEqual((p.value("txtOndo"), p.value("txtAturyoku")), ("２５", "28.1"))
        x, y = p.js("const r = document.getElementById('UpDownOndoUp').getBoundingClientRect();"
                    "return [r.left + r.width / 2, r.top + r.height / 2]")
        self.driver.execute_cdp_cmd("Input.dispatchTouchEvent", {"type": "touchStart", "touchPoints": [{"x": x, "y": y}]})
        time.sleep(1.0)
        self.driver.execute_cdp_cmd("Input.dispatchTouchEvent", {"type": "touchEnd", "touchPoints": []})
        held = int(p.value("txtOndo"))
        self.assertGreater(held, 27)
        time.sleep(0.3)
        self.assertEqual(int(p.value("txtOndo")), held, "the repeat stops with the finger")

    def test_taps_play_a_lesson_to_the_end_as_keys_do(self):
        p = self.page
        self.device(1024, 768)
        by_tap = play_lesson(p, self.tap, lambda: self.tap("cmdNextStep"))
        p.load()
        body = p.d.find_element(By.TAG_NAME, "body")
        by_key = play_lesson(p, self.tap, lambda: body.send_keys(Keys.ARROW_DOWN))
        self.assertEqual(by_tap, by_key)

    def test_temperature_box_shows_minus_120_whole_upright_and_on_a_phone(self):
        p = self.page
        for w, h in ((768, 1024), (390, 844)):
            self.device(w, h)
            for text in ("-120", "−120"):
                p.type_temperature(text)
                self.assertEqual(p.js("const b = txtOndo; return [b.scrollWidth <= b.clientWidth, b.scrollLeft]"), [True, 0],
                                 (w, h, text))

    def test_spinner_taps_and_typed_minus_signs(self):
        p = self.page
        self.device(768, 1024)
        p.type_temperature("20")
        self.tap("UpDownOndoUp")
        self.assertEqual(p.value("txtOndo"), "21")
        self.tap("UpDownOndoDown", 2)
        self.assertEqual(p.value("txtOndo"), "19")
        p.type_temperature("-10")
        minus = p.value("txtAturyoku")
        p.type_temperature("０")
        p.type_temperature("－１０")
        self.assertEqual((p.value("txtOndo"), p.value("txtAturyoku")), ("－１０", minus))


class Served(unittest.TestCase):
    """The page from a web server: manifest and service worker, then offline."""

    def test_works_offline_after_the_first_visit(self):
        import functools
        import http.server
        import threading
        class Quiet(http.server.SimpleHTTPRequestHandler):
            def log_message(self, *args):
                pass
        handler = functools.partial(Quiet, directory=str(PAGE.parent))
        server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), handler)
        threading.Thread(target=server.serve_forever, daemon=True).start()
        url = f"http://127.0.0.1:{server.server_address[1]}/vaporia.html"
        d = chromium()
        p = Page(d)
        try:
            d.get(url)
            p.wait(lambda: p.js("return !!window.vaporia"))
            self.assertEqual(p.js("return document.querySelector('link[rel=manifest]').getAttribute('href')"),
                             "manifest.webmanifest")
            p.wait(lambda: p.js("return navigator.serviceWorker.controller !== null") or d.refresh(),
                   timeout=90, what="service worker in control")
            server.shutdown()
            server.server_close()
            d.refresh()
            p.wait(lambda: p.js("return !!(window.vaporia && document.getElementById('txtOndo'))"), what="offline page")
            p.type_temperature("25")
            self.assertEqual(p.value("txtAturyoku"), "28.1")
        finally:
            d.quit()
            server.server_close()


def main():
    groups = {"chromium": ChromiumBehaviour, "webkit": WebKitBehaviour, "touch": Touch, "served": Served}
    chosen = sys.argv[1:] or list(groups)
    if not PAGE.exists():
        sys.exit(f"{PAGE} is missing: run tools/build_web.sh first")
    suite = unittest.TestSuite(unittest.defaultTestLoader.loadTestsFromTestCase(groups[g]) for g in chosen)
    result = unittest.TextTestRunner(verbosity=2).run(suite)
    sys.exit(0 if result.wasSuccessful() else 1)


if __name__ == "__main__":
    main()
