# The tray icon's popup menu.

test_right_click_shows_the_menu() {
    hvx_start
    drive tray rbuttonup >/dev/null || hvx_abort "no tray window"
    expect_ok "the menu is up once HVX has taken the click" -- drive menu-shown
    expect_eq "$(drive menu-items)" "$HVX_MENU_ITEMS" "the nineteen entries in order"
    expect_eq "$(drive menu-default)" 125 "Auto Shutdown Function is the default item"
    expect_ok "Escape closes the menu" -- drive menu-close escape
    expect_fail "no menu is left" -- drive menu-shown
    expect_ok "HVX is still running" -- drive wait-ready 5000
}

test_clicks_that_are_not_a_right_button_up_show_no_menu() {
    hvx_start
    local message
    for message in lbuttondown lbuttonup rbuttondown mousemove; do
        expect_ok "HVX takes $message" -- drive tray "$message"
        expect_fail "$message shows no menu" -- drive menu-shown
    done
}

# While a dialog opened from the menu shows, a right click brings no menu; afterwards it does.
test_no_menu_while_a_menu_dialog_is_open() {
    hvx_start
    local entry command caption
    for entry in "110 About" "109 Help"; do
        read -r command caption <<<"$entry"
        drive command "$command" >/dev/null
        drive wait-dialog "$caption" 5000 >/dev/null || { fail "$caption did not open"; continue; }
        expect_ok "HVX takes the right click" -- drive tray rbuttonup
        expect_fail "no menu while $caption is open" -- drive menu-shown
        drive click "$caption" 1 >/dev/null
        expect_ok "OK closes $caption" -- drive wait-dialog-gone "$caption" 5000
        drive tray rbuttonup >/dev/null
        expect_ok "the menu comes back after $caption" -- drive menu-items 5000
        drive menu-close >/dev/null
    done
}
