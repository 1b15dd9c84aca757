#!/usr/bin/env bash
# End-to-end tests of the Windows build under Wine.
#
#   tests/win32/run.sh [-k PATTERN] [--list] [--keep]
#
# Expects a finished build in build/windows (HVX.exe and the test driver hvxdrive.exe); builds
# nothing. Prepares a Wine template prefix once (cached in the build folder), starts Xvfb on a
# free display, runs every test_* function of tests/win32/cases/*.sh (each file in a copy of the
# template of its own) and ends with the line "N passed, N failed".
#
#   -k PATTERN   run only the cases whose name contains PATTERN
#   --list       print the case names and stop
#   --keep       keep the prefixes (normally only the logs are kept)
#
# Environment: HVX_WINDOWS_BUILD (default build/windows), HVX_CASE_TIMEOUT (seconds, default 120),
# HVX_WINE_DISPLAY (use this X display instead of a private Xvfb, to watch).
set -uo pipefail

HERE=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
ROOT=$(cd "$HERE/../.." && pwd)
BUILD=$(realpath -m "${HVX_WINDOWS_BUILD:-$ROOT/build/windows}")
CASE_TIMEOUT=${HVX_CASE_TIMEOUT:-120}

filter='' list_only=0 keep=0
while (($#)); do
    case $1 in
    -k) filter=$2; shift 2 ;;
    --list) list_only=1; shift ;;
    --keep) keep=1; shift ;;
    *) echo "usage: $0 [-k PATTERN] [--list] [--keep]" >&2; exit 2 ;;
    esac
done

# ---- the cases --------------------------------------------------------------------------------

# Case names in file order, then in the order they stand in their file.
case_files=() case_names=()
for file in "$HERE"/cases/*.sh; do
    [[ -f $file ]] || continue
    while read -r name; do
        [[ -z $filter || $name == *"$filter"* ]] || continue
        case_files+=("$file")
        case_names+=("$name")
    done < <(sed -n 's/^\(test_[A-Za-z0-9_]*\) *() *{.*/\1/p' "$file")
done

if ((list_only)); then
    printf '%s\n' "${case_names[@]}"
    exit 0
fi

summary() {  # PASSED FAILED [SKIPPED]
    if ((${3:-0})); then echo "$1 passed, $2 failed, $3 skipped"; else echo "$1 passed, $2 failed"; fi
}

export HVX_EXE=$BUILD/src/platform/win32/HVX.exe
export HVX_DRIVE=$BUILD/tests/win32/hvxdrive.exe
for needed in "$HVX_EXE" "$HVX_DRIVE" "$BUILD/tests/win32/hvxprobe.dll"; do
    if [[ ! -f $needed ]]; then
        echo "win32: $needed is missing; build the windows preset first" >&2
        summary 0 1
        exit 1
    fi
done
for tool in wine wineserver wineboot Xvfb xdpyinfo timeout; do
    if ! command -v "$tool" >/dev/null; then
        echo "win32: $tool is not installed (scripts/install-deps.sh)" >&2
        summary 0 1
        exit 1
    fi
done

# ---- the environment every Wine process of the run shares ---------------------------------------

STATE=$BUILD/wine-tests
RUN_DIR=$STATE/run
TEMPLATE=$STATE/template
export HOME=$STATE/home  # tests own it: the ALSA configuration below lives here
# shellcheck source=scripts/lib/wine.sh
source "$ROOT/scripts/lib/wine.sh"
export WINEDEBUG=-all
hvx_wine_env
export LANG=C.UTF-8
unset PULSE_SERVER
mkdir -p "$HOME"
# An ALSA device that swallows sound, so Wine's mixer has a device 0 to offer.
printf 'pcm.!default { type null }\n' >"$HOME/.asoundrc"

rm -rf "$RUN_DIR"
mkdir -p "$RUN_DIR"

XVFB_PID=''
cleanup() {
    local prefix
    for prefix in "$TEMPLATE" "$RUN_DIR"/prefix.*; do
        [[ -d $prefix ]] && WINEPREFIX=$prefix wineserver -k 2>/dev/null
    done
    [[ -n $XVFB_PID ]] && kill "$XVFB_PID" 2>/dev/null && wait "$XVFB_PID" 2>/dev/null
    if ((!keep)); then rm -rf "$RUN_DIR"/prefix.*; fi
}
trap cleanup EXIT
trap 'exit 130' INT TERM

start_xvfb() {
    if [[ -n ${HVX_WINE_DISPLAY:-} ]]; then
        export DISPLAY=$HVX_WINE_DISPLAY
        return 0
    fi
    hvx_start_xvfb "$RUN_DIR/xvfb.log" || { echo "win32: cannot start Xvfb" >&2; return 1; }
    XVFB_PID=$HVX_XVFB_PID
}

# The prefix every group copies: created once, then reused while Wine and its setup stay the same.
make_template() {
    local stamp
    stamp="$(wine --version 2>/dev/null) $(sha1sum "$ROOT/scripts/lib/wine.sh" | cut -c1-12)"
    if [[ -f $TEMPLATE/.hvx-template && $(cat "$TEMPLATE/.hvx-template") == "$stamp" ]]; then
        return 0
    fi
    echo "win32: creating the template prefix ($stamp)"
    if ! hvx_make_prefix "$TEMPLATE" --virtual-desktop; then
        echo "win32: cannot create the template prefix (see $TEMPLATE.log)" >&2
        rm -rf "$TEMPLATE"
        return 1
    fi
    echo "$stamp" >"$TEMPLATE/.hvx-template"
}

if ! start_xvfb || ! make_template; then
    summary 0 1
    exit 1
fi

# ---- running the cases ------------------------------------------------------------------------

passed=0 failed=0 skipped=0
failed_names=()

# A group is one case file: its cases share one copy of the template, in order, and lib.sh resets
# what HVX leaves behind (its processes, its keys) between them. After a failed case the group goes
# on in a fresh copy, so one failure cannot spill into the next case.
group_prefix=''
close_group_prefix() {
    [[ -n $group_prefix && -d $group_prefix ]] || return 0
    WINEPREFIX=$group_prefix wineserver -k 2>/dev/null
    WINEPREFIX=$group_prefix timeout 20 wineserver -w 2>/dev/null
    ((keep)) || rm -rf "$group_prefix"
    group_prefix=''
}

open_group_prefix() {  # PATH
    group_prefix=$1
    rm -rf "$group_prefix"
    cp -a "$TEMPLATE" "$group_prefix" || return 1
    # HVX lives in a folder whose path has a space, as it would on a real machine.
    mkdir -p "$group_prefix/drive_c/Program Files/HVX" &&
        cp "$HVX_EXE" "$group_prefix/drive_c/Program Files/HVX/HVX.exe"
}

echo "win32: ${#case_names[@]} cases on display $DISPLAY, logs in $RUN_DIR"
previous_file='' previous_status=0 prefix_number=0
for i in "${!case_names[@]}"; do
    name=${case_names[$i]}
    file=${case_files[$i]}
    export CASE_DIR=$RUN_DIR/$name
    mkdir -p "$CASE_DIR"
    started=$EPOCHREALTIME
    status=0
    export CASE_REUSES_PREFIX=1
    if [[ $file != "$previous_file" || $previous_status != 0 || -z $group_prefix ]]; then
        close_group_prefix
        prefix_number=$((prefix_number + 1))
        CASE_REUSES_PREFIX=0
        if ! open_group_prefix "$RUN_DIR/prefix.$prefix_number"; then
            status=1
            echo "  ABORT: cannot copy the template prefix" >"$CASE_DIR/output.log"
        fi
    fi
    export WINEPREFIX=$group_prefix
    if ((status == 0)); then
        timeout -k 10 "$CASE_TIMEOUT" bash "$HERE/lib.sh" run-case "$file" "$name" \
            >"$CASE_DIR/output.log" 2>&1 </dev/null
        status=$?
        if ((status == 124)); then
            echo "  ABORT: timed out after ${CASE_TIMEOUT}s" >>"$CASE_DIR/output.log"
        fi
    fi
    previous_file=$file previous_status=$((status == 77 ? 0 : status))
    seconds=$(awk -v a="$started" -v b="$EPOCHREALTIME" 'BEGIN { printf "%.1f", b - a }')
    # A case that ran a checking program (hvx_program_checks) counts that program's checks
    # instead of itself; a failure of the case outside those checks still counts one.
    checks_passed=0 checks_failed=0
    if [[ -f $CASE_DIR/counts ]] &&
        read -r checks_passed _ checks_failed _ <"$CASE_DIR/counts" &&
        [[ $checks_passed =~ ^[0-9]+$ && $checks_failed =~ ^[0-9]+$ ]]; then
        if ((status == 0 && checks_failed == 0)); then
            passed=$((passed + checks_passed))
            echo "ok    $name ($checks_passed checks, ${seconds}s)"
            continue
        fi
        if ((status != 77)); then
            passed=$((passed + checks_passed))
            failed=$((failed + (checks_failed > 0 ? checks_failed : 1)))
            failed_names+=("$name")
            echo "FAIL  $name ($checks_failed of $((checks_passed + checks_failed)) checks," \
                "${seconds}s)"
            sed 's/^/      /' "$CASE_DIR/output.log"
            continue
        fi
    fi
    if ((status == 0)); then
        passed=$((passed + 1))
        echo "ok    $name (${seconds}s)"
    elif ((status == 77)); then
        skipped=$((skipped + 1))
        echo "skip  $name:$(sed -n 's/^  SKIP://p' "$CASE_DIR/output.log" | head -n 1)"
    else
        failed=$((failed + 1))
        failed_names+=("$name")
        echo "FAIL  $name (${seconds}s)"
        sed 's/^/      /' "$CASE_DIR/output.log"
    fi
done
close_group_prefix

if ((failed)); then
    echo "win32: failed: ${failed_names[*]} (logs in $RUN_DIR)"
fi
summary "$passed" "$failed" "$skipped"
((failed == 0))
