# Start-up and the settings store: what a start leaves in the registry.

# Prints "Name REG_TYPE value" for every value of the settings key, sorted by name.
settings_dump() {
    drive reg-dump "$HVX_SETTINGS_KEY" | sort
}

test_first_start_writes_sixteen_zero_dwords() {
    expect_fail "a fresh prefix has no settings key" -- drive reg-dump "$HVX_SETTINGS_KEY"
    hvx_start
    local expected name
    expected=$(for name in "${HVX_SETTING_NAMES[@]}"; do echo "$name REG_DWORD 0"; done | sort)
    expect_eq "$(settings_dump)" "$expected" "sixteen REG_DWORD values, all 0"
    expect_eq "$(drive reg-get "$HVX_RUN_KEY\\HVX")" "missing" "no run-at-log-on entry"
}

test_run_entry_holds_the_quoted_path() {
    drive reg-set RegRunAtStartup dword 1 >/dev/null || hvx_abort "cannot store RegRunAtStartup"
    hvx_start
    expect_eq "$(drive reg-get "$HVX_RUN_KEY\\HVX")" "REG_SZ \"$HVX_WIN_EXE\"" \
        "the run entry is the quoted full path of HVX.exe"
    expect_eq "$(drive reg-get RegRunAtStartup)" "REG_DWORD 1" "RegRunAtStartup stays 1"
}

test_start_with_run_at_startup_off_removes_the_run_entry() {
    drive reg-set "$HVX_RUN_KEY\\HVX" sz 'C:\old\HVX.exe' >/dev/null || hvx_abort "cannot seed"
    hvx_start
    expect_eq "$(drive reg-get "$HVX_RUN_KEY\\HVX")" "missing" "the stale run entry is deleted"
}

# Stored values of the wrong type read as 0; out-of-range values pass through unchanged; the
# skip-once flag never survives a start.
test_start_normalises_stored_values() {
    # value, type and data stored before the start; what the start leaves
    local -a seeds=(
        "RegVolumeStep        sz     250        REG_DWORD 0"
        "RegAction            binary 05000000   REG_DWORD 0"
        "RegMode              dword  7          REG_DWORD 7"
        "RegExactTime         dword  5000       REG_DWORD 5000"
        "RegDisableOnce       dword  1          REG_DWORD 0"
        "RegDefaultWaveVolume dword  0xFFFFFFFF REG_DWORD 4294967295"
    )
    local seed name type data result
    local -a stores=() names=()
    for seed in "${seeds[@]}"; do
        read -r name type data result <<<"$seed"
        stores+=("$name" "$type" "$data")
        names+=("$name")
    done
    drive reg-set "${stores[@]}" >/dev/null || hvx_abort "cannot store the seeds"
    hvx_start
    local -a results
    mapfile -t results < <(drive reg-get "${names[@]}")
    local i
    for i in "${!seeds[@]}"; do
        read -r name type data result <<<"${seeds[$i]}"
        expect_eq "${results[$i]:-}" "$result" "$name stored as $type $data"
    done
    expect_eq "$(settings_dump | wc -l)" 16 "still sixteen values"
}
