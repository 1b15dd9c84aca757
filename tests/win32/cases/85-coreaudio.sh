# HVX.exe's volume through Core Audio under Wine. Wine's endpoint keeps the mute but refuses volume
# writes (E_NOTIMPL, the level always reads 1.0) and lists no sessions, so there is no wave line;
# the calls and values are checked in-process over fakes. Wine's +mmdevapi trace shows the calls
# that reach the endpoint, with their values.

MIXER_CHECKS=${HVX_DRIVE%/*}/mixer/coreaudio_mixer_test.exe

test_coreaudio_mixer_checks() {
    hvx_program_checks "$MIXER_CHECKS"
    expect_contains "$(cat "$CASE_DIR/coreaudio_mixer_test.log")" "master volume write: refused" \
        "Wine refuses the endpoint volume write, and the mixer reports the failure"
}

test_coreaudio_mixer_checks_without_a_sound_device() {
    # An empty ALSA configuration defines no PCM at all: Wine has no default playback device.
    : >"$CASE_DIR/no-sound.conf"
    ALSA_CONFIG_PATH=$CASE_DIR/no-sound.conf hvx_program_checks "$MIXER_CHECKS"
    expect_contains "$(cat "$CASE_DIR/coreaudio_mixer_test.log")" "devices: 0" "no device"
}

# endpoint CALL: the first value of each such call HVX made on the endpoint, on one line.
endpoint() {
    sed -n "s/.*:AEV_$1 ([0-9A-Fa-f]*)->(\([0-9.]*\),.*/\1/p" "$HVX_LOG" | paste -sd ' '
}

test_coreaudio_mute_toggle_and_a_refused_volume_write() {
    expect_fail "HVX.exe no longer uses the WINMM mixer" -- hvx_imports mixerOpen
    drive reg-set RegMode dword 1 RegVolumeStep dword 2800 RegPreWaveVolume dword 2222 \
        >/dev/null || hvx_abort "cannot store the settings"
    hvx_start --debug +mmdevapi
    expect_eq "$(drive tray lbuttondblclk ';' keys ctrl+left ';' tray lbuttondblclk ';' \
        tray rbuttonup ';' menu-items ';' menu-close | sed -n 's/^106 //p')" Unmute \
        "muted, unmuted, muted: the menu offers Unmute"
    expect_eq "$(endpoint SetMute)" "0 1 0 1" "the endpoint got the start-up unmute, then each toggle"
    # Ctrl+Down from the 1.0 Wine reads asks for 62735/65535; refused, Save stores what is read.
    expect_eq "$(drive keys ctrl+down ';' command 103 ';' \
        reg-get RegPreMasterVolume RegPreWaveVolume | paste -sd ' ')" \
        "REG_DWORD 65535 REG_DWORD 2222" "the refused step stored nothing; no wave line to read"
    expect_eq "$(endpoint SetMasterVolumeLevelScalar)" 0.957275 "one step down was asked for"
}
