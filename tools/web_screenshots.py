#!/usr/bin/python3
"""Pictures of the browser edition for the README: docs/images/web.png (a laptop's window)
and docs/images/web_tablet.png (a tablet held upright, a lesson being played by taps).
Run after tools/build_web.sh."""
import sys
import time
from pathlib import Path

ROOT = Path(__file__).resolve().parents[1]
sys.path.insert(0, str(ROOT / "tests" / "web"))
import test_web as T  # noqa: E402


def main():
    d = T.chromium()
    p = T.Page(d)
    try:
        d.execute_cdp_cmd("Emulation.setDeviceMetricsOverride",
                          {"width": 1000, "height": 760, "deviceScaleFactor": 1, "mobile": False})
        p.load()
        for t in range(0, 61, 5):
            p.type_temperature(str(t))
        time.sleep(1.5)
        d.save_screenshot(str(ROOT / "docs/images/web.png"))

        d.execute_cdp_cmd("Emulation.setDeviceMetricsOverride",
                          {"width": 768, "height": 1024, "deviceScaleFactor": 1, "mobile": True})
        d.execute_cdp_cmd("Emulation.setTouchEmulationEnabled", {"enabled": True, "maxTouchPoints": 5})
        p.load()
        p.menu("menu_File", "menu_Lesson1")
        p.el("picSinario").click()
        for _ in range(11):
            p.el("cmdNextStep").click()
        time.sleep(1.5)
        d.save_screenshot(str(ROOT / "docs/images/web_tablet.png"))
    finally:
        d.quit()


if __name__ == "__main__":
    main()
