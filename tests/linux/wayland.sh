#!/usr/bin/env bash
# HVX on a headless Wayland stack (KWin, the portal and its KDE backend, PulseAudio, mock
# notifications and tray watcher), private bus; its packages: PACKAGES_WAYLAND_TESTS (install-deps)
set -u
[ "$(readlink /proc/self/ns/net)" != "$(readlink /proc/1/ns/net)" ] ||
    exec unshare -n "$BASH" "$0" "$@"  # HVX runs once per network namespace
ROOT=$(cd "$(dirname "$0")/../.." && pwd)
HVX=$(realpath "${1:-${HVX_BIN:-$ROOT/build/native/src/platform/linux/hvx}}")
FAKEINPUT=${HVX%/src/platform/linux/hvx}/tests/linux/hvx_fakeinput
W=$(mktemp -d /tmp/hvx-wayland.XXXXXX) PIDS=()
trap 'kill "${PIDS[@]}" 2>/dev/null; wait; [ -n "${HVX_KEEP:-}" ] || rm -rf "$W"' EXIT
export HOME=$W XDG_CONFIG_HOME=$W/config XDG_RUNTIME_DIR=$W/run XDG_CURRENT_DESKTOP=KDE \
    XDG_SESSION_TYPE=wayland KWIN_WAYLAND_NO_PERMISSION_CHECKS=1 PULSE_SERVER=unix:$W/pulse \
    QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1
unset DISPLAY WAYLAND_DISPLAY QT_QPA_PLATFORM QT_QPA_PLATFORMTHEME
mkdir -m 700 "$W/run" && mkdir -p "$W/config/Tessaron"
start() { "$@" >>"$W/$(basename "$1").log" 2>&1 & PIDS+=($!); }
wait_until() {  # wait_until SECONDS COMMAND...
    local deadline=$((SECONDS + $1))
    until "${@:2}" >/dev/null 2>&1; do [ $SECONDS -ge $deadline ] && return 1; sleep 0.05; done
}
fail() { echo "wayland.sh: $1" >&2; exit 2; }
bus() { dbus-send --session --print-reply --dest="$1" "${@:2}"; }

export DBUS_SESSION_BUS_ADDRESS=unix:path=$W/bus
start dbus-daemon --session --address="$DBUS_SESSION_BUS_ADDRESS" --nofork
wait_until 10 test -S "$W/bus" || fail "no session bus"
cp /usr/bin/kwin_wayland "$W/"  # the installed one carries a file capability a container refuses
start "$W/kwin_wayland" --virtual --xwayland --socket hvx-wl
start /usr/libexec/at-spi-bus-launcher --launch-immediately  # the menu and About read over AT-SPI
wait_until 20 test -S "$W/run/hvx-wl" || fail "KWin did not start"
export WAYLAND_DISPLAY=hvx-wl
start pulseaudio -n --daemonize=no --exit-idle-time=-1 --use-pid-file=no -L module-null-sink \
    -L "module-native-protocol-unix socket=$W/pulse auth-anonymous=1"
start /usr/bin/python3 -m dbusmock --template notification_daemon
QT_QPA_PLATFORM=wayland start /usr/lib/x86_64-linux-gnu/libexec/xdg-desktop-portal-kde
start /usr/libexec/xdg-desktop-portal -r
wait_until 20 bus org.freedesktop.portal.Desktop /org/freedesktop/portal/desktop \
    org.freedesktop.DBus.Properties.Get string:org.freedesktop.portal.GlobalShortcuts \
    string:version || fail "no GlobalShortcuts portal"
notifications() { bus org.freedesktop.Notifications /org/freedesktop/Notifications \
    org.freedesktop.DBus.Mock.GetCalls; }
wait_until 10 pactl info && wait_until 10 notifications || fail "no sound server or notifications"

PASSED=0 FAILED=0
check() { if "${@:2}"; then echo "  ok    $1"; ((++PASSED)); else echo "  FAIL  $1"; ((++FAILED)); fi; }
volume_is() { pactl get-sink-volume @DEFAULT_SINK@ | grep -q "^Volume: front-left: $1 "; }
shortcuts() {  # each shortcut of HVX's component in KDE's kglobalaccel, with its key in hex
    bus org.kde.kglobalaccel /component/hvx org.kde.kglobalaccel.Component.allShortcutInfos |
        awk '/^      struct/ { n = k = 0 } /^         string/ { if (n++ == 0) printf "%s", $2 }
             /^            int32/ { if (k++ == 0) printf " %x\n", $2 }' | sort | tr '\n' ' '
}
sni() {  # sni PROPERTY: the registered StatusNotifierItem's property
    bus "$(cat "$W/watcher.out")" /StatusNotifierItem org.freedesktop.DBus.Properties.Get \
        string:org.kde.StatusNotifierItem "string:$1"; }
sni_item() { sni Id | grep -q '"hvx"'; }  # registered, by its Id
sni_tip_has() { sni ToolTip | grep -qF "$1"; }

printf '[Software\\Tessaron\\HVX]\nRegMode=1\nRegVolumeStep=2800\n' >"$W/config/Tessaron/HVX.conf"
pactl set-sink-volume @DEFAULT_SINK@ 30000
start "$HVX"
# Qt's key codes: Ctrl (4000000) and Alt (8000000) with Left (1000012), R (52), Return...
bound() { [ "$(shortcuts)" = '"mute" 5000012 "restart" c000052 "shutdown" d000004 '\
'"use-saved-volume" 5000014 "volume-down" 5000015 "volume-up" 5000013 ' ]; }
check "on Qt's wayland platform: six portal shortcuts, preferred triggers" wait_until 20 bound
"$FAKEINPUT" 29 103  # KEY_LEFTCTRL, KEY_UP
check "Ctrl+Up pressed on the compositor raises the sink by the step" wait_until 5 volume_is 32800
bus org.kde.kglobalaccel /kglobalaccel org.kde.KGlobalAccel.setShortcut \
    array:string:hvx,mute,hvx,"Mute or unmute" array:int32: uint32:4 >/dev/null  # unassigned
"$FAKEINPUT" 29 105 && "$FAKEINPUT" 29 108  # Ctrl+Left, then Ctrl+Down after it
check "Ctrl+Down after it lowers the sink again" wait_until 5 volume_is 30000
check "... and Ctrl+Left, left unassigned, did nothing" test "$(pactl get-sink-mute 0)" = "Mute: no"

check "no tray at start: told once how to get the icon (notification, stderr)" test \
    "$(notifications | grep -c 'without its icon')$(grep -c 'without its icon' "$W/hvx.log")" = 11
cat >"$W/watcher.py" <<EOF
import dbus, dbus.service, dbus.mainloop.glib
from gi.repository import GLib
dbus.mainloop.glib.DBusGMainLoop(set_as_default=True)
class Watcher(dbus.service.Object):
    @dbus.service.method("org.kde.StatusNotifierWatcher", in_signature="s")
    def RegisterStatusNotifierItem(self, service): print(service, file=open("$W/watcher.out", "w"))
    @dbus.service.method("org.freedesktop.DBus.Properties", in_signature="ss", out_signature="v")
    def Get(self, interface, name): return True  # IsStatusNotifierHostRegistered, the only one
    @dbus.service.method("org.freedesktop.DBus.Introspectable", out_signature="s")
    def Introspect(self):  # Qt reads the property through an introspected interface
        return """<node><interface name="org.kde.StatusNotifierWatcher"><property type="b"
            name="IsStatusNotifierHostRegistered" access="read"/></interface></node>"""
Watcher(dbus.SessionBus(), "/StatusNotifierWatcher")  # ready before its name is
name = dbus.service.BusName("org.kde.StatusNotifierWatcher", dbus.SessionBus())
GLib.MainLoop().run()
EOF
start /usr/bin/python3 "$W/watcher.py"
check "the icon registers as a StatusNotifierItem once a watcher appears" wait_until 10 sni_item
"$FAKEINPUT" 29 103
check "its tooltip follows a hotkey's level" wait_until 5 sni_tip_has "Volume 50%"
pactl set-sink-volume @DEFAULT_SINK@ 39322
check "... and a level another client sets" wait_until 5 sni_tip_has "Volume 60%"
check "the host opens its menu; About chosen in it shows the dialog" eval "/usr/bin/python3 \
    '$ROOT/tests/linux/atspi.py' menu --press About dbus-send --session --print-reply=literal \
    --dest=$(cat "$W/watcher.out") /StatusNotifierItem org.kde.StatusNotifierItem.ContextMenu \
    int32:9 int32:9 && /usr/bin/python3 '$ROOT/tests/linux/atspi.py' window About"
check "no sanitizer reports" test -z "$(grep -E 'Sanitizer|runtime error:' "$W/hvx.log")"
echo "$PASSED passed, $FAILED failed"
[ "$FAILED" = 0 ]
