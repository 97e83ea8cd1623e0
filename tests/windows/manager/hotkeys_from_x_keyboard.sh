#!/usr/bin/env bash
# Ctrl+Alt+W and Ctrl+Alt+H typed on the X keyboard reach the running instance while a Wine
# window (the stand-in game) has the X focus. Watched from outside: the reticle window's title
# through xdotool, the stored setting through "wine reg query".
#   hotkeys_from_x_keyboard.sh TOOLS_DIR WINE_STATE QUORVEL_EXE GAME_EXE
set -uo pipefail
tools=$1 state=$2 exe=$3 game=$4
eval "$("$tools/wine-session" env "$state")"
key='HKCU\Software\Quorvel Overlay'
instance= game_pid=

cleanup() {
    [ -n "$instance" ] && kill -0 "$instance" 2>/dev/null && timeout 60 wine "$exe" --exit
    [ -n "$instance" ] && wait "$instance" 2>/dev/null
    [ -n "$game_pid" ] && kill "$game_pid" 2>/dev/null && wait "$game_pid" 2>/dev/null
    timeout 60 wine reg delete "$key" /f >/dev/null 2>&1
}
fail() { echo "FAILED: $*"; cleanup; exit 1; }

# Polls a condition every 50 ms for up to 20 s.
wait_for() {
    for _ in $(seq 1 400); do
        eval "$1" && return 0
        sleep 0.05
    done
    return 1
}

# "0x1", "0x0", or nothing when there is no value.
stored() { timeout 60 wine reg query "$key" /v Black 2>/dev/null | tr -d '\r' | awk '$1 == "Black" { print $3 }'; }
# The reticle window's title; the manager window's is "Quorvel controls".
title() {
    local w
    for w in $(xdotool search --name '^Quorvel \|' 2>/dev/null); do xdotool getwindowname "$w"; done | head -1
}
press() { xdotool key --clearmodifiers "$1"; }

timeout 60 wine reg delete "$key" /f >/dev/null 2>&1

wine "$game" >/dev/null 2>&1 &
game_pid=$!
wait_for '[ -n "$(xdotool search --name "^Stand-in game$" 2>/dev/null)" ]' || fail "no game window"
game_window=$(xdotool search --name '^Stand-in game$' | head -1)
xdotool windowfocus --sync "$game_window"
xdotool mousemove --window "$game_window" 50 50

wine "$exe" >/dev/null 2>&1 &
instance=$!
wait_for '[ -n "$(title)" ]' || fail "no reticle window"
# The instance carries out commands once its start-up is complete, hotkeys included.
timeout 60 wine "$exe" --hide
wait_for '[ "$(title)" = "Quorvel | Hidden" ]' || fail "--hide: title $(title)"
timeout 60 wine "$exe" --show
wait_for '[ "$(title)" != "Quorvel | Hidden" ]' || fail "--show: title $(title)"
[ -z "$(stored)" ] || fail "a start without a colour verb stored $(stored)"

# Ctrl+Alt+W switches the mode and stores it each time.
press ctrl+alt+w
wait_for '[ "$(stored)" = 0x1 ]' || fail "Ctrl+Alt+W: stored '$(stored)', not 0x1"
press ctrl+alt+w
wait_for '[ "$(stored)" = 0x0 ]' || fail "second Ctrl+Alt+W: stored '$(stored)', not 0x0"

# Ctrl+Alt+H hides and shows the wings and stores nothing: the deleted key stays deleted.
timeout 60 wine reg delete "$key" /f >/dev/null 2>&1
press ctrl+alt+h
wait_for '[ "$(title)" = "Quorvel | Hidden" ]' || fail "Ctrl+Alt+H: title $(title)"
press ctrl+alt+h
wait_for '[ -n "$(title)" ] && [ "$(title)" != "Quorvel | Hidden" ]' || fail "second Ctrl+Alt+H: title $(title)"
timeout 60 wine reg query "$key" >/dev/null 2>&1 && fail "Ctrl+Alt+H wrote the setting: $(stored)"

timeout 60 wine "$exe" --exit
rc=$?
[ $rc -eq 0 ] || fail "--exit returned $rc"
wait "$instance"
rc=$?
instance=
[ $rc -eq 0 ] || fail "the instance ended with $rc"
cleanup
echo "1 passed, 0 failed"
