# shellcheck shell=bash
# Wine and X helpers shared by scripts/run.sh and tests/win32/run.sh. Source it; it sets nothing
# until a function is called.

# The environment every Wine process of ours runs with: quiet, no Mono or Gecko installers, no menu
# entries written to the host.
hvx_wine_env() {
    export WINEDEBUG=${WINEDEBUG:--all}
    export WINEDLLOVERRIDES='mscoree,mshtml=,winemenubuilder.exe=d'
    export WINEARCH=win64
    unset WINESERVER WINELOADER
}

# hvx_make_prefix PATH [--virtual-desktop]: creates a 64-bit prefix headless (about 10 s).
# --virtual-desktop makes every program of the prefix run inside Wine's 1024x768 desktop window
# "shell" (with a taskbar and notification area): without it, on an X server without a window
# manager, dialogs have no caption, closing one takes seconds and keys only reach the window under
# the pointer. Wine's own fonts are linked into C:\windows\Fonts, or captions draw wrongly. A
# crash ends the program instead of opening a crash dialog. Returns non-zero on failure; the log
# is PATH.log.
hvx_make_prefix() {
    local prefix=$1 desktop=${2:-}
    rm -rf "$prefix"
    mkdir -p "$prefix"
    (
        hvx_wine_env
        export WINEPREFIX=$prefix
        DISPLAY='' timeout 300 wineboot -i >"$prefix.log" 2>&1 || exit 1
        local reg=$prefix/hvx-setup.reg
        {
            printf 'REGEDIT4\n\n'
            local key='[HKEY_CURRENT_USER\Software\Wine'
            printf '%s\\WineDbg]\n"ShowCrashDialog"=dword:00000000\n\n' "$key"
            printf '%s\\Drivers]\n"Audio"="alsa"\n\n' "$key"
            if [[ $desktop == --virtual-desktop ]]; then
                printf '%s\\Explorer]\n"Desktop"="shell"\n\n' "$key"
                printf '%s\\Explorer\\Desktops]\n"shell"="1024x768"\n\n' "$key"
            fi
        } >"$reg"
        DISPLAY='' timeout 120 wine regedit /S "Z:${reg//\//\\}" >>"$prefix.log" 2>&1 || exit 1
        rm -f "$reg"
        timeout 60 wineserver -w
        local font
        for font in /usr/share/wine/fonts/*.ttf; do
            [[ -f $font ]] && ln -sf "$font" "$prefix/drive_c/windows/Fonts/${font##*/}"
        done
        exit 0
    )
}

# hvx_start_xvfb LOGFILE: starts Xvfb on the first free display from :90 up; sets DISPLAY and
# HVX_XVFB_PID.
hvx_start_xvfb() {
    local log=${1:-/dev/null} n
    HVX_XVFB_PID=''
    for n in $(seq 90 140); do
        [[ -e /tmp/.X$n-lock || -e /tmp/.X11-unix/X$n ]] && continue
        Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >"$log" 2>&1 &
        HVX_XVFB_PID=$!
        for _ in $(seq 50); do
            if xdpyinfo -display ":$n" >/dev/null 2>&1; then
                export DISPLAY=:$n
                return 0
            fi
            kill -0 "$HVX_XVFB_PID" 2>/dev/null || break
            sleep 0.1
        done
        kill "$HVX_XVFB_PID" 2>/dev/null
        wait "$HVX_XVFB_PID" 2>/dev/null
        HVX_XVFB_PID=''
    done
    return 1
}
