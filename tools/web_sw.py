#!/usr/bin/python3
"""Writes a build's service worker, DIR/sw.js: the template with the list of the files the
worker may store, each with its SHA-256, and a version mark made of the two.

Usage: web_sw.py TEMPLATE DIR FILE...
"""
import hashlib
import json
import sys
from pathlib import Path


def main():
    if len(sys.argv) < 4:
        sys.exit(__doc__.strip())
    template, folder, names = Path(sys.argv[1]), Path(sys.argv[2]), sys.argv[3:]
    code = template.read_text(encoding="utf-8")
    files = {n: hashlib.sha256((folder / n).read_bytes()).hexdigest() for n in names}
    listed = json.dumps(files, indent=2)
    # Any change of the worker or of a file is a new version, with a cache of its own.
    build = hashlib.sha256((code + listed).encode()).hexdigest()[:16]
    for mark in ("/*FILES*/ {}", "/*BUILD*/"):
        if code.count(mark) != 1:
            sys.exit(f"web_sw: {mark} must appear once in {template}")
    code = code.replace("/*FILES*/ {}", listed).replace("/*BUILD*/", build)
    (folder / "sw.js").write_text(code, encoding="utf-8")


if __name__ == "__main__":
    main()
