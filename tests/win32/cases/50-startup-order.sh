# The order in which start-up asks the platform for things, seen in Wine's relay trace.

STARTUP_RELAY='shell32.Shell_NotifyIconW;shell32.Shell_NotifyIconA;winmm.mixerOpen'
STARTUP_RELAY+=';advapi32.RegSetValueExW;advapi32.RegSetValueExA;kernelbase.RegSetValueExW'
STARTUP_RELAY+=';user32.SetTimer;user32.RegisterHotKey'

test_startup_order_of_platform_calls() {
    hvx_start --relay "$STARTUP_RELAY"
    local calls names
    calls=$(relay_calls)
    # One line a call, registry writes folded into one "registry" step per run of writes.
    names=$(relay_names | sed -E 's/^(advapi32|kernelbase)\.RegSetValueEx[AW]$/registry/' | uniq)
    expect_eq "$names" "shell32.Shell_NotifyIconW
winmm.mixerOpen
registry
user32.SetTimer
user32.RegisterHotKey" "tray icon, mixer, registry, timer 2, then the hotkeys last" ||
        note "calls seen: $calls"
    expect_eq "$(grep -c 'RegSetValueEx' <<<"$calls")" 17 \
        "RegDisableOnce, then the sixteen values"
    expect_contains "$calls" ",00000002,0000ea60," "timer 2 runs every 60000 ms"
    expect_eq "$(grep -o '^user32.RegisterHotKey([0-9a-f]*,[0-9a-f]*,[0-9a-f]*,[0-9a-f]*' \
        <<<"$calls" | cut -d, -f2-)" "00000064,00000002,00000026
000000c8,00000002,00000028
0000012c,00000002,00000027
00000190,00000002,00000025
00000320,00000003,00000052
00000384,00000003,0000000d" "the six hotkeys in order, with their keys"
}
