# The scheduled power actions at their minute, as Wine's relay trace shows them. HVX's clock is
# fixed at the action minute; a posted tick runs the schedule check at once. Log off, restart and
# shut down end every process of the prefix (never this machine's), so they come last.

SCHEDULE_RELAY='advapi32.AdjustTokenPrivileges;user32.ExitWindowsEx;kernel32.SetSystemPowerState'

# The power calls HVX made, without handles and return addresses (Wine names the kernel32 one
# KERNEL32).
scheduled_power_calls() {
    relay_calls | sed -n 's/^advapi32\.\(AdjustTokenPrivileges\)(.*/\1/p
                          s/^user32\.\(ExitWindowsEx([0-9a-f]*\),.*/\1)/p
                          s/^kernel32\.\(SetSystemPowerState(.*)\)$/\1/Ip'
}

# schedule_at_the_action_minute ACTION TYPE: a schedule for 22:30 stored, HVX started at 22:30
# with the power calls traced.
schedule_at_the_action_minute() {
    drive reg-set RegScheduledAction dword 1 RegDialogBeforeAction dword 1 \
        RegExactTime dword 1350 RegAction dword "$1" RegActionType dword "$2" >/dev/null ||
        hvx_abort "cannot store the schedule"
    hvx_start --relay "$SCHEDULE_RELAY" --time '2024-06-03 22:30:00'
}

# Hibernate and stand by come back: HVX runs on, and a once schedule has ended.
test_scheduled_hibernate_and_standby_set_the_power_state() {
    local -a rows=("3 Hibernate SetSystemPowerState(00000000,00000000)"
                   "4 Standby SetSystemPowerState(00000001,00000001)")
    local row action name call
    for row in "${rows[@]}"; do
        read -r action name call <<<"$row"
        schedule_at_the_action_minute "$action" 0
        expect_ok "HVX takes the tick" -- drive timer 2
        expect_eq "$(scheduled_power_calls)" "AdjustTokenPrivileges
$call" "$name: the shutdown privilege, then $call"
        expect_eq "$(drive reg-get RegScheduledAction RegDisableOnce | paste -sd' ')" \
            "REG_DWORD 0 REG_DWORD 0" "$name: the once schedule has ended"
        expect_ok "$name: HVX runs on and exits" -- hvx_exit
        drive reg-del-key "$HVX_SETTINGS_KEY" >/dev/null
    done
}

# Last in this file: each action ends the prefix; the next row waits until its wineserver has
# gone and starts it afresh.
test_scheduled_log_off_restart_and_shutdown_exit_windows() {
    local -a rows=("2 Log-off 00000004" "1 Restart 00000006" "0 Shutdown 0000000d")
    local row action name flags
    for row in "${rows[@]}"; do
        read -r action name flags <<<"$row"
        schedule_at_the_action_minute "$action" 1
        drive timer 2 --no-sync >/dev/null
        expect_ok "$name ends HVX with the rest of the prefix" -- hvx_wait_exit "$HVX_PID" 30
        expect_eq "$(scheduled_power_calls)" "AdjustTokenPrivileges
ExitWindowsEx($flags)" "$name: the shutdown privilege, then ExitWindowsEx $flags"
        timeout 30 wineserver -w
    done
}
