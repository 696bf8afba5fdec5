#!/usr/bin/env bash
# A run missed while the program was not running: daily at 19:00 (a first
# start's settings), the program runs at 18:50 and is killed (the computer goes
# off); started at 19:30, it opens the countdown once; started again at 19:45,
# it offers nothing. The schedule's state lives in a private XDG_STATE_HOME.
source "$(dirname "$0")/lib.sh"

export XDG_STATE_HOME=$E2E_DIR/state
STATE_FILE="$XDG_STATE_HOME/Kelvaro Workstation/schedule.state"
state_says() { grep -qxF "$1" "$STATE_FILE" 2>/dev/null; }
# Ends the program as a power cut would: no chance to write anything.
power_off() {
    kill -KILL "$PROGRAM_PID"
    wait "$PROGRAM_PID" 2>/dev/null || true
    wait_for 5 "the program to end" program_gone
}
# Watches SECONDS for a countdown; fails when one shows.
no_countdown_for() {
    local until
    until=$(e2e_after "$1")
    while ! e2e_passed "$until"; do
        countdown_absent || fail "a countdown opened $2"
        sleep 0.2
    done
}

start_xvfb

say "checks: running at 18:50, the program writes the minute it saw"
start_program "2026-12-09 18:50:00"
wait_for 20 "the main window" main_window_shown
wait_for 5 "the state file to say 18:50" state_says "LastSeen=2026-12-09 18:50"
mode=$(stat -c %a "$STATE_FILE")
[ "$mode" = 600 ] || fail "the state file has mode $mode, expected 600"
state_says "CameUp=" || fail "the state file holds: $(cat "$STATE_FILE")"
pass "the state file says LastSeen=2026-12-09 18:50, no run came up; mode 600"
countdown_absent || fail "a countdown opened at 18:50"
power_off

say "checks: started at 19:30, the countdown for 19:00 opens once"
start_program "2026-12-09 19:30:00"
wait_for 20 "the main window" main_window_shown
seen=$EPOCHREALTIME
wait_for 5 "the countdown for the missed run" countdown_shown
pass "the countdown opened $(elapsed "$seen") s after the main window was seen"
send_keys "$(countdown_id)" alt+c
wait_for 5 "the countdown to close on Cancel" countdown_absent
no_countdown_for 3 "again after Cancel"
[ "$(record_count)" -eq 0 ] || fail "NTBackup.exe was started after Cancel"
pass "cancelled: no second countdown, nothing started"
wait_for 5 "the state file to keep the run that came up" state_says "CameUp=12/09/26 19:00 19:30"
pass "the state file keeps 19:00 (caught up) and 19:30 (its countdown) as come up"
power_off

say "checks: started again at 19:45, nothing is offered"
start_program "2026-12-09 19:45:00"
wait_for 20 "the main window" main_window_shown
no_countdown_for 4 "at the start at 19:45"
wait_for 5 "the state file to say 19:45" state_says "LastSeen=2026-12-09 19:45"
pass "no countdown at 19:45"
require_alive
