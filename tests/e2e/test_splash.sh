#!/usr/bin/env bash
# Start-up as the user sees it: the splash window appears, centred, before the
# main window; it stays up while the main window is filled and is closed once
# the drive scan has run, after the main window is shown. It is shown once: no
# window of the program flashes up and goes again on the way.
source "$(dirname "$0")/lib.sh"
command -v xev >/dev/null || { echo "missing tool: xev (x11-utils)" >&2; exit 2; }

start_xvfb
# Every top-level window's creation, mapping, unmapping and destruction, in order.
events=$E2E_DIR/xev.log
xev -root -event substructure >"$events" 2>&1 &
E2E_PIDS+=("$!")
# xev listens once it reports a window that comes and goes after its start.
xev_listening() {
    xmessage -geometry +0+0 "probe" >/dev/null 2>&1 &
    local probe=$!
    sleep 0.3
    kill -TERM "$probe" 2>/dev/null
    wait "$probe" 2>/dev/null || true
    grep -q '^CreateNotify' "$events"
}
wait_for 10 "xev to listen to the root window" xev_listening
start_program "2026-12-09 10:00:00"
wait_for 20 "the main window" main_window_shown
main=$(main_window_id)
sleep 1.5

# One line per event: TYPE WINDOW [X Y WIDTH HEIGHT]; the synthetic unmap
# events a client sends on withdrawing a window are left out.
timeline=$E2E_DIR/timeline.txt
awk '
    /^[A-Za-z]+Notify event/ { type = $1; synthetic = ($0 ~ /synthetic YES/); want = 1; next }
    want {
        want = 0
        if (synthetic) next
        if (type == "CreateNotify") {
            match($0, /window 0x[0-9a-f]+/); w = substr($0, RSTART + 7, RLENGTH - 7)
            match($0, /\([-0-9]+,[-0-9]+\)/); xy = substr($0, RSTART + 1, RLENGTH - 2); sub(/,/, " ", xy)
            match($0, /width [0-9]+/); wd = substr($0, RSTART + 6, RLENGTH - 6)
            match($0, /height [0-9]+/); ht = substr($0, RSTART + 7, RLENGTH - 7)
            print "create", w, xy, wd, ht
        } else if (type == "MapNotify" || type == "UnmapNotify" || type == "DestroyNotify") {
            n = split($0, f, /[ ,]+/)
            for (i = 1; i < n; i++) if (f[i] == "window") w = f[i + 1]
            print tolower(substr(type, 1, length(type) - 6)), w
        }
    }' "$events" >"$timeline"

window_geometry "$main"
# The splash: 7575 x 4575 twips, at the scale of the main window's 9015.
splash_w=$(awk -v w="$WIN_W" 'BEGIN { printf "%.0f", 7575 * w / 9015 }')
splash_h=$(awk -v w="$WIN_W" 'BEGIN { printf "%.0f", 4575 * w / 9015 }')
splashes=$(awk -v w="$splash_w" -v h="$splash_h" '$1 == "create" && ($5 - w) ^ 2 <= 4 && ($6 - h) ^ 2 <= 4 { print $2 }' "$timeline")
[ -n "$splashes" ] || fail "no splash window (${splash_w}x${splash_h}) was created:
$(cat "$timeline")"
order=$(awk -v m="$main" '
    NR == FNR { s[$1] = 1; next }
    ($1 == "map" || $1 == "unmap" || $1 == "destroy") && ($2 in s) { print $1 " splash(" $2 ")" }
    ($1 == "map" || $1 == "unmap") && $2 == m { print $1 " main" }' <(printf '%s\n' "$splashes") "$timeline")
say "seen: $(printf '%s\n' "$order" | tr '\n' ';')"

say "checks: the splash shows, centred, before the main window"
first=$(printf '%s\n' "$order" | sed -n 1p)
case $first in "map splash"*) ;; *) fail "the first window shown is not the splash: $order" ;; esac
first_id=${first#map splash(}; first_id=${first_id%)}
read -r _ _ sx sy _ _ <<<"$(awk -v w="$first_id" '$1 == "create" && $2 == w' "$timeline")"
want_x=$(awk -v w="$splash_w" 'BEGIN { printf "%d", 1280 / 2 - w / 2 }')
want_y=$(awk -v h="$splash_h" 'BEGIN { printf "%d", 1024 * 0.95 / 2 - h / 2 }')
[ $(((sx - want_x) * (sx - want_x))) -le 4 ] && [ $(((sy - want_y) * (sy - want_y))) -le 4 ] ||
    fail "the splash is at $sx,$sy, expected about $want_x,$want_y"
pass "the splash (${splash_w}x${splash_h}) shows first, at $sx,$sy"

say "checks: the splash closes after the main window shows"
main_map=$(printf '%s\n' "$order" | grep -n '^map main$' | sed -n 1p | cut -d: -f1)
[ -n "$main_map" ] || fail "the main window's mapping was not seen"
last_hide=$(printf '%s\n' "$order" | grep -n '^\(unmap\|destroy\) splash' | tail -n1 | cut -d: -f1)
[ -n "$last_hide" ] && [ "$last_hide" -gt "$main_map" ] || fail "the splash did not stay up until the main window showed: $order"
[ -z "$(program_windows | awk -F'|' '$10 ~ /SPLASH/')" ] || fail "the splash is still shown"
pass "the splash was up when the main window showed, and is closed now"

say "checks: the splash was shown once, not taken down and put up again"
maps=$(printf '%s\n' "$order" | grep -c '^map splash' || true)
[ "$maps" -eq 1 ] || fail "the splash window was shown $maps times (a new window each time): $(printf '%s\n' "$order" | tr '\n' ';')"
pass "shown once"
require_alive
