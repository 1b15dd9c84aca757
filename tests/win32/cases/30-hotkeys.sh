# The six global hotkeys, and a real key press reaching the hotkey handler.

# A combination another program holds is skipped; HVX registers the other five and comes up as
# usual. Ctrl+Alt+R, pressed as real keys, restarts: ExitWindowsEx with EWX_REBOOT | EWX_FORCE.
test_hotkeys_are_registered_and_ctrl_alt_r_pressed_restarts() {
    wine "$HVX_DRIVE" hold-hotkey ctrl+up >holder.out 2>&1 &
    timeout 10 bash -c 'until grep -q ok holder.out; do sleep 0.1; done' ||
        hvx_abort "the holder did not take Ctrl+Up"
    hvx_start --relay 'user32.RegisterHotKey;user32.ExitWindowsEx'
    # id, modifiers, key: Ctrl+Up, Down, Right, Left, Ctrl+Alt+R, Ctrl+Alt+Enter
    expect_eq "$(relay_calls | sed -n 's/^user32.RegisterHotKey([0-9a-f]*,\(.*\))$/\1/p' |
        paste -sd' ')" "00000064,00000002,00000026 000000c8,00000002,00000028 \
0000012c,00000002,00000027 00000190,00000002,00000025 00000320,00000003,00000052 \
00000384,00000003,0000000d" "the six hotkeys"
    drive keys ctrl+alt+r
    hvx_wait_prefix_down || fail "the restart ends the prefix"
    expect_eq "$(relay_calls | grep -o '^user32.ExitWindowsEx([0-9a-f]*')" \
        "user32.ExitWindowsEx(00000006" "Ctrl+Alt+R: ExitWindowsEx(EWX_REBOOT | EWX_FORCE)"
}
