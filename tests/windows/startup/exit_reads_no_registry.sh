#!/usr/bin/env bash
# "--exit" with no instance running ends before the setting is read. Wine's registry trace of
# the process shows every key it opens; a full start, traced the same way, shows the read.
#   exit_reads_no_registry.sh TOOLS_DIR WINE_STATE QUORVEL_EXE
set -uo pipefail
tools=$1 state=$2 exe=$3
eval "$("$tools/wine-session" env "$state")"
log=$(mktemp -d)
trap 'rm -rf "$log"' EXIT

WINEDEBUG=+reg timeout 60 wine "$exe" --exit 2>"$log/exit.txt"
rc=$?
[ $rc -eq 0 ] || { echo "--exit returned $rc"; exit 1; }
if grep -q 'Quorvel Overlay' "$log/exit.txt"; then
    echo "--exit without an instance touched the setting:"; grep 'Quorvel Overlay' "$log/exit.txt"
    exit 1
fi

# The control: a real start reads the setting, and the trace shows it.
WINEDEBUG=+reg timeout 120 wine "$exe" --show 2>"$log/start.txt" &
instance=$!
for _ in $(seq 1 400); do
    grep -q 'Quorvel Overlay' "$log/start.txt" && break
    kill -0 $instance 2>/dev/null || break
    sleep 0.05
done
timeout 60 wine "$exe" --exit
wait $instance
rc=$?
grep -q 'Quorvel Overlay' "$log/start.txt" || { echo "the trace does not show the read of a real start"; exit 1; }
[ $rc -eq 0 ] || { echo "the instance returned $rc"; exit 1; }
echo "1 passed, 0 failed"
