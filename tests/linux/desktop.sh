# shellcheck shell=bash
# The private desktop of the end-to-end tests and the benchmarks (see tests/linux/README); all
# it starts ends with the sourcing script.
PYTHON=/usr/bin/python3  # the system one, which has the dbus module
for tool in Xvfb trayer dbus-daemon pulseaudio pactl xdotool xwininfo "$PYTHON" /usr/libexec/at-spi-bus-launcher
do command -v "$tool" >/dev/null || { echo "$tool is missing (see tests/linux/README)" >&2; exit 2; }; done

WORK=$(mktemp -d "/tmp/${HVX_WORK_PREFIX:-hvx-e2e}.XXXXXX")
SERVICES=() HVX_PID=""  # pids of the private desktop's processes, the program's
cleanup() {
    kill $HVX_PID "${SERVICES[@]}" 2>/dev/null
    wait_until 3 eval '! kill -0 $HVX_PID "${SERVICES[@]}" 2>/dev/null'
    kill -9 $HVX_PID "${SERVICES[@]}" 2>/dev/null
    [ "${HVX_KEEP:-0}" = 1 ] && echo "work folder kept: $WORK" || rm -rf "$WORK"
}
trap cleanup EXIT
trap 'exit 130' INT TERM
wait_until() {  # wait_until SECONDS COMMAND...: true once COMMAND succeeds
    local deadline=$((SECONDS + $1))
    until "${@:2}" >/dev/null 2>&1; do [ $SECONDS -ge $deadline ] && return 1; sleep 0.05; done
}
service() {  # service FILE|- COMMAND...: starts COMMAND; waits until it has written FILE
    "${@:2}" >>"$WORK/services.log" 2>&1 &
    SERVICES+=($!)
    [ "$1" = - ] || wait_until 15 test -s "$1" || { echo "desktop: $2 did not start" >&2; exit 2; }
}

export HOME=$WORK/home XDG_CONFIG_HOME=$WORK/home/.config XDG_RUNTIME_DIR=$WORK/run
export XDG_SESSION_ID=hvx-e2e QT_QPA_PLATFORM=xcb LC_ALL=C.UTF-8 QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1
unset XDG_CURRENT_DESKTOP DESKTOP_SESSION QT_QPA_PLATFORMTHEME SESSION_MANAGER
mkdir -p "$HOME" "$XDG_CONFIG_HOME" && mkdir -m 700 "$XDG_RUNTIME_DIR"
# shellcheck disable=SC2034  # for the scripts that source this
CONF=$XDG_CONFIG_HOME/Tessaron/HVX.conf AUTOSTART=$XDG_CONFIG_HOME/autostart/HVX.desktop

service "$WORK/display" Xvfb -displayfd 5 -screen 0 1024x768x24 -nolisten tcp 5>"$WORK/display"
DISPLAY=:$(head -1 "$WORK/display")
# Two private buses with the session bus's open policy; the "system" one holds the mock logind.
for bus in system session; do
    service "$WORK/$bus-bus" dbus-daemon --session --address="unix:path=$WORK/$bus-socket" \
        --nofork --print-address=6 6>"$WORK/$bus-bus"
done
DBUS_SYSTEM_BUS_ADDRESS=$(head -1 "$WORK/system-bus") PRIVATE_SYSTEM_BUS=$DBUS_SYSTEM_BUS_ADDRESS
DBUS_SESSION_BUS_ADDRESS=$(head -1 "$WORK/session-bus")
export DISPLAY DBUS_SYSTEM_BUS_ADDRESS DBUS_SESSION_BUS_ADDRESS
service - "$PYTHON" -m dbusmock --system --template logind
mock() {  # mock GetCalls|ClearCalls: prints the mock logind's calls, one a line, or clears them
    "$PYTHON" -c 'import os, sys, dbus
mock = dbus.Interface(dbus.bus.BusConnection(os.environ["DBUS_SYSTEM_BUS_ADDRESS"]).get_object(
    "org.freedesktop.login1", "/org/freedesktop/login1"), "org.freedesktop.DBus.Mock")
for _, name, args in mock.GetCalls() if sys.argv[1] == "GetCalls" else mock.ClearCalls() or []:
    print(name, *[str(bool(a)) if isinstance(a, dbus.Boolean) else str(a) for a in args])' "$@"
}
wait_until 15 mock GetCalls || { echo "desktop: the logind mock did not start" >&2; exit 2; }
mock_set() {  # mock_set METHOD ARGS...: a dbus-send to the mock's control interface
    dbus-send --system --print-reply --dest=org.freedesktop.login1 /org/freedesktop/login1 \
        "org.freedesktop.DBus.Mock.$1" "${@:2}" >/dev/null
}
# The program runs in this user's session "e2e"; $XDG_SESSION_ID names a stale one.
mock_set AddSession string:e2e string:seat0 uint32:"$(id -u)" string:e2e boolean:true
mock_set AddMethod string:org.freedesktop.login1.Manager string:GetSessionByPID string:u string:o \
    'string:ret = "/org/freedesktop/login1/session/e2e"'

# No test may reach this machine's logind: each start checks that the system bus is ours.
require_private_bus() {
    if [ "${DBUS_SYSTEM_BUS_ADDRESS:-}" != "$PRIVATE_SYSTEM_BUS" ] ||
        [[ "$PRIVATE_SYSTEM_BUS" != "unix:path=$WORK/"* ]] || ! mock GetCalls >/dev/null; then
        echo "desktop: refusing to run: the system bus is not the private one with the mock" >&2
        exit 3
    fi
}

# PulseAudio with a null sink, which ALSA's "default" control shows as "Master".
printf '%s\n' 'load-module module-null-sink sink_name=hvx_sink' 'set-default-sink hvx_sink' \
    "load-module module-native-protocol-unix socket=$WORK/pulse auth-anonymous=1" >"$WORK/pulse.pa"
echo 'ctl.default { type pulse }' >"$WORK/asound.conf"
export PULSE_SERVER=unix:$WORK/pulse ALSA_CONFIG_PATH=$WORK/asound.conf
start_pulse() {  # (again, after it was ended) sets PULSE_PID
    service - pulseaudio -n -F "$WORK/pulse.pa" --daemonize=no --exit-idle-time=-1 --use-pid-file=no
    PULSE_PID=${SERVICES[-1]}
    wait_until 15 pactl info
}
start_pulse || { echo "desktop: PulseAudio did not start" >&2; exit 2; }

# Font caches out of date would be rebuilt by the program's first menu (seconds), mid-case.
fc-cache >/dev/null 2>&1
# The accessibility bus, through which the tests read menus and dialogs as a screen reader does.
service - /usr/libexec/at-spi-bus-launcher --launch-immediately
# A screen reader's standing interest in menus showing: every start of the program sees it.
service "$WORK/listener" "$PYTHON" "${BASH_SOURCE[0]%/*}/atspi.py" listen "$WORK/listener"
service - trayer --edge top --align right --widthtype pixel --width 200 --height 32
