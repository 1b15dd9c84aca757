# shellcheck shell=bash
# The volume indicator is a desktop notification: Ctrl+Up sends one with the level as its "value"
# hint, the next press replaces it, and with the setting off none is sent.
notify_calls() {  # the mock notification service's Notify calls: "REPLACES_ID VALUE SUMMARY"
    "$PYTHON" -c 'import dbus
mock = dbus.Interface(dbus.SessionBus().get_object("org.freedesktop.Notifications",
    "/org/freedesktop/Notifications"), "org.freedesktop.DBus.Mock")
for _, name, a in mock.GetCalls():
    if name == "Notify": print(int(a[1]), int(a[6]["value"]), a[3], bool(a[6]["transient"]), a[7])'
}
notified() { [ "$(notify_calls | paste -sd'|')" = "$1" ]; }  # notified 'CALL|CALL'

case_volume_indicator_notifications() {
    "$PYTHON" -m dbusmock --template notification_daemon >>"$WORK/services.log" 2>&1 &
    local mock_pid=$!
    check "a notification service answers" wait_until 10 notify_calls
    write_conf RegMode=1 RegVolumeStep=2800
    pactl set-sink-volume hvx_sink 30000
    check "starts" start_hvx
    xdotool key ctrl+Up
    check "Ctrl+Up: one notification, 50% as its value, transient, 1.5 s" \
        wait_until 3 notified "0 50 Volume 50% True 1500"
    xdotool key ctrl+Up
    check "the next press replaces it" \
        wait_until 3 notified "0 50 Volume 50% True 1500|1 54 Volume 54% True 1500"
    stop_hvx
    write_conf RegMode=1 RegVolumeStep=2800 RegHideVolumeIndicator=1
    check "starts with the indicator off" start_hvx
    xdotool key ctrl+Down
    check "Ctrl+Down with it off sends none" eval 'wait_until 3 sink_volume_is 32800 && idle &&
        [ "$(notify_calls | wc -l)" = 2 ]'
    kill "$mock_pid"
}
