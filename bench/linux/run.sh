#!/usr/bin/env bash
# Measurements of the Linux program on the private desktop of the end-to-end tests (not tests:
# nothing here passes or fails):
#   - start-up to tray icon: from the start of the process until its icon is embedded and shown
#     in the tray host, over BENCH_STARTS runs (default 10);
#   - resident memory (VmRSS, and the peak VmHWM) once the program has settled;
#   - idle cost: context switches of all its threads (voluntary + involuntary) over
#     BENCH_IDLE_SECONDS (default 60) with nothing happening, per thread.
#
#   bench/linux/run.sh [path/to/hvx]      (default: build/release/src/platform/linux/hvx)
set -u

ROOT=$(cd "$(dirname "$0")/../.." && pwd)
HVX=${1:-${HVX_BIN:-$ROOT/build/release/src/platform/linux/hvx}}
if [ ! -x "$HVX" ]; then
    echo "bench: no program at $HVX (build the release preset first)" >&2
    exit 2
fi
HVX=$(realpath "$HVX")
BUILD=${HVX%/src/platform/linux/hvx}
TIME_TO_ICON=${HVX_TIME_TO_ICON:-$BUILD/bench/hvx_time_to_icon}
STARTS=${BENCH_STARTS:-10}
IDLE=${BENCH_IDLE_SECONDS:-60}
HVX_WORK_PREFIX=hvx-bench
source "$ROOT/tests/linux/desktop.sh"

start() {
    require_private_bus
    local out
    out=$("$TIME_TO_ICON" /bin/sh -c 'exec "$0" >>"$1" 2>&1' "$HVX" "$WORK/hvx.log") ||
        return 1
    HVX_PID=${out##* }
    START_MS=${out%% *}
}
stop() {
    kill "$HVX_PID" 2>/dev/null
    wait_until 10 sh -c "! kill -0 $HVX_PID 2>/dev/null"
    HVX_PID=""
}
switches() {  # total context switches of all threads of the program
    cat /proc/"$HVX_PID"/task/*/status 2>/dev/null |
        awk '/^(voluntary|nonvoluntary)_ctxt_switches/ { n += $2 } END { print n + 0 }'
}
per_thread() {
    local t
    for t in /proc/"$HVX_PID"/task/*; do
        printf '%s %s\n' "$(cat "$t/comm")" \
            "$(awk '/ctxt_switches/ { n += $2 } END { print n + 0 }' "$t/status")"
    done
}

echo "program: $HVX ($(stat -c %s "$HVX") bytes)"
echo "machine: $(nproc) cores, $(uname -r), Qt $(pkg-config --modversion Qt6Core 2>/dev/null)"

times=()
for ((i = 0; i < STARTS; ++i)); do
    start || { echo "bench: the program did not start" >&2; exit 1; }
    times+=("$START_MS")
    stop
done
printf '%s\n' "${times[@]}" | sort -n | awk '
    { t[NR] = $1 }
    END { printf "start-up to tray icon (ms, %d runs): min %.1f  median %.1f  max %.1f\n",
                 NR, t[1], (NR % 2 ? t[(NR + 1) / 2] : (t[NR / 2] + t[NR / 2 + 1]) / 2), t[NR] }'

start
sleep 3  # settle: the first posted events, fonts, the tray's embedding
printf 'resident memory: %s, peak %s\n' \
    "$(awk '/^VmRSS/ { print $2 " " $3 }' /proc/"$HVX_PID"/status)" \
    "$(awk '/^VmHWM/ { print $2 " " $3 }' /proc/"$HVX_PID"/status)"
per_thread >"$WORK/before"
before=$(switches)
sleep "$IDLE"
after=$(switches)
per_thread >"$WORK/after"
echo "idle: $((after - before)) context switches in ${IDLE} s ($(awk -v n=$((after - before)) \
    -v s="$IDLE" 'BEGIN { printf "%.1f", n * 60 / s }') per minute); per thread:"
join <(sort "$WORK/before") <(sort "$WORK/after") | awk '{ printf "  %-20s %d\n", $1, $3 - $2 }'
stop
