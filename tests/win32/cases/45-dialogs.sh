# Dialogs built from the templates in resources/, as the Windows dialog host shows them.

test_about_shows_its_controls_and_escape_closes_it() {
    hvx_start
    drive command 110 >/dev/null
    drive wait-dialog About 5000 >/dev/null || hvx_abort "About did not open"
    expect_eq "$(drive dialog-controls About)" "-1 Static HVX (version 1.0)
-1 Static Timed shutdown, restart and alarm, and volume hotkeys.
-1 Static Provided as is.
-1 Static HVX is made and looked after by the HVX developers. It keeps its settings on this computer and never uses the network.
1 Button OK" "the template's controls, in order, with their texts"
    expect_ok "Escape reaches the dialog" -- drive keys escape
    expect_ok "Escape closes About" -- drive wait-dialog-gone About 5000
    expect_ok "HVX runs on" -- drive wait-ready 5000
}
