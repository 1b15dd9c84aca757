# shellcheck shell=bash disable=SC2034 # (constants here are for the cases)
# Helpers for the Wine cases: run.sh runs each test_* function of cases/*.sh in a bash of its own
# (`bash lib.sh run-case FILE FUNCTION`) in a fresh copy of the template prefix, CASE_DIR (its logs)
# and WINEPREFIX set. A failed expectation marks the case failed and goes on; hvx_abort ends it.

HVX_KEY='HKCU\Software\Tessaron\HVX' RUN_KEY='HKCU\Software\Microsoft\Windows\CurrentVersion\Run'
CASE_FAILED=0 HVX_STARTS=0 NL=$'\n' HVX_WIN_EXE='C:\Program Files\HVX\HVX.exe'

fail() { echo "  FAIL: $*"; CASE_FAILED=1; }
hvx_abort() { echo "  ABORT: $*"; exit 1; }

expect_eq() {  # ACTUAL EXPECTED WHAT; expect_contains TEXT NEEDLE WHAT
    [[ $1 == "$2" ]] || fail "$3$NL    expected: ${2//$NL/ | }$NL    actual:   ${1//$NL/ | }"
}
expect_contains() { [[ $1 == *"$2"* ]] || fail "$3 (no \"$2\" in: ${1//$NL/ | })"; }

# wine_run PROGRAM ARGS...: runs a Windows program in the prefix, prints its output without CRs and
# logs the call, its time and exit code in $CASE_DIR/drive.log. drive ARGS: hvxdrive.exe.
wine_run() {
    local started=${EPOCHREALTIME/./} out status
    out=$(timeout -k 5 60 wine "$@" 2>>"$CASE_DIR/wine.err") status=$?
    printf '%6dms rc=%d %s\n' "$(((${EPOCHREALTIME/./} - started) / 1000))" "$status" "$*" \
        >>"$CASE_DIR/drive.log"
    [[ -n $out ]] && printf '%s\n' "${out//$'\r'/}"
    return "$status"
}
drive() { wine_run "$HVX_DRIVE" "$@"; }

# reg_values [KEY]: "Name TYPE Data" per value as Wine's `reg query` shows them (HVX's key by
# default). reg_set NAME TYPE DATA [KEY]: stores one with `reg add`.
reg_values() { wine_run reg query "${1:-$HVX_KEY}" | sed -nE 's/^ *(\S+) +(REG_\w*) +/\1 \2 /p'; }
reg_set() { wine_run reg add "${4:-$HVX_KEY}" /v "$1" /t "$2" /d "$3" /f >/dev/null; }

# hvx_start [--relay 'dll.Func;...'] [--debug +CHANNEL] [--time 'YYYY-MM-DD HH:MM:SS']: starts
# HVX.exe (HVX_PID, its output in HVX_LOG), waits until it idles in its message loop. --relay traces
# those calls; --debug adds a Wine debug channel; --time starts HVX's clock then (faketime).
hvx_start() {
    local relay='' debug=-all clock=()
    while (($#)); do
        case $1 in
        --relay) relay=$2 debug+=,+relay; shift 2 ;;
        --debug) debug+=,$2; shift 2 ;;
        --time) clock=(env NO_FAKE_STAT=1 faketime "$2"); shift 2 ;;
        *) hvx_abort "hvx_start: unknown option $1" ;;
        esac
    done
    # This also starts the wineserver, which must not run under faketime, before HVX.
    reg_set RelayInclude REG_SZ "${relay:-none}" 'HKCU\Software\Wine\Debug' || hvx_abort "no relay"
    HVX_LOG=$CASE_DIR/hvx.$((++HVX_STARTS)).log
    WINEDEBUG=$debug "${clock[@]}" wine "$HVX_WIN_EXE" >"$HVX_LOG" 2>&1 & HVX_PID=$!
    drive wait-ready && return
    local state='still starting'
    kill -0 "$HVX_PID" 2>/dev/null || { wait "$HVX_PID"; state="ended with $?"; }
    hvx_abort "HVX did not come up ($state; log: $HVX_LOG)"
}

# hvx_wait_exit: true once HVX has ended (within ten seconds). hvx_wait_prefix_down: the same,
# then ends what a power action left of the prefix, so the next start finds a clean wineserver.
hvx_wait_exit() { timeout 10 tail --pid="$HVX_PID" -s 0.1 -f /dev/null; }
hvx_wait_prefix_down() { hvx_wait_exit && wineserver -k 2>/dev/null; timeout 20 wineserver -w; }

# wait_for_log REGEXP [FILE]: true once HVX's log (or FILE) has a matching line, within ten seconds.
wait_for_log() {
    timeout 10 bash -c 'until grep -qE "$0" "$1"; do sleep .1; done' "$1" "${2-$HVX_LOG}"
}

# The popup menu's first nineteen items as Wine's +menu trace shows it drawing them, "ID Text"
# ("(default)" after the default one), "-" for a separator.
menu_drawn() {
    sed -nE 's/.*:draw_menu_item \{ ID=0x(\w*), (.*)\}$/\1 \2/p' "$HVX_LOG" | head -n 19 |
        while read -r id rest; do
            [[ $rest =~ Text=L\"(.*)\" ]] || { echo -; continue; }  # a separator
            echo "$((16#$id)) ${BASH_REMATCH[1]}$([[ $rest == *default* ]] && echo ' (default)')"
        done
}

# The relay trace's calls in order, one "dll.Function(arguments)" a line.
relay_calls() { sed -nE 's/^[0-9a-f]*:Call (\w+\.\w+\(.*\)) ret=[0-9a-f]*$/\1/p' "$HVX_LOG"; }

# hvx_program_checks PROGRAM.exe [ARGS...]: runs a checking program of the Windows build in the
# prefix; its own last line "N passed, N failed" goes to $CASE_DIR/counts, which run.sh counts in
# the layer's totals instead of the case itself.
hvx_program_checks() {
    local name=${1##*/} counts=$CASE_DIR/counts && local log=$CASE_DIR/${name%.exe}.log
    timeout -k 5 60 wine "$@" >"$log" 2>&1 || fail "$name exited with $? ($log)"
    tr -d '\r' <"$log" | grep -xE '[0-9]+ passed, [0-9]+ failed' | tail -n 1 >"$counts"
    [[ -s $counts ]] && echo "  $name: $(<"$counts")" || fail "$name printed no counts ($log)"
}

if [[ ${BASH_SOURCE[0]} == "$0" && ${1:-} == run-case ]]; then
    source "$2"
    cd "$CASE_DIR" || exit 1
    "$3"
    grep -hE -m1 'Unhandled (exception|page fault)' hvx.*.log 2>/dev/null && fail "HVX crashed"
    exit "$CASE_FAILED"
fi
