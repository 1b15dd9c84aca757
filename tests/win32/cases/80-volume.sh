# Volume control against Wine's real WINMM mixer (the prefix's sound device is an ALSA null
# device). Wine keeps mixer values per process, so what HVX set is seen through HVX itself: Save
# Volume Level writes the master level it reads into the registry, and the +alsa trace shows the
# values HVX's mixer calls hand to the sound driver. Wine's wave line is a stub that reads 0.

# CVolumeMixer's in-process checks over WinmmMixer, built beside the driver.
MIXER_CHECKS=${HVX_DRIVE%/*}/mixer/winmm_mixer_test.exe
ADVANCED='Advanced Options'

# The mute states HVX handed to the sound driver so far, in order, on one line.
mute_writes() {
    sed -n 's/.*SimpleAudioVolume_SetMute ([0-9A-Fa-f]*)->(\([0-9]*\),.*/\1/p' "$HVX_LOG" |
        tr '\n' ' ' | sed 's/ $//'
}

# Does what its arguments say (a driver command, or nothing), then prints the menu's label of
# command 106, read after a right click: one run of the driver.
mute_label_after() {
    local -a first=()
    (($#)) && first=("$@" ';')
    drive "${first[@]}" tray rbuttonup ';' menu-items ';' menu-close | sed -n 's/^106 //p'
}

test_winmm_mixer_checks_with_a_sound_device() {
    expect_ok "the prefix offers a mixer (ALSA null device)" -- test "$(drive mixer-devs)" -gt 0
    hvx_program_checks "$MIXER_CHECKS"
    expect_contains "$(cat "$CASE_DIR/winmm_mixer_test.log")" \
        "master volume: present, bounds 0..65535" "Wine's master volume spans 0..65535"
}

test_winmm_mixer_checks_without_a_sound_device() {
    # An empty ALSA configuration defines no PCM at all, whatever sound cards the host has.
    : >"$CASE_DIR/no-sound.conf"
    ALSA_CONFIG_PATH=$CASE_DIR/no-sound.conf hvx_program_checks "$MIXER_CHECKS"
    expect_contains "$(cat "$CASE_DIR/winmm_mixer_test.log")" "mixer devices: 0" \
        "without ALSA devices Wine offers no mixer"
}

# saved_after [DRIVER COMMAND ';' ...]: runs them, then Save Volume Level (103), and prints the
# saved master and wave levels it stored: one run of the driver.
saved_after() {
    local -a first=()
    (($#)) && first=("$@" ';')
    drive "${first[@]}" command 103 ';' reg-get RegPreMasterVolume RegPreWaveVolume |
        sed 's/^REG_DWORD //' | paste -sd ' '
}

# Master only (mode 1): real Ctrl+Up keys step the level HVX set with Use Saved Volume Level, the
# posted Ctrl+Down hotkey steps it back, and Save Volume Level stores what the device then holds
# (Wine's wave line always reads 0). Restore Default Volume Level then sets and saves the default
# levels, and Use Saved brings them back after a step.
test_master_only_hotkeys_and_the_level_commands() {
    drive reg-set RegMode dword 1 RegVolumeStep dword 2800 RegPreMasterVolume dword 30000 \
        RegDefaultMasterVolume dword 20000 RegDefaultWaveVolume dword 5000 >/dev/null ||
        hvx_abort "cannot store the settings"
    hvx_start --relay 'user32.MessageBeep;user32.SetTimer;user32.UnregisterHotKey;winmm.mixerClose'
    expect_eq "$(saved_after command 104 ';' keys ctrl+up)" "32800 0" \
        "Use Saved put the master at 30000; Ctrl+Up added one step"
    expect_eq "$(saved_after hotkey 200 ';' hotkey 200)" "27200 0" "two steps down"
    expect_not_contains "$(relay_calls)" MessageBeep "no beep below the top"
    # 13 steps reach 63600; the 14th would pass 65535, so it writes the top and beeps.
    # shellcheck disable=SC2046
    expect_eq "$(saved_after keys $(printf 'ctrl+up %.0s' {1..14}))" "65535 0" "held at the top"
    expect_eq "$(relay_calls | grep -c '^user32.MessageBeep(ffffffff)')" 1 "one limit beep"
    expect_eq "$(relay_calls | grep -c '^user32.SetTimer([0-9a-f]*,00000001,000000fa,')" 1 \
        "the beep arms timer 1 for 250 ms"

    expect_eq "$(drive command 105 ';' reg-get RegPreMasterVolume RegPreWaveVolume |
        paste -sd ' ')" "REG_DWORD 20000 REG_DWORD 5000" \
        "Restore Default: the defaults become the saved levels"
    expect_eq "$(saved_after)" "20000 0" "the device holds the default master level"
    expect_eq "$(saved_after hotkey 200 ';' command 104)" "20000 0" \
        "Use Saved brings the default back after a step down"

    expect_ok "Exit ends HVX" -- hvx_exit
    expect_eq "$(relay_names | grep -E 'UnregisterHotKey|mixerClose' | uniq -c |
        awk '{ print $1, $2 }')" "6 user32.UnregisterHotKey
1 winmm.mixerClose" "Exit closes the mixer once, after letting go of the hotkeys"
}

# Mixed mode (0, the default) with the saved level recalled at start-up: up, each line takes half
# the step (the wave line's half goes to Wine's stub, which stays at 0).
test_mixed_mode_hotkeys_move_the_master_by_half_a_step() {
    drive reg-set RegSetPredefinedVolumeAtStartup dword 1 RegPreMasterVolume dword 30000 \
        RegPreWaveVolume dword 9000 RegVolumeStep dword 2801 >/dev/null ||
        hvx_abort "cannot store the settings"
    hvx_start
    expect_eq "$(saved_after)" "30000 0" "start-up recalled the saved master level"
    expect_eq "$(saved_after hotkey 100)" "31400 0" "half of 2801, fraction dropped, up"
    # Down, the wave line (0) is at its bottom: it is written its minimum and, unlike on the way
    # up, the master does not take the step.
    expect_eq "$(saved_after keys ctrl+down)" "31400 0" "the master stays while the wave is at 0"
}

test_double_click_and_ctrl_left_toggle_the_mute_and_its_label() {
    hvx_start --debug +alsa
    expect_eq "$(mute_label_after)" Mute "unmuted at start"
    expect_eq "$(mute_label_after tray lbuttondblclk)" Unmute "a double click mutes"
    expect_eq "$(mute_label_after tray lbuttondblclk)" Mute "another double click unmutes"
    expect_eq "$(mute_label_after keys ctrl+left)" Unmute "Ctrl+Left mutes"
    expect_eq "$(mute_label_after hotkey 400)" Mute "hotkey 400 unmutes"
    # While a menu dialog is open the menu is refused, but the double click still mutes.
    drive command 102 ';' wait-dialog "$ADVANCED" 5000 ';' tray lbuttondblclk ';' \
        click "$ADVANCED" 2 ';' wait-dialog-gone "$ADVANCED" 5000 >/dev/null ||
        fail "$ADVANCED did not open and close"
    expect_eq "$(mute_label_after)" Unmute "a double click while $ADVANCED was open muted"
    expect_eq "$(mute_writes)" "0 1 0 1 0 1" "the device got: unmute at start-up, then each toggle"
}

# advanced_state [DRIVER COMMAND ';' ...]: runs them, then prints what the dialog shows on one
# line: the master, wave and step slider positions, then the step edit's text.
advanced_state() {
    drive "$@" slider-pos "$ADVANCED" 1342 ';' slider-pos "$ADVANCED" 1340 ';' \
        slider-pos "$ADVANCED" 1341 ';' dialog-text "$ADVANCED" 1351 | paste -sd ' '
}

# Opens the dialog from the menu command and prints what it shows.
open_advanced() {
    advanced_state command 102 ';' wait-dialog "$ADVANCED" 5000 ';'
}

# stored_after DRIVER COMMAND [';' ...]: runs them (the last closes the dialog), waits for the
# dialog to go and for HVX to finish the command that ran it (the dialog hides before HVX saves),
# and prints the three stored values the dialog edits, on one line.
stored_after() {
    drive "$@" ';' wait-dialog-gone "$ADVANCED" 5000 ';' sync ';' \
        reg-get RegDefaultMasterVolume RegDefaultWaveVolume RegVolumeStep |
        sed 's/^REG_DWORD //' | paste -sd ' '
}

# The dialog through its real controls: the device's bounds, the stored values (two of them out of
# range), the step edit following the step slider, Default, Cancel, OK.
test_advanced_options_through_its_controls() {
    drive reg-set RegDefaultMasterVolume dword 70000 RegDefaultWaveVolume dword 12345 \
        RegVolumeStep dword 20000 >/dev/null || hvx_abort "cannot store the settings"
    hvx_start
    expect_eq "$(open_advanced)" "65535 12345 16800 20000" \
        "70000 and the step 20000 shown at their sliders' ends, the edit shows the stored step"
    expect_eq "$(drive slider-range "$ADVANCED" 1342 ';' slider-range "$ADVANCED" 1340 ';' \
        slider-range "$ADVANCED" 1341 | paste -sd ,)" "0 65535,0 65535,0 16800" \
        "master and wave span the device's bounds, the step 0..16800"
    # The master slider has the focus: a real key moves it, and the edit takes the step slider's.
    expect_eq "$(advanced_state keys left ';')" "65534 12345 16800 16800" \
        "moving the master refreshes the edit from the step slider"
    expect_eq "$(advanced_state click "$ADVANCED" 1000 ';')" "32767 32767 2800 2800" \
        "Default: half of each maximum and step 2800"
    expect_eq "$(stored_after click "$ADVANCED" 2)" "70000 12345 20000" "Cancel stores nothing"

    expect_eq "$(open_advanced)" "65535 12345 16800 20000" "opened again as before"
    expect_eq "$(stored_after click "$ADVANCED" 1)" "65535 12345 16800" \
        "OK untouched stores the shown, clamped, positions"

    open_advanced >/dev/null
    expect_eq "$(advanced_state slider-drag "$ADVANCED" 1341 5600 ';')" "65535 12345 5600 5600" \
        "the edit follows the step thumb's drag"
    expect_eq "$(drive keys tab tab home ';' dialog-text "$ADVANCED" 1351 ';' \
        keys end ';' dialog-text "$ADVANCED" 1351 | paste -sd ' ')" "0 16800" \
        "Tab to the step slider; Home and End move it, the edit follows"
    expect_eq "$(stored_after slider-drag "$ADVANCED" 1341 5600 ';' click "$ADVANCED" 1)" \
        "65535 12345 5600" "OK stores the dragged step"

    open_advanced >/dev/null
    expect_eq "$(stored_after click "$ADVANCED" 1000 ';' click "$ADVANCED" 1)" \
        "32767 32767 2800" "Default then OK stores the defaults"
}

# Without a sound device every mixer call fails: nothing moves, nothing breaks, and what the
# commands save is the settings as they were.
test_without_a_sound_device() {
    drive reg-set RegMode dword 1 RegVolumeStep dword 2800 RegPreMasterVolume dword 1111 \
        RegPreWaveVolume dword 2222 RegDefaultMasterVolume dword 3333 \
        RegDefaultWaveVolume dword 4444 >/dev/null || hvx_abort "cannot store the settings"
    : >"$CASE_DIR/no-sound.conf"
    ALSA_CONFIG_PATH=$CASE_DIR/no-sound.conf hvx_start
    expect_eq "$(saved_after keys ctrl+up ';' hotkey 200 ';' command 104)" "1111 2222" \
        "Save Volume Level keeps the saved levels it cannot read"
    expect_eq "$(mute_label_after tray lbuttondblclk)" Mute "no mute to toggle: the label stays"
    expect_eq "$(open_advanced)" "0 0 2800 2800" "no volume range to show"
    expect_eq "$(drive slider-range "$ADVANCED" 1342)" "0 0" "the master slider spans nothing"
    expect_eq "$(stored_after slider-drag "$ADVANCED" 1341 4200 ';' click "$ADVANCED" 1)" \
        "3333 4444 4200" "OK keeps the default levels it could not show and stores the step"
    expect_eq "$(drive command 105 ';' reg-get RegPreMasterVolume RegPreWaveVolume |
        paste -sd ' ')" "REG_DWORD 3333 REG_DWORD 4444" \
        "Restore Default still makes the defaults the saved levels"
    expect_ok "HVX runs on" -- drive wait-ready 5000
}
