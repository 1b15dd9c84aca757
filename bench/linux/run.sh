#!/usr/bin/env bash
# Measurements of the Linux program on the private desktop of the end-to-end tests, side by side
# in one run with a bare Qt 6 tray (bench/linux/bare_tray.cpp), the floor (the same tray with a
# libpulse context subscribed to the sinks and streams, `hvx_bare_tray --pulse`) and, where they
# are installed, the peers pnmixer and volumeicon (not tests: nothing here passes or fails):
#   - start-up to tray icon: from the start of the process until its icon is embedded and shown
#     in the tray host; BENCH_STARTS rounds (default 10), the programs in turn in each round;
#   - memory once settled, all running and read at once: PSS, private dirty and RSS;
#   - hotkey to sink: from an XTEST key press (Ctrl+Up and Ctrl+Down in turn) until
#     `pactl subscribe` reports the sink's change, BENCH_PRESSES presses (default 40): HVX in
#     Main volume mode and in mixed mode with a stream playing, the peers with their hotkeys on
#     the same keys; all step by 5%;
#   - idle cost of HVX: context switches of all its threads over BENCH_IDLE_SECONDS (default 60)
#     with nothing happening, per thread.
# It ends with the ratios of the targets: HVX's start-up, RSS and private dirty against the
# floor's, its RSS against the lighter peer's, its hotkey-to-sink against the faster peer's.
#
#   bench/linux/run.sh [path/to/hvx]      (default: build/release/src/platform/linux/hvx)
#   Run it in a network namespace of its own (`unshare -n bench/linux/run.sh`): HVX allows one
#   copy per namespace.
set -u

ROOT=$(cd "$(dirname "$0")/../.." && pwd)
HVX=${1:-${HVX_BIN:-$ROOT/build/release/src/platform/linux/hvx}}
if [ ! -x "$HVX" ]; then
    echo "bench: no program at $HVX (build the release preset first)" >&2
    exit 2
fi
HVX=$(realpath "$HVX")
BUILD=${HVX%/src/platform/linux/hvx}
XBENCH=$BUILD/bench/hvx_xbench
BARE=$BUILD/bench/hvx_bare_tray
for tool in "$XBENCH" "$BARE" pacat; do
    command -v "$tool" >/dev/null || { echo "bench: $tool is missing" >&2; exit 2; }
done
STARTS=${BENCH_STARTS:-10}
PRESSES=${BENCH_PRESSES:-40}
IDLE=${BENCH_IDLE_SECONDS:-60}
# shellcheck disable=SC2034
HVX_WORK_PREFIX=hvx-bench
# shellcheck source=tests/linux/desktop.sh
source "$ROOT/tests/linux/desktop.sh"
# The tests read menus through accessibility; here Qt leaves it off, as without a screen reader.
unset QT_LINUX_ACCESSIBILITY_ALWAYS_ON

# name, WM_CLASS and command of each program
PROGRAMS=(hvx bare floor)
declare -A CLASS=([hvx]=hvx [bare]=hvx_bare_tray [floor]=hvx_bare_tray [pnmixer]=pnmixer
    [volumeicon]=volumeicon)
declare -A COMMAND=([hvx]=$HVX [bare]=$BARE [floor]="$BARE --pulse" [pnmixer]=pnmixer
    [volumeicon]=volumeicon)
for peer in pnmixer volumeicon; do command -v $peer >/dev/null && PROGRAMS+=("$peer"); done

# The same 5% step and hotkeys everywhere; the peers' notifications off.
configure() {
    mkdir -p "$XDG_CONFIG_HOME/Tessaron" "$XDG_CONFIG_HOME/pnmixer" "$XDG_CONFIG_HOME/volumeicon"
    printf '[Software\\Tessaron\\HVX]\nRegMode=%s\nRegVolumeStep=3277\n' "${1:-1}" \
        >"$XDG_CONFIG_HOME/Tessaron/HVX.conf"
    local up down  # pnmixer takes keycodes, and 4 for Ctrl
    up=$("$XBENCH" keycode Up) down=$("$XBENCH" keycode Down)
    printf '[PNMixer]\nEnableHotKeys=true\nEnableNotifications=false\nScrollStep=5
VolUpKey=%s\nVolUpMods=4\nVolDownKey=%s\nVolDownMods=4\n' "$up" "$down" \
        >"$XDG_CONFIG_HOME/pnmixer/config"
    printf '[StatusIcon]\nstepsize=5\n[Notification]\nshow_notification=false
[Hotkeys]\nup_enabled=true\ndown_enabled=true\nup=<Control>Up\ndown=<Control>Down\n' \
        >"$XDG_CONFIG_HOME/volumeicon/volumeicon"
}

PID=""
start() {  # start NAME: sets PID and START_MS
    require_private_bus
    local out
    # shellcheck disable=SC2016  # for the inner shell, which splits the command's words
    out=$("$XBENCH" time-to-icon "${CLASS[$1]}" /bin/sh -c 'exec $0 >>"$1" 2>&1' \
        "${COMMAND[$1]}" "$WORK/$1.log") || return 1
    PID=${out##* } START_MS=${out%% *}
    HVX_PID=$PID  # ended by desktop.sh's cleanup if the run is cut short
}
stop() {
    kill "$PID" 2>/dev/null
    wait_until 10 sh -c "! kill -0 $PID 2>/dev/null"
    PID="" HVX_PID=""  # (HVX_PID is desktop.sh's)
}
stats() {  # stats [median]: of the numbers read, "min .. median .. max .." or the median alone
    sort -n | awk -v only="${1:-}" '{ v[NR] = $1 } END {
        if (!NR) exit
        m = NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2
        if (only) print m; else printf "min %.1f  median %.1f  max %.1f", v[1], m, v[NR] }'
}
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { if (b > 0) printf "%.2f", a / b; else print "-" }'; }
smaps() { awk -v k="$2:" '$1 == k { print $2 }' /proc/"$1"/smaps_rollup; }

echo "programs: ${PROGRAMS[*]} (hvx $(stat -c %s "$HVX") bytes)"
echo "machine: $(nproc) cores, $(uname -r), Qt $(pkg-config --modversion Qt6Core 2>/dev/null)," \
    "load $(cut -d' ' -f1-3 /proc/loadavg)"
configure 1
"$XBENCH" tray || { echo "bench: no tray host" >&2; exit 1; }

# --- start-up -------------------------------------------------------------------------------------
for name in "${PROGRAMS[@]}"; do start "$name" && stop; done  # caches warm for everyone
for ((i = 0; i < STARTS; ++i)); do
    for name in "${PROGRAMS[@]}"; do
        start "$name" || { echo "bench: $name did not start" >&2; exit 1; }
        echo "$START_MS" >>"$WORK/start-$name"
        stop
    done
done
echo "start-up to tray icon (ms, $STARTS runs each):"
for name in "${PROGRAMS[@]}"; do
    printf '  %-12s %s\n' "$name" "$(stats <"$WORK/start-$name")"
done

# --- memory ---------------------------------------------------------------------------------------
# All of them at once, read at the same moment: PSS shares each page among the processes that
# map it, so the libraries HVX and the bare tray have in common count alike for both.
# BENCH_MEMORY_ROUNDS rounds (default 3), the median of each.
declare -A PSS DIRTY RSS PIDS
for ((i = 0; i < ${BENCH_MEMORY_ROUNDS:-3}; ++i)); do
    for name in "${PROGRAMS[@]}"; do start "$name" || exit 1; PIDS[$name]=$PID; done
    HVX_PID=""
    sleep 3  # the first posted events, fonts, the tray's embedding
    for name in "${PROGRAMS[@]}"; do
        PID=${PIDS[$name]}
        echo "$(smaps "$PID" Pss) $(smaps "$PID" Private_Dirty) $(smaps "$PID" Rss)" \
            "$(find /proc/"$PID"/task -mindepth 1 -maxdepth 1 | wc -l)" >>"$WORK/memory-$name"
    done
    for name in "${PROGRAMS[@]}"; do PID=${PIDS[$name]}; stop; done
done
echo "memory once settled (KiB, median of each over the rounds):"
for name in "${PROGRAMS[@]}"; do
    PSS[$name]=$(cut -d' ' -f1 "$WORK/memory-$name" | stats median)
    DIRTY[$name]=$(cut -d' ' -f2 "$WORK/memory-$name" | stats median)
    RSS[$name]=$(cut -d' ' -f3 "$WORK/memory-$name" | stats median)
    printf '  %-12s PSS %6d  private dirty %6d  RSS %6d  threads %d\n' "$name" "${PSS[$name]}" \
        "${DIRTY[$name]}" "${RSS[$name]}" \
        "$(cut -d' ' -f4 "$WORK/memory-$name" | stats median)"
done

# --- hotkey to sink -------------------------------------------------------------------------------
declare -A HOTKEY
press() {  # press LABEL NAME [MODE]
    configure "${3:-1}"
    pactl set-sink-volume @DEFAULT_SINK@ 32768
    start "$2" || exit 1
    sleep 1  # the hotkeys are grabbed
    local times
    times=$("$XBENCH" hotkey-to-sink "$PRESSES")
    stop
    HOTKEY[$1]=$(grep -v -- - <<<"$times" | stats median)
    printf '  %-24s %s  (%d of %d presses seen)\n' "$1" "$(grep -v -- - <<<"$times" | stats)" \
        "$(grep -cv -- - <<<"$times")" "$PRESSES"
}
echo "hotkey to sink change (ms):"
press "hvx, Main volume" hvx 1
pacat --device=@DEFAULT_SINK@ </dev/zero 2>/dev/null &
STREAM=$!
wait_until 5 sh -c 'pactl list short sink-inputs | grep -q .'
press "hvx, mixed, one stream" hvx 0
kill $STREAM
for name in pnmixer volumeicon; do [ -n "${CLASS[$name]:-}" ] && command -v $name >/dev/null &&
    press "$name" "$name"; done
configure 1

# --- idle -----------------------------------------------------------------------------------------
switches() {  # total context switches of all threads of the program
    cat /proc/"$PID"/task/*/status 2>/dev/null |
        awk '/^(voluntary|nonvoluntary)_ctxt_switches/ { n += $2 } END { print n + 0 }'
}
per_thread() {
    local t
    for t in /proc/"$PID"/task/*; do
        printf '%s %s\n' "$(tr ' ' _ <"$t/comm")" \
            "$(awk '/ctxt_switches/ { n += $2 } END { print n + 0 }' "$t/status")"
    done
}
start hvx || exit 1
sleep 3
per_thread >"$WORK/before"
before=$(switches)
sleep "$IDLE"
after=$(switches)
per_thread >"$WORK/after"
echo "hvx idle: $((after - before)) context switches in ${IDLE} s; per thread:"
join <(sort "$WORK/before") <(sort "$WORK/after") | awk '{ printf "  %-20s %d\n", $1, $3 - $2 }'
stop

# --- the targets ----------------------------------------------------------------------------------
echo "ratios:"
median() { stats median <"$WORK/start-$1"; }
echo "  start-up, hvx / floor (median):     $(ratio "$(median hvx)" "$(median floor)")   (target <= 1.1)"
echo "  RSS, hvx / floor:                   $(ratio "${RSS[hvx]}" "${RSS[floor]}")   (target <= 1.05)"
echo "  private dirty, hvx / floor:         $(ratio "${DIRTY[hvx]}" "${DIRTY[floor]}")   (target <= 1.1)"
lighter=$(printf '%s\n' "${RSS[pnmixer]:-}" "${RSS[volumeicon]:-}" | grep . | sort -n | head -1)
[ -n "$lighter" ] &&
    echo "  RSS, hvx / lighter peer:            $(ratio "${RSS[hvx]}" "$lighter")   (target < 1)"
fastest=$(printf '%s\n' "${HOTKEY[pnmixer]:-}" "${HOTKEY[volumeicon]:-}" | grep . | sort -n |
    head -1)
if [ -n "$fastest" ]; then
    echo "  hotkey to sink, hvx (Main volume) / faster peer (median):" \
        "$(ratio "${HOTKEY[hvx, Main volume]}" "$fastest")   (target <= 0.5)"
fi
