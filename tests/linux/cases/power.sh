# shellcheck shell=bash
# Each power item of the menu makes exactly one non-interactive logind call; Ctrl+Alt+R
# restarts, with Caps Lock or Num Lock on, on Dvorak's R and on the Latin R's key behind a
# Russian first layout; a combination another program took first stays inert while the others
# work.
case_power() {
    write_conf RegShutdownByUsingShortcut=1
    "$X11" grab Return control alt >"$WORK/grab.out" &
    local grabber=$! item
    check "starts, Ctrl+Alt+Enter taken first" eval 'wait_until 5 grep -q grabbed "$WORK/grab.out" &&
        start_hvx'
    for item in Shutdown Restart "Log off" Hibernate Standby; do choose "$item"; done
    # Log off ends the program's own session, not the stale one $XDG_SESSION_ID names.
    check "one call per menu item, none interactive" calls_are "PowerOff False;Reboot False;\
GetSessionByPID $HVX_PID;TerminateSession e2e;Hibernate False;Suspend False"
    mock ClearCalls
    # Away from the program's windows: with the pointer on the icon, keys reach it as focus.
    xdotool mousemove 500 500 key ctrl+alt+r Caps_Lock ctrl+alt+r Caps_Lock Num_Lock ctrl+alt+r \
        Num_Lock ctrl+alt+Return
    check "Ctrl+Alt+R restarts, with Caps Lock and Num Lock too; a taken Ctrl+Alt+Enter is inert" \
        calls_are "Reboot False;Reboot False;Reboot False"
    setxkbmap dvorak && idle  # the program has taken the new layout in
    xdotool key ctrl+alt+r
    check "Ctrl+Alt+R on Dvorak's R restarts" calls_are "$(printf 'Reboot False;%.0s' 1 2 3)Reboot False"
    setxkbmap us && local r && r=$("$X11" keycode r) && setxkbmap ru,us && idle
    mock ClearCalls && xdotool key ctrl+alt+"$r"  # the Latin R's key, Cyrillic in group 1
    check "Ctrl+Alt+R with Russian first: one restart" calls_are "Reboot False"
    setxkbmap us && kill "$grabber"
}
