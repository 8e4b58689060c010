#!/usr/bin/python3
"""The browser edition for every pupil, in headless Chromium: the accessibility rules of
WCAG 2.1 A and AA as axe-core checks them, a lesson played by keys alone, what a screen
reader hears, the molecules standing still for reduced motion, and browser zoom.

axe-core comes from node_modules (package-lock.json; ./test runs npm ci when it is missing).
Usage: test_a11y.py
"""
import csv
import io
import sys
import time
import unittest

from selenium.webdriver.common.action_chains import ActionChains
from selenium.webdriver.common.keys import Keys

from test_web import LESSON1, PAGE, ROOT, Page, chromium

AXE = ROOT / "node_modules" / "axe-core" / "axe.min.js"
TAGS = ["wcag2a", "wcag2aa", "wcag21a", "wcag21aa"]


class Access(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.driver = chromium()
        cls.driver.set_script_timeout(60)
        cls.page = Page(cls.driver)

    @classmethod
    def tearDownClass(cls):
        cls.driver.quit()

    def setUp(self):
        self.page.load()

    def keys(self, *keys):
        ActionChains(self.driver).send_keys(*keys).perform()

    def alt(self, letter):
        self.chord(Keys.ALT, letter)

    def chord(self, modifier, key):
        ActionChains(self.driver).key_down(modifier).send_keys(key).key_up(modifier).perform()

    def focused(self):
        return self.page.js("return document.activeElement && document.activeElement.id")

    def said(self):
        return self.page.js("return document.getElementById('announce').textContent")

    def axe(self, where):
        p = self.page
        if not p.js("return !!window.axe"):
            p.js(AXE.read_text(encoding="utf-8"))
        found = self.driver.execute_async_script("""const done = arguments[arguments.length - 1];
            axe.run(document, {runOnly: {type: 'tag', values: arguments[0]}})
              .then(r => done(r.violations.map(v => v.id + ': ' + v.nodes.map(n => n.target.join(' ')).join(', '))),
                    e => done(['axe failed: ' + e]));""", TAGS)
        self.assertEqual(found, [], where)

    def picture(self):
        return self.page.js("return document.getElementById('picBack').toDataURL()")

    def test_no_violations_in_either_layout_nor_in_any_dialog_and_the_focus_comes_back(self):
        p = self.page
        try:
            for w, h, layout in ((1000, 800, "landscape"), (760, 1000, "portrait")):
                self.driver.set_window_size(w, h)
                p.wait(lambda: p.js("return document.getElementById('stage').dataset.layout") == layout, what=layout)
                p.type_temperature("50")
                self.axe(layout)
                # Each dialog by its key: the focus inside it, Esc closes it, the focus back.
                for keys, dialog in ((("f", "i"), "frmSystem"), (("f", "s"), "frmSinario"),
                                     (("h", "a"), "frmAbout"), ((Keys.F1,), "frmKeys")):
                    p.el("txtOndo").click()
                    if keys[0] == Keys.F1:
                        self.keys(Keys.F1)
                    else:
                        self.alt(keys[0])
                        self.keys(keys[1])
                    p.wait(lambda: p.visible(dialog), what=dialog)
                    self.assertTrue(p.js("return document.getElementById(arguments[0]).contains(document.activeElement)", dialog),
                                    dialog)
                    self.axe(f"{layout}, {dialog}")
                    self.keys(Keys.ESCAPE)
                    p.wait(lambda: not p.visible(dialog), what=dialog + " closed by Esc")
                    self.assertEqual(self.focused(), "txtOndo", dialog)
            # A message box over the settings: it gives the focus back to the box to mend.
            self.alt("f")
            self.keys("i")
            p.wait(lambda: p.visible("frmSystem"), what="settings")
            self.chord(Keys.CONTROL, "a")
            self.keys("0", Keys.ESCAPE)
            p.wait(lambda: p.visible("msgBox"), what="the refusal")
            self.assertEqual(self.focused(), "cmdMsgOK")
            self.axe("message box over the settings")
            self.keys(Keys.ESCAPE)
            p.wait(lambda: self.focused() == "txtMol", what="focus on the amount")
            self.assertTrue(p.visible("frmSystem"))
            self.keys("1", Keys.ESCAPE)
            p.wait(lambda: not p.visible("frmSystem"), what="settings closed")
        finally:
            self.driver.set_window_size(1000, 800)

    def test_a_lesson_played_the_graph_read_and_cleared_by_keys_alone(self):
        p = self.page
        self.assertEqual(self.focused(), "txtOndo")
        self.alt("f")
        state = lambda: p.js("""return [document.activeElement.id, document.activeElement.getAttribute('role'),
            document.activeElement.getAttribute('aria-checked'), menu_File.getAttribute('aria-expanded')]""")
        self.keys(Keys.ARROW_RIGHT)  # along the bar: the view menu, its zooms checkable
        self.assertEqual(state(), ["menu_ZoomFit", "menuitemradio", "true", "false"])
        self.keys(Keys.ARROW_LEFT)
        self.assertEqual(state(), ["menu_Init", "menuitem", None, "true"])
        self.keys("l")
        self.assertEqual(self.focused(), "menu_Lesson1")
        self.keys(Keys.ENTER)
        p.wait(lambda: "水の蒸気圧曲線" in p.js("return document.title"), what="lesson loaded")
        self.assertEqual(self.focused(), "txtOndo", "the focus comes back from the menu")
        self.keys(Keys.TAB, Keys.TAB)
        self.assertEqual(self.focused(), "picSinario")
        self.assertNotEqual(p.js("return getComputedStyle(document.activeElement).outlineStyle"), "none")
        self.keys(Keys.SPACE)
        self.assertEqual(p.js("return picSinario.getAttribute('aria-pressed')"), "true")
        self.assertEqual(p.text("lblStep"), "ステップ 0 / 15", "the Space that pressed the button runs no step")
        for _ in range(15):
            self.keys(Keys.ARROW_DOWN)
        p.wait(lambda: p.value("txtOndo") == "110", what="ramp to 110")
        self.keys(Keys.ARROW_DOWN)
        self.assertEqual(p.text("lblStep"), "シナリオの終わり（15 / 15）")

        # The graph: its points read one by one, as the CSV lists them.
        self.keys(Keys.TAB, Keys.TAB, Keys.TAB)
        self.assertEqual(self.focused(), "picGrph")
        rows = list(csv.reader(io.StringIO(bytes(p.js("return Array.from(vaporia.core.pointsCsv())")).decode("utf-8-sig"))))[1:]
        spoken = lambda r: f"{r[1]}、{r[2]} {r[3]}、{r[4]} {r[5]}"
        n = len(rows)
        self.keys(Keys.HOME)
        self.assertEqual(self.said(), f"1 / {n}：{spoken(rows[0])}")
        self.keys(Keys.ARROW_RIGHT)
        self.assertEqual(self.said(), f"2 / {n}：{spoken(rows[1])}")
        self.keys(Keys.END, Keys.ARROW_RIGHT)
        self.assertEqual(self.said().strip(), f"{n} / {n}：{spoken(rows[-1])}")
        p.wait(lambda: p.js("return document.querySelectorAll('#grphTable tbody tr').length") == n, what="the table")

        # Cleared, then hidden and shown again, from the keyboard.
        self.chord(Keys.SHIFT, Keys.TAB)
        self.assertEqual(self.focused(), "picGrphCls")
        self.keys(Keys.SPACE)
        self.assertEqual(p.js("return vaporia.core.pointCount()"), 0)
        self.chord(Keys.SHIFT, Keys.TAB)
        self.assertEqual(self.focused(), "picGrphSw")
        self.keys(Keys.ENTER)
        self.assertEqual(p.js("return picGrphSw.getAttribute('aria-pressed')"), "false")
        self.keys(Keys.ENTER)
        self.assertEqual(p.js("return picGrphSw.getAttribute('aria-pressed')"), "true")
        self.assertEqual(p.text("lblStep"), "シナリオの終わり（15 / 15）", "Enter on a button is no step")

    def test_the_readout_said_once_typing_settles_and_the_field_described(self):
        p = self.page
        box = p.el("txtOndo")
        box.send_keys("5")
        box.send_keys("0")
        heard = set()
        end = time.time() + 3
        while time.time() < end and self.said() != "50 ℃、圧力 100.0 mmHg":
            heard.add(self.said())
            time.sleep(0.05)
        self.assertEqual(self.said(), "50 ℃、圧力 100.0 mmHg")
        self.assertEqual(heard - {"50 ℃、圧力 100.0 mmHg"}, {""}, "no word of the 5 typed on the way")
        self.assertEqual(p.js("return picBack.getAttribute('aria-describedby')"), "fieldDesc")
        p.wait(lambda: p.text("fieldDesc").startswith("液体と気体。分子の"), what="the field in words")
        # ↑ in the box steps as ▲ does.
        self.keys(Keys.ARROW_UP)
        self.assertEqual(p.value("txtOndo"), "51")

    def test_editor_steps_chosen_and_deleted_by_keys(self):
        p = self.page
        p.load_scenario(LESSON1)
        p.wait(lambda: p.js("return document.querySelectorAll('#listSinario .steprow').length") == 15, what="steps")
        p.js("listSinario.focus()")
        selected = lambda: p.js("""const r = document.querySelector('#listSinario [aria-selected="true"]');
            return r && [Array.from(r.parentNode.children).indexOf(r), listSinario.getAttribute('aria-activedescendant') === r.id]""")
        self.keys(Keys.ARROW_DOWN, Keys.ARROW_DOWN)
        self.assertEqual(selected(), [1, True])
        self.keys(Keys.END)
        self.assertEqual(selected(), [14, True])
        self.keys(Keys.DELETE)
        self.assertEqual(p.js("return vaporia.core.stepCount()"), 14)
        self.assertEqual(selected(), [13, True], "the row after it, or the last, is chosen")
        self.keys(Keys.SPACE)
        self.assertIsNone(selected())

    def test_reduced_motion_starts_still_and_one_key_starts_the_molecules(self):
        p = self.page
        d = self.driver
        d.execute_cdp_cmd("Emulation.setEmulatedMedia", {"features": [{"name": "prefers-reduced-motion", "value": "reduce"}]})
        try:
            p.load()
            self.assertEqual(p.js("return cmdMotion.getAttribute('aria-label')"), "分子を動かす")
            p.type_temperature("60")
            time.sleep(0.5)
            still = self.picture()
            time.sleep(1)
            self.assertEqual(self.picture(), still)
            self.assertNotEqual(p.value("txtAturyoku"), "", "the readout works while still")
            self.assertIn("気体", p.text("fieldDesc"), "the still picture shows the new state")
            self.keys(Keys.F8)
            self.assertEqual(p.js("return cmdMotion.getAttribute('aria-label')"), "分子の動きを止める")
            time.sleep(0.5)
            moving = self.picture()
            time.sleep(1)
            self.assertNotEqual(self.picture(), moving)
        finally:
            d.execute_cdp_cmd("Emulation.setEmulatedMedia", {"features": []})

    def test_browser_zoom_enlarges_and_reflows_to_the_narrow_layouts(self):
        # A 1280 × 650 window zoomed to 200 % and 400 % is laid out in 640 × 325 and 320 × 162
        # CSS px: the stage must not shrink to cancel the zoom, nor lose a control.
        p = self.page
        d = self.driver
        controls = ["txtOndo", "cmbLiquid", "picSinario", "picGrphSw", "picGrphCls", "picGrph", "menu_File",
                    "menu_View", "menu_Help", "cmdMotion", "cmdFullScreen"]
        try:
            for w, h, zoom, layouts in ((640, 325, 2, ("portrait", "column")), (320, 162, 4, ("column",))):
                d.execute_cdp_cmd("Emulation.setDeviceMetricsOverride",
                                  {"width": w, "height": h, "deviceScaleFactor": zoom, "mobile": False})
                p.load()
                self.assertIn(p.js("return document.getElementById('stage').dataset.layout"), layouts)
                # Twice the size it had fitted in the unzoomed window at least, in device pixels.
                self.assertGreater(p.js("return vaporia.scale") * zoom, 1.4 * min(1280 / 800, 650 / 605))
                for id_ in controls:
                    p.js("document.getElementById(arguments[0]).scrollIntoView({block: 'center'})", id_)
                    r = p.js("""const r = document.getElementById(arguments[0]).getBoundingClientRect();
                        return [r.left, r.right, r.top, r.bottom, document.elementFromPoint((r.left + r.right) / 2, (r.top + r.bottom) / 2)?.closest('#' + arguments[0]) !== null]""", id_)
                    self.assertTrue(r[0] >= -0.5 and r[1] <= w + 0.5 and r[4], (zoom, id_, r))
                self.assertLessEqual(p.js("return document.getElementById('viewport').scrollWidth"), w)
        finally:
            d.execute_cdp_cmd("Emulation.clearDeviceMetricsOverride", {})

    def test_red_labels_stand_out_three_to_one_from_the_panel(self):
        # Every pixel of the panel's texture behind 温度 and 圧力 against the labels' red.
        p = self.page
        worst = p.d.execute_async_script("""const done = arguments[arguments.length - 1];
            const url = getComputedStyle(document.getElementById('client')).getPropertyValue('--background').trim().slice(4, -1);
            const img = new Image();
            img.onload = () => {
              const c = document.createElement('canvas');
              c.width = img.width; c.height = img.height;
              const g = c.getContext('2d');
              g.drawImage(img, 0, 0);
              const lum = (r, gr, b) => [r, gr, b].map(v => { v /= 255; return v <= 0.03928 ? v / 12.92 : ((v + 0.055) / 1.055) ** 2.4; })
                .reduce((s, v, i) => s + v * [0.2126, 0.7152, 0.0722][i], 0);
              let worst = 99;
              for (const id of ['Label1_0', 'Label1_2']) {
                const e = document.getElementById(id), pane = e.parentElement;
                const [r, gr, b] = getComputedStyle(e).color.match(/\\d+/g).map(Number);
                const fg = lum(r, gr, b);
                const x = pane.offsetLeft + e.offsetLeft, y = pane.offsetTop + e.offsetTop;
                const px = g.getImageData(x, y, e.offsetWidth, e.offsetHeight).data;
                for (let i = 0; i < px.length; i += 4) {
                  const bg = lum(px[i], px[i + 1], px[i + 2]);
                  worst = Math.min(worst, (Math.max(fg, bg) + 0.05) / (Math.min(fg, bg) + 0.05));
                }
              }
              done(worst);
            };
            img.src = url.replace(/^["']|["']$/g, '');""")
        self.assertGreaterEqual(worst, 3.0)


def main():
    if not PAGE.exists():
        sys.exit(f"{PAGE} is missing: run tools/build_web.sh first")
    if not AXE.exists():
        sys.exit(f"{AXE} is missing: run npm ci (./test does)")
    suite = unittest.defaultTestLoader.loadTestsFromTestCase(Access)
    sys.exit(0 if unittest.TextTestRunner(verbosity=2).run(suite).wasSuccessful() else 1)


if __name__ == "__main__":
    main()
