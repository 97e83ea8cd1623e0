#!/usr/bin/env bash
# Starts that end before the setting is read: "--exit" with no instance running, and the variants
# of the program whose image resource is broken (further arguments), which end with code 3 before
# they read the setting or make a window, even for an instant. Wine's trace of each process shows
# every registry key it opens (+reg) and every window it creates (+win); a full start, traced the
# same way, shows the read and both windows.
#   exit_reads_no_registry.sh TOOLS_DIR WINE_STATE QUORVEL_EXE [BROKEN_VARIANT_EXE...]
set -uo pipefail
tools=$1 state=$2 exe=$3
shift 3
eval "$("$tools/wine-session" env "$state")"
log=$(mktemp -d)
trap 'rm -rf "$log"' EXIT
failed=0
windows='WIN_CreateWindowEx .*L"Quorvel\.\(Manager\|Reticle\)"'

WINEDEBUG=+reg timeout 60 wine "$exe" --exit 2>"$log/exit.txt"
rc=$?
[ $rc -eq 0 ] || { echo "--exit returned $rc"; exit 1; }
if grep -q 'Quorvel Overlay' "$log/exit.txt"; then
    echo "--exit without an instance touched the setting:"; grep 'Quorvel Overlay' "$log/exit.txt"
    exit 1
fi

for variant in "$@"; do
    name=$(basename "$variant")
    WINEDEBUG=+reg,+win timeout 60 wine "$variant" --black 2>"$log/$name.txt"
    rc=$?
    if [ $rc -ne 3 ]; then echo "$name returned $rc, not 3"; failed=1; fi
    if grep -q 'Quorvel Overlay' "$log/$name.txt"; then
        echo "$name read the setting:"; grep 'Quorvel Overlay' "$log/$name.txt"; failed=1
    fi
    if grep -q "$windows" "$log/$name.txt"; then
        echo "$name made a window:"; grep "$windows" "$log/$name.txt"; failed=1
    fi
done

# The control: a real start reads the setting and makes both windows, and the trace shows it.
WINEDEBUG=+reg,+win timeout 120 wine "$exe" --show 2>"$log/start.txt" &
instance=$!
for _ in $(seq 1 400); do
    grep -q 'Quorvel Overlay' "$log/start.txt" && [ "$(grep -c "$windows" "$log/start.txt")" -eq 2 ] &&
        break
    kill -0 $instance 2>/dev/null || break
    sleep 0.05
done
timeout 60 wine "$exe" --exit
wait $instance
rc=$?
grep -q 'Quorvel Overlay' "$log/start.txt" || { echo "the trace does not show the read of a real start"; exit 1; }
[ "$(grep -c "$windows" "$log/start.txt")" -eq 2 ] ||
    { echo "the trace does not show the two windows of a real start"; exit 1; }
[ $rc -eq 0 ] || { echo "the instance returned $rc"; exit 1; }
[ $failed -eq 0 ] || exit 1
echo "$(( $# + 1 )) passed, 0 failed"
