#!/usr/bin/env bash
# Runs every end-to-end case against the binary given, such as the one a package
# installed, and prints what each gave.
#
#   run-all.sh BINARY
#
# Cases that need the test build's system call shim are skipped.
set -u
[[ $# == 1 && -x $1 ]] || {
    echo "usage: run-all.sh BINARY (an executable file)"
    exit 2
}
here=$(cd "$(dirname "$0")" && pwd)
export VORNSET=$1 SAMPLE=$here/../../examples/vornbm.bin GOLDEN=$here/golden
unset VORNSET_RUNNER VORNSET_SHIM_LIBRARY

passed=0 skipped=0 failed=0
for name in $(sed -n 's/^case_\([a-z0-9_]*\)().*/\1/p' "$here/run.sh"); do
    output=$(bash "$here/run.sh" "$name" 2>&1)
    case $? in
    0) passed=$((passed + 1)) ;;
    77)
        skipped=$((skipped + 1))
        echo "$name: $(tail -1 <<<"$output")"
        ;;
    *)
        failed=$((failed + 1))
        echo "$name: FAILED"
        sed 's/^/    /' <<<"$output"
        ;;
    esac
done
echo "$VORNSET: $passed cases passed, $skipped skipped, $failed failed"
((failed == 0))
