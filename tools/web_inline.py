#!/usr/bin/python3
"""Joins the page template, the style, the cores' single-file module and the face's bundle
into one HTML file that needs nothing beside it.

Usage: web_inline.py TEMPLATE STYLE CORE_JS APP_JS OUT_HTML
"""
import re
import sys
from pathlib import Path


def script_safe(text):
    # A literal "</script" inside a string would end the element early.
    return text.replace("</script", "<\\/script").replace("<!--", "<\\!--")


DATA_URI = re.compile(r'"data:application/octet-stream;base64,([A-Za-z0-9+/=]+)"')

# The first script of the page: the engine compiles the cores on its own threads while the
# page parses the rest, and the core module picks the compiled module up. The browser's own
# base64 decoder where it has one (the byte loop costs several milliseconds).
EARLY = ("window.vaporiaWasm=(function(){try{var t=\"%s\",b;"
         "if(Uint8Array.fromBase64)b=Uint8Array.fromBase64(t);"
         "else{var s=atob(t),n=s.length;b=new Uint8Array(n);for(var i=0;i<n;i++)b[i]=s.charCodeAt(i)}"
         "var p=WebAssembly.compile(b);p.catch(function(){});return p}catch(e){return null}})();")


def split_wasm(core_js):
    # The module carries its wasm as one data URI; move it to the early script.
    found = DATA_URI.findall(core_js)
    if len(found) != 1:
        sys.exit("web_inline: the core module must carry exactly one wasm data URI")
    return EARLY % found[0], DATA_URI.sub('"data:application/octet-stream;base64,"', core_js)


def main():
    template, style, core, app, out = (Path(p) for p in sys.argv[1:6])
    page = template.read_text(encoding="utf-8")
    early, core_js = split_wasm(core.read_text(encoding="utf-8"))
    for mark, body in (("/*STYLE*/", style.read_text(encoding="utf-8")),
                       ("/*WASM*/", early),
                       ("/*CORE*/", script_safe(core_js)),
                       ("/*APP*/", script_safe(app.read_text(encoding="utf-8")))):
        if page.count(mark) != 1:
            sys.exit(f"web_inline: {mark} must appear once in {template}")
        before, after = page.split(mark)
        page = before + body + after
    out.write_text(page, encoding="utf-8")


if __name__ == "__main__":
    main()
