# The power hotkeys, pressed as real keys. A power action ends every process of the Wine prefix
# (the driver's too; never the host's), so each case ends with HVX gone and checks the relay trace.

POWER_RELAY='advapi32.AdjustTokenPrivileges;user32.ExitWindowsEx;kernel32.SetSystemPowerState'

# The power calls HVX made, without handles and return addresses.
power_calls() {
    relay_calls | sed -n 's/^advapi32\.\(AdjustTokenPrivileges\)(.*/\1/p
                          s/^user32\.\(ExitWindowsEx([0-9a-f]*\),.*/\1)/p'
}

test_ctrl_alt_enter_does_nothing_while_the_shortcut_is_off() {
    hvx_start --relay "$POWER_RELAY"
    expect_ok "the keys reach HVX" -- drive keys ctrl+alt+enter
    expect_ok "HVX runs on" -- drive wait-ready 5000
    expect_contains "$(relay_messages)" "WM_HOTKEY 00000384 000d0003" "hotkey 900 arrived"
    expect_eq "$(power_calls)" "" "no power call"
}

test_ctrl_alt_r_restarts() {
    hvx_start --relay "$POWER_RELAY"
    drive keys ctrl+alt+r --no-sync >/dev/null
    expect_ok "the restart ends HVX with the rest of the prefix" -- hvx_wait_exit "$HVX_PID" 20
    expect_eq "$(power_calls)" "AdjustTokenPrivileges
ExitWindowsEx(00000006)" "the shutdown privilege, then a forced reboot"
}

# Last in this file: a shutdown also ends the prefix's wineserver.
test_ctrl_alt_enter_shuts_down_when_the_shortcut_is_on() {
    drive reg-set RegShutdownByUsingShortcut dword 1 >/dev/null || hvx_abort "cannot store"
    hvx_start --relay "$POWER_RELAY"
    drive keys ctrl+alt+enter --no-sync >/dev/null
    expect_ok "the shutdown ends HVX with the rest of the prefix" -- hvx_wait_exit "$HVX_PID" 20
    expect_eq "$(power_calls)" "AdjustTokenPrivileges
ExitWindowsEx(0000000d)" "the shutdown privilege, then a forced power-off"
}
