#!/usr/bin/env bash
# One copy per user: a second start with the same user and settings folder
# brings the running copy's main window to the front and ends with status 0
# within a few seconds, without a window of its own and without touching the
# settings; one copy stays.
source "$(dirname "$0")/lib.sh"

start_xvfb
start_program "2026-12-09 10:00:00"
wait_for 20 "the main window" main_window_shown
wait_for 10 "the settings file" test -s "$SETTINGS_FILE"
sleep 1
first=$PROGRAM_PID
main=$(main_window_id)
before=$E2E_DIR/settings.before
cp -p "$SETTINGS_FILE" "$before"

# Copies of this program that belong to this test (same executable, same
# settings folder); other copies on the machine are none of its business.
our_copies() {
    local d p
    for d in /proc/[0-9]*; do
        p=${d#/proc/}
        [ "$(readlink "$d/exe" 2>/dev/null)" = "$E2E_EXE" ] || continue
        grep -qxF "XDG_CONFIG_HOME=$XDG_CONFIG_HOME" < <(tr '\0' '\n' <"$d/environ" 2>/dev/null) || continue
        [ "$(proc_state "$p")" = Z ] && continue
        echo "$p"
    done
}
[ "$(our_copies)" = "$first" ] || fail "copies before the second start: $(our_copies | tr '\n' ' ')"

# Another program's window over the main window. xwininfo lists the root's
# children from the top of the stack down.
command -v xmessage >/dev/null || { echo "missing tool: xmessage (x11-utils)" >&2; exit 2; }
xmessage -geometry 800x600+240+200 -title "Cover" "covers the main window" >/dev/null 2>&1 &
cover_pid=$!
E2E_PIDS+=("$cover_pid")
cover_shown() { [ -n "$(list_windows | awk -F'|' '$2 == "IsViewable" && $8 == "Cover" { print $1 }')" ]; }
wait_for 10 "the covering window" cover_shown
cover=$(list_windows | awk -F'|' '!found && $2 == "IsViewable" && $8 == "Cover" { print $1; found = 1 }')
stack_pos() { xwininfo -root -children | awk -v w="$1" '$1 ~ /^0x/ { n++ } $1 == w { p = n } END { print p }'; }
main_above_cover() { [ "$(stack_pos "$main")" -lt "$(stack_pos "$cover")" ]; }
! main_above_cover || fail "test error: the covering window is not above the main window"
say "another window ($cover) lies over the main window"

say "checks: the second start ends within 5 s with status 0, showing no window"
start_program "2026-12-09 10:00:00"
second=$PROGRAM_PID
PROGRAM_PID=$first
deadline=$(e2e_after 5)
shown=""
while program_alive "$second"; do
    e2e_passed "$deadline" && fail "the second copy (pid $second) is still running after 5 s"
    w=$(program_windows "$second")
    [ -z "$w" ] || shown=$w
    sleep 0.05
done
set +e
wait "$second"
status=$?
set -e
[ "$status" -eq 0 ] || fail "the second copy ended with status $status (log: $(cat "$E2E_LOG"))"
[ -z "$shown" ] || fail "the second copy showed a window: $shown"
pass "the second copy ended with status 0 and showed no window"

say "checks: one copy remains, the first, and it still runs"
require_alive
[ "$(our_copies)" = "$first" ] || fail "copies running now: $(our_copies | tr '\n' ' '), expected only $first"
pass "only the first copy (pid $first) runs"
wait_for 3 "the first copy's main window to come to the front" main_above_cover
pass "the first copy's main window was brought to the front, above the other window"
[ "$(main_window_id)" = "$main" ] || fail "the first copy's main window is not shown"
t1=$(xdotool getwindowname "$main")
wait_for 3 "the first copy's title to change" sh -c '[ "$(xdotool getwindowname '"$main"')" != "'"$t1"'" ]'
pass "the first copy's main window is shown and its title still changes"
cmp -s "$before" "$SETTINGS_FILE" || fail "the settings file changed at the second start:
$(diff "$before" "$SETTINGS_FILE")"
pass "the settings file is unchanged"
[ "$(record_count)" -eq 0 ] || fail "NTBackup.exe was started"
