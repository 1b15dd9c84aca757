# shellcheck shell=bash
# Where a sound server answers, the master is its default sink and the wave line the streams
# playing on that sink. The server is followed through its life: one that starts after the
# program, or again after it ended, is used; its reports are taken as they come.
PLAYERS=() LEVELS=""
play() {  # play VOLUME [SINK]: a stream of silence at VOLUME, once the server has it
    local before=$(pactl list short sink-inputs | wc -l)
    pacat --device="${2:-hvx_sink}" </dev/zero 2>/dev/null &
    PLAYERS+=($!)
    wait_until 5 eval "[ \$(pactl list short sink-inputs | wc -l) -gt $before ]"
    # Set afterwards: PipeWire's session manager gives a new stream the last one's volume.
    pactl set-sink-input-volume "$(pactl list short sink-inputs | sort -n | tail -1 | cut -f1)" "$1"
}
levels_are() {  # levels_are 'SINK_L SINK_R | OTHER_L OTHER_R | STREAM...' (streams by age)
    LEVELS=$({ pactl get-sink-volume hvx_sink; echo '|'; pactl get-sink-volume hvx_other 2>/dev/null
        echo '|'; pactl list sink-inputs; } | sed -n '/^|$/p
        s/^Volume: front-left: \([0-9]*\) .*front-right: \([0-9]*\) .*/\1 \2/p
        s/^\s\+Volume: front-left: \([0-9]*\) .*/\1/p' | xargs)
    [ "$LEVELS" = "$1" ]
}
levels_become() { wait_until 3 levels_are "$1" || { echo "    levels: $LEVELS"; return 1; }; }
start_in_mode() { write_conf RegMode="$1" RegVolumeStep=2800 && start_hvx; }

stop_players() { { kill "${PLAYERS[@]}" && wait "${PLAYERS[@]}"; } 2>/dev/null; PLAYERS=(); }

# The server the case runs on: PulseAudio as desktop.sh starts it, unless SERVER_UP names
# another; server_up starts it again, with hvx_sink the default sink at 30000.
SERVER_UP=start_pulse SERVER_PID=""
server_down() { local pid=${SERVER_PID:-$PULSE_PID}; kill "$pid" && wait "$pid" 2>/dev/null; }
server_up() { $SERVER_UP && pactl set-sink-volume hvx_sink 30000; }
# Once connected to the server and idle, the program has read the sink: Ctrl+Up moves it.
taken() { wait_until 3 eval "pactl list clients | grep -q 'application.name = \"HVX\"'" && idle &&
    xdotool key ctrl+Up && wait_until 3 sink_volume_is 32800; }
rss() { awk '/^VmRSS/ { print $2 }' "/proc/${SERVER_PID:-$PULSE_PID}/status"; }
flood_growth() {  # the server's growth (KiB) while another client changes the sink 20,000 times
    local before=$(rss)
    "$BUILD/tests/linux/hvx_pulse_flood" hvx_sink 20000 && echo $(($(rss) - before))
}

# With the program running in mixed mode since its last start, on a sink of its own.
server_life() {
    server_down && server_up
    check "a server ended and started again is used again" taken
    stop_hvx
    local alone with
    alone=$(flood_growth)
    check "starts again" start_in_mode 0
    with=$(flood_growth)
    check "20,000 changes made elsewhere grow the server by $with KiB (without the program: $alone)" \
        test "${with:-100000}" -le $((${alone:-0} + 400))
    pactl set-sink-volume hvx_sink 30000
    check "... and the next change is taken in, Ctrl+Up moving the sink at once" taken
    xdotool key ctrl+Up ctrl+Up
    check "two quick presses take two steps" wait_until 3 sink_volume_is 38400
    stop_hvx && server_down  # no ALSA device either: ALSA's default control is the server's
    check "starts with no sound server" start_in_mode 0
    server_up
    check "a server started after it is used" taken
    play 98304 && pactl set-sink-volume hvx_sink 98304
    xdotool key ctrl+Up
    check "at 150%, Ctrl+Up leaves the sink and the stream" \
        eval "idle && levels_are '98304 98304 | | 98304'"
    xdotool key ctrl+Down
    check "... Ctrl+Down takes each half a step down from there" levels_become "96904 96904 | | 96904"
    stop_players
}

case_sound_server() {
    local other
    other=$(pactl load-module module-null-sink sink_name=hvx_other)
    pactl set-sink-volume hvx_sink 30000
    pactl set-sink-volume hvx_other 20000
    play 20000
    check "starts in mixed mode with a stream playing" start_in_mode 0
    xdotool key ctrl+Up
    check "Ctrl+Up gives the sink and the stream half a step each" \
        levels_become "31400 31400 | 20000 20000 | 21400"
    stop_hvx
    play 40000
    check "starts in Wave volume mode with two streams" start_in_mode 2
    xdotool key ctrl+Down
    check "Ctrl+Down takes the loudest stream a step down, the other in proportion, not the sink" \
        levels_become "31400 31400 | 20000 20000 | 19902 37200"
    stop_hvx && stop_players
    play 10000 hvx_other
    check "starts in Wave volume mode, no stream on the default sink" start_in_mode 2
    xdotool key ctrl+Up
    check "Ctrl+Up changes nothing" eval "idle && levels_are '31400 31400 | 20000 20000 | 10000'"
    stop_hvx
    pactl set-sink-volume hvx_sink 30000 15000
    check "starts in mixed mode" start_in_mode 0
    xdotool key ctrl+Up
    check "Ctrl+Up moves the sink alone by the whole step, keeping its balance" \
        levels_become "32800 16400 | 20000 20000 | 10000"
    pactl set-default-sink hvx_other
    wait_until 3 eval '[ "$(pactl get-default-sink)" = hvx_other ]'  # PipeWire's takes a moment
    xdotool key ctrl+Down
    check "after a change of default sink, Ctrl+Down moves the new one and its stream" \
        levels_become "32800 16400 | 18600 18600 | 8600"
    choose "Save Volume Level" && idle  # reads both lines, changes nothing
    pactl set-sink-volume hvx_other 10000
    xdotool key ctrl+Up
    check "a change made elsewhere since is taken in" \
        levels_become "32800 16400 | 11400 11400 | 10000"
    stop_players
    pactl set-default-sink hvx_sink && pactl unload-module "$other"
    server_life
}

# The same on PipeWire's server, which most desktops run, found where a session has it: the
# runtime directory's socket, with no PULSE_SERVER to point there, and its name on the session
# bus (PulseAudio, which would hold that name, is ended meanwhile).
pipewire_pulse_up() {
    service - pipewire-pulse
    SERVER_PID=${SERVICES[-1]}
    wait_until 15 pactl info && pactl load-module module-null-sink sink_name=hvx_sink >/dev/null &&
        wait_until 10 pactl set-default-sink hvx_sink &&
        wait_until 5 eval '[ "$(pactl get-default-sink)" = hvx_sink ]'  # its manager's, in a moment
}
case_sound_server_on_pipewire() {
    command -v pipewire-pulse >/dev/null || { SKIP_REASON="no pipewire-pulse"; return; }
    local pulse=$PULSE_SERVER first=${#SERVICES[@]}
    server_down
    service - pipewire
    wait_until 10 test -S "$XDG_RUNTIME_DIR/pipewire-0"  # or the others give up at once
    service - wireplumber
    unset PULSE_SERVER
    check "pipewire-pulse answers, with a default sink" pipewire_pulse_up
    SERVER_UP=pipewire_pulse_up
    case_sound_server
    kill "${SERVICES[@]:first}" 2>/dev/null
    export PULSE_SERVER=$pulse
    SERVER_UP=start_pulse SERVER_PID=""
    start_pulse
}
