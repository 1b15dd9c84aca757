#!/usr/bin/env bash
# Builds everything and runs every test layer:
#   1. unit tests of the portable core (native build, AddressSanitizer + UBSan, ctest)
#   2. the Windows cross build, then its end-to-end tests under Wine (tests/win32/run.sh)
#   3. the Linux program's end-to-end tests (tests/linux/run.sh), when present
# Ends with one line "N passed, N failed" summing all layers; exits non-zero if anything failed.
set -uo pipefail

ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$ROOT" || exit 1
LOGS=$ROOT/build/logs
mkdir -p "$LOGS"

total_passed=0 total_failed=0 total_skipped=0
layer_results=()
started=$SECONDS
section_started=$SECONDS

section() {
    section_started=$SECONDS
    echo
    echo "== $* ($((SECONDS - started))s)"
}

# record LAYER PASSED FAILED [SKIPPED]
record() {
    total_passed=$((total_passed + $2))
    total_failed=$((total_failed + $3))
    total_skipped=$((total_skipped + ${4:-0}))
    local skipped=''
    if ((${4:-0})); then skipped=", $4 skipped"; fi
    layer_results+=("$1: $2 passed, $3 failed$skipped ($((SECONDS - section_started))s)")
}

# step LOGNAME COMMAND...: runs a build step quietly; on failure shows the end of its log.
step() {
    local log=$LOGS/$1.log
    shift
    echo "\$ $*"
    if "$@" >"$log" 2>&1; then return 0; fi
    echo "-- failed; last lines of $log:"
    tail -n 40 "$log"
    return 1
}

# The last "N passed, N failed[, N skipped]" line of a file, as "N N N"; nothing if there is none.
read_summary() {
    sed -n -E 's/^([0-9]+) passed, ([0-9]+) failed(, ([0-9]+) skipped)?$/\1 \2 \4/p' "$1" |
        tail -n 1 | awk '{ print $1, $2, ($3 == "" ? 0 : $3) }'
}

# Runs a layer's own script, shows its output, and records its summary line. A script that dies
# without one counts as one failure.
run_layer() {
    local layer=$1 log=$LOGS/$1.log
    shift
    echo "\$ $*"
    "$@" 2>&1 | tee "$log"
    local status=${PIPESTATUS[0]} summary failed
    summary=$(read_summary "$log")
    if [[ -z $summary ]]; then
        record "$layer" 0 1
    else
        # shellcheck disable=SC2086
        record "$layer" $summary
        read -r _ failed _ <<<"$summary"
        if ((status != 0 && failed == 0)); then record "$layer (exit $status)" 0 1; fi
    fi
}

section "dependencies"
if ! step install-deps scripts/install-deps.sh; then
    echo "0 passed, 1 failed"
    exit 1
fi
tail -n 1 "$LOGS/install-deps.log"

section "unit tests (native, sanitizers)"
if step native-configure cmake --preset native &&
    step native-build cmake --build build/native -j2; then
    echo "\$ ctest --test-dir build/native -j2 --output-on-failure"
    ctest --test-dir build/native -j2 --output-on-failure --timeout 300 2>&1 | tee "$LOGS/ctest.log"
    ctest_status=${PIPESTATUS[0]}
    # "100% tests passed, 0 tests failed out of 42"
    counts=$(sed -n 's/^.*tests passed, \([0-9]*\) tests\{0,1\} failed out of \([0-9]*\).*$/\1 \2/p' \
        "$LOGS/ctest.log" | tail -n 1)
    if [[ -n $counts ]]; then
        read -r failed total <<<"$counts"
        record unit $((total - failed)) "$failed"
    elif grep -q 'No tests were found' "$LOGS/ctest.log"; then
        record unit 0 1
    else
        record unit 0 $((ctest_status == 0 ? 0 : 1))
    fi
else
    record "unit (build)" 0 1
fi

section "Windows build"
if step windows-configure cmake --preset windows &&
    step windows-build cmake --build build/windows -j2; then
    ls -l build/windows/src/platform/win32/HVX.exe
    section "Windows end-to-end tests (Wine)"
    run_layer win32 tests/win32/run.sh
else
    record "win32 (build)" 0 1
fi

if [[ -f tests/linux/run.sh ]]; then
    section "Linux end-to-end tests"
    run_layer linux bash tests/linux/run.sh
fi

section "summary"
printf '  %s\n' "${layer_results[@]}"
# Tests are kept to at most half the size of the program (non-blank lines of code).
code_lines() {
    git ls-files -- "$1" | grep -E '\.(cpp|h|hpp|cc|c|sh|py)$' | xargs -r cat | grep -cv '^\s*$'
}
src_lines=$(code_lines 'src/*' 2>/dev/null) test_lines=$(code_lines 'tests/*' 2>/dev/null)
if ((${src_lines:-0} > 0)); then
    echo "  size: tests/ $test_lines non-blank lines, src/ $src_lines" \
        "($((test_lines * 100 / src_lines))% of src/)"
    if ((test_lines * 2 > src_lines)); then
        echo "  tests/ is more than half of src/"
        record "test size" 0 1
    fi
fi
echo "  total time $((SECONDS - started))s"
if ((total_skipped)); then
    echo "$total_passed passed, $total_failed failed, $total_skipped skipped"
else
    echo "$total_passed passed, $total_failed failed"
fi
((total_failed == 0))
