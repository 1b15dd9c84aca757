# One instance; the tray menu; Exit.

test_one_instance_and_the_tray_menu_exit_removes_icon_and_hotkeys() {
    hvx_start --relay 'shell32.Shell_NotifyIconW;user32.UnregisterHotKey' --debug +menu
    timeout 10 wine "$HVX_WIN_EXE" >hvx.second.log 2>&1 || fail "a second start exits at once"
    kill -0 "$HVX_PID" || hvx_abort "the first instance ended"

    # A right click on the icon (WM_RBUTTONUP) shows the menu; Up picks its last item, Exit.
    drive tray 0x205 ';' wait-menu ';' keys up enter || fail "the menu did not take Up, Enter"
    hvx_wait_exit || fail "Exit from the menu ends HVX"
    expect_eq "$(menu_drawn | paste -sd'|')" "125 Auto Shutdown Function (default)|-|\
120 Shutdown|121 Restart|122 Log off|123 Hibernate|124 Standby|-|103 Save Volume Level|\
104 Use Saved Volume Level|105 Restore Default Volume Level|106 Mute|-|101 Settings|\
102 Advanced Options|-|109 Help|110 About|112 Exit" "the menu shows its nineteen items"
    expect_eq "$(relay_calls | sed -n 's/^shell32.Shell_NotifyIconW(\([0-9a-f]*\),.*/\1/p
        s/^user32.UnregisterHotKey([0-9a-f]*,\([0-9a-f]*\))/\1/p' | paste -sd' ')" \
        "00000000 00000001 00000002 00000064 000000c8 0000012c 00000190 00000320 00000384" \
        "the icon is added, its tip given the state (NIM_MODIFY); Exit deletes it (NIM_DELETE) \
and frees the six hotkeys"
}
