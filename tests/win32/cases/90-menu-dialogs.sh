# The dialogs of the tray menu as HVX.exe shows them: what they show, what Settings stores, and
# that the main window keeps serving hotkeys and the icon while one is open. Each dialog is also
# kept as a picture in build/windows/wine-tests/screenshots/ for a look at its layout.

SETTINGS_CONTROLS='-1 Button Startup Option
1001 Button Run at startup
1002 Button Set saved volume level at startup
-1 Button Volume Control Mode
1005 Button Mixed
1006 Button Main volume
1007 Button Wave volume
-1 Button Shutdown by Using Shortcut Key
1008 Button Enable
1009 Button Disable
1000 Button Default
1 Button OK
2 Button Cancel'

HELP_CONTROLS='-1 Button Shortcut Keys of Main Functions
-1 Static Ctrl + Up/Down
-1 Static Volume Up/Down
-1 Static Ctrl + Left
-1 Static Mute/Unmute
-1 Static Ctrl + Right
-1 Static Use Saved Volume
-1 Static Ctrl + Alt + Enter
-1 Static Shutdown Computer
-1 Static Ctrl + Alt + R
-1 Static Restart Computer
1 Button OK'

# The check boxes and radio buttons of Settings, and driver steps that print their states in that
# order (to append to a drive run that has the dialog open).
SETTINGS_BUTTONS=(1001 1002 1005 1006 1007 1008 1009)
SETTINGS_CHECK_STEPS=()
for id in "${SETTINGS_BUTTONS[@]}"; do SETTINGS_CHECK_STEPS+=(';' dialog-check Settings "$id"); done
unset id

# settings_checks: reads the output of a run that ended with SETTINGS_CHECK_STEPS; prints
# "ID STATE" for each button.
settings_checks() {
    tail -n "${#SETTINGS_BUTTONS[@]}" | paste -d ' ' <(printf '%s\n' "${SETTINGS_BUTTONS[@]}") -
}

# expected_checks ON_ID...: settings_checks' answer when exactly these are checked.
expected_checks() {
    local id
    for id in "${SETTINGS_BUTTONS[@]}"; do
        if [[ " $* " == *" $id "* ]]; then echo "$id 1"; else echo "$id 0"; fi
    done
}

# Every settings value as "Name REG_DWORD value", sorted; NAME=VALUE arguments, all others 0.
expected_settings() {
    local name pair value
    for name in "${HVX_SETTING_NAMES[@]}"; do
        value=0
        for pair in "$@"; do [[ ${pair%%=*} == "$name" ]] && value=${pair#*=}; done
        echo "$name REG_DWORD $value"
    done | sort
}

RUN_ENTRY="$HVX_RUN_KEY\\HVX"

# ---- screenshots ------------------------------------------------------------------------------

SCREENSHOT_DIR=$(dirname "$(dirname "$CASE_DIR")")/screenshots

# screenshot NAME "X Y WIDTH HEIGHT": keeps that part of the screen (a dialog-rect answer) as
# NAME.png. Wine's desktop window covers the X screen from its top left corner, so Windows screen
# coordinates are X ones. A picture, not a check: without ImageMagick there is none.
screenshot() {
    local name=$1 x y width height
    read -r x y width height <<<"$2"
    if ! command -v import >/dev/null; then
        note "no screenshot of $name: ImageMagick's import is not installed"
        return 0
    fi
    [[ -n ${height:-} ]] || { fail "no rectangle for the screenshot of $name"; return 1; }
    mkdir -p "$SCREENSHOT_DIR"
    # Let the last controls paint.
    sleep 0.2
    import -display "$DISPLAY" -window root -crop "${width}x${height}+${x}+${y}" +repage \
        "$SCREENSHOT_DIR/$name.png" 2>>"$CASE_DIR/screenshot.err" ||
        fail "screenshot of $name failed"
}

# show_dialog CAPTION STEPS...: runs the driver steps that open the dialog, waits for it, and
# prints its rectangle on the first line and its controls after it.
show_dialog() {
    local caption=$1
    shift
    drive "$@" ';' wait-dialog "$caption" ';' dialog-rect "$caption" ';' \
        dialog-controls "$caption"
}

# ---- the cases --------------------------------------------------------------------------------

# Every dialog of the menu opens from its command with its caption and, for Settings and Help, its
# controls and texts in tab order. While Settings, Advanced Options or Auto Shutdown is open, a
# right click on the icon shows no menu, yet Ctrl+Up and the double click still reach the main
# window and act on the mixer (Wine's +mmdevapi trace shows each write to the endpoint).
test_menu_dialogs_open_and_leave_hotkeys_and_the_icon_working() {
    hvx_start --relay 'user32.SetTimer' --debug +mmdevapi
    local entry command caption file button output
    local -a lines close=()
    local hotkeys=0 mutes=0 mixer_calls
    mixer_calls=$(grep -c 'trace:mmdevapi:AEV_Set' "$HVX_LOG")
    # menu item, caption, screenshot (Auto Shutdown's is taken with a schedule in it, below),
    # the button that closes it
    for entry in "101|Settings|settings|2" "102|Advanced Options|advanced-options|2" \
        "125|Auto Shutdown Function||2" "109|Help|help|1" "110|About|about|1"; do
        IFS='|' read -r command caption file button <<<"$entry"
        # The first is picked from the menu, the others are sent the command the menu sends. The
        # previous dialog is closed in the same run.
        local -a open=(command "$command")
        [[ -z ${close[*]} ]] && open=(tray rbuttonup ';' menu-pick "$command")
        output=$(show_dialog "$caption" "${close[@]}" "${open[@]}") ||
            { fail "$caption did not open from command $command: $output"; close=(); continue; }
        close=(click "$caption" "$button" ';' wait-dialog-gone "$caption" ';')
        mapfile -t lines <<<"$output"
        [[ -n $file ]] && screenshot "$file" "${lines[0]}"
        case $caption in
        Settings) expect_eq "$(printf '%s\n' "${lines[@]:1}")" "$SETTINGS_CONTROLS" \
            "Settings shows its controls in tab order" ;;
        Help) expect_eq "$(printf '%s\n' "${lines[@]:1}")" "$HELP_CONTROLS" \
            "Help lists the shortcut keys as its template does" ;;
        esac
        [[ $command == 10[12] || $command == 125 ]] || continue

        expect_eq "$(drive keys ctrl+up ';' tray lbuttondblclk ';' tray rbuttonup ';' menu-shown)" \
            "no menu" "HVX took Ctrl+Up, a double click and a right click, and showed no menu \
over $caption"
        hotkeys=$((hotkeys + 1)) mutes=$((mutes + 1))
        expect_eq "$(relay_messages | grep -c 'WM_HOTKEY 00000064')" "$hotkeys" \
            "Ctrl+Up reached the main window over $caption"
        expect_eq "$(relay_messages | grep -c 'WM_COMMAND 0000006a 00000000')" "$mutes" \
            "the double click sent Mute to the main window over $caption"
        # Mixed mode without a wave line (Wine lists no sessions): the master, then the mute.
        mixer_calls=$((mixer_calls + 2))
        expect_eq "$(grep -c 'trace:mmdevapi:AEV_Set' "$HVX_LOG")" "$mixer_calls" \
            "the volume and the mute were set over $caption"
    done
    # Three double clicks: muted.
    expect_contains "$(drive "${close[@]}" tray rbuttonup ';' menu-items ';' menu-close)" \
        "106 Unmute" "once the dialogs are closed the menu is back, and its item reads Unmute"
}

# Stored values that the dialog's controls cannot show exactly are shown as the nearest choice and
# stored as it. OK writes all sixteen values (the key is deleted behind HVX's back first to see
# that) and the run entry; unticking "Run at startup" deletes the entry.
test_settings_maps_stored_values_and_ok_writes_everything() {
    local -a seeds=(RegRunAtStartup=1 RegSetPredefinedVolumeAtStartup=0 RegMode=5
                    RegShutdownByUsingShortcut=3 RegVolumeStep=1500 RegExactTime=1350
                    RegActionDay=4 RegDefaultMasterVolume=40000)
    local -a stores=()
    local pair
    for pair in "${seeds[@]}"; do stores+=("${pair%%=*}" dword "${pair#*=}"); done
    drive reg-set "${stores[@]}" >/dev/null || hvx_abort "cannot store the seeds"
    hvx_start

    expect_eq "$(drive reg-del-key "$HVX_SETTINGS_KEY" ';' reg-del "$RUN_ENTRY" ';' command 101 \
        ';' wait-dialog Settings "${SETTINGS_CHECK_STEPS[@]}" | settings_checks)" \
        "$(expected_checks 1001 1007 1008)" \
        "Run at startup ticked, Mode 5 as Wave volume, shortcut 3 as Enable"
    local -a after
    mapfile -t after < <(drive click Settings 1 ';' wait-dialog-gone Settings ';' sync ';' \
        reg-dump ';' reg-get "$RUN_ENTRY")
    expect_eq "$(printf '%s\n' "${after[@]:0:${#after[@]}-1}" | sort)" \
        "$(expected_settings "${seeds[@]}" RegMode=2 RegShutdownByUsingShortcut=1)" \
        "OK wrote all sixteen values, Mode as 2 and the shortcut as 1"
    expect_eq "${after[-1]}" "REG_SZ \"$HVX_WIN_EXE\"" \
        "OK wrote the run entry: the quoted full path"

    expect_eq "$(drive command 101 ';' wait-dialog Settings ';' click Settings 1001 ';' \
        click Settings 1 ';' wait-dialog-gone Settings ';' sync ';' \
        reg-get RegRunAtStartup "$RUN_ENTRY")" "REG_DWORD 0
missing" "unticking Run at startup stores 0 and deletes the run entry"
}

# Default sets the controls only: Cancel after it writes nothing; OK after it stores the defaults.
test_settings_default_then_cancel_or_ok() {
    hvx_start
    expect_eq "$(drive reg-del-key "$HVX_SETTINGS_KEY" ';' command 101 ';' wait-dialog Settings \
        "${SETTINGS_CHECK_STEPS[@]}" | settings_checks)" "$(expected_checks 1005 1009)" \
        "stored zeros: nothing ticked, Mixed, Disable"
    expect_eq "$(drive click Settings 1000 "${SETTINGS_CHECK_STEPS[@]}" | settings_checks)" \
        "$(expected_checks 1001 1002 1005 1008)" \
        "Default ticks both start-up boxes, Mixed and Enable"
    expect_eq "$(drive click Settings 2 ';' wait-dialog-gone Settings ';' sync ';' \
        reg-dump ';' reg-get "$RUN_ENTRY")" "missing" "Cancel wrote no setting and no run entry"

    local -a after
    mapfile -t after < <(drive command 101 ';' wait-dialog Settings ';' click Settings 1000 ';' \
        click Settings 1 ';' wait-dialog-gone Settings ';' sync ';' reg-dump ';' \
        reg-get "$RUN_ENTRY")
    expect_eq "$(printf '%s\n' "${after[@]:0:${#after[@]}-1}" | sort)" \
        "$(expected_settings RegRunAtStartup=1 RegSetPredefinedVolumeAtStartup=1 RegMode=0 \
            RegShutdownByUsingShortcut=1)" \
        "Default, OK: run at startup, saved volume at startup, Mixed, shortcut on"
    expect_eq "${after[-1]}" "REG_SZ \"$HVX_WIN_EXE\"" "and the run entry"
}

# The scheduler's dialogs, for their pictures and texts: Auto Shutdown with a weekly alarm in it,
# both of its warnings, the confirmation five minutes before and the alarm. HVX's clock starts on
# Monday at 12:00:05, so that all of it happens within the minute 12:00.
test_scheduler_dialogs_show_their_texts() {
    drive reg-set RegScheduledAction dword 1 RegDialogBeforeAction dword 1 \
        RegExactTime dword 725 RegAction dword 5 RegActionType dword 2 \
        RegActionDay dword 2 >/dev/null || hvx_abort "cannot store the schedule"
    hvx_start --time '2030-01-07 12:00:05'
    local auto='Auto Shutdown Function' confirm='Scheduled Action Confirmation' output
    local -a lines

    # 12:00 is five minutes before 12:05: the confirmation.
    output=$(show_dialog "$confirm" timer 2) || hvx_abort "no confirmation: $output"
    mapfile -t lines <<<"$output"
    screenshot scheduled-action-confirmation "${lines[0]}"
    expect_eq "$(printf '%s\n' "${lines[@]:1}")" "-1 Static Scheduled action after 5 minutes, \
Confirm to launch?
1 Button OK
2 Button Cancel" "the confirmation's question and buttons"

    output=$(show_dialog "$auto" click "$confirm" 1 ';' wait-dialog-gone "$confirm" ';' \
        command 125) || hvx_abort "no Auto Shutdown: $output"
    mapfile -t lines <<<"$output"
    screenshot auto-shutdown-function "${lines[0]}"

    # An hour of 25, then a countdown of 99 minutes: one warning each.
    local entry file radio edit value text
    local -a close=()
    for entry in "warning-invalid-time|1025|1351|25|Invalid Time Input" \
        "warning-invalid-timer|1026|1354|99|Invalid Timer Input"; do
        IFS='|' read -r file radio edit value text <<<"$entry"
        output=$(show_dialog Warning "${close[@]}" click "$auto" "$radio" ';' \
            set-text "$auto" "$edit" "$value" ';' post-click "$auto" 1) ||
            { fail "no warning for $text: $output"; close=(); continue; }
        close=(click Warning 1 ';' wait-dialog-gone Warning ';')
        mapfile -t lines <<<"$output"
        screenshot "$file" "${lines[0]}"
        expect_eq "$(printf '%s\n' "${lines[@]:1}")" "-1 Static $text
1 Button OK" "the warning says $text"
    done

    # The alarm set for now, 12:00, without the confirmation.
    output=$(show_dialog Alarm "${close[@]}" click "$auto" 1025 ';' set-text "$auto" 1351 12 ';' \
        set-text "$auto" 1352 00 ';' click "$auto" 1003 ';' click "$auto" 1 ';' \
        wait-dialog-gone "$auto" ';' timer 2) || hvx_abort "no alarm: $output"
    mapfile -t lines <<<"$output"
    screenshot alarm "${lines[0]}"
    expect_eq "$(printf '%s\n' "${lines[@]:1}")" "-1 Static Scheduled Alarm!
1 Button OK" "the alarm's text"
    expect_ok "OK ends the alarm" -- drive click Alarm 1 ';' wait-dialog-gone Alarm
}

POWER_RELAY='advapi32.AdjustTokenPrivileges;user32.ExitWindowsEx;kernel32.SetSystemPowerState'

# Last in this file: the shutdown ends every process of the prefix.
# Ctrl+Alt+Enter does nothing while the shortcut is off; choosing Enable in Settings makes the
# next press shut down, without a restart of HVX.
test_enable_in_settings_makes_ctrl_alt_enter_shut_down_at_once() {
    hvx_start --relay "$POWER_RELAY"
    expect_ok "Ctrl+Alt+Enter, then Enable in Settings" -- drive keys ctrl+alt+enter ';' \
        command 101 ';' wait-dialog Settings ';' click Settings 1008 ';' click Settings 1 ';' \
        wait-dialog-gone Settings ';' sync
    expect_contains "$(relay_messages)" "WM_HOTKEY 00000384" "the first press reached HVX"
    expect_not_contains "$(relay_names)" user32.ExitWindowsEx "no shutdown while it was off"
    drive keys ctrl+alt+enter --no-sync >/dev/null
    expect_ok "the shutdown ends HVX with the rest of the prefix" -- hvx_wait_exit "$HVX_PID" 20
    expect_eq "$(relay_calls | sed -n 's/^user32\.\(ExitWindowsEx([0-9a-f]*\),.*/\1)/p')" \
        "ExitWindowsEx(0000000d)" "a forced power-off"
}
