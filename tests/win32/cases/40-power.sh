# The power commands of the menu, each a Windows call with its flags, after enabling the shutdown
# privilege. Log off and shut down end every process of the prefix (never this machine's).

POWER_RELAY='advapi32.AdjustTokenPrivileges;user32.ExitWindowsEx;kernel32.SetSystemPowerState'

# The last N power calls of HVX's trace, without handles and return addresses, on one line.
power_calls() {
    relay_calls | sed -n 's/^advapi32\.\(AdjustTokenPrivileges\)(.*/\1/p
        s/^user32\.\(ExitWindowsEx([0-9a-f]*\),.*/\1)/p
        s/^kernel32\.\(SetSystemPowerState(.*)\)$/\1/Ip' | tail -n "$1" | paste -sd' '
}

test_power_commands_call_windows_with_their_flags() {
    hvx_start --relay "$POWER_RELAY"
    drive command 123 ';' command 124 || fail "Hibernate and Standby return to HVX"
    expect_eq "$(power_calls 4)" "AdjustTokenPrivileges SetSystemPowerState(00000000,00000000) \
AdjustTokenPrivileges SetSystemPowerState(00000001,00000001)" \
        "Hibernate: SetSystemPowerState(FALSE, FALSE); Standby: (TRUE, TRUE)"
    local row command flags what
    for row in "122 00000004 Log off: EWX_LOGOFF | EWX_FORCE" \
        "120 0000000d Shutdown: EWX_SHUTDOWN | EWX_POWEROFF | EWX_FORCE"; do
        read -r command flags what <<<"$row"
        [[ $command == 120 ]] && hvx_start --relay "$POWER_RELAY"
        drive command "$command"
        hvx_wait_prefix_down || fail "$what ends the prefix"
        expect_eq "$(power_calls 2)" "AdjustTokenPrivileges ExitWindowsEx($flags)" "$what"
    done
}
