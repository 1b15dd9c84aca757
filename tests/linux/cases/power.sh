# shellcheck shell=bash
# Each power item of the menu makes exactly one non-interactive logind call.
case_power_menu() {
    write_conf
    check "starts" start_hvx
    local item
    for item in Shutdown Restart "Log off" Hibernate Standby; do choose "$item"; done
    check "one call per item, none interactive" calls_are \
        "PowerOff False;Reboot False;TerminateSession hvx-e2e;Hibernate False;Suspend False"
}

# Ctrl+Alt+R restarts, also with Caps Lock and Num Lock on; a combination another program took
# first stays inert while the others work.
case_power_hotkeys() {
    write_conf RegShutdownByUsingShortcut=1
    "$XHELPER" grab Return control alt >"$WORK/grab.out" &
    local grabber=$!
    wait_until 5 grep -q grabbed "$WORK/grab.out"
    check "starts" start_hvx
    xdotool key ctrl+alt+r Caps_Lock ctrl+alt+r Caps_Lock Num_Lock ctrl+alt+r Num_Lock ctrl+alt+Return
    check "Ctrl+Alt+R restarts, with Caps Lock and Num Lock too; a taken Ctrl+Alt+Enter is inert" \
        calls_are "Reboot False;Reboot False;Reboot False"
    kill "$grabber"
}
