# shellcheck shell=bash
# The volume hotkeys, the icon and the command line move the sound server's sink (through
# ALSA's default control when the program finds no server); the menu follows the mute state; a
# flood on the socket, another user's word and a stalled logind hold up nothing.
case_volume_and_command_line() {
    write_conf RegMode=1 RegVolumeStep=2800 RegShutdownByUsingShortcut=1
    pactl set-sink-volume hvx_sink 30000
    local out
    out=$("$HVX" --volume-up 2>&1)
    check "--volume-up with no program running: exit 1 and one line" \
        test $? = 1 -a "$(wc -l <<<"$out")" = 1
    check "starts" start_hvx
    xdotool key ctrl+Up
    check "Ctrl+Up raises the sink by the step" wait_until 3 sink_volume_is 32800
    xdotool key ctrl+Down
    check "Ctrl+Down lowers it again" wait_until 3 sink_volume_is 30000
    check "Ctrl+Left mutes" eval 'sink_muted no && xdotool key ctrl+Left && wait_until 3 sink_muted'
    check "the menu then reads Unmute" menu_has Unmute
    "$HVX" --mute
    check "--mute unmutes; the menu reads Mute again" eval "sink_muted no && menu_has Mute"
    xdotool mousemove $(icons) click --repeat 2 --delay 60 1
    check "a double click on the icon mutes" wait_until 3 sink_muted
    check "--volume-up is taken and raises the sink" \
        eval "'$HVX' --volume-up && wait_until 3 sink_volume_is 32800"
    check "--shutdown makes one logind call" \
        eval 'mock ClearCalls && "$HVX" --shutdown && calls_are "PowerOff False"'
    check "a 32 MB flood is cut off; an unknown word, another user's word refused" flood_and_foreign
    check "after a flood of garbage it still takes words" \
        eval "'$HVX' --volume-down && wait_until 3 sink_volume_is 30000"
    local reboot=(AddMethod string:org.freedesktop.login1.Manager string:Reboot string:b string:)
    mock_set "${reboot[@]}" 'string:time.sleep(7)'
    "$HVX" --restart
    xdotool key ctrl+Up  # a call that waited for logind would hold the hotkey for seconds
    check "a volume hotkey answers while logind has not" wait_until 4 sink_volume_is 32800
    mock_set "${reboot[@]}" string:
    check "--exit ends it" eval "'$HVX' --exit && wait_until 10 hvx_gone"
    printf 'ctl.!default { type pulse server "unix:%s" }\n' "$WORK/pulse" >"$WORK/alsa.conf"
    check "no server at PULSE_SERVER: Ctrl+Up moves ALSA's Master, the sink here" eval \
        "PULSE_SERVER=unix:$WORK/none ALSA_CONFIG_PATH=$WORK/alsa.conf start_hvx &&
        xdotool key ctrl+Up && wait_until 3 sink_volume_is 35600"
}
flood_and_foreign() {  # as root: true when all are turned away
    "$PYTHON" - "$(sed -n 's/^ *"Global\\\\\({.*}\)";$/\1/p' "$ROOT/src/resources/Resource.h")" <<'EOF'
import os, socket, sys
def send(data):  # the answer, or "cut" when the program closed before all was sent
    (s := socket.socket(socket.AF_UNIX)).connect("\0" + sys.argv[1])
    try: return s.sendall(data) or s.recv(3)
    except OSError: return b"cut"
assert send(b"x" * (32 << 20)) == b"cut" and send(b"reboot-now\n") != b"ok\n"
os.setresgid(65534, 65534, 65534), os.setresuid(65534, 65534, 65534)
assert send(b"volume-up\n") != b"ok\n"
EOF
}
