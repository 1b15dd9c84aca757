#!/usr/bin/env bash
# Builds HVX and starts it.
#
#   scripts/run.sh [--windows [--host-tray]]
#
#   (default)    the native Linux program, release build: build/release/src/platform/linux/hvx
#   --windows    HVX.exe under Wine
#   --host-tray  Windows only: no Wine desktop window; the icon goes to the host's notification
#                area (needs a desktop with one)
#
# With $DISPLAY set, the program shows there (its icon in the desktop's notification area). Without
# it, a private X server (Xvfb) is started with a tray (trayer, top right, for the Linux program)
# and a VNC server on localhost; connect a VNC viewer to the address printed. Ctrl+C ends
# everything. The Linux program keeps its settings in ~/.config/Tessaron/HVX.conf; the Wine prefix
# (and so HVX.exe's settings) is kept in build/windows/wine-run between runs.
set -uo pipefail

ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$ROOT" || exit 1
# shellcheck source=scripts/lib/wine.sh
source "$ROOT/scripts/lib/wine.sh"

platform=linux host_tray=0
while (($#)); do
    case $1 in
    --windows) platform=windows; shift ;;
    --host-tray) host_tray=1; shift ;;
    -h | --help) sed -n '2,15p' "$0"; exit 0 ;;
    *) echo "usage: $0 [--windows [--host-tray]]" >&2; exit 2 ;;
    esac
done

scripts/install-deps.sh || exit 1

XVFB_PID='' VNC_PID='' TRAY_PID='' HVX_PID=''
cleanup() {
    [[ -n ${WINEPREFIX:-} ]] && wineserver -k 2>/dev/null
    [[ -n $HVX_PID ]] && kill "$HVX_PID" 2>/dev/null
    [[ -n $VNC_PID ]] && kill "$VNC_PID" 2>/dev/null
    [[ -n $TRAY_PID ]] && kill "$TRAY_PID" 2>/dev/null
    [[ -n $XVFB_PID ]] && kill "$XVFB_PID" 2>/dev/null
    wait 2>/dev/null
}
trap cleanup EXIT
trap 'exit 130' INT TERM

# A display to show the program on: the caller's, or a private one reached over VNC (with a tray
# host when asked: need_display --tray).
need_display() {
    if [[ -n ${DISPLAY:-} ]]; then
        echo "run: using display $DISPLAY"
        return 0
    fi
    hvx_start_xvfb /dev/null || { echo "run: cannot start Xvfb" >&2; return 1; }
    XVFB_PID=$HVX_XVFB_PID
    if [[ ${1:-} == --tray ]]; then
        trayer --edge top --align right --widthtype pixel --width 200 --height 32 \
            >/dev/null 2>&1 &
        TRAY_PID=$!
    fi
    local port
    for port in $(seq 5900 5950); do
        x11vnc -display "$DISPLAY" -localhost -rfbport "$port" -forever -shared -nopw -quiet \
            >/dev/null 2>&1 &
        VNC_PID=$!
        sleep 1
        if kill -0 "$VNC_PID" 2>/dev/null; then
            echo "run: no \$DISPLAY; HVX runs on the private display $DISPLAY."
            echo "run: connect a VNC viewer to localhost:$port to see it (Ctrl+C here ends it)."
            return 0
        fi
    done
    echo "run: cannot start x11vnc" >&2
    return 1
}

build() {  # build PRESET TARGET WHAT: configures and builds one target, log in build/logs
    echo "run: building $3"
    mkdir -p build/logs
    local log=build/logs/run-$1-build.log
    if ! { cmake --preset "$1" && cmake --build "build/$1" -j2 --target "$2"; } >"$log" 2>&1; then
        tail -n 40 "$log"
        return 1
    fi
}

run_windows() {
    build windows HVX HVX.exe || return 1
    local exe=$ROOT/build/windows/src/platform/win32/HVX.exe
    export WINEPREFIX=$ROOT/build/windows/wine-run
    hvx_wine_env
    if [[ ! -f $WINEPREFIX/system.reg ]]; then
        echo "run: creating the Wine prefix $WINEPREFIX (once, about 10 s)"
        hvx_make_prefix "$WINEPREFIX" || { echo "run: see $WINEPREFIX.log" >&2; return 1; }
    fi
    need_display || return 1
    echo "run: starting $exe"
    if ((host_tray)); then
        wine "$exe"
    else
        # Wine's own 1024x768 desktop with a taskbar: the icon sits at its bottom right.
        wine explorer "/desktop=shell,1024x768" "$(winepath -w "$exe" 2>/dev/null)"
    fi
    # HVX's Exit ends HVX; the desktop window stays until its last program is gone.
    wineserver -w
}

run_linux() {
    build release hvx "the Linux program (release)" || return 1
    local program=$ROOT/build/release/src/platform/linux/hvx
    need_display --tray || return 1
    echo "run: starting $program (right-click its icon for the menu)"
    echo "run: its power actions go to this machine's logind, as they would installed"
    "$program" &
    HVX_PID=$!
    wait "$HVX_PID"
    local status=$?
    HVX_PID=''
    return "$status"
}

case $platform in
linux) run_linux ;;
windows) run_windows ;;
esac
