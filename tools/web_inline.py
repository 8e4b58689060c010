#!/usr/bin/python3
"""Joins the page template, the style, the cores' single-file module and the face's bundle
into one HTML file that needs nothing beside it.

Usage: web_inline.py TEMPLATE STYLE CORE_JS APP_JS OUT_HTML
"""
import sys
from pathlib import Path


def script_safe(text):
    # A literal "</script" inside a string would end the element early.
    return text.replace("</script", "<\\/script").replace("<!--", "<\\!--")


def main():
    template, style, core, app, out = (Path(p) for p in sys.argv[1:6])
    page = template.read_text(encoding="utf-8")
    for mark, body in (("/*STYLE*/", style.read_text(encoding="utf-8")),
                       ("/*CORE*/", script_safe(core.read_text(encoding="utf-8"))),
                       ("/*APP*/", script_safe(app.read_text(encoding="utf-8")))):
        if page.count(mark) != 1:
            sys.exit(f"web_inline: {mark} must appear once in {template}")
        before, after = page.split(mark)
        page = before + body + after
    out.write_text(page, encoding="utf-8")


if __name__ == "__main__":
    main()
