# shellcheck shell=bash disable=SC2034 # (constants here are for the cases)
# Helpers for the Wine end-to-end cases. run.sh runs each case in a bash of its own
# (`bash lib.sh run-case FILE FUNCTION`), which sources the case's file next to these helpers.
#
# A case is a shell function named test_* in tests/win32/cases/*.sh. It starts HVX with hvx_start,
# acts through `drive` (hvxdrive.exe in the same prefix) and checks with the expect_* helpers. A
# failed expectation marks the case failed and lets it go on; hvx_abort ends it at once. The cases
# of one file share a prefix; each finds it as a fresh start would (hvx_reset_prefix).
#
# Environment a case can use:
#   CASE_DIR       this case's folder: its logs
#   WINEPREFIX     the group's prefix, a copy of the template
#   HVX_WIN_EXE    where HVX.exe is installed inside the prefix (a path with a space)
#   HVX_PID        the Unix pid of the last HVX started by hvx_start
#   HVX_LOG        its stdout+stderr (the relay trace when started with --relay)

HVX_WIN_EXE='C:\Program Files\HVX\HVX.exe'
HVX_SETTINGS_KEY='Software\Tessaron\HVX'
HVX_RUN_KEY='SOFTWARE\Microsoft\Windows\CurrentVersion\Run'

# The sixteen settings values, in the order the program saves them.
HVX_SETTING_NAMES=(RegRunAtStartup RegSetPredefinedVolumeAtStartup RegMode
                   RegShutdownByUsingShortcut RegPreMasterVolume RegPreWaveVolume
                   RegDefaultMasterVolume RegDefaultWaveVolume RegVolumeStep RegScheduledAction
                   RegDialogBeforeAction RegExactTime RegAction RegActionType RegActionDay
                   RegDisableOnce)

# The tray menu as hvxdrive menu-items prints it.
HVX_MENU_ITEMS='125 Auto Shutdown Function
-
120 Shutdown
121 Restart
122 Log off
123 Hibernate
124 Standby
-
103 Save Volume Level
104 Use Saved Volume Level
105 Restore Default Volume Level
106 Mute
-
101 Settings
102 Advanced Options
-
109 Help
110 About
112 Exit'

CASE_FAILED=0
HVX_START_COUNT=0

# ---- reporting --------------------------------------------------------------------------------

note() { echo "  $*"; }

fail() {
    echo "  FAIL: $*"
    CASE_FAILED=1
}

# Ends the case as skipped: what it checks is not in this build. Say why; the run lists it.
hvx_skip() {
    echo "  SKIP: $*"
    exit $((CASE_FAILED ? 1 : 77))
}

# True when HVX.exe imports the Win32 function (e.g. mixerOpen) from any DLL.
hvx_imports() {
    x86_64-w64-mingw32-objdump -p "$HVX_EXE" 2>/dev/null |
        grep -qE "^[[:space:]]+[0-9a-f]+[[:space:]]+[0-9]+[[:space:]]+$1\$"
}

# Ends the case now (a step it cannot go on without failed).
hvx_abort() {
    echo "  ABORT: $*"
    exit 1
}

expect_eq() {  # ACTUAL EXPECTED WHAT
    if [[ $1 == "$2" ]]; then return 0; fi
    fail "$3"
    printf '    expected: %s\n    actual:   %s\n' "${2//$'\n'/$'\n              '}" \
        "${1//$'\n'/$'\n              '}"
    return 1
}

expect_contains() {  # TEXT NEEDLE WHAT
    if [[ $1 == *"$2"* ]]; then return 0; fi
    fail "$3 (no \"$2\")"
    return 1
}

expect_not_contains() {  # TEXT NEEDLE WHAT
    if [[ $1 != *"$2"* ]]; then return 0; fi
    fail "$3 (found \"$2\")"
    return 1
}

expect_ok() {  # WHAT -- COMMAND...: the command succeeds
    local what=$1
    shift
    [[ ${1:-} == -- ]] && shift
    local out
    if out=$("$@" 2>&1); then return 0; fi
    fail "$what ($* gave: ${out:-nothing})"
    return 1
}

expect_fail() {  # WHAT -- COMMAND...: the command fails
    local what=$1
    shift
    [[ ${1:-} == -- ]] && shift
    if ! "$@" >/dev/null 2>&1; then return 0; fi
    fail "$what ($* succeeded)"
    return 1
}

# ---- Wine -------------------------------------------------------------------------------------

# Runs hvxdrive.exe in the case's prefix; prints what it prints, returns its exit code.
# Each call is logged with its time and exit code in $CASE_DIR/drive.log. Now and then (rarely)
# wine ends at once with status 1 and no output, before the driver has run at all; such a call is
# tried once more.
drive() {
    local started out status elapsed attempt
    for attempt in 1 2; do
        started=$EPOCHREALTIME
        out=$(timeout -k 5 60 wine "$HVX_DRIVE" "$@" 2>>"$CASE_DIR/drive.err")
        status=$?
        elapsed=$(awk -v a="$started" -v b="$EPOCHREALTIME" 'BEGIN { printf "%.2f", b - a }')
        printf '%6ss rc=%d %s\n' "$elapsed" "$status" "$*" >>"$CASE_DIR/drive.log"
        if ((attempt == 1 && status == 1)) && [[ -z $out ]] &&
            awk -v e="$elapsed" 'BEGIN { exit !(e < 0.08) }'; then
            echo "        (wine ended before the driver ran; again)" >>"$CASE_DIR/drive.log"
            continue
        fi
        break
    done
    [[ -n $out ]] && printf '%s\n' "$out"
    return "$status"
}

# drive_at 'YYYY-MM-DD HH:MM:SS' ARGS...: drive with its clock set as hvx_start --time sets HVX's.
drive_at() {
    local time=$1
    shift
    NO_FAKE_STAT=1 faketime "$time" wine "$HVX_DRIVE" "$@" 2>>"$CASE_DIR/drive.err"
}

# drive without buffering its output, for a driver that keeps running (hold-hotkey in the
# background) and whose first line the case waits for.
drive_stream() {
    echo "        (streamed) $*" >>"$CASE_DIR/drive.log"
    timeout -k 5 120 wine "$HVX_DRIVE" "$@" 2>>"$CASE_DIR/drive.err"
}

# Puts the functions listed (dll.Function;dll.Function...) into Wine's relay trace of the next
# programs started in this prefix.
hvx_relay_include() {
    drive reg-set 'Software\Wine\Debug\RelayInclude' sz "$1" >/dev/null ||
        hvx_abort "cannot set RelayInclude"
}

# hvx_start [--relay FUNCTIONS] [--debug CHANNELS] [--time 'YYYY-MM-DD HH:MM:SS'] [--no-wait]:
# starts HVX.exe in the background. Waits until its start-up has run and it idles in its message
# loop, unless --no-wait. --time starts HVX's clock at that local time (faketime; the clock then
# runs on); the rest of the prefix keeps the real time. --debug adds Wine debug channels to HVX's
# log (e.g. '+alsa', whose trace shows the values the mixer passes to the sound driver).
hvx_start() {
    local relay='' wait=1 time='' channels=''
    while (($#)); do
        case $1 in
        --relay) relay=$2; shift 2 ;;
        --debug) channels=,$2; shift 2 ;;
        --time) time=$2; shift 2 ;;
        --no-wait) wait=0; shift ;;
        *) hvx_abort "hvx_start: unknown option $1" ;;
        esac
    done
    local -a clock=()
    if [[ -n $time ]]; then
        # The wineserver must not run under faketime: make sure it is already up. Real file
        # times keep fontconfig from rebuilding its cache at every start.
        drive count-main >/dev/null
        clock=(env NO_FAKE_STAT=1 faketime "$time")
    fi
    local debug=-all$channels
    if [[ -n $relay ]]; then
        hvx_relay_include "$relay"
        debug+=,+relay
    fi
    HVX_START_COUNT=$((HVX_START_COUNT + 1))
    HVX_LOG=$CASE_DIR/hvx.$HVX_START_COUNT.log
    WINEDEBUG=$debug "${clock[@]}" wine "$HVX_WIN_EXE" >"$HVX_LOG" 2>&1 &
    HVX_PID=$!
    if ((wait)); then
        drive wait-ready 20000 >/dev/null || hvx_abort "HVX did not come up (log: $HVX_LOG)"
    fi
}

# hvx_wait_exit [PID] [SECONDS]: true when the process has ended within the time.
hvx_wait_exit() {
    local pid=${1:-$HVX_PID} seconds=${2:-10} i
    for ((i = 0; i < seconds * 10; i++)); do
        kill -0 "$pid" 2>/dev/null || return 0
        sleep 0.1
    done
    return 1
}

# hvx_exit: chooses Exit as the menu would (command 112) and waits for the process to end.
hvx_exit() {
    drive command 112 >/dev/null || return 1
    hvx_wait_exit "$HVX_PID" 10
}

# The relay trace's calls, one "dll.Function(arguments)" a line, in the order they were made.
relay_calls() {
    sed -n 's/^[0-9a-f]*:Call \([A-Za-z0-9_]*\.[A-Za-z0-9_]*(.*)\) ret=[0-9a-f]*$/\1/p' \
        "${1:-$HVX_LOG}"
}

# Just the names: "dll.Function", lower-case dll.
relay_names() {
    relay_calls "$@" | sed 's/(.*//' | awk -F. '{ print tolower($1) "." $2 }'
}

# hvx_program_checks PROGRAM.exe [ARGS...]: runs a test program of the Windows build in the
# case's prefix (a program that checks from inside its own process and ends with the line
# "N passed, N failed"). Its output goes to $CASE_DIR/<program>.log; its counts go to
# $CASE_DIR/counts, which run.sh adds to the layer's totals in place of the case's own one.
# Fails the case when the program fails or prints no counts.
hvx_program_checks() {
    local program=$1 log
    shift
    [[ -f $program ]] || hvx_abort "$program is missing; build the windows preset first"
    log=$CASE_DIR/$(basename "$program" .exe).log
    timeout -k 5 60 wine "$program" "$@" >"$log" 2>&1
    local status=$?
    local counts
    counts=$(tr -d '\r' <"$log" | grep -E '^[0-9]+ passed, [0-9]+ failed$' | tail -n 1)
    if [[ -z $counts ]]; then
        fail "$(basename "$program") printed no counts (exit $status; log: $log)"
        return 1
    fi
    echo "$counts" >"$CASE_DIR/counts"
    note "$(basename "$program"): $counts"
    if ((status != 0)); then
        fail "$(basename "$program") exited with $status"
        grep -E '^FAIL' "$log" | sed 's/^/    /'
        return 1
    fi
}

# Brings a prefix that an earlier case of the group used back to a fresh start: no HVX running,
# no settings, no run entry, no relay list.
hvx_reset_prefix() {
    drive kill HVX.exe 10000 >/dev/null || hvx_abort "cannot end the HVX processes of the prefix"
    drive reg-del-key 'Software\Tessaron' >/dev/null || hvx_abort "cannot delete the settings"
    drive reg-del "$HVX_RUN_KEY\\HVX" >/dev/null
    drive reg-del 'Software\Wine\Debug\RelayInclude' >/dev/null
    return 0
}

# The messages HVX's window procedures received (any --relay start logs them), one
# "WM_NAME wParam lParam" a line in hex, e.g. "WM_HOTKEY 00000320 00520003".
relay_messages() {
    local call='^[0-9a-f]*:Call window proc [0-9A-Fa-f]* (hwnd=[0-9A-Fa-f]*,'
    sed -n "s/${call}msg=\([^,]*\),wp=\([0-9a-f]*\),lp=\([0-9a-f]*\))\$/\1 \2 \3/p" \
        "${1:-$HVX_LOG}"
}

# ---- running one case -------------------------------------------------------------------------

# Called by run.sh as: bash lib.sh run-case CASE_FILE FUNCTION
hvx_run_case_main() {
    local file=$1 function=$2
    # shellcheck source=/dev/null
    source "$file"
    cd "$CASE_DIR" || exit 1
    if [[ ${CASE_REUSES_PREFIX:-0} == 1 ]]; then hvx_reset_prefix; fi
    "$function"
    # A crash anywhere in the prefix fails the case, whatever it checked.
    local log
    for log in "$CASE_DIR"/hvx.*.log; do
        [[ -f $log ]] || continue
        if grep -qE 'Unhandled (exception|page fault)|^wine: .*(crash|Unhandled)' "$log"; then
            fail "HVX crashed: $(grep -m1 -E 'Unhandled' "$log")"
        fi
    done
    exit "$CASE_FAILED"
}

if [[ ${BASH_SOURCE[0]} == "$0" && ${1:-} == run-case ]]; then
    shift
    hvx_run_case_main "$@"
fi
