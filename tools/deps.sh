# Sourced by ./run and ./test: installs the Debian packages that are missing.
# shellcheck shell=bash

VAPORIA_BUILD_PACKAGES=(cmake g++ make pkg-config qt6-base-dev libgl-dev libicu-dev cmark libacl1-dev)
VAPORIA_RUNTIME_PACKAGES=(fonts-ipafont-gothic fonts-noto-cjk qt6-translations-l10n)
VAPORIA_TEST_PACKAGES=(clang libclang-rt-14-dev libgtest-dev libbenchmark-dev
                       xvfb xauth xdotool xclip x11-utils imagemagick python3 openbox
                       at-spi2-core dbus-daemon gir1.2-atspi-2.0 python3-gi
                       libxcb1-dev libxcb-damage0-dev
                       desktop-file-utils appstream lintian dpkg-dev fakeroot locales
                       shared-mime-info xdg-utils libglib2.0-bin poppler-utils)
# The cores in WebAssembly: the compiler, node for the tests, GoogleTest's sources.
VAPORIA_WASM_PACKAGES=(emscripten nodejs googletest)
# The browser edition: its build, and the browsers and drivers its tests run in.
VAPORIA_WEB_PACKAGES=(node-typescript esbuild python3)
VAPORIA_WEB_TEST_PACKAGES=(chromium chromium-driver webkit2gtk-driver xvfb xauth python3-selenium)

vaporia_install_missing() {
    local missing=() pkg
    for pkg in "$@"; do
        if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q 'install ok installed'; then
            missing+=("$pkg")
        fi
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    echo "Installing missing packages: ${missing[*]}"
    local sudo=()
    if [ "$(id -u)" -ne 0 ]; then
        if command -v sudo >/dev/null 2>&1; then sudo=(sudo); else
            echo "These packages are missing and neither root nor sudo is available: ${missing[*]}" >&2
            return 1
        fi
    fi
    "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get update -qq || return 1
    "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}" || return 1
}
