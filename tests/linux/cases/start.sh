# shellcheck shell=bash
# Start-up writes the seventeen values in their section; a second start leaves at once; Exit ends
# the program cleanly and frees its hotkeys. A sound server that never answers holds up nothing.
case_start_and_single_instance() {
    "$PYTHON" -c 'import socket, sys, time
s = socket.socket(socket.AF_UNIX); s.bind(sys.argv[1]); s.listen(); time.sleep(60)' \
        "$WORK/silent" &
    local server=$! && wait_until 5 test -S "$WORK/silent"
    PULSE_SERVER=unix:$WORK/silent check "the icon appears, beside a silent sound server" start_hvx
    check "seventeen values, all 0, in one section" test "$(grep -c '^Reg[A-Za-z]*=0$' "$CONF")" = 17 \
        -a "$(grep -c '^\[' "$CONF")" = 1 -a "$(head -1 "$CONF")" = '[Software\Tessaron\HVX]'
    xdotool key ctrl+Up
    check "a volume hotkey does not hold it up" idle
    check "a second start exits with 0, leaving one icon" \
        eval 'timeout 10 "$HVX" && test "$(icons | wc -l)" = 1'
    check "Exit from the menu ends the program" choose Exit
    check "... promptly and without sanitizer reports" eval "wait_until 10 hvx_gone && stop_hvx"
    check "... and frees its hotkeys" test "$(timeout 2 "$X11" grab r control alt)" = grabbed
    kill "$server"
}
