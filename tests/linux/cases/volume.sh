# shellcheck shell=bash
# The volume hotkeys and the icon move the sound server's sink; the menu follows the mute state.
case_volume() {
    write_conf RegMode=1 RegVolumeStep=2800
    pactl set-sink-volume hvx_sink 30000
    check "starts" start_hvx
    xdotool key ctrl+Up
    check "Ctrl+Up raises the sink by the step" wait_until 3 sink_volume_is 32800
    xdotool key ctrl+Down
    check "Ctrl+Down lowers it again" wait_until 3 sink_volume_is 30000
    xdotool key ctrl+Left
    check "Ctrl+Left mutes" wait_until 3 sink_muted
    check "the menu then reads Unmute" menu_has Unmute
    xdotool key ctrl+Left
    check "Ctrl+Left again unmutes" wait_until 3 sink_muted no
    check "the menu reads Mute again" menu_has Mute
    click_icon 1 2
    check "a double click on the icon mutes" wait_until 3 sink_muted
}
