#!/usr/bin/python3
"""First frame of build-web/vaporia.html in headless Chromium against a reference page of
the same size that draws one canvas frame, in paired runs (each pair in a fresh browser,
the order alternating). Prints min / median / max of both and the ratio of the medians,
the file's size, and whether the program schedules anything once nothing moves.

Usage: web_first_frame.py [pairs]
"""
import statistics
import sys
import tempfile
import time
from pathlib import Path

from selenium import webdriver
from selenium.webdriver.chrome.service import Service

ROOT = Path(__file__).resolve().parents[1]
PAGE = ROOT / "build-web" / "vaporia.html"
FLAGS = ["--headless", "--no-sandbox", "--disable-gpu", "--disable-background-networking",
         "--disable-component-update", "--disable-sync", "--no-first-run"]

REFERENCE = """<!doctype html><html><head><meta charset="utf-8"><!--PAD--></head><body>
<canvas id="c" width="371" height="457"></canvas>
<script>
const g = document.getElementById("c").getContext("2d");
const img = g.createImageData(371, 457);
for (let i = 0; i < img.data.length; i += 4) img.data[i + 3] = 255;
g.putImageData(img, 0, 0);
window.vaporiaFirstFrame = performance.now();
</script></body></html>"""


def reference_page(size, folder):
    # The same number of bytes to read and parse, most of it an inert comment, all of it
    # before the frame as the program's are (its frame comes from the page's last script).
    head = REFERENCE.replace("<!--PAD-->", "")
    pad = "<!--" + "x" * max(0, size - len(head.encode()) - 7) + "-->"
    path = Path(folder) / "reference.html"
    path.write_text(REFERENCE.replace("<!--PAD-->", pad), encoding="utf-8")
    return path


def first_frame(url):
    opts = webdriver.ChromeOptions()
    for f in FLAGS:
        opts.add_argument(f)
    d = webdriver.Chrome(service=Service("/usr/bin/chromedriver"), options=opts)
    try:
        d.get(url)
        end = time.time() + 20
        while time.time() < end:
            t = d.execute_script("return window.vaporiaFirstFrame")
            if t is not None:
                return float(t)
            time.sleep(0.01)
        raise RuntimeError("no first frame from " + url)
    finally:
        d.quit()


def idle_check():
    opts = webdriver.ChromeOptions()
    for f in FLAGS:
        opts.add_argument(f)
    d = webdriver.Chrome(service=Service("/usr/bin/chromedriver"), options=opts)
    try:
        d.get(PAGE.as_uri())
        time.sleep(0.5)
        return d.execute_script("return window.vaporia.isScheduled()")
    finally:
        d.quit()


def summary(xs):
    return f"min {min(xs):7.1f}  median {statistics.median(xs):7.1f}  max {max(xs):7.1f} ms"


def main():
    pairs = int(sys.argv[1]) if len(sys.argv) > 1 else 10
    size = PAGE.stat().st_size
    with tempfile.TemporaryDirectory() as folder:
        ref = reference_page(size, folder).as_uri()
        page = PAGE.as_uri()
        ours, theirs = [], []
        for i in range(pairs):
            order = [(page, ours), (ref, theirs)]
            if i % 2:
                order.reverse()
            for url, out in order:
                out.append(first_frame(url))
    ratio = statistics.median(ours) / statistics.median(theirs)
    print(f"vaporia.html  {summary(ours)}")
    print(f"reference     {summary(theirs)}")
    print(f"ratio of medians {ratio:.2f} (limit 1.5), {pairs} pairs")
    print(f"file size {size} bytes ({size / 1048576:.2f} MiB, limit 1.5 MB)")
    print(f"scheduled while nothing moves: {'yes' if idle_check() else 'no'}")


if __name__ == "__main__":
    main()
