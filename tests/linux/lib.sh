# shellcheck shell=bash disable=SC2046  # $(icons) is "x y"
# The helpers of the end-to-end cases (tests/linux/cases/*.sh); see tests/linux/README.
source "$ROOT/tests/linux/desktop.sh"

# libfaketime runs the program's clocks from a given moment and faster, timers included.
FAKETIME_LIB=$(find /usr/lib /usr/lib64 -path '*/faketime/libfaketime.so.1' 2>/dev/null | head -1)
RUN=0
start_hvx() {  # start_hvx [--at 'YYYY-MM-DD HH:MM:SS' RATE] [PROGRAM]: waits for the icon
    require_private_bus
    local clock=()
    if [ "${1:-}" = --at ]; then
        # The sanitizer runtime wants to come first; libfaketime has to. File times stay real.
        clock=(env LD_PRELOAD="$FAKETIME_LIB" FAKETIME="@$2 x$3" NO_FAKE_STAT=1
            ASAN_OPTIONS="verify_asan_link_order=0${ASAN_OPTIONS:+:$ASAN_OPTIONS}")
        shift 3
    fi
    RUN=$((RUN + 1)) HVX_LOG=$WORK/hvx-$RUN.log
    "${clock[@]}" "${1:-$HVX}" >>"$HVX_LOG" 2>&1 & HVX_PID=$!
    wait_until 20 icon_shown || return 1
    # Start-up (settings, hotkeys) is done once its menu opens; on a fast clock a dialog may win.
    [ ${#clock[@]} -gt 0 ] || idle
}
stop_hvx() {  # ends the program if it still runs; true if its log holds no sanitizer report
    [ -n "$HVX_PID" ] && kill "$HVX_PID" 2>/dev/null && { wait_until 10 hvx_gone || kill -9 "$HVX_PID"; }
    HVX_PID=""
    ! grep -qE "ERROR: (Address|Leak)Sanitizer|runtime error:" "$HVX_LOG"
}
hvx_gone() { ! kill -0 "$HVX_PID" 2>/dev/null; }

atspi() { /usr/bin/python3 "$ROOT/tests/linux/atspi.py" "$@"; }  # menus and dialogs (see there)
X11=$ROOT/tests/linux/x11.py  # bells and key grabs (see there)
icons() {  # the centre "x y" of each of the program's icons embedded in the tray
    xwininfo -root -tree | awk '/^        .*\("hvx" "hvx"\)/ { split($NF, p, "+")
        split($(NF - 1), s, /[x+]/); print p[2] + int(s[1] / 2), p[3] + int(s[2] / 2) }'
}
icon_shown() { [ -n "$(icons)" ]; }
menu_items() { atspi menu xdotool mousemove $(icons) click 3; }  # opens the menu; its items
choose() { atspi menu --press "$1" xdotool mousemove $(icons) click 3; }  # choose ITEM
idle() { menu_items >/dev/null && xdotool key Escape; }  # the menu opens: all before is handled
menu_has() { menu_items >"$WORK/menu"; xdotool key Escape; grep -qx "$1" "$WORK/menu"; }

write_conf() {  # write_conf Name=Value...: a settings file holding just these values
    mkdir -p "$(dirname "$CONF")"
    { echo '[Software\Tessaron\HVX]'; printf '%s\n' "$@"; } >"$CONF"
}
conf_are() { local p; for p; do grep -qxF "$p" "$CONF" || return 1; done; }  # Name=Value...
sink_volume_is() { pactl get-sink-volume hvx_sink | grep -q "^Volume: front-left: $1 "; }
sink_muted() { pactl get-sink-mute hvx_sink | grep -q "Mute: ${1:-yes}"; }  # sink_muted [no]

calls() { mock GetCalls | paste -sd';'; }  # the mock logind's calls so far, joined by ;
calls_are() {  # calls_are 'CALL;CALL': once the program is idle, exactly these calls were made
    idle
    [ "$(calls)" = "$1" ] || { echo "    calls: $(calls) (wanted: $1)"; return 1; }
}

PASSED=0 FAILED=0 SKIPPED=0 CASE_OK=1
check() {  # check DESCRIPTION COMMAND...: one line ok/FAIL; a FAIL fails the case
    if "${@:2}"; then echo "  ok    $1"; else echo "  FAIL  $1"; CASE_OK=0; fi
}
run_case() {
    local begin=$SECONDS
    echo "--- $1"
    CASE_OK=1 SKIP_REASON="" HVX_LOG=/dev/null
    mock ClearCalls
    rm -rf "$XDG_CONFIG_HOME/Tessaron" "$XDG_CONFIG_HOME/autostart"
    "$1"
    stop_hvx || check "no sanitizer report in $HVX_LOG" false
    echo "  ($((SECONDS - begin)) s)"
    if [ -n "$SKIP_REASON" ]; then echo "  skip  ($SKIP_REASON)" && ((++SKIPPED))
    elif [ $CASE_OK = 1 ]; then ((++PASSED)); else ((++FAILED)); fi
}
