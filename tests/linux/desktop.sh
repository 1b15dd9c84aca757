# shellcheck shell=bash
# The private desktop of the end-to-end tests and the benchmarks (see tests/linux/README); all
# it starts ends with the sourcing script. Expects XHELPER (and HVX_WORK_PREFIX).

PYTHON=/usr/bin/python3  # the system one, which has the dbus module
for tool in Xvfb trayer dbus-daemon pulseaudio pactl xdotool "$PYTHON" "$XHELPER" \
    /usr/libexec/at-spi-bus-launcher; do
    command -v "$tool" >/dev/null || { echo "$tool is missing (see tests/linux/README)" >&2; exit 2; }
done

WORK=$(mktemp -d "/tmp/${HVX_WORK_PREFIX:-hvx-e2e}.XXXXXX")
SERVICES=()  # pids of the private desktop's processes
HVX_PID=""
cleanup() {
    [ -n "$HVX_PID" ] && kill "$HVX_PID" 2>/dev/null
    for pid in "${SERVICES[@]}"; do kill "$pid" 2>/dev/null; done
    sleep 0.3
    [ -n "$HVX_PID" ] && kill -9 "$HVX_PID" 2>/dev/null
    for pid in "${SERVICES[@]}"; do kill -9 "$pid" 2>/dev/null; done
    if [ "${HVX_KEEP:-0}" = 1 ]; then echo "work folder kept: $WORK"; else rm -rf "$WORK"; fi
}
trap cleanup EXIT
trap 'exit 130' INT TERM

export HOME=$WORK/home XDG_CONFIG_HOME=$WORK/home/.config XDG_RUNTIME_DIR=$WORK/run
export XDG_SESSION_ID=hvx-e2e QT_QPA_PLATFORM=xcb LC_ALL=C.UTF-8
unset XDG_CURRENT_DESKTOP DESKTOP_SESSION QT_QPA_PLATFORMTHEME SESSION_MANAGER
mkdir -p "$HOME" "$XDG_CONFIG_HOME" "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"
# shellcheck disable=SC2034  # for the scripts that source this
CONF=$XDG_CONFIG_HOME/Tessaron/HVX.conf
# shellcheck disable=SC2034
AUTOSTART=$XDG_CONFIG_HOME/autostart/HVX.desktop

wait_until() {  # wait_until SECONDS COMMAND...: true once COMMAND succeeds
    local deadline=$((SECONDS + $1))
    shift
    until "$@" >/dev/null 2>&1; do
        [ $SECONDS -ge $deadline ] && return 1
        sleep 0.05
    done
}

Xvfb -displayfd 5 -screen 0 1024x768x24 -nolisten tcp 5>"$WORK/display" 2>"$WORK/xvfb.log" &
SERVICES+=($!)
wait_until 10 test -s "$WORK/display" || { echo "desktop: Xvfb did not start" >&2; exit 2; }
DISPLAY=:$(head -1 "$WORK/display")
export DISPLAY

cat >"$WORK/system-bus.conf" <<EOF
<!DOCTYPE busconfig PUBLIC "-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN"
 "http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd">
<busconfig>
  <type>system</type>
  <listen>unix:path=$WORK/system_bus_socket</listen>
  <auth>EXTERNAL</auth>
  <policy context="default">
    <allow send_destination="*" eavesdrop="true"/>
    <allow eavesdrop="true"/>
    <allow own="*"/>
  </policy>
</busconfig>
EOF
dbus-daemon --config-file="$WORK/system-bus.conf" --nofork --print-address=6 6>"$WORK/system-bus" \
    2>"$WORK/system-bus.log" &
SERVICES+=($!)
wait_until 10 test -s "$WORK/system-bus" || { echo "desktop: no private system bus" >&2; exit 2; }
PRIVATE_SYSTEM_BUS=$(head -1 "$WORK/system-bus")
export DBUS_SYSTEM_BUS_ADDRESS=$PRIVATE_SYSTEM_BUS
dbus-daemon --session --address="unix:path=$WORK/session_bus_socket" --nofork --print-address=6 \
    6>"$WORK/session-bus" 2>"$WORK/session-bus.log" &
SERVICES+=($!)
wait_until 10 test -s "$WORK/session-bus" || { echo "desktop: no private session bus" >&2; exit 2; }
DBUS_SESSION_BUS_ADDRESS=$(head -1 "$WORK/session-bus")
export DBUS_SESSION_BUS_ADDRESS

"$PYTHON" -m dbusmock --system --template logind >"$WORK/logind-mock.log" 2>&1 &
SERVICES+=($!)

mock() {  # mock METHOD [ARGS...]: calls org.freedesktop.DBus.Mock.METHOD, prints the calls
    "$PYTHON" - "$@" <<'EOF'
import os, sys, dbus
bus = dbus.bus.BusConnection(os.environ["DBUS_SYSTEM_BUS_ADDRESS"])
mock = dbus.Interface(bus.get_object("org.freedesktop.login1", "/org/freedesktop/login1"),
                      "org.freedesktop.DBus.Mock")
if sys.argv[1] == "GetCalls":
    for _, name, args in mock.GetCalls():
        print(name, *[str(bool(a)) if isinstance(a, dbus.Boolean) else str(a) for a in args])
elif sys.argv[1] == "ClearCalls":
    mock.ClearCalls()
EOF
}
wait_until 15 mock GetCalls || { echo "desktop: the logind mock did not start" >&2; exit 2; }

# No test may reach this machine's logind: every start of the program checks that the system
# bus it will see is ours and that logind on it is the mock.
require_private_bus() {
    if [ "${DBUS_SYSTEM_BUS_ADDRESS:-}" != "$PRIVATE_SYSTEM_BUS" ] ||
        [[ "$PRIVATE_SYSTEM_BUS" != "unix:path=$WORK/"* ]] || ! mock GetCalls >/dev/null; then
        echo "desktop: refusing to run: DBUS_SYSTEM_BUS_ADDRESS does not point at the private" \
            "test bus with the mock logind" >&2
        exit 3
    fi
}

mkdir -p "$WORK/pulse"
cat >"$WORK/pulse.pa" <<EOF
load-module module-null-sink sink_name=hvx_sink
load-module module-null-source source_name=hvx_source
load-module module-native-protocol-unix socket=$WORK/pulse/native auth-anonymous=1
set-default-sink hvx_sink
set-default-source hvx_source
EOF
export PULSE_SERVER=unix:$WORK/pulse/native
pulseaudio -n -F "$WORK/pulse.pa" --daemonize=no --exit-idle-time=-1 --use-pid-file=no \
    --log-target=file:"$WORK/pulse.log" >/dev/null 2>&1 &
SERVICES+=($!)
wait_until 15 pactl info || { echo "desktop: PulseAudio did not start" >&2; exit 2; }

# ALSA's "default" control over PulseAudio has "Master" (the sink) and "Capture" (the default
# source); a remap turns the latter into a "PCM" playback element, so the wave line is real and
# readable with pactl as the source's volume.
cat >"$WORK/asound-pcm.conf" <<'EOF'
ctl.default {
    type remap
    child { type pulse }
    remap {
        "name='Capture Volume'" "name='PCM Playback Volume'"
        "name='Capture Switch'" "name='PCM Playback Switch'"
    }
}
# The plain control, as on a desktop without the remap: no "PCM".
ctl.hvx_master_only { type pulse }
EOF
export ALSA_CONFIG_PATH=$WORK/asound-pcm.conf

# Font caches that are out of date would be rebuilt by the program's first menu or dialog
# (seconds), in the middle of a case; bring them up to date first (quick when they are).
if command -v fc-cache >/dev/null; then fc-cache >/dev/null 2>&1; fi

# The accessibility bus, through which the tests read menus and dialogs as a screen reader does.
/usr/libexec/at-spi-bus-launcher --launch-immediately >"$WORK/atspi.log" 2>&1 &
SERVICES+=($!)
export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1

trayer --edge top --align right --widthtype pixel --width 200 --height 32 >"$WORK/trayer.log" 2>&1 &
SERVICES+=($!)
