#!/usr/bin/python3
"""Serves the browser edition's folder (build-web/) as a small school server should: its files
and nothing else, no folder listing, answers that make an update reach the browsers at once,
and headers that keep the page from running anything it did not bring.

Usage: serve_web.py [--dir DIR] [--host HOST] [--port PORT]
  HOST: 127.0.0.1 (this computer only) unless --host or VAPORIA_WEB_HOST says otherwise;
        0.0.0.0 serves every network this computer is on.
  PORT: 8419 unless --port or VAPORIA_WEB_PORT says otherwise; 0 takes a free one.
Prints the page's address, then serves until Ctrl+C.
"""
import argparse
import base64
import email.utils
import hashlib
import http.server
import os
import re
import socket
import sys
import urllib.parse
from pathlib import Path

TYPES = {
    ".html": "text/html; charset=utf-8",
    ".js": "text/javascript; charset=utf-8",
    ".webmanifest": "application/manifest+json",
    ".png": "image/png",
    ".so1": "application/octet-stream",
}
PAGE = "vaporia.html"
INLINE = re.compile(rb"<(script|style)>(.*?)</\1>", re.S)
# Everything else, the worker included: the program's own origin only.
OTHER_POLICY = "default-src 'self'; object-src 'none'; base-uri 'none'"


def page_policy(html):
    """The page's policy: its own inline scripts and style by their hashes, nothing injected.
    'wasm-unsafe-eval' lets it compile its cores; 'unsafe-eval' stands in for it in Safari
    before 16, which knows no other way to allow WebAssembly (the page never evaluates text)."""
    hashes = {"script": [], "style": []}
    for kind, body in INLINE.findall(html):
        digest = base64.b64encode(hashlib.sha256(body).digest()).decode()
        hashes[kind.decode()].append(f"'sha256-{digest}'")
    return "; ".join([
        "default-src 'self'",
        "script-src " + " ".join(hashes["script"] + ["'wasm-unsafe-eval'", "'unsafe-eval'"]),
        "style-src " + " ".join(hashes["style"] or ["'none'"]),
        "img-src 'self' data: blob:",
        "worker-src 'self'",
        "manifest-src 'self'",
        "object-src 'none'",
        "base-uri 'none'",
        "form-action 'none'",
    ])


class Handler(http.server.BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"
    timeout = 30  # a client that stops sending frees its thread
    root = Path(".")
    policies = {}  # (size, mtime) of the page -> its policy

    def version_string(self):
        return "Vaporia"

    def end_headers(self):
        self.send_header("X-Content-Type-Options", "nosniff")
        self.send_header("Referrer-Policy", "no-referrer")
        if not getattr(self, "policy_sent", False):
            self.send_header("Content-Security-Policy", OTHER_POLICY)
        self.policy_sent = False
        super().end_headers()

    def log_message(self, format, *args):
        # A request line may carry control characters; the log shows them escaped.
        line = (format % args).encode("unicode_escape", "backslashreplace").decode("ascii")
        sys.stderr.write(f"{self.address_string()} - {line}\n")

    def do_HEAD(self):
        self.answer(body=False)

    def do_GET(self):
        self.answer(body=True)

    def file(self):
        """The served file the request names, or an error code and its reason."""
        raw = self.path.split("?", 1)[0].split("#", 1)[0]
        if not raw.startswith("/"):
            return 400, "Bad request path"
        try:
            path = urllib.parse.unquote(raw, errors="strict")
        except UnicodeDecodeError:
            return 400, "Bad request path"
        if "\0" in path or any(ord(c) < 0x20 for c in path):
            return 400, "Bad request path"
        name = path[1:]
        # One flat folder: no subfolders, no hidden files, no way out of it.
        if not name or "/" in name or "\\" in name or name.startswith("."):
            return 404, "Not found"
        full = self.root / name
        try:
            if full.is_symlink() or not full.is_file():
                return 404, "Not found"
        except (OSError, ValueError):
            return 404, "Not found"
        return full, None

    def answer(self, body):
        if self.path.split("?", 1)[0] == "/":
            self.send_response(302)
            self.send_header("Location", "/" + PAGE)
            self.send_header("Content-Length", "0")
            self.end_headers()
            return
        full, reason = self.file()
        if reason:
            self.send_error(full, reason)
            return
        try:
            data = full.read_bytes()
            stat = full.stat()
        except OSError:
            self.send_error(404, "Not found")
            return
        etag = '"%s"' % hashlib.sha256(data).hexdigest()[:32]
        if etag in [t.strip() for t in self.headers.get("If-None-Match", "").split(",")]:
            self.send_response(304)
            self.send_header("ETag", etag)
            self.send_header("Cache-Control", "no-cache")
            self.end_headers()
            return
        self.send_response(200)
        self.send_header("Content-Type", TYPES.get(full.suffix.lower(), "application/octet-stream"))
        self.send_header("Content-Length", str(len(data)))
        # Every file is asked for again on each use and answered 304 while unchanged: a new
        # version reaches the pupils at their next visit.
        self.send_header("Cache-Control", "no-cache")
        self.send_header("ETag", etag)
        self.send_header("Last-Modified", email.utils.formatdate(stat.st_mtime, usegmt=True))
        if full.suffix.lower() == ".html":
            key = (full.name, stat.st_size, stat.st_mtime_ns)
            if key not in self.policies:
                self.policies[key] = page_policy(data)
            self.send_header("Content-Security-Policy", self.policies[key])
            self.policy_sent = True
        self.end_headers()
        if body:
            self.wfile.write(data)


class Server(http.server.ThreadingHTTPServer):
    daemon_threads = True

    def handle_error(self, request, client_address):
        # One line, no traceback: a client that went away is no news.
        error = sys.exc_info()[1]
        if not isinstance(error, (ConnectionError, TimeoutError, socket.timeout)):
            sys.stderr.write(f"{client_address[0]} - {type(error).__name__}: {error}\n")


def main():
    parser = argparse.ArgumentParser(description="Serves the browser edition's folder.")
    parser.add_argument("--dir", default=str(Path(__file__).resolve().parents[1] / "build-web"))
    parser.add_argument("--host", default=os.environ.get("VAPORIA_WEB_HOST") or "127.0.0.1")
    parser.add_argument("--port", type=int, default=int(os.environ.get("VAPORIA_WEB_PORT") or 8419))
    args = parser.parse_args()
    root = Path(args.dir).resolve()
    if not (root / PAGE).is_file():
        sys.exit(f"serve_web: {root / PAGE} is missing: run tools/build_web.sh first")
    Handler.root = root
    family = socket.AF_INET6 if ":" in args.host else socket.AF_INET
    Server.address_family = family
    try:
        server = Server((args.host, args.port), Handler)
    except OSError as e:
        sys.exit(f"serve_web: cannot listen on {args.host} port {args.port}: {e.strerror}")
    port = server.server_address[1]
    shown = "127.0.0.1" if args.host in ("127.0.0.1", "localhost") else (
        socket.gethostname() if args.host in ("0.0.0.0", "::") else args.host)
    if family == socket.AF_INET6 and shown == args.host:
        shown = f"[{shown}]"
    print(f"Vaporia (browser edition): http://{shown}:{port}/{PAGE}", flush=True)
    if args.host not in ("127.0.0.1", "localhost", "::1"):
        print("Served to the network: every computer that reaches this one can open it.", flush=True)
    try:
        server.serve_forever()
    except KeyboardInterrupt:
        pass
    finally:
        server.server_close()


if __name__ == "__main__":
    main()
