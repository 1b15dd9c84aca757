#!/usr/bin/env bash
# End-to-end tests of the Linux program on a private desktop, in namespaces of their own
# (see tests/linux/README):   tests/linux/run.sh [path/to/hvx]
set -u
ROOT=$(cd "$(dirname "$0")/../.." && pwd)
# X servers of other test runs may use the same display number: our X sockets are private too.
if [ -z "${HVX_UNSHARED:-}" ]; then
    HVX_UNSHARED=1 exec unshare -n -m "$BASH" -c \
        'mkdir -p /tmp/.X11-unix && mount -t tmpfs -o mode=1777 hvx /tmp/.X11-unix && exec "$@"' \
        - "$BASH" "$0" "$@"
fi
HVX=$(realpath "${1:-${HVX_BIN:-$ROOT/build/native/src/platform/linux/hvx}}") ||
    { echo "run.sh: no program (build the native preset first)" >&2; exit 2; }
BUILD=${HVX%/src/platform/linux/hvx}
source "$ROOT/tests/linux/lib.sh"
for file in "$ROOT"/tests/linux/cases/*.sh; do source "$file"; done
for c in ${HVX_CASES:-$(declare -F | awk '$3 ~ /^case_/ { print $3 }')}; do run_case "$c"; done
echo "$PASSED passed, $FAILED failed, $SKIPPED skipped"
[ "$FAILED" = 0 ]
