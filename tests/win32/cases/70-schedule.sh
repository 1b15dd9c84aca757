# The schedule through its dialogs: the Auto Shutdown dialog and its warnings, the confirmation
# five minutes before, the alarm. Where the minute matters, HVX's clock starts at the beginning of
# it (--time); a case takes seconds, far less than the minute.

AUTO='Auto Shutdown Function'
CONFIRM='Scheduled Action Confirmation'

# The seven stored values of the schedule, in this order.
SCHEDULE_VALUES=(RegScheduledAction RegDialogBeforeAction RegExactTime RegAction RegActionType
                 RegActionDay RegDisableOnce)

schedule_stored() {
    drive reg-get "${SCHEDULE_VALUES[@]}" | sed 's/^REG_DWORD //' | paste -sd' '
}

# One hvxdrive run for several steps in the Auto Shutdown dialog (each Wine start costs time):
# ID=TEXT types TEXT into edit box ID, ID clicks button ID, ID#N picks item N of list ID.
in_auto() {
    local -a steps=()
    local step
    for step in "$@"; do
        ((${#steps[@]})) && steps+=(';')
        case $step in
        *=*) steps+=(set-text "$AUTO" "${step%%=*}" "${step#*=}") ;;
        *'#'*) steps+=(combo-pick "$AUTO" "${step%%#*}" "${step#*#}") ;;
        *) steps+=(click "$AUTO" "$step") ;;
        esac
    done
    drive "${steps[@]}" >/dev/null || fail "in $AUTO: $* (stopped at a step)"
}

# The Auto Shutdown dialog's controls as one line, "ID VALUE ..." (see hvxdrive dialog-state),
# sorted by id: confirm, enable, the six actions, the three schedule types, the weekday (the
# list shows its items in upper case: its style), Exact Time, Timer, the four edit boxes.
sort_state() {
    sort -n | paste -sd' '
}

auto_state() {
    local out
    out=$(drive dialog-state "$AUTO") || return 1
    sort_state <<<"$out"
}

# Opens the dialog by its menu command and prints auto_state.
open_auto_shutdown() {
    local out
    out=$(drive command 125 ';' wait-dialog "$AUTO" 5000 ';' dialog-state "$AUTO") ||
        hvx_abort "$AUTO did not open"
    sort_state <<<"$out"
}

# auto_state for: ENABLE CONFIRM MODE(exact|timer) EH EM TH TM ACTION(0-5) TYPE(0-2) DAY
auto_state_of() {
    local enable=$1 confirm=$2 mode=$3 eh=$4 em=$5 th=$6 tm=$7 action=$8 type=$9 day=${10}
    local line="1003 $confirm 1010 $enable" i
    for i in 0 1 2 3 4 5; do line+=" $((1015 + i)) $((action == i))"; done
    for i in 0 1 2; do line+=" $((1021 + i)) $((type == i))"; done
    line+=" 1024 $day 1025 $([[ $mode == exact ]] && echo 1 || echo 0)"
    line+=" 1026 $([[ $mode == timer ]] && echo 1 || echo 0)"
    echo "$line 1351 $eh 1352 $em 1353 $th 1354 $tm"
}

# OK (or another closing button), then wait until the dialog has gone and HVX has done what it
# does after it.
close_auto() {  # [BUTTON]
    drive click "$AUTO" "${1:-1}" ';' wait-dialog-gone "$AUTO" 5000 ';' sync >/dev/null ||
        hvx_abort "$AUTO stayed open after button ${1:-1}"
}

test_a_schedule_entered_in_the_dialog_is_stored_and_shown_again() {
    hvx_start
    expect_eq "$(open_auto_shutdown)" "$(auto_state_of 0 0 exact 00 00 00 00 0 0 -)" \
        "a fresh start opens unchecked, at 00:00, Shutdown, Once, no weekday"
    # Enable, confirm, 7 : 5 (the timer boxes are not read in Exact Time mode, whatever they
    # hold), Log off, Weekly, Wednesday.
    in_auto 1010 1003 1351=7 1352=5 1353=99 1354=99 1017 1023 '1024#3'
    close_auto
    expect_eq "$(schedule_stored)" "1 1 425 2 2 4 0" \
        "enabled, confirmed, 07:05 = 425, Log off, Weekly, Wednesday, no skip"

    expect_eq "$(open_auto_shutdown)" "$(auto_state_of 1 1 exact 07 05 00 00 2 2 WED)" \
        "the next opening shows 07 : 05 with everything as entered"
    in_auto 1351=12 1015 1022
    close_auto 2
    expect_eq "$(schedule_stored)" "1 1 425 2 2 4 0" "Cancel stores nothing"
}

# 2:30 from 22:45 is 01:15 the next day; a weekly schedule keeps its weekday all the same.
test_a_countdown_stores_now_plus_the_countdown() {
    drive reg-set RegActionType dword 2 RegActionDay dword 2 >/dev/null || hvx_abort "cannot seed"
    hvx_start --time '2024-06-03 22:45:00' # a Monday
    open_auto_shutdown >/dev/null
    # The exact boxes are not read in Timer mode.
    in_auto 1026 1353=2 1354=30 1351=99 1352=99
    close_auto
    expect_eq "$(schedule_stored)" "0 0 75 0 2 2 0" "22:45 + 2:30 stored as 75 (01:15), Monday kept"
    expect_eq "$(open_auto_shutdown)" "$(auto_state_of 0 0 exact 01 15 00 00 0 2 MON)" \
        "the next opening shows the resulting time in Exact Time mode, the timer at 00 : 00"
    expect_ok "the close box closes it" -- \
        drive dialog-close "$AUTO" ';' wait-dialog-gone "$AUTO" 5000
}

test_invalid_times_warn_and_keep_the_dialog_open() {
    hvx_start
    local before
    before=$(drive reg-dump | sort)
    open_auto_shutdown >/dev/null
    # mode, hours, minutes, the warning's line. The timer rows come last: the exact boxes still
    # hold the last invalid exact time then, which Timer mode does not read.
    local -a rows=(
        "exact 24 00 Invalid Time Input"
        "exact 23 60 Invalid Time Input"
        "exact -1 10 Invalid Time Input"
        "timer 24 00 Invalid Timer Input"
        "timer 5 -1 Invalid Timer Input"
    )
    local row mode hours minutes warning shown state
    local eh=00 em=00 th=00 tm=00
    for row in "${rows[@]}"; do
        read -r mode hours minutes warning <<<"$row"
        if [[ $mode == exact ]]; then
            in_auto 1351="$hours" 1352="$minutes"
            eh=$hours em=$minutes
        else
            in_auto 1026 1353="$hours" 1354="$minutes"
            th=$hours tm=$minutes
        fi
        # Posted: OK runs the warning's modal loop and does not return until it closes.
        if ! shown=$(drive post-click "$AUTO" 1 ';' wait-dialog Warning 5000 ';' \
            dialog-controls Warning); then
            fail "$mode $hours:$minutes brought no warning"
            continue
        fi
        expect_eq "$shown" "-1 Static $warning
1 Button OK" "$mode $hours:$minutes warns \"$warning\""
        expect_fail "the dialog underneath takes no input while the warning shows" -- \
            drive is-enabled "$AUTO"
        if ! state=$(drive click Warning 1 ';' wait-dialog-gone Warning 5000 ';' \
            dialog-state "$AUTO"); then
            fail "after the warning for $mode $hours:$minutes: $state"
            break
        fi
        expect_eq "$(sort_state <<<"$state")" \
            "$(auto_state_of 0 0 "$mode" "$eh" "$em" "$th" "$tm" 0 0 -)" \
            "after $mode $hours:$minutes the dialog is open with the input untouched"
    done
    expect_eq "$(drive reg-dump | sort)" "$before" "nothing was stored"
    expect_ok "Escape closes the dialog" -- drive keys escape ';' wait-dialog-gone "$AUTO" 5000
    expect_eq "$(drive sync ';' reg-dump | sort)" "$before" "nor on Escape"
}

# A daily shutdown at 22:30; HVX's clock at 22:25. Each answer is given to a confirmation of its
# own: every tick in 22:25 shows one, as the check keeps no record of the minutes it handled.
test_the_confirmation_comes_up_topmost_and_cancel_stores_a_skip() {
    drive reg-set RegScheduledAction dword 1 RegDialogBeforeAction dword 1 \
        RegExactTime dword 1350 RegAction dword 0 RegActionType dword 1 >/dev/null ||
        hvx_abort "cannot seed"
    hvx_start --time '2024-06-03 22:25:00'
    local before
    before=$(drive reg-dump | sort)
    local shown
    shown=$(drive timer 2 ';' wait-dialog "$CONFIRM" 5000 ';' is-topmost "$CONFIRM" ';' \
        dialog-controls "$CONFIRM") || hvx_abort "the tick at 22:25 brought no topmost confirmation"
    expect_eq "$shown" "yes
-1 Static Scheduled action after 5 minutes, Confirm to launch?
1 Button OK
2 Button Cancel" "a topmost confirmation with its text and buttons"
    # the answer, RegDisableOnce after it
    local -a rows=("OK 0" "close-box 1" "Escape 1" "Cancel 1")
    local row answer stored first=1 after
    local -a how
    for row in "${rows[@]}"; do
        read -r answer stored <<<"$row"
        case $answer in
        OK) how=(click "$CONFIRM" 1) ;;
        close-box) how=(dialog-close "$CONFIRM") ;;
        Escape) how=(keys escape) ;;
        Cancel) how=(click "$CONFIRM" 2) ;;
        esac
        if ((!first)); then
            drive reg-set RegDisableOnce dword 0 ';' timer 2 ';' wait-dialog "$CONFIRM" 5000 \
                >/dev/null || { fail "the next tick at 22:25 brought no confirmation"; break; }
        fi
        first=0
        if ! after=$(drive "${how[@]}" ';' wait-dialog-gone "$CONFIRM" 5000 ';' sync ';' \
            reg-dump); then
            fail "$answer did not close the confirmation"
            continue
        fi
        expect_contains "$after" "RegDisableOnce REG_DWORD $stored" \
            "$answer leaves RegDisableOnce $stored"
        if [[ $answer == OK ]]; then
            expect_eq "$(sort <<<"$after")" "$before" "OK stores nothing"
        fi
    done
    expect_ok "HVX runs on" -- drive wait-ready 5000
}

# MessageBeep calls in the relay trace so far.
beeps() {
    relay_calls | grep -c '^user32\.MessageBeep(ffffffff)'
}

# An alarm entered as the Default schedule with a countdown of 00 : 00, which is now, 22:30: the
# next tick, still in 22:30, opens the alarm, which beeps about four times a second until OK; then
# the once schedule ends.
test_an_alarm_beeps_until_ok() {
    hvx_start --relay 'user32.MessageBeep;user32.SetTimer;user32.KillTimer' \
        --time '2024-06-03 22:30:00'
    open_auto_shutdown >/dev/null
    in_auto 1000
    expect_eq "$(auto_state)" "$(auto_state_of 1 1 exact 00 00 00 00 0 0 SUN)" \
        "Default: enabled, confirmed, 00 : 00, Shutdown, Once, Sunday"
    in_auto 1020 1026
    close_auto
    expect_eq "$(schedule_stored)" "1 1 1350 5 0 1 0" "an alarm at 22:30, once"
    expect_eq "$(drive timer 2 ';' wait-dialog Alarm 5000 ';' is-topmost Alarm)" yes \
        "the tick at 22:30 brings a topmost alarm" || hvx_abort "no topmost alarm"
    # Counted over a measured while; generous bounds, as a loaded machine delays timers.
    local n0 t0 n1 t1 rate
    n0=$(beeps) t0=$EPOCHREALTIME
    sleep 2
    n1=$(beeps) t1=$EPOCHREALTIME
    rate=$(awk -v n="$((n1 - n0))" -v a="$t0" -v b="$t1" 'BEGIN { printf "%.2f", n / (b - a) }')
    expect_ok "about four beeps a second (measured $rate)" -- \
        awk -v r="$rate" 'BEGIN { exit !(r >= 2.5 && r <= 5.5) }'
    expect_eq "$(drive reg-get RegScheduledAction)" "REG_DWORD 1" \
        "the once schedule stays on while the alarm shows"

    expect_ok "OK closes the alarm" -- drive click Alarm 1 ';' wait-dialog-gone Alarm 5000 ';' sync
    local n2
    n2=$(beeps)
    sleep 1 # four periods of the beep timer
    expect_eq "$(beeps)" "$n2" "no beep after OK"
    expect_eq "$(relay_calls | grep -E '^user32\.(SetTimer|KillTimer)\([0-9a-f]*,00000003' |
        sed 's/(.*//')" "user32.SetTimer
user32.KillTimer" "timer 3 started for the alarm and stopped after it"
    expect_eq "$(relay_calls | sed -n '/^user32\.KillTimer([0-9a-f]*,00000003/,$p' |
        grep -c MessageBeep)" 0 "no beep once the timer has stopped"
    expect_eq "$(schedule_stored)" "0 1 1350 5 0 1 0" "the once schedule has ended, no skip"
    expect_ok "HVX runs on" -- drive wait-ready 5000
}
