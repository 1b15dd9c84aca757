# The dialogs of the menu, built from their templates: each opens from its menu command with its
# controls (read as window messages), and takes clicks and typing. The scheduler's two others
# come with the schedule (60-schedule.sh).

AUTO='Auto Shutdown Function'

# expect_dialog LISTING IDS LINE: LISTING (what `drive dialog` printed) holds controls with these
# ids, in order, and this line among them ("ID CLASS CHECK TEXT").
expect_dialog() {
    expect_eq "$(sed 1d <<<"$1" | cut -d' ' -f1 | paste -sd' ')" "$2" "${1%%$NL*}: controls' ids"
    expect_contains "$1" "$3" "${1%%$NL*}: a control's class, check state and text"
}

test_each_dialog_opens_from_its_command_with_its_controls() {
    hvx_start
    local command caption button ids line listing
    # command|caption|closing button|ids|a line
    while IFS='|' read -r command caption button ids line; do
        listing=$(drive command "$command" ';' dialog "$caption" ';' click "$caption" "$button" \
            ';' wait-gone "$caption") || fail "$caption: open, close"
        expect_dialog "$listing" "$ids" "$line"
    done <<'EOF_DIALOGS'
101|Settings|2|-1 1001 1002 -1 1005 1006 1007 1004 -1 1008 1009 1000 1 2|1004 Button 1 Show volume indicator
102|Advanced Options|2|-1 -1 1342 -1 1340 -1 1341 1000 1 2 1351|1342 msctls_trackbar32 0
109|Help|1|-1 -1 -1 -1 -1 -1 -1 -1 -1 -1 -1 1|-1 Static 0 Ctrl + Alt + R
110|About|1|-1 -1 -1 -1 1|-1 Static 0 HVX (version 1.0)
EOF_DIALOGS

    # Auto Shutdown, and its warnings for an hour of 25, a countdown of 99 hours and Weekly
    # without a day.
    listing=$(drive command 125 ';' dialog "$AUTO" ';' set-text "$AUTO" 1351 25 ';' \
        click "$AUTO" 1 ';' dialog Warning ';' click Warning 1 ';' wait-gone Warning) ||
        fail "$AUTO: open, an hour of 25"
    expect_dialog "$(sed '/^Warning/,$d' <<<"$listing")" "1010 1003 -1 1025 1026 1351 -1 1352 \
1353 -1 1354 -1 -1 -1 1015 1016 1017 1018 1019 1020 -1 1021 1022 1023 1024 1000 1 2" \
        "1025 Button 1 Exact Time"
    expect_dialog "$(sed -n '/^Warning/,$p' <<<"$listing")" "-1 1" "-1 Static 0 Invalid Time Input"
    listing=$(drive click "$AUTO" 1026 ';' set-text "$AUTO" 1353 99 ';' click "$AUTO" 1 ';' \
        dialog Warning ';' click Warning 1 ';' wait-gone Warning) ||
        fail "$AUTO: a countdown of 99 hours"
    expect_dialog "$listing" "-1 1" "-1 Static 0 Invalid Timer Input"
    # Weekly with no day picked, then Cancel: the warning, and nothing stored.
    listing=$(drive set-text "$AUTO" 1353 1 ';' click "$AUTO" 1023 ';' click "$AUTO" 1 ';' \
        dialog Warning ';' click Warning 1 ';' wait-gone Warning ';' click "$AUTO" 2 ';' \
        wait-gone "$AUTO") || fail "$AUTO: Weekly without a day, Cancel"
    expect_dialog "$listing" "-1 1" "-1 Static 0 No Weekday Selected"
    expect_eq "$(reg_values | grep -E '^Reg(ActionType|ActionDay) ' | sort)" "RegActionDay REG_DWORD 0x0
RegActionType REG_DWORD 0x0" "a weekly schedule without its day is not stored"
}
