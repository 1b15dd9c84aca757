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
