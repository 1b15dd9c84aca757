# The six global hotkeys: held while HVX runs, free again after Exit.

# As try-hotkey takes them: modifiers and key of hotkeys 100, 200, 300, 400, 800 and 900.
HOTKEYS=(ctrl up ctrl down ctrl right ctrl left ctrl+alt r ctrl+alt enter)

# try-hotkey's answer for every one of the six, each line the same.
six_times() {
    printf '%s\n' "$1" "$1" "$1" "$1" "$1" "$1"
}

test_hotkeys_are_held_while_running_and_freed_by_exit() {
    expect_eq "$(drive try-hotkey "${HOTKEYS[@]}")" "$(six_times ok)" "all six are free before"
    hvx_start
    expect_eq "$(drive try-hotkey "${HOTKEYS[@]}")" "$(six_times 'error 1409')" \
        "all six are taken while HVX runs"
    expect_ok "Exit ends HVX" -- hvx_exit
    expect_eq "$(drive try-hotkey "${HOTKEYS[@]}")" "$(six_times ok)" "all six are free after Exit"
}

# A combination another program holds is skipped; the other five are still registered and HVX
# starts as usual. It does not take the key later either.
test_a_hotkey_held_elsewhere_is_skipped() {
    drive_stream hold-hotkey ctrl up 60000 >"$CASE_DIR/holder.out" &
    local holder=$!
    local i
    for ((i = 0; i < 100; i++)); do
        [[ $(cat "$CASE_DIR/holder.out") == ok ]] && break
        sleep 0.1
    done
    [[ $(cat "$CASE_DIR/holder.out") == ok ]] || hvx_abort "the holder did not take Ctrl+Up"
    hvx_start
    expect_eq "$(drive try-hotkey "${HOTKEYS[@]:2}")" "$(six_times 'error 1409' | tail -n 5)" \
        "the other five are HVX's"
    drive release-hotkey >/dev/null
    wait "$holder"
    expect_eq "$(drive try-hotkey ctrl up)" ok "Ctrl+Up is free once the holder lets go"
    expect_ok "HVX runs on" -- drive wait-ready 5000
}
