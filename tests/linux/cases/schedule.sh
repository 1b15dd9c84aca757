# shellcheck shell=bash
# The program's clock runs from a fixed moment and faster (libfaketime). A schedule entered in
# the Auto Shutdown dialog is stored; five minutes before its time the confirmation asks, and at
# its time the call is made.
case_auto_shutdown() {
    local d="Auto Shutdown Function" c="Scheduled Action Confirmation"
    write_conf
    # Ticks every three seconds at about 22:25:20, 22:26:20, ...: the dialog has until 22:26.
    check "starts at 22:24:20, its clock twenty times as fast" start_hvx --at '2026-12-07 22:24:20' 20
    check "the dialog opens" eval 'choose "$d" && atspi window "$d"'
    check "a schedule at 22:31 is entered" atspi set "$d" \
        "Enable Auto Shutdown, Restart, Alarm and Other Functions.=1" \
        "Confirmation Dialog  (5 min. before Action)=1" "Exact Time=1" text#0=22 text#1=31 \
        "Shutdown=1" "Once=1"
    check "OK: the schedule is saved" eval 'atspi press "$d" OK && wait_until 3 conf_are \
        RegScheduledAction=1 RegAction=0 RegExactTime=$((22 * 60 + 31)) RegDialogBeforeAction=1'
    check "at 22:26 the confirmation asks; OK" eval 'atspi window "$c" && atspi press "$c" OK'
    check "at 22:31 it shuts down" wait_until 30 eval '[ -n "$(calls)" ]'
    check "... with PowerOff, not interactive" calls_are "PowerOff False"
}

case_alarm_rings() {  # the alarm rings the X bell until OK
    "$X11" bells "$WORK/bells" &
    local listener=$! && wait_until 5 grep -q ready "$WORK/bells"
    write_conf RegScheduledAction=1 RegAction=5 RegActionType=1 RegExactTime=$((22 * 60 + 25))
    check "starts at 22:24:30, its clock ten times as fast" start_hvx --at '2026-12-07 22:24:30' 10
    check "the alarm comes up at 22:25 and rings the bell" eval \
        'atspi window Alarm && wait_until 5 grep -q bell "$WORK/bells"'
    check "OK closes it" eval 'atspi press Alarm OK && atspi gone Alarm'
    kill "$listener"
}
