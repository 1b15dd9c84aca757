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
portal() {
    start /usr/libexec/xdg-desktop-portal -r && PORTAL=$!
    wait_until 20 bus org.freedesktop.portal.Desktop /org/freedesktop/portal/desktop \
        org.freedesktop.DBus.Properties.Get string:org.freedesktop.portal.GlobalShortcuts \
        string:version
}
portal || fail "no GlobalShortcuts portal"
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
echo leak:libwayland-client.so >"$W/lsan"  # Qt's Wayland plugin leaves its globals at exit
# Its Wayland requests logged, to count its windows.
WAYLAND_DEBUG=client LSAN_OPTIONS=suppressions=$W/lsan start "$HVX" && HVX_PID=$!
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

start dbus-monitor --session "interface='org.freedesktop.portal.GlobalShortcuts'"
wait_until 5 test -s "$W/dbus-monitor.log" && kill "$PORTAL" && portal || fail "no new portal"
check "the portal restarted: HVX lists its shortcuts with the new one" \
    wait_until 5 grep -q 'member=ListShortcuts' "$W/dbus-monitor.log"
"$FAKEINPUT" 29 105 && "$FAKEINPUT" 29 103  # Ctrl+Left, still unassigned; Ctrl+Up
check "... then Ctrl+Up raises the sink by one step" wait_until 5 volume_is 32800
kept() { volume_is 32800 && [ "$(pactl get-sink-mute 0)$(grep -c member=BindShortcuts \
    "$W/dbus-monitor.log")" = "Mute: no0" ]; }
check "... once; the user's triggers kept (Ctrl+Left unassigned, nothing bound again)" kept

check "no tray at start: told once how to get the icon, not of hotkeys (notification, stderr)" \
    test "$(notifications | grep -c 'running without')$(grep -c 'without its icon: ' \
    "$W/hvx.log")" = 11
cat >"$W/watcher.py" <<EOF
import dbus, dbus.service, dbus.mainloop.glib
from gi.repository import GLib
dbus.mainloop.glib.DBusGMainLoop(set_as_default=True)
W = "org.kde.StatusNotifierWatcher"
class Watcher(dbus.service.Object):
    host = False
    @dbus.service.method(W, in_signature="s")
    def RegisterStatusNotifierItem(self, service): print(service, file=open("$W/watcher.out", "w"))
    @dbus.service.method(W, in_signature="s")
    def RegisterStatusNotifierHost(self, service):
        self.host = True
        self.StatusNotifierHostRegistered()
    @dbus.service.signal(W)
    def StatusNotifierHostRegistered(self): pass
    @dbus.service.method("org.freedesktop.DBus.Properties", in_signature="ss", out_signature="v")
    def Get(self, interface, name):  # IsStatusNotifierHostRegistered, the only one
        open("$W/asked", "a").write(f"{self.host}\n")
        return self.host
    @dbus.service.method("org.freedesktop.DBus.Introspectable", out_signature="s")
    def Introspect(self):  # Qt reads the property through an introspected interface
        return """<node><interface name="org.kde.StatusNotifierWatcher"><property type="b"
            name="IsStatusNotifierHostRegistered" access="read"/></interface></node>"""
Watcher(dbus.SessionBus(), "/StatusNotifierWatcher")  # ready before its name is
name = dbus.service.BusName("org.kde.StatusNotifierWatcher", dbus.SessionBus())
GLib.MainLoop().run()
EOF
start /usr/bin/python3 "$W/watcher.py"  # a watcher with no host yet, as at a desktop's start
wait_until 10 grep -q False "$W/asked" && bus org.kde.StatusNotifierWatcher /StatusNotifierWatcher \
    org.kde.StatusNotifierWatcher.RegisterStatusNotifierHost string:host >/dev/null
check "the icon registers as a StatusNotifierItem once a host registers with the watcher" \
    wait_until 10 sni_item
"$FAKEINPUT" 29 103
check "its tooltip follows a hotkey's level" wait_until 5 sni_tip_has "Volume 54%"
pactl set-sink-volume @DEFAULT_SINK@ 39322
check "... and a level another client sets" wait_until 5 sni_tip_has "Volume 60%"
cat >"$W/menu.py" <<EOF
# The icon's menu as the desktop reads it over DBusMenu, "label enabled" per item; chooses
# the items named as arguments.
import dbus, sys
bus, service = dbus.SessionBus(), open("$W/watcher.out").read().strip()
path = bus.get_object(service, "/StatusNotifierItem").Get(
    "org.kde.StatusNotifierItem", "Menu", dbus_interface="org.freedesktop.DBus.Properties")
menu = dbus.Interface(bus.get_object(service, path), "com.canonical.dbusmenu")
menu.AboutToShow(0)
for id, properties, _ in menu.GetLayout(0, -1, [])[1][2]:
    label = properties.get("label")  # none on a separator
    print(f"{label} {int(properties.get('enabled', True))}" if label else "-", end=",")
    if properties.get("label") in sys.argv[1:]: menu.Event(id, "clicked", 0, 0)
EOF
menu() { /usr/bin/python3 "$W/menu.py" "$@"; }
ITEMS="Auto Shutdown Function,-,Shutdown,Restart,Log off,Hibernate,Standby,-,Save Volume Level,\
Use Saved Volume Level,Restore Default Volume Level,Mute,-,Settings,Advanced Options,-,Help,About,Exit,"
offered() { [ "$(menu "${@:2}")" = "$(echo "$ITEMS" | sed "s/\([^-]\),/\1 $1,/g")" ]; }  # enabled?
check "the desktop reads the menu over DBusMenu: its nineteen entries" offered 1
bus "$(cat "$W/watcher.out")" /StatusNotifierItem org.kde.StatusNotifierItem.ContextMenu \
    int32:9 int32:9 >/dev/null  # a host asking the icon for a menu of its own: none shows
check "About chosen in it opens the dialog" eval "menu About >/dev/null && /usr/bin/python3 \
    '$ROOT/tests/linux/atspi.py' window About"
check "with About open the menu is greyed out, Exit chosen in it runs nothing, --exit is refused" \
    eval "offered 0 Exit && { '$HVX' --exit 2>/dev/null; [ \$? = 3 ]; } && \
    /usr/bin/python3 '$ROOT/tests/linux/atspi.py' press About OK && wait_until 5 offered 1"
check "no window for the menu: HVX made one toplevel, About's" \
    test "$(grep -c 'get_toplevel(' "$W/hvx.log")" = 1
ended() { ! kill -0 "$HVX_PID" 2>/dev/null; }  # bash takes its status when it ends
check "Exit chosen in the menu ends HVX cleanly" eval "menu Exit >/dev/null && wait_until 10 ended \
    && wait $HVX_PID"
check "no sanitizer reports" test -z "$(grep -E 'Sanitizer|runtime error:' "$W/hvx.log")"
echo "$PASSED passed, $FAILED failed"
[ "$FAILED" = 0 ]
