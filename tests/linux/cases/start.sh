# shellcheck shell=bash
# Start-up writes the sixteen values in their section; a second start leaves at once; Exit ends
# the program cleanly and frees its hotkeys.
case_start_and_single_instance() {
    check "the icon appears in the tray" start_hvx
    check "sixteen values, all 0, in one section" test "$(grep -c '^Reg[A-Za-z]*=0$' "$CONF")" = 16 \
        -a "$(grep -c '^\[' "$CONF")" = 1 -a "$(head -1 "$CONF")" = '[Software\Tessaron\HVX]'
    check "a second start exits with 0" timeout 10 "$HVX"
    check "... leaving one icon" test "$("$XHELPER" icon-count)" = 1
    check "Exit from the menu ends the program" choose Exit
    check "... promptly and without sanitizer reports" eval "wait_until 10 hvx_gone && stop_hvx"
    check "... and frees its hotkeys" test "$(timeout 2 "$XHELPER" grab r control alt)" = grabbed
}
