# shellcheck shell=bash
# Where a sound server answers, the master is its default sink and the wave line the streams
# playing on that sink; a server that never answers does not hold the program up.
PLAYERS=() OTHER_SINK="" LEVELS=""
sound_setup() {  # the default sink at 30000, a second sink at 20000, no stream
    OTHER_SINK=$(pactl load-module module-null-sink sink_name=hvx_other)
    pactl set-sink-volume hvx_sink 30000
    pactl set-sink-volume hvx_other 20000
}
sound_teardown() {
    [ ${#PLAYERS[@]} = 0 ] || { kill "${PLAYERS[@]}"; wait "${PLAYERS[@]}"; } 2>/dev/null
    PLAYERS=()
    pactl set-default-sink hvx_sink
    pactl unload-module "$OTHER_SINK"
}
play() {  # play VOLUME [SINK]: a stream of silence; returns once the server has it
    local before
    before=$(pactl list short sink-inputs | wc -l)
    pacat --device="${2:-hvx_sink}" --volume="$1" </dev/zero 2>/dev/null &
    PLAYERS+=($!)
    wait_until 5 eval "[ \$(pactl list short sink-inputs | wc -l) -gt $before ]"
}
channels() {  # channels SINK: its left and right volume
    pactl get-sink-volume "$1" |
        sed -n 's/^Volume: front-left: \([0-9]*\) .*front-right: \([0-9]*\) .*/\1 \2/p'
}
levels_are() {  # levels_are 'SINK_L SINK_R | OTHER_L OTHER_R | STREAM...' (streams by age)
    LEVELS="$(channels hvx_sink) | $(channels hvx_other) | $(pactl list sink-inputs |
        sed -n 's/^\s*Volume: front-left: \([0-9]*\) .*/\1/p' | paste -sd' ')"
    [ "$LEVELS" = "$1" ]
}
levels_become() { wait_until 3 levels_are "$1" || { echo "    levels: $LEVELS"; return 1; }; }

case_sound_server_streams() {
    sound_setup
    play 20000
    write_conf RegMode=0 RegVolumeStep=2800
    check "starts in mixed mode with a stream playing" start_hvx
    xdotool key ctrl+Up
    check "Ctrl+Up gives the sink and the stream half a step each" \
        levels_become "31400 31400 | 20000 20000 | 21400"
    stop_hvx
    play 40000
    write_conf RegMode=2 RegVolumeStep=2800
    check "starts in Wave volume mode with two streams" start_hvx
    xdotool key ctrl+Down
    check "Ctrl+Down takes the loudest stream a step down, the other in proportion, not the sink" \
        levels_become "31400 31400 | 20000 20000 | 19902 37200"
    sound_teardown
}

case_sound_server_sinks() {
    sound_setup
    play 10000 hvx_other
    write_conf RegMode=2 RegVolumeStep=2800
    check "starts in Wave volume mode, no stream on the default sink" start_hvx
    xdotool key ctrl+Up
    idle
    check "Ctrl+Up changes nothing" levels_are "30000 30000 | 20000 20000 | 10000"
    stop_hvx
    pactl set-sink-volume hvx_sink 30000 15000
    write_conf RegMode=0 RegVolumeStep=2800
    check "starts in mixed mode" start_hvx
    xdotool key ctrl+Up
    check "Ctrl+Up moves the sink alone by the whole step, keeping its balance" \
        levels_become "32800 16400 | 20000 20000 | 10000"
    pactl set-default-sink hvx_other
    xdotool key ctrl+Down
    check "after a change of default sink, Ctrl+Down moves the new one and its stream" \
        levels_become "32800 16400 | 18600 18600 | 8600"
    sound_teardown
}

case_sound_server_silent() {
    "$PYTHON" -c 'import socket, sys, time
s = socket.socket(socket.AF_UNIX); s.bind(sys.argv[1]); s.listen(); time.sleep(60)' \
        "$WORK/silent" &
    local server=$!
    wait_until 5 test -S "$WORK/silent"
    write_conf RegMode=1 RegVolumeStep=2800
    PULSE_SERVER=unix:$WORK/silent check "starts beside a sound server that never answers" start_hvx
    xdotool key ctrl+Up
    check "... and a volume hotkey does not hold it up" idle
    kill "$server"
}
