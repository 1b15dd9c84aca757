# One instance per machine; Exit ends it completely.

test_second_start_exits_at_once() {
    hvx_start
    local first=$HVX_PID
    local visible='user32.CreateWindowExW;user32.CreateWindowExA;user32.RegisterHotKey'
    visible+=';shell32.Shell_NotifyIconW;shell32.Shell_NotifyIconA'
    visible+=';advapi32.RegSetValueExW;advapi32.RegCreateKeyExW'
    hvx_start --no-wait --relay "$visible"
    expect_ok "the second process ends by itself" -- hvx_wait_exit "$HVX_PID" 10
    expect_eq "$(relay_calls)" "" "it made no window, icon, hotkey or registry write"
    expect_eq "$(drive count-main)" 1 "one main window"
    expect_eq "$(drive proc-count HVX.exe)" 1 "one HVX process"
    expect_ok "the first instance keeps running" -- kill -0 "$first"
    expect_ok "and answers" -- drive wait-ready 5000
}

test_exit_from_the_menu_ends_everything() {
    hvx_start --relay 'shell32.Shell_NotifyIconW;shell32.Shell_NotifyIconA;user32.UnregisterHotKey'
    expect_ok "the tray window exists" -- drive tray-window
    drive tray rbuttonup >/dev/null
    expect_ok "Exit is picked from the menu" -- drive menu-pick 112
    expect_ok "the main window goes" -- drive wait-gone 5000
    expect_ok "the process ends" -- hvx_wait_exit "$HVX_PID" 10
    expect_fail "the tray window is gone" -- drive tray-window
    expect_eq "$(drive proc-count HVX.exe)" 0 "no HVX process"
    local calls
    calls=$(relay_calls)
    # NIM_ADD is 0, NIM_DELETE 2.
    expect_eq "$(grep -c '^shell32.Shell_NotifyIcon[AW](00000000,' <<<"$calls")" 1 "one icon added"
    expect_eq "$(grep -c '^shell32.Shell_NotifyIcon[AW](00000002,' <<<"$calls")" 1 \
        "the icon is deleted"
    expect_eq "$(grep -c '^user32.UnregisterHotKey(' <<<"$calls")" 6 "six hotkeys unregistered"
}
