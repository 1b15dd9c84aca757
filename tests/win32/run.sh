#!/usr/bin/env bash
# End-to-end tests of HVX.exe under Wine: tests/win32/run.sh [-k PATTERN]. Runs each test_* function
# of cases/*.sh (whose name holds PATTERN) in a fresh copy of a template prefix (made once, kept in
# the build folder) on a private Xvfb; prints "N passed, N failed". Logs: wine-tests/run/<case>/.
set -uo pipefail

HERE=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd) ROOT=$(realpath "$HERE/../..")
BUILD=$(realpath -m "${HVX_WINDOWS_BUILD:-$ROOT/build/windows}")
[[ ${1:-} == -k ]] && filter=${2:-} || filter=''

export HVX_EXE=$BUILD/src/platform/win32/HVX.exe HVX_DRIVE=$BUILD/tests/win32/hvxdrive.exe
give_up() { echo "win32: $*" >&2; echo "0 passed, 1 failed"; exit 1; }
for needed in "$HVX_EXE" "$HVX_DRIVE" "${HVX_DRIVE%/*}/hvxprobe.dll"; do
    [[ -f $needed ]] || give_up "$needed is missing; build the windows preset first"
done

STATE=$BUILD/wine-tests TEMPLATE=$STATE/template PREFIX=$STATE/prefix
export WINEPREFIX=$PREFIX HOME=$STATE/home LANG=C.UTF-8 WINEDEBUG=-all
source "$ROOT/scripts/lib/wine.sh"
hvx_wine_env && unset PULSE_SERVER
# An ALSA device that swallows sound, so Wine has an audio device to offer.
mkdir -p "$HOME" && printf 'pcm.!default { type null }\n' >"$HOME/.asoundrc"
rm -rf "$STATE/run" && mkdir -p "$STATE/run"

# Ends every process of the case's prefix and waits for its wineserver before deleting it.
end_prefix() {
    [[ -d $PREFIX ]] && { wineserver -k 2>/dev/null; timeout 20 wineserver -w; }
    rm -rf "$PREFIX"
}
trap 'end_prefix; [[ -n ${HVX_XVFB_PID:-} ]] && kill "$HVX_XVFB_PID"' EXIT
trap 'exit 130' INT TERM

stamp="$(wine --version) $(sha1sum "$ROOT/scripts/lib/wine.sh" | cut -c1-12)"
if [[ $(cat "$TEMPLATE/.hvx-template" 2>/dev/null) != "$stamp" ]]; then
    echo "win32: creating the template prefix ($stamp)"
    hvx_make_prefix "$TEMPLATE" --virtual-desktop && echo "$stamp" >"$TEMPLATE/.hvx-template" ||
        give_up "cannot create the template prefix ($TEMPLATE.log)"
fi
hvx_start_xvfb "$STATE/run/xvfb.log" || give_up "cannot start Xvfb"

passed=0 failed=0 failed_names=()
for file in "$HERE"/cases/*.sh; do
    for name in $(sed -n 's/^\(test_[A-Za-z0-9_]*\) *() *{.*/\1/p' "$file"); do
        [[ $name == *"$filter"* ]] || continue
        export CASE_DIR=$STATE/run/$name && mkdir -p "$CASE_DIR" && started=$SECONDS
        # HVX lives in a folder whose path has a space, as on a real machine.
        end_prefix
        cp -a "$TEMPLATE" "$PREFIX" &&
            install -D "$HVX_EXE" "$PREFIX/drive_c/Program Files/HVX/HVX.exe" &&
            timeout -k 10 "${HVX_CASE_TIMEOUT:-120}" bash "$HERE/lib.sh" run-case "$file" "$name" \
                >"$CASE_DIR/output.log" 2>&1 </dev/null
        status=$?
        ((status == 124)) && echo "  ABORT: timed out" >>"$CASE_DIR/output.log"
        # A case that ran a checking program counts that program's checks instead of itself.
        p=$((status == 0)) f=$((status != 0)) counts=''
        if read -r p _ f _ 2>/dev/null <"$CASE_DIR/counts"; then
            counts=", $p+$f checks" f=$((f > 0 || status == 0 ? f : 1))
        fi
        passed=$((passed + p)) failed=$((failed + f))
        ((status == 0 && f == 0)) && result=ok || { result=FAIL; failed_names+=("$name"); }
        printf '%-5s %s (%ds%s)\n' "$result" "$name" "$((SECONDS - started))" "$counts"
        [[ $result == ok ]] || sed 's/^/      /' "$CASE_DIR/output.log"
    done
done
((failed)) && echo "win32: failed: ${failed_names[*]} (logs in $STATE/run)"
echo "$passed passed, $failed failed"
((failed == 0))
