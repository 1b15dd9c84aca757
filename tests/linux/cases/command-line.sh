# shellcheck shell=bash
# Command words reach the running program; garbage does not; a stalled logind holds up nothing.
sink_is() { [ "$(sink_volume)" = "$1" ]; }

case_command_line() {
    write_conf RegMode=1 RegVolumeStep=2800 RegShutdownByUsingShortcut=1
    local out
    out=$("$HVX" --volume-up 2>&1)
    check "without a running program: exit 1 and one line" test $? = 1 -a "$(wc -l <<<"$out")" = 1
    pactl set-sink-volume hvx_sink 30000
    check "starts" start_hvx
    check "--volume-up is taken and raises the sink by the step" \
        eval "'$HVX' --volume-up && wait_until 3 sink_is 32800"
    "$HVX" --mute
    check "--mute relabels the menu" menu_has Unmute
    mock ClearCalls
    "$HVX" --shutdown
    check "--shutdown makes one logind call" calls_are "PowerOff False"
    "$PYTHON" -c 'import socket, sys
s = socket.socket(socket.AF_UNIX); s.connect("\0" + sys.argv[1]); s.sendall(b"x" * 65536)' \
        "$(sed -n 's/^ *"Global\\\\\({.*}\)";$/\1/p' "$ROOT/src/resources/Resource.h")"
    check "after a flood of garbage it still takes words and acts on them" \
        eval "'$HVX' --volume-down && wait_until 3 sink_is 30000"
    check "--exit ends it" eval "'$HVX' --exit && wait_until 10 hvx_gone"
}

case_stalled_logind() {
    write_conf RegMode=1 RegVolumeStep=2800
    pactl set-sink-volume hvx_sink 30000
    check "starts" start_hvx
    local reboot=(AddMethod string:org.freedesktop.login1.Manager string:Reboot string:b string:)
    mock_set "${reboot[@]}" 'string:time.sleep(7)'
    "$HVX" --restart
    xdotool key ctrl+Up
    # A call that waited for logind would hold the hotkey for five seconds.
    check "a volume hotkey answers while logind has not" wait_until 4 sink_is 32800
    mock_set "${reboot[@]}" string:
}
