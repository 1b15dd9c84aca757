# The tray icon's popup menu.

test_right_click_shows_the_menu() {
    hvx_start
    drive tray rbuttonup >/dev/null || hvx_abort "no tray window"
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
        drive tray "$message" >/dev/null
        expect_ok "HVX handled $message" -- drive wait-ready 5000
        expect_fail "$message shows no menu" -- drive menu-shown
    done
}
