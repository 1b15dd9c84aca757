# The settings store: seventeen REG_DWORD values under HKCU\Software\Tessaron\HVX, read back at the
# next start, and the run-at-log-on entry; Settings' OK writes them.

test_settings_are_dwords_and_settings_ok_writes_them_and_the_run_entry() {
    reg_set RegMode REG_DWORD 2 || hvx_abort "cannot store RegMode"
    hvx_start
    expect_eq "$(reg_values | sort)" "$(printf '%s REG_DWORD 0x0\n' RegAction{,Day,Type} RegMode \
        Reg{Default,Pre}{Master,Wave}Volume RegDialogBeforeAction RegDisableOnce RegExactTime \
        RegHideVolumeIndicator RegRunAtStartup RegScheduledAction \
        RegSetPredefinedVolumeAtStartup RegShutdownByUsingShortcut RegVolumeStep | sed '/^RegMode/s/0x0/0x2/' | sort)" \
        "a start writes seventeen REG_DWORDs, RegMode kept"

    # Settings shows the stored mode (Wave volume, 1007); ticking Run at startup and OK stores it.
    expect_contains "$(drive command 101 ';' dialog Settings)" "1007 Button 1 Wave volume" \
        "Settings shows RegMode 2 as Wave volume"
    local run_ok=(click Settings 1001 ';' click Settings 1 ';' wait-gone Settings ';' sync)
    drive "${run_ok[@]}" || fail "Settings: Run at startup, OK"
    expect_contains "$(reg_values)" "RegRunAtStartup REG_DWORD 0x1" "OK stores Run at startup"
    expect_eq "$(reg_values "$RUN_KEY" | grep '^HVX ')" "HVX REG_SZ \"$HVX_WIN_EXE\"" \
        "the run entry holds the quoted full path"

    drive command 101 ';' "${run_ok[@]}" || fail "Settings: Run at startup off, OK"
    expect_eq "$(reg_values "$RUN_KEY" | grep '^HVX ')" "" "unticking it deletes the run entry"
}
