# The schedule through the Windows layer: the Auto Shutdown dialog stores it, the minute tick
# (timer 2, posted here rather than waited for) brings the topmost confirmation five minutes
# before, and an alarm beeps. HVX's clock starts at 22:30:00; the case takes seconds.

AUTO='Auto Shutdown Function'
CONFIRM='Scheduled Action Confirmation'

test_a_schedule_from_the_dialog_confirms_five_minutes_before_and_the_alarm_beeps() {
    hvx_start --time '2024-06-03 22:30:00' --relay 'user32.SetTimer;user32.MessageBeep'
    expect_contains "$(relay_calls)" ",00000002,0000ea60," "timer 2 ticks every 60000 ms"
    # Enabled, with the confirmation, at 22:35, Alarm, Daily.
    drive command 125 ';' click "$AUTO" 1010 ';' click "$AUTO" 1003 ';' set-text "$AUTO" 1351 22 \
        ';' set-text "$AUTO" 1352 35 ';' click "$AUTO" 1020 ';' click "$AUTO" 1022 ';' \
        click "$AUTO" 1 ';' wait-gone "$AUTO" ';' sync || hvx_abort "$AUTO: schedule not entered"
    local stored='^Reg(Action|ActionType|DialogBeforeAction|ExactTime|ScheduledAction) '
    expect_eq "$(reg_values | grep -E "$stored" | sort | cut -d' ' -f3 | paste -sd' ')" \
        "0x5 0x1 0x1 0x54b 0x1" "stored: Alarm, Daily, confirmed, 22:35 (1355), on"

    expect_eq "$(drive timer 2 ';' dialog "$CONFIRM" ';' \
        click "$CONFIRM" 1 ';' wait-gone "$CONFIRM")" "$CONFIRM topmost
-1 Static 0 Scheduled action after 5 minutes, Confirm to launch?
1 Button 0 OK
2 Button 0 Cancel" "the tick at 22:30 brings the topmost confirmation"

    # Now at 22:30, without the confirmation: the tick brings the alarm, which beeps until OK.
    expect_eq "$(drive command 125 ';' click "$AUTO" 1003 ';' set-text "$AUTO" 1352 30 ';' \
        click "$AUTO" 1 ';' wait-gone "$AUTO" ';' timer 2 ';' dialog Alarm)" "Alarm topmost
-1 Static 0 Scheduled Alarm!
1 Button 0 OK" "the tick at 22:30 brings the topmost alarm"
    wait_for_log '^[0-9a-f]*:Call user32\.MessageBeep\(ffffffff\)' || fail "the alarm beeps"
    drive click Alarm 1 ';' wait-gone Alarm || fail "OK ends the alarm"
}
