#!/usr/bin/env bash
# Checks what `cmake --install` and CPack make of the program.
# Usage: check_install.sh STEP SOURCE_DIR BUILD_DIR SETTINGS_ROUNDTRIP
#   metadata  the desktop entry and AppStream file validate and agree with each other
#   tree      an install into a DESTDIR holds every expected file
#   settings  on a read-only install, a setting saved through the settings store is found
#             again after a restart, from the user's configuration folder
#   run       the installed program, run read-only, opens its main window under Xvfb
#   mime      a lesson file is of the program's MIME type, which the desktop entry opens
#             (update-mime-database and xdg-mime on a temporary prefix)
#   cli       --help and --version answer on the console without a display; a file named
#             on the command line opens, a missing or hostile one is told and the program runs on
#   deb       the .deb carries the files and dependencies and lintian reports no error
# Exit 77 means skipped.
set -uo pipefail
step=$1 src=$(readlink -f "$2") build=$(readlink -f "$3") roundtrip=$(readlink -f "$4")
app_id=io.github.vaporia.Vaporia

work=$(mktemp -d)
app_pid=; xvfb_pid=
cleanup() {
    [ -n "$app_pid" ] && kill "$app_pid" 2>/dev/null
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
    wait 2>/dev/null
    chmod -R u+w "$work" 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }
skip() { echo "SKIP: $*"; exit 77; }

# A 1024 x 768 server on a display it picks itself, so a server of another test cannot be
# mistaken for ours; used only once a client has connected, since a server of the same number
# that is still ending may take the new one's socket with it.
start_xvfb() {
    local attempt
    for attempt in 1 2 3; do
        : >"$work/display"
        Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$work/display" >"$work/xvfb.log" 2>&1 &
        xvfb_pid=$!
        disp=
        for _ in $(seq 50); do disp=$(head -n1 "$work/display"); [ -n "$disp" ] && break; sleep 0.1; done
        if [ -n "$disp" ]; then
            for _ in $(seq 50); do
                DISPLAY=":$disp" xdotool getmouselocation >/dev/null 2>&1 && { export DISPLAY=":$disp"; return; }
                sleep 0.1
            done
        fi
        kill "$xvfb_pid" 2>/dev/null; wait "$xvfb_pid" 2>/dev/null; xvfb_pid=
    done
    cat "$work/xvfb.log" >&2
    skip "Xvfb could not start"
}
need() { for t in "$@"; do command -v "$t" >/dev/null || skip "$t is not installed"; done; }

# Installs the build into $1 as a system-wide install under /usr.
install_into() {
    DESTDIR="$1" cmake --install "$build" --prefix /usr >"$work/install.log" 2>&1 \
        || { cat "$work/install.log" >&2; fail "cmake --install failed"; }
}

# Width and height of a PNG from its header.
png_size() { od -An -tu1 -j16 -N8 "$1" | awk '{ printf "%dx%d\n", $1*16777216+$2*65536+$3*256+$4, $5*16777216+$6*65536+$7*256+$8 }'; }

# The files a system-wide install must hold, relative to the root.
expected_files=(
    usr/bin/vaporia
    usr/share/applications/vaporia.desktop
    usr/share/metainfo/$app_id.metainfo.xml
    usr/share/icons/hicolor/scalable/apps/vaporia.svg
    usr/share/icons/hicolor/48x48/apps/vaporia.png
    usr/share/icons/hicolor/64x64/apps/vaporia.png
    usr/share/icons/hicolor/128x128/apps/vaporia.png
    usr/share/icons/hicolor/256x256/apps/vaporia.png
    usr/share/man/man1/vaporia.1.gz
    usr/share/doc/vaporia/copyright
    usr/share/doc/vaporia/changelog.gz
    usr/share/mime/packages/vaporia.xml
    usr/share/vaporia/guide/index.html
)
for f in "$src"/docs/images/*.png; do
    expected_files+=("usr/share/vaporia/guide/docs/images/${f##*/}")
done
# The sample lessons, where the program looks for them from its own folder.
for f in "$src"/lessons/*.so1; do
    expected_files+=("usr/share/vaporia/lessons/${f##*/}")
done

# A command prefix that runs as an unprivileged user, so that file permissions bind; empty
# when we are not root anyway.
unprivileged() {
    if [ "$(id -u)" -ne 0 ]; then runas=(); return 0; fi
    runas=(setpriv --reuid=nobody --regid=nogroup --clear-groups)
    "${runas[@]}" true 2>/dev/null && return 0
    runas=(runuser -u nobody --)
    "${runas[@]}" true 2>/dev/null && return 0
    return 1
}

# A copy of the installed tree whose program folder cannot be written, and a home of our own
# for the user who runs it.
readonly_install() {
    unprivileged || skip "running as root and cannot switch to user nobody, so a read-only folder cannot be simulated"
    root="$work/root"
    install_into "$root"
    bin="$root/usr/bin"
    home="$work/home"
    mkdir -p "$home/.config"
    chmod 755 "$work"
    [ ${#runas[@]} -gt 0 ] && chown -R nobody:nogroup "$home"
}
as_user() {
    env -u XDG_RUNTIME_DIR HOME="$home" XDG_CONFIG_HOME="$home/.config" "${runas[@]}" "$@"
}
lock_program_folder() {
    chmod -R a-w "$root"
    as_user test -w "$bin" && skip "the program folder stays writable for the test user"
    return 0
}

case "$step" in
metadata)
    need desktop-file-validate appstreamcli
    out=$(desktop-file-validate "$src/packaging/vaporia.desktop" 2>&1) || fail "desktop-file-validate: $out"
    # A hint too: two main categories list the program twice in the menu.
    [ -z "$out" ] || fail "desktop-file-validate: $out"
    appstreamcli validate --no-net "$src/packaging/$app_id.metainfo.xml" || fail "appstreamcli validate"
    grep -qx "Exec=vaporia %f" "$src/packaging/vaporia.desktop" || fail "desktop entry does not start vaporia with the file"
    grep -qx "MimeType=application/x-vaporia-scenario;" "$src/packaging/vaporia.desktop" \
        || fail "desktop entry does not open scenario files"
    grep -q '<mediatype>application/x-vaporia-scenario</mediatype>' "$src/packaging/$app_id.metainfo.xml" \
        || fail "metainfo does not list the scenario type"
    grep -qx "Icon=vaporia" "$src/packaging/vaporia.desktop" || fail "desktop entry names another icon"
    grep -q "<id>$app_id</id>" "$src/packaging/$app_id.metainfo.xml" || fail "metainfo id differs from its file name"
    grep -q '<launchable type="desktop-id">vaporia.desktop</launchable>' \
        "$src/packaging/$app_id.metainfo.xml" || fail "metainfo launches another desktop entry"
    # The AppStream screenshots are the README's pictures.
    for image in $(grep -o 'docs/images/[a-z0-9_]*\.png' "$src/README.md" | sort -u); do
        grep -q "/$image</image>" "$src/packaging/$app_id.metainfo.xml" || fail "metainfo lacks the README's $image"
    done
    for size in 48 64 128 256; do
        got=$(png_size "$src/packaging/icons/vaporia-$size.png")
        [ "$got" = "${size}x$size" ] || fail "vaporia-$size.png is $got"
    done
    echo "metadata: passed"
    ;;

tree)
    install_into "$work/root"
    for f in "${expected_files[@]}"; do
        [ -f "$work/root/$f" ] || fail "missing after install: $f"
    done
    [ -x "$work/root/usr/bin/vaporia" ] || fail "the program is not executable"
    ls "$src"/lessons/*.so1 >/dev/null 2>&1 || fail "no sample lessons in $src/lessons"
    for f in "$src"/lessons/*.so1; do
        cmp -s "$f" "$work/root/usr/share/vaporia/lessons/${f##*/}" \
            || fail "installed lesson ${f##*/} differs from the committed one"
    done
    if command -v readelf >/dev/null; then
        readelf -d "$work/root/usr/bin/vaporia" | grep -qE 'RPATH|RUNPATH' \
            && fail "the installed program still points into the build folder"
    fi
    # Nothing of the tests or the build comes along.
    extra=$(cd "$work/root" && find . -type f | sed 's|^\./||' | sort \
            | grep -vxF -f <(printf '%s\n' "${expected_files[@]}"))
    [ -z "$extra" ] || fail "unexpected files installed: $extra"
    echo "install tree: passed"
    ;;

settings)
    readonly_install
    cp "$roundtrip" "$bin/settings_roundtrip"
    # A school may place its own starting settings beside the program.
    printf '[DATA]\r\ncontainer=30\r\nmol=3\r\n' >"$bin/CONFIG.INI"
    lock_program_folder
    before=$(cd "$root" && find . -printf '%p %s %T@\n' | sort)
    school=$(cat "$bin/CONFIG.INI")

    out=$(as_user "$bin/settings_roundtrip" load) || fail "first load failed: $out"
    grep -qx "mol=3" <<<"$out" || fail "the school's CONFIG.INI was not read: $out"

    out=$(as_user "$bin/settings_roundtrip" save 7 2>&1) || fail "save failed: $out"
    user_file="$home/.config/vaporia/CONFIG.INI"
    [ -f "$user_file" ] || fail "no CONFIG.INI in the user's configuration folder ($out)"
    grep -q "wrote=$user_file" <<<"$out" || fail "saved elsewhere: $out"

    # A restart: a new process finds the saved value.
    out=$(as_user "$bin/settings_roundtrip" load) || fail "second load failed: $out"
    grep -qx "mol=7" <<<"$out" || fail "the saved setting was not found after a restart: $out"
    grep -q "read=$user_file" <<<"$out" || fail "read from elsewhere after the save: $out"

    after=$(cd "$root" && find . -printf '%p %s %T@\n' | sort)
    [ "$before" = "$after" ] || fail "the program folder changed: $(diff <(echo "$before") <(echo "$after"))"
    [ "$(cat "$bin/CONFIG.INI")" = "$school" ] || fail "the school's CONFIG.INI was changed"
    echo "read-only install settings: passed"
    ;;

run)
    need Xvfb xdotool
    readonly_install
    lock_program_folder
    before=$(cd "$root" && find . -printf '%p %s %T@\n' | sort)

    start_xvfb

    # Started from elsewhere, as a menu would start it.
    (cd "$home" && unset QT_QPA_PLATFORM && exec env -u XDG_RUNTIME_DIR HOME="$home" \
        XDG_CONFIG_HOME="$home/.config" DISPLAY=":$disp" "${runas[@]}" "$bin/vaporia") \
        >"$work/app.log" 2>&1 &
    app_pid=$!
    win=
    for _ in $(seq 100); do
        win=$(xdotool search --onlyvisible --name '蒸気圧曲線' 2>/dev/null | head -n1)
        [ -n "$win" ] && break
        kill -0 "$app_pid" 2>/dev/null || break
        sleep 0.1
    done
    [ -n "$win" ] || { cat "$work/app.log" >&2; fail "the installed program showed no main window"; }
    sleep 0.5
    kill -0 "$app_pid" 2>/dev/null || { cat "$work/app.log" >&2; fail "the installed program ended"; }
    after=$(cd "$root" && find . -printf '%p %s %T@\n' | sort)
    [ "$before" = "$after" ] || fail "the running program wrote into its folder"
    echo "installed program runs: passed"
    ;;

mime)
    need update-mime-database xdg-mime gio update-desktop-database
    install_into "$work/root"
    share="$work/root/usr/share"
    update-mime-database "$share/mime" || fail "update-mime-database"
    update-desktop-database "$share/applications" || fail "update-desktop-database"
    lesson=$(ls "$src"/lessons/*.so1 | head -n1)
    cp "$lesson" "$work/授業 1.so1"
    cp "$lesson" "$work/LESSON.SO1"
    # xdg-mime asks gio, which reads the shared MIME database of XDG_DATA_DIRS.
    xdg() { env XDG_CURRENT_DESKTOP=GNOME XDG_DATA_DIRS="$share:/usr/share" XDG_DATA_HOME="$work/data" \
                HOME="$work" xdg-mime "$@" 2>/dev/null; }
    for f in "$work/授業 1.so1" "$work/LESSON.SO1"; do
        got=$(xdg query filetype "$f")
        [ "$got" = application/x-vaporia-scenario ] || fail "${f##*/} is of type '$got'"
    done
    grep -q 'xml:lang="ja"' "$share/mime/packages/vaporia.xml" || fail "no Japanese comment"
    grep -q '<icon name="vaporia"/>' "$share/mime/packages/vaporia.xml" || fail "the type has not the program's icon"
    got=$(xdg query default application/x-vaporia-scenario)
    [ "$got" = vaporia.desktop ] || fail "scenario files open with '$got'"
    echo "MIME type: passed"
    ;;

cli)
    need Xvfb xdotool
    install_into "$work/root"
    bin="$work/root/usr/bin/vaporia"
    # No display at all: the answer comes before any window system is asked for.
    nodisplay() { env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM HOME="$work" timeout 10 "$bin" "$@"; }
    out=$(nodisplay --help 2>&1) || fail "--help failed: $out"
    grep -q -- "--version" <<<"$out" || fail "--help lists no --version: $out"
    grep -q "FILE.so1" <<<"$out" || fail "--help names no file: $out"
    out=$(nodisplay --version 2>&1) || fail "--version failed: $out"
    grep -qx "vaporia [0-9.]*" <<<"$out" || fail "--version said: $out"
    nodisplay --no-such-option >/dev/null 2>&1 && fail "an unknown option was accepted"

    start_xvfb
    mkdir -p "$work/home"
    lesson=$(ls "$src"/lessons/*.so1 | head -n1)
    cp "$lesson" "$work/lesson.so1"
    head -c 100 "$lesson" >"$work/short.so1"
    mkfifo "$work/fifo.so1"
    # Starts the program with $1 and waits for a window whose name matches $2. A server
    # whose socket an ending one took with it is started anew, and the program with it.
    start_with() {
        local attempt
        for attempt in 1 2 3; do
            (cd "$work/home" && exec env -u QT_QPA_PLATFORM HOME="$work/home" XDG_CONFIG_HOME="$work/home/.config" \
                DISPLAY=":$disp" "$bin" "$1") >"$work/app.log" 2>&1 &
            app_pid=$!
            win=
            for _ in $(seq 100); do
                win=$(xdotool search --onlyvisible --name "$2" 2>/dev/null | head -n1)
                [ -n "$win" ] && break
                kill -0 "$app_pid" 2>/dev/null || break
                sleep 0.1
            done
            [ -n "$win" ] && return
            grep -q "could not connect to display" "$work/app.log" || return
            stop_app
            kill "$xvfb_pid" 2>/dev/null; wait "$xvfb_pid" 2>/dev/null; xvfb_pid=
            start_xvfb
        done
    }
    stop_app() { kill "$app_pid" 2>/dev/null; wait "$app_pid" 2>/dev/null; app_pid=; }
    # The caption holds the lesson's title after the program's name.
    start_with "$work/lesson.so1" '蒸気圧曲線　-　.*[^ ]'
    [ -n "$win" ] || { cat "$work/app.log" >&2; fail "the lesson's title is not in the caption"; }
    stop_app
    for bad in "$work/missing.so1" "$work/short.so1" "$work/fifo.so1"; do
        start_with "$bad" "^蒸気圧曲線$"
        [ -n "$win" ] || { cat "$work/app.log" >&2; fail "no message for ${bad##*/}"; }
        xdotool search --onlyvisible --name '蒸気圧曲線　-　' >/dev/null || fail "no main window behind the message for ${bad##*/}"
        kill -0 "$app_pid" 2>/dev/null || fail "the program ended on ${bad##*/}"
        stop_app
    done
    echo "command line: passed"
    ;;

deb)
    need cpack dpkg-deb lintian
    [ -f "$build/CPackConfig.cmake" ] || fail "no CPackConfig.cmake in $build"
    cpack -G DEB --config "$build/CPackConfig.cmake" -B "$work/pkg" >"$work/cpack.log" 2>&1 \
        || { cat "$work/cpack.log" >&2; fail "cpack failed"; }
    deb=$(find "$work/pkg" -maxdepth 1 -name 'vaporia_*.deb' | head -n1)
    [ -n "$deb" ] || fail "cpack made no vaporia_*.deb"

    depends=$(dpkg-deb -f "$deb" Depends)
    echo "Depends: $depends"
    for pkg in libqt6widgets6 libqt6gui6 libqt6core6 libqt6printsupport6 qt6-qpa-plugins \
               "fonts-ipafont-gothic | fonts-noto-cjk" qt6-translations-l10n; do
        grep -qF "$pkg" <<<"$depends" || fail "Depends lacks $pkg"
    done
    files=$(dpkg-deb -c "$deb" | awk '{ print $NF }' | sed 's|^\./||')
    for f in "${expected_files[@]}"; do
        grep -qxF "$f" <<<"$files" || fail "the package lacks $f"
    done

    # As root lintian adds a notice that it is not recommended; only E: lines are findings.
    lintian --info "$deb" >"$work/lintian.log" 2>&1
    cat "$work/lintian.log"
    grep -q '^E:' "$work/lintian.log" && fail "lintian reports errors"
    echo "package: passed ($(grep -c '^W:' "$work/lintian.log") lintian warnings)"
    ;;

*)
    echo "unknown step: $step" >&2; exit 2 ;;
esac
