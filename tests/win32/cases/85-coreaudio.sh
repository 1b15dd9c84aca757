# Volume through Core Audio. Wine's endpoint keeps the mute but refuses volume writes (E_NOTIMPL;
# the level always reads 1.0) and lists no sessions (no wave line): the mixer's calls and values are
# checked in-process over fakes, here its wires, read from Wine's +mmdevapi trace of the endpoint.

test_coreaudio_mixer_checks() {
    hvx_program_checks "${HVX_DRIVE%/*}/mixer/coreaudio_mixer_test.exe"
    expect_contains "$(cat coreaudio_mixer_test.log)" "master volume write: refused" \
        "Wine refuses the endpoint volume write, and the mixer reports the failure"
}

# endpoint CALL: the first argument of each such call HVX made on the endpoint, on one line.
endpoint() {
    sed -nE "s/.*:trace:mmdevapi:AEV_$1 \(\w*\)->\(([0-9.]*),.*/\1/p" "$HVX_LOG" | paste -sd' '
}

test_coreaudio_mute_toggle_and_a_refused_volume_step() {
    { reg_set RegMode REG_DWORD 1 && reg_set RegVolumeStep REG_DWORD 2800 &&
        reg_set RegPreWaveVolume REG_DWORD 2222; } || hvx_abort "cannot store the settings"
    hvx_start --debug +mmdevapi,+menu
    # Double click (mute), Ctrl+Left (unmute), double click (mute), then a right click's menu.
    { drive tray 0x203 ';' keys ctrl+left ';' tray 0x203 ';' tray 0x205 ';' wait-menu &&
        wait_for_log 'draw_menu_item \{ ID=0x6a,' && drive keys escape; } || fail "no menu"
    expect_contains "$(menu_drawn)" "106 Unmute" "the menu offers Unmute"
    expect_eq "$(endpoint SetMute)" "0 1 0 1" "the endpoint: the start-up unmute, each toggle"
    # Ctrl+Down from the 1.0 Wine reads asks for 62735/65535; refused, Save stores what is read.
    drive keys ctrl+down ';' command 103 || fail "Ctrl+Down and Save Volume Level not taken"
    expect_eq "$(reg_values | grep '^RegPre')" "RegPreMasterVolume REG_DWORD 0xffff
RegPreWaveVolume REG_DWORD 0x8ae" "the refused step stored nothing; no wave line to read"
    expect_eq "$(endpoint SetMasterVolumeLevelScalar)" 0.957275 "one step down was asked for"
}
