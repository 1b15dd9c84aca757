# The power actions, each a Windows call with its flags after enabling the shutdown privilege:
# from the menu's commands, and from the Ctrl+Alt+R hotkey pressed as real keys (with the six
# hotkeys registered). Log off, restart and shut down end every process of the prefix (never this
# machine's).

POWER_RELAY='advapi32.AdjustTokenPrivileges;user32.ExitWindowsEx;kernel32.SetSystemPowerState'

# The last N power calls of HVX's trace, without handles and return addresses, on one line.
power_calls() {
    relay_calls | sed -n 's/^advapi32\.\(AdjustTokenPrivileges\)(.*/\1/p
        s/^user32\.\(ExitWindowsEx([0-9a-f]*\),.*/\1)/p
        s/^kernel32\.\(SetSystemPowerState(.*)\)$/\1/Ip' | tail -n "$1" | paste -sd' '
}

# expect_exit FLAGS WHAT STEP...: the drive steps end the prefix through ExitWindowsEx(FLAGS).
expect_exit() {
    drive "${@:3}"
    hvx_wait_prefix_down || fail "$2 ends the prefix"
    expect_eq "$(power_calls 2)" "AdjustTokenPrivileges ExitWindowsEx($1)" "$2"
}

# A combination another program holds is skipped; HVX registers the other five and comes up as
# usual, and a real Ctrl+Alt+R reaches the hotkey handler.
test_hotkeys_are_registered_and_ctrl_alt_r_pressed_restarts() {
    wine "$HVX_DRIVE" hold-hotkey ctrl+up >holder.out 2>&1 &
    wait_for_log ok holder.out || hvx_abort "the holder did not take Ctrl+Up"
    hvx_start --relay "$POWER_RELAY;user32.RegisterHotKey"
    # id, modifiers, key: Ctrl+Up, Down, Right, Left, Ctrl+Alt+R, Ctrl+Alt+Enter
    expect_eq "$(relay_calls | sed -n 's/^user32.RegisterHotKey([0-9a-f]*,\(.*\))$/\1/p' |
        paste -sd' ')" "00000064,00000002,00000026 000000c8,00000002,00000028 \
0000012c,00000002,00000027 00000190,00000002,00000025 00000320,00000003,00000052 \
00000384,00000003,0000000d" "the six hotkeys"
    expect_exit 00000006 "Ctrl+Alt+R: EWX_REBOOT | EWX_FORCE" keys ctrl+alt+r
}

test_power_commands_call_windows_with_their_flags() {
    hvx_start --relay "$POWER_RELAY"
    drive command 123 ';' command 124 || fail "Hibernate and Standby return to HVX"
    expect_eq "$(power_calls 4)" "AdjustTokenPrivileges SetSystemPowerState(00000000,00000000) \
AdjustTokenPrivileges SetSystemPowerState(00000001,00000001)" \
        "Hibernate: SetSystemPowerState(FALSE, FALSE); Standby: (TRUE, TRUE)"
    expect_exit 00000004 "Log off: EWX_LOGOFF | EWX_FORCE" command 122
    hvx_start --relay "$POWER_RELAY"
    expect_exit 0000000d "Shutdown: EWX_SHUTDOWN | EWX_POWEROFF | EWX_FORCE" command 120
}
