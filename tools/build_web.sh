#!/usr/bin/env bash
# Builds the browser edition: build-web/vaporia.html, one file with the cores (WebAssembly),
# the pictures and the sample lessons inside, plus the manifest, service worker and icons
# that a web server hands out beside it. Installs what is missing from Debian's packages.
set -euo pipefail
cd "$(dirname "$0")/.."
. tools/deps.sh
vaporia_install_missing "${VAPORIA_WASM_PACKAGES[@]}" "${VAPORIA_WEB_PACKAGES[@]}"

out=build-web
mkdir -p "$out" web/gen
core=$(tools/build_wasm.sh | tail -n 1)
[ -f "$core" ] || { echo "build_web: $core was not built" >&2; exit 1; }

/usr/bin/python3 tools/web_background.py web/gen/background.png
# tsc only checks the types; esbuild bundles.
tsc -p web
esbuild web/src/main.ts --bundle --format=iife --target=es2020 --minify \
    --loader:.png=dataurl --log-level=warning --outfile="$out/app.js"
/usr/bin/python3 tools/web_inline.py web/index.html web/style.css "$core" "$out/app.js" "$out/vaporia.html"
rm -f "$out/app.js"

cp web/manifest.webmanifest "$out/"
cp packaging/icons/vaporia-128.png packaging/icons/vaporia-256.png "$out/"
# The worker stores these files and no others, each only as this build made it.
/usr/bin/python3 tools/web_sw.py web/sw.js "$out" vaporia.html manifest.webmanifest vaporia-128.png vaporia-256.png
echo "Built $out/vaporia.html ($(stat -c %s "$out/vaporia.html") bytes)"
