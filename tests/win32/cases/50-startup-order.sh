# The order in which start-up asks the platform for things, seen in Wine's relay trace.

STARTUP_RELAY='shell32.Shell_NotifyIconW;shell32.Shell_NotifyIconA;winmm.mixerOpen'
STARTUP_RELAY+=';advapi32.RegSetValueExW;advapi32.RegSetValueExA;kernelbase.RegSetValueExW'
STARTUP_RELAY+=';user32.SetTimer;user32.RegisterHotKey'

# relay_names with each run of HVX's registry writes folded into one "registry" line. Registry
# writes of Wine's own sound code inside HVX's process (the device properties it refreshes when
# the mixer is first used: "DeviceState", "{GUID},N") are left out: only HVX's values count.
startup_steps() {
    relay_calls | awk '!/^[a-z0-9]*\.RegSetValueEx[AW]\(/ || / L"(Reg[A-Za-z]*|HVX)",/' |
        sed 's/(.*//' | awk -F. '{ print tolower($1) "." $2 }' |
        sed -E 's/^(advapi32|kernelbase)\.RegSetValueEx[AW]$/registry/' | uniq
}

test_startup_order_of_platform_calls() {
    hvx_start --relay "$STARTUP_RELAY"
    local calls
    calls=$(relay_calls)
    expect_eq "$(startup_steps | grep -v '^winmm\.')" "shell32.Shell_NotifyIconW
registry
user32.SetTimer
user32.RegisterHotKey" "tray icon, registry, timer 2, then the hotkeys last" ||
        note "calls seen: $calls"
    expect_eq "$(grep -o 'RegSetValueEx[AW]([0-9a-f]*,[0-9a-f]* L"Reg[A-Za-z]*"' <<<"$calls" |
        sed 's/.*L"\(.*\)"/\1/')" "RegDisableOnce
RegRunAtStartup
RegSetPredefinedVolumeAtStartup
RegMode
RegShutdownByUsingShortcut
RegPreMasterVolume
RegPreWaveVolume
RegDefaultMasterVolume
RegDefaultWaveVolume
RegVolumeStep
RegScheduledAction
RegDialogBeforeAction
RegExactTime
RegAction
RegActionType
RegActionDay
RegDisableOnce" "RegDisableOnce first, then the sixteen values in saving order"
    expect_contains "$calls" ",00000002,0000ea60," "timer 2 runs every 60000 ms"
    expect_eq "$(grep -o '^user32.RegisterHotKey([0-9a-f]*,[0-9a-f]*,[0-9a-f]*,[0-9a-f]*' \
        <<<"$calls" | cut -d, -f2-)" "00000064,00000002,00000026
000000c8,00000002,00000028
0000012c,00000002,00000027
00000190,00000002,00000025
00000320,00000003,00000052
00000384,00000003,0000000d" "the six hotkeys in order, with their keys"
}

test_startup_opens_the_mixer_after_the_icon_and_before_the_settings() {
    hvx_imports mixerOpen || hvx_skip "HVX.exe has no mixer yet (it does not import mixerOpen)"
    expect_ok "the prefix offers a mixer (ALSA null device)" -- test "$(drive mixer-devs)" -gt 0
    # +alsa: Wine's sound driver traces the mute state each mixer write hands it.
    hvx_start --relay "$STARTUP_RELAY;winmm.mixerGetControlDetailsA;winmm.mixerSetControlDetails" \
        --debug +alsa
    expect_eq "$(startup_steps | head -n 5)" "shell32.Shell_NotifyIconW
winmm.mixerOpen
winmm.mixerGetControlDetailsA
winmm.mixerSetControlDetails
registry" "tray icon, mixer opened, the mute read and written, then the registry" ||
        note "calls seen: $(relay_calls)"
    # The trace lines in the order they were made, up to HVX's first settings write.
    local before_settings
    before_settings=$(sed -n '/RegSetValueExW([0-9a-f]*,[0-9a-f]* L"RegDisableOnce"/q;p' "$HVX_LOG")
    expect_eq "$(sed -n 's/.*SimpleAudioVolume_SetMute ([0-9A-Fa-f]*)->(\([0-9]*\),.*/\1/p' \
        <<<"$before_settings")" 0 "the master is unmuted once, before the settings are written"
}
