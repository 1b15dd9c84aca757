#!/usr/bin/env bash
# End-to-end tests of the Linux program, run against a private desktop: Xvfb with a tray host
# (trayer), a PulseAudio daemon with a null sink behind ALSA's "default" device, a private
# system bus with a mock logind (no power call can reach this machine), and private HOME and
# XDG folders.
#
#   tests/linux/run.sh [path/to/hvx]      (default: build/native/src/platform/linux/hvx,
#                                          or $HVX_BIN)
# HVX_KEEP=1 keeps the work folder (logs, settings, screenshots) for a look afterwards;
# HVX_CASES="case_..." runs only those cases.
set -u

ROOT=$(cd "$(dirname "$0")/../.." && pwd)
HVX=${1:-${HVX_BIN:-$ROOT/build/native/src/platform/linux/hvx}}
if [ ! -x "$HVX" ]; then
    echo "run.sh: no program at $HVX (build the native or release preset first)" >&2
    exit 2
fi
HVX=$(realpath "$HVX")
BUILD=${HVX%/src/platform/linux/hvx}
XHELPER=${HVX_XHELPER:-$BUILD/tests/linux/hvx_xhelper}
LINUX_TESTS=${HVX_LINUX_TESTS:-$BUILD/tests/linux/hvx_linux_tests}
# One instance per machine: a program already running here would turn every start into a silent
# second instance.
MARKER=$(sed -n 's/^ *"Global\\\\\({[-0-9A-F]*}\)";$/\1/p' "$ROOT/src/resources/Resource.h")
if [ -n "$MARKER" ] && grep -qF "@$MARKER" /proc/net/unix 2>/dev/null; then
    echo "run.sh: HVX is already running on this machine (one instance per machine); end it first" >&2
    exit 2
fi
source "$ROOT/tests/linux/desktop.sh"

# --- driving the program -------------------------------------------------------------------
RUN=0
# libfaketime runs a program's clocks from a given moment and faster, its timers and sleeps
# included: the scheduler's minute tick then comes after seconds, in a known minute.
FAKETIME_LIB=$(find /usr/lib /usr/lib64 -path '*/faketime/libfaketime.so.1' 2>/dev/null | head -1)
start_hvx() {  # start_hvx [--at 'YYYY-MM-DD HH:MM:SS' [--rate N]] [PROGRAM]: waits for the icon
    require_private_bus
    local at='' rate=1 clock=() out
    while [ $# -gt 0 ]; do
        case $1 in
        --at) at=$2; shift 2 ;;
        --rate) rate=$2; shift 2 ;;
        *) break ;;
        esac
    done
    local program=${1:-$HVX}
    if [ -n "$at" ]; then
        [ -n "$FAKETIME_LIB" ] || { echo "    no libfaketime (package faketime)"; return 1; }
        # The sanitizer runtime wants to come first; libfaketime has to, to see the clock calls.
        # File times stay real: shifted ones would make fontconfig rebuild its caches.
        clock=(env LD_PRELOAD="$FAKETIME_LIB" FAKETIME="@$at x$rate" NO_FAKE_STAT=1
            ASAN_OPTIONS="verify_asan_link_order=0${ASAN_OPTIONS:+:$ASAN_OPTIONS}")
    fi
    RUN=$((RUN + 1))
    HVX_LOG=$WORK/hvx-$RUN.log
    out=$("$XHELPER" time-to-icon "${clock[@]}" /bin/sh -c 'exec "$0" >>"$1" 2>&1' "$program" \
        "$HVX_LOG") || return 1
    HVX_PID=${out##* } START_MS=${out%% *}
    sleep 0.3  # the hotkeys are registered right after the icon
}

sanitizer_clean() {
    ! grep -qE "ERROR: (Address|Leak)Sanitizer|runtime error:" "$HVX_LOG"
}

stop_hvx() {  # stop_hvx: kills the program if it still runs; true if it left a clean log
    if [ -n "$HVX_PID" ] && kill -0 "$HVX_PID" 2>/dev/null; then
        kill "$HVX_PID"
        wait_until 10 sh -c "! kill -0 $HVX_PID" || kill -9 "$HVX_PID"
    fi
    HVX_PID=""
    sanitizer_clean
}

hvx_gone() { ! kill -0 "$HVX_PID" 2>/dev/null; }

# Menu items, counted from the top without separators.
# shellcheck disable=SC2034  # the whole menu, used or not
M_AUTO=1 M_SHUTDOWN=2 M_RESTART=3 M_LOGOFF=4 M_HIBERNATE=5 M_STANDBY=6 M_SAVE=7 M_USE=8
# shellcheck disable=SC2034
M_RESTORE=9 M_MUTE=10 M_SETTINGS=11 M_ADVANCED=12 M_HELP=13 M_ABOUT=14 M_EXIT=15

open_menu() {  # right-clicks the icon; true when the menu shows (its geometry in MENU)
    local x y
    read -r x y < <("$XHELPER" icon-pos) || return 1
    xdotool mousemove "$x" "$y" click 3
    MENU=$("$XHELPER" popup "${1:-10000}")
}

pick() {  # pick N: chooses the Nth item of the open menu with the keyboard
    local keys=()
    for ((i = 0; i < $1; ++i)); do keys+=(Down); done
    xdotool key --delay 30 "${keys[@]}" Return
}

menu_refused() {
    ! open_menu 800 || { xdotool key Escape; return 1; }
}

choose() {  # choose N: opens the menu and picks item N
    open_menu && pick "$1"
}

write_conf() {  # write_conf Name=Value...: a settings file holding just these values
    mkdir -p "$(dirname "$CONF")"
    { echo '[Software\Tessaron\HVX]'; printf '%s\n' "$@"; } >"$CONF"
}

conf_value() { sed -n "s/^$1=//p" "$CONF"; }
conf_is() { [ "$(conf_value "$1")" = "$2" ]; }  # (a command, so that wait_until reads afresh)

sink_volume() { pactl get-sink-volume hvx_sink | sed -n 's/^Volume: front-left: \([0-9]*\).*/\1/p'; }
source_volume() { pactl get-source-volume hvx_source | sed -n 's/^Volume: front-left: \([0-9]*\).*/\1/p'; }
sink_muted() { pactl get-sink-mute hvx_sink | grep -q 'Mute: yes'; }
sink_unmuted() { pactl get-sink-mute hvx_sink | grep -q 'Mute: no'; }
volumes_are() {  # volumes_are SINK [SOURCE]
    [ "$(sink_volume)" = "$1" ] && { [ $# = 1 ] || [ "$(source_volume)" = "$2" ]; }
}

calls_at_least() { [ "$(mock GetCalls | wc -l)" -ge "$1" ]; }
calls_are() {  # calls_are EXPECTED...: the mock saw exactly these calls, in order
    local want got
    want=$(printf '%s\n' "$@")
    wait_until 5 calls_at_least $#
    sleep 0.3  # a second call would arrive now
    got=$(mock GetCalls)
    [ "$got" = "$want" ] || { echo "    calls: ${got:-<none>} (wanted: $want)"; return 1; }
}
no_calls() {
    sleep 0.7
    [ -z "$(mock GetCalls)" ] || { echo "    calls: $(mock GetCalls)"; return 1; }
}

shot() { import -window root "$WORK/shots/$1.png" 2>/dev/null; }

PASSED=0 FAILED=0 SKIPPED=0 CASE_OK=1
check() {  # check DESCRIPTION COMMAND...
    local what=$1
    shift
    if "$@"; then
        echo "  ok    $what"
    else
        echo "  FAIL  $what"
        CASE_OK=0
    fi
}
run_case() {
    local begin=$SECONDS
    echo "--- $1"
    CASE_OK=1
    SKIP_REASON=""
    mock ClearCalls
    "$1"
    stop_hvx >/dev/null 2>&1 || true
    echo "  ($((SECONDS - begin)) s)"
    if [ -n "$SKIP_REASON" ]; then
        echo "  skip  ($SKIP_REASON)"
        SKIPPED=$((SKIPPED + 1))
    elif [ $CASE_OK = 1 ]; then
        PASSED=$((PASSED + 1))
    else
        FAILED=$((FAILED + 1))
    fi
}

# --- cases ---------------------------------------------------------------------------------

# Start-up writes all sixteen values; a second start leaves at once and silently; a crash of
# the first leaves no stale marker; Exit ends the program and frees the hotkeys.
case_first_start_and_single_instance() {
    rm -rf "$XDG_CONFIG_HOME/Tessaron" "$XDG_CONFIG_HOME/autostart"
    pactl set-sink-mute hvx_sink 1
    check "the icon appears in the tray" start_hvx
    check "... showing the program's image" icon_drawn
    check "sixteen values, all 0, in one section" \
        test "$(grep -c '^Reg[A-Za-z]*=0$' "$CONF")" = 16 -a "$(grep -c '^\[' "$CONF")" = 1
    check "no autostart entry" test ! -e "$AUTOSTART"
    check "start-up unmuted the output" sink_unmuted
    local begin=$SECONDS
    check "a second start exits with 0" timeout 20 "$HVX"
    check "... at once" test $((SECONDS - begin)) -le 5
    check "... leaving one icon" test "$("$XHELPER" icon-count)" = 1
    kill -9 "$HVX_PID"
    wait_until 5 hvx_gone
    check "a crashed instance leaves no stale marker" start_hvx
    check "Exit from the menu ends the program" choose $M_EXIT
    check "... promptly" wait_until 10 hvx_gone
    check "... without sanitizer reports" sanitizer_clean
    check "... and no icon remains" test "$("$XHELPER" icon-count)" = 0
    local grab
    grab=$(timeout 2 "$XHELPER" grab r control alt)
    check "... and its hotkeys are free for others" test "$grab" = grabbed
}

# A malformed value reads as 0 and is replaced; foreign lines survive the rewrite.
case_settings_file_is_repaired() {
    mkdir -p "$(dirname "$CONF")"
    printf '; kept\n[Software\\Tessaron\\HVX]\nRegMode=abc\nRegVolumeStep=2800\n[Other]\nX=1\n' >"$CONF"
    check "starts" start_hvx
    check "malformed RegMode became 0" test "$(conf_value RegMode)" = 0
    check "RegVolumeStep kept" test "$(conf_value RegVolumeStep)" = 2800
    check "comment and foreign section kept" sh -c "grep -q '^; kept' '$CONF' && grep -q '^X=1' '$CONF'"
    check "no temporary files left beside it" test "$(ls -A "$(dirname "$CONF")")" = HVX.conf
}

# Each power item of the menu makes exactly one non-interactive logind call.
case_power_menu() {
    write_conf
    check "starts" start_hvx
    local item expected
    for entry in "$M_SHUTDOWN:PowerOff False" "$M_RESTART:Reboot False" \
        "$M_LOGOFF:TerminateSession hvx-e2e" "$M_HIBERNATE:Hibernate False" \
        "$M_STANDBY:Suspend False"; do
        item=${entry%%:*} expected=${entry#*:}
        mock ClearCalls
        choose "$item"
        [ "$item" = "$M_SHUTDOWN" ] && shot menu-after-shutdown
        check "menu item $item: $expected" calls_are "$expected"
    done
    mock ClearCalls
    open_menu && xdotool key Escape
    check "a dismissed menu sends nothing" no_calls
}

# Ctrl+Alt+R always restarts; Ctrl+Alt+Enter shuts down only when enabled; Caps Lock and
# Num Lock do not get in the way.
case_power_hotkeys() {
    write_conf RegShutdownByUsingShortcut=0
    check "starts" start_hvx
    xdotool key ctrl+alt+r
    check "Ctrl+Alt+R restarts" calls_are "Reboot False"
    mock ClearCalls
    xdotool key ctrl+alt+Return
    check "Ctrl+Alt+Enter does nothing while disabled" no_calls
    stop_hvx
    write_conf RegShutdownByUsingShortcut=1
    check "restarts with the shortcut enabled" start_hvx
    mock ClearCalls
    xdotool key ctrl+alt+Return
    check "Ctrl+Alt+Enter shuts down" calls_are "PowerOff False"
    mock ClearCalls
    xdotool key ctrl+alt+KP_Enter
    check "... also with the keypad Enter" calls_are "PowerOff False"
    mock ClearCalls
    xdotool key Caps_Lock ctrl+alt+r Caps_Lock
    check "... and Ctrl+Alt+R with Caps Lock on" calls_are "Reboot False"
    mock ClearCalls
    xdotool key Num_Lock ctrl+alt+r Num_Lock
    check "... and with Num Lock on" calls_are "Reboot False"
    mock ClearCalls
    xdotool key ctrl+shift+alt+r
    check "Ctrl+Shift+Alt+R is another key" no_calls
}

# A combination that another program holds stays inert; the others still work.
case_taken_hotkey_is_inert() {
    write_conf RegShutdownByUsingShortcut=1
    "$XHELPER" grab r control alt >"$WORK/grab.out" &
    local grabber=$!
    wait_until 5 grep -q grabbed "$WORK/grab.out"
    check "starts" start_hvx
    xdotool key ctrl+alt+r
    check "Ctrl+Alt+R, held by another program, does nothing" no_calls
    xdotool key ctrl+alt+Return
    check "Ctrl+Alt+Enter still works" calls_are "PowerOff False"
    kill "$grabber"
}

# "Run at startup", turned on and off in the Settings dialog, writes and removes the autostart
# entry. The entry holds the program's own path, quoted for the Exec key whatever the path
# holds; a start with the setting on writes a missing entry again.
case_run_at_startup() {
    local dir="$WORK/odd dir \$x%y\"q" expected
    mkdir -p "$dir" && cp "$HVX" "$dir/hvx"
    write_conf
    check "starts from a folder with awkward characters" start_hvx "$dir/hvx"
    check "Settings: Run at startup checked, OK" toggle_run_at_startup
    check "the autostart entry exists" wait_until 3 test -f "$AUTOSTART"
    check "the setting is saved" conf_is RegRunAtStartup 1
    expected='Exec="'"$WORK"'/odd dir \\$x%%y\\"q/hvx"'
    check "its Exec line quotes the path" grep -qxF "$expected" "$AUTOSTART"
    check "it is an application entry named HVX" \
        sh -c "grep -qx 'Type=Application' '$AUTOSTART' && grep -qx 'Name=HVX' '$AUTOSTART'"
    stop_hvx
    rm -f "$AUTOSTART"
    check "restarts" start_hvx "$dir/hvx"
    check "start-up wrote the missing entry again" test -f "$AUTOSTART"
    check "Settings: Run at startup unchecked, OK" toggle_run_at_startup
    check "the autostart entry is gone" wait_until 3 test ! -e "$AUTOSTART"
    check "the setting is saved" conf_is RegRunAtStartup 0
}

toggle_run_at_startup() {  # Settings from the menu, Space on "Run at startup", Enter for OK
    choose $M_SETTINGS || return 1
    local win
    win=$("$XHELPER" window Settings 5000) || return 1
    xdotool key space  # the focus starts on the first box, "Run at startup"
    shot "settings-$RUN"
    xdotool key Return
    "$XHELPER" gone "$win" 3000
}

# Help and About: built from their templates, the menu refused while they show, closed by
# Escape, Enter or the close box.
case_help_and_about() {
    write_conf
    check "starts" start_hvx
    local win
    choose $M_HELP
    win=$("$XHELPER" window Help 3000)
    check "Help opens" test -n "$win"
    shot help
    check "the menu is refused while it shows" menu_refused
    xdotool key Escape
    check "Escape closes it" "$XHELPER" gone "$win" 3000
    choose $M_ABOUT
    win=$("$XHELPER" window About 3000)
    check "About opens" test -n "$win"
    shot about
    "$XHELPER" close "$win"
    check "the close box closes it" "$XHELPER" gone "$win" 3000
    choose $M_ABOUT
    win=$("$XHELPER" window About 3000)
    xdotool key Return
    check "Enter closes it" "$XHELPER" gone "$win" 3000
    check "the menu opens again afterwards" open_menu
    xdotool key Escape
}

# What `cmake --install` puts in place and the .deb that cpack builds from it: the program, its
# launcher and its icon.
case_install_and_package() {
    if [ ! -f "$BUILD/CPackConfig.cmake" ]; then
        SKIP_REASON="no build folder beside $HVX"
        return
    fi
    local prefix=$WORK/prefix files
    check "cmake --install" sh -c "cmake --install '$BUILD' --prefix '$prefix' >'$WORK/install.log' 2>&1"
    check "... installs the program, the launcher and the icon" test -x "$prefix/bin/hvx" -a \
        -f "$prefix/share/applications/hvx.desktop" -a -f "$prefix/share/icons/hicolor/48x48/apps/hvx.png"
    check "the launcher starts hvx with the icon hvx" \
        sh -c "grep -qx 'Exec=hvx' '$prefix/share/applications/hvx.desktop' && grep -qx 'Icon=hvx' '$prefix/share/applications/hvx.desktop'"
    check "cpack -G DEB" sh -c "cpack -G DEB --config '$BUILD/CPackConfig.cmake' -B '$WORK/deb' >'$WORK/cpack.log' 2>&1"
    files=$(dpkg-deb -c "$WORK"/deb/hvx_*.deb 2>/dev/null | awk '$1 !~ /^d/ { print $NF }')
    check "the package holds the three files" test "$(echo "$files" | sort | tr '\n' ' ')" = \
        "./usr/bin/hvx ./usr/share/applications/hvx.desktop ./usr/share/icons/hicolor/48x48/apps/hvx.png "
    check "... and depends on Qt's X11 plugin and the libraries it links" sh -c \
        "dpkg-deb -f '$WORK'/deb/hvx_*.deb Depends | grep -q 'qt6-qpa-plugins.*libqt6widgets6'"
}

# The mixer, the dialog host, the store and the marker, each against the real thing.
case_platform_integration() {
    if [ ! -x "$LINUX_TESTS" ]; then
        SKIP_REASON="no $LINUX_TESTS (built with the unit tests)"
        return
    fi
    check "integration tests pass" env HVX_E2E_PULSE=1 "$LINUX_TESTS" --gtest_brief=1
}

# Volume hotkeys on the real sink: one step up and down in master-only mode, mixed mode
# sharing the step with the PCM line, and the mute toggle with its menu label.
case_volume_hotkeys() {
    write_conf RegMode=1 RegVolumeStep=2800
    pactl set-sink-volume hvx_sink 30000
    check "starts" start_hvx
    xdotool key ctrl+Up
    check "Ctrl+Up raises the master by the step" wait_until 3 volumes_are 32800
    xdotool key ctrl+Down
    check "Ctrl+Down lowers it again" wait_until 3 volumes_are 30000
    xdotool key ctrl+Left
    check "Ctrl+Left mutes" wait_until 3 sink_muted
    check "the menu then reads Unmute" menu_label_is Unmute
    xdotool key ctrl+Left
    check "Ctrl+Left again unmutes" wait_until 3 sink_unmuted
    check "the menu reads Mute again" menu_label_is Mute
    local x y
    read -r x y < <("$XHELPER" icon-pos)
    xdotool mousemove "$x" "$y" click --repeat 2 --delay 60 1
    check "a double click on the icon mutes" wait_until 3 sink_muted
    xdotool mousemove "$x" "$y" click 1
    sleep 0.8
    check "a single click does nothing" sink_muted
    stop_hvx
    write_conf RegMode=0 RegVolumeStep=2800
    pactl set-sink-volume hvx_sink 30000
    pactl set-source-volume hvx_source 20000
    check "restarts in mixed mode" start_hvx
    xdotool key ctrl+Up
    check "Ctrl+Up gives each line half the step" \
        wait_until 3 volumes_are 31400 21400
}

# The tray shows the built-in image: many colours where the tray's plain background has one.
icon_drawn() {
    local x y colours
    read -r x y < <("$XHELPER" icon-pos) || return 1
    shot icon
    colours=$(convert "$WORK/shots/icon.png" -crop "16x16+$((x - 8))+$((y - 8))" -format '%k' info:)
    [ "${colours:-0}" -ge 20 ] || { echo "    $colours colours"; return 1; }
}

# The label of the mute item, told apart by its width: "Unmute" is half as wide again.
menu_label_is() {
    open_menu || return 1
    local x y w h
    read -r x y w h <<<"$MENU"
    shot "menu-$1"
    xdotool key Escape
    # The mute item sits under the eighth to eleventh items; measure the text of its row.
    local row=$((y + h * 210 / 338)) width
    width=$(convert "$WORK/shots/menu-$1.png" -crop "$((w - 30))x16+$((x + 20))+$((row - 8))" \
        -threshold 50% -negate -trim -format '%w' info: 2>/dev/null)
    if [ "$1" = Unmute ]; then [ "${width:-0}" -ge 40 ]; else [ "${width:-99}" -lt 40 ]; fi
}

# --- the scheduler ---------------------------------------------------------------------------
# The minute tick comes 60 s after the start, by the program's own clock. These cases run that
# clock from a fixed moment and RATE times as fast (libfaketime), so the tick comes after
# seconds and in a known minute: the timer is set between the process's start and its icon, so
# as long as the icon came within the seconds left in the starting minute, every tick falls in
# the minute after the one the schedule expects. A start too slow for that is tried again.
start_clocked() {  # start_clocked 'YYYY-MM-DD HH:MM:SS' RATE
    local second=${1##*:} out
    for _ in 1 2 3; do
        start_hvx --at "$1" --rate "$2" || return 1
        # the icon's delay in program seconds must leave the start inside its minute
        out=$(awk -v ms="$START_MS" -v r="$2" -v s="${second#0}" 'BEGIN { print (s + ms * r / 1000 < 58) }')
        [ "$out" = 1 ] && return 0
        echo "    slow start (${START_MS} ms): the first tick's minute is not known; again"
        stop_hvx >/dev/null
    done
    return 1
}
minute_of_day() { echo $((10#${1%:*} * 60 + 10#${1#*:})); }  # minute_of_day HH:MM

# The alarm rings the bell about four times a second until OK, and not once after.
case_alarm_rings_until_ok() {
    : >"$WORK/bells"
    "$XHELPER" bells "$WORK/bells" &
    local listener=$! win rung before
    wait_until 5 grep -q ready "$WORK/bells"
    write_conf RegScheduledAction=1 RegAction=5 RegActionType=1 RegDialogBeforeAction=0 \
        RegExactTime="$(minute_of_day 22:25)"
    check "starts at 22:24:20, its clock at ten times the pace" \
        start_clocked '2026-12-07 22:24:20' 10
    win=$("$XHELPER" window Alarm 15000)
    check "the alarm comes up at 22:25" test -n "$win"
    shot alarm
    sleep 0.3
    before=$(grep -c '^[0-9]' "$WORK/bells")
    sleep 2
    rung=$(($(grep -c '^[0-9]' "$WORK/bells") - before))
    # Four a second of the program's clock are forty a second here: 80 in 2 s.
    check "it rings about four times a second ($rung in 2 s at ten times the pace)" \
        test "$rung" -ge 55 -a "$rung" -le 100
    check "the menu is refused while it shows" menu_refused
    xdotool key Return
    check "OK closes it" "$XHELPER" gone "$win" 3000
    sleep 0.3
    before=$(grep -c '^[0-9]' "$WORK/bells")
    sleep 1
    check "and the bell stops" test "$(grep -c '^[0-9]' "$WORK/bells")" -le "$before"
    check "no power call" no_calls
    kill "$listener"
}

# A schedule entered in the Auto Shutdown dialog is saved at OK and runs at its minute; a once
# schedule then ends.
case_auto_shutdown_dialog_schedules() {
    write_conf
    # Ticks at about 22:25:30 and 22:26:30; the dialog has until 22:26 (ten seconds) to be done.
    check "starts at 22:24:20, its clock at ten times the pace" \
        start_clocked '2026-12-07 22:24:20' 10
    choose $M_AUTO
    local win
    win=$("$XHELPER" window "Auto Shutdown Function" 3000)
    check "the dialog opens" test -n "$win"
    # Focus starts on the enable box; then, in tab order: confirmation box, Exact Time, Timer,
    # the exact hour and minute. Action (Shutdown) and type (Once) are the stored defaults.
    xdotool key --delay 40 space Tab Tab Tab Tab
    xdotool type --delay 40 22
    xdotool key Tab
    xdotool type --delay 40 26
    shot auto-shutdown
    xdotool key Return
    check "OK closes it" "$XHELPER" gone "$win" 3000
    check "the schedule is saved" test "$(conf_value RegScheduledAction):$(conf_value RegExactTime):$(conf_value RegAction):$(conf_value RegActionType)" = "1:$(minute_of_day 22:26):0:0"
    check "at 22:26 it shuts down, once" wait_until 15 calls_at_least 1
    check "... with PowerOff, not interactive" calls_are "PowerOff False"
    check "and the once schedule has ended" wait_until 3 conf_is RegScheduledAction 0
}

# Five minutes before, a topmost confirmation asks; Escape skips that run, and only that one.
case_confirmation_cancel_skips_the_run() {
    write_conf RegScheduledAction=1 RegAction=0 RegActionType=1 RegDialogBeforeAction=1 \
        RegExactTime="$(minute_of_day 22:30)"
    # Twenty times the pace: a tick every three seconds, at about 22:25:30, 22:26:30, ...
    check "starts at 22:24:05, its clock at twenty times the pace" \
        start_clocked '2026-12-07 22:24:05' 20
    local win
    win=$("$XHELPER" window "Scheduled Action Confirmation" 15000)
    check "the confirmation comes up at 22:25, five minutes before" test -n "$win"
    check "... above other windows" sh -c "xprop -id $win _NET_WM_STATE | grep -q ABOVE"
    shot confirmation
    xdotool key Escape
    check "Escape closes it" "$XHELPER" gone "$win" 3000
    check "the run is marked skipped" wait_until 3 conf_is RegDisableOnce 1
    check "at 22:30 the skip is used up" wait_until 25 conf_is RegDisableOnce 0
    check "... and nothing ran" no_calls
    check "the daily schedule stays" test "$(conf_value RegScheduledAction)" = 1
}

# After a switch to Dvorak, Ctrl+Alt+R answers on the key that now types R (pressed again if first).
case_hotkeys_follow_the_layout() {
    write_conf
    check "starts" start_hvx
    setxkbmap dvorak
    check "Ctrl+Alt+R on Dvorak's R restarts" wait_until 6 press_until_called ctrl+alt+r
    check "... once" calls_are "Reboot False"
    setxkbmap us
}
press_until_called() { xdotool key "$1"; wait_until 2 calls_at_least 1; }

CASES=${HVX_CASES:-"case_first_start_and_single_instance case_settings_file_is_repaired
    case_power_menu case_power_hotkeys case_hotkeys_follow_the_layout case_taken_hotkey_is_inert case_run_at_startup
    case_help_and_about case_install_and_package case_platform_integration case_volume_hotkeys case_alarm_rings_until_ok
    case_auto_shutdown_dialog_schedules case_confirmation_cancel_skips_the_run"}
for c in $CASES; do
    run_case "$c"
done
[ "${HVX_KEEP:-0}" = 1 ] && echo "screenshots: $WORK/shots"
echo "$PASSED passed, $FAILED failed, $SKIPPED skipped"
[ "$FAILED" = 0 ]
