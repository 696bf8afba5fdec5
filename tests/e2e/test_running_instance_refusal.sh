#!/usr/bin/env bash
# While a top-level window titled exactly "Backup" exists (NTBackup is open),
# "Start Backup" (F12) refuses with a message and starts nothing; once that
# window is gone, F12 starts NTBackup.exe once.
source "$(dirname "$0")/lib.sh"
command -v xmessage >/dev/null || { echo "missing tool: xmessage (x11-utils)" >&2; exit 2; }

start_xvfb
start_program "2026-12-09 10:00:00"
wait_for 20 "the main window" main_window_shown
main=$(main_window_id)

backup_window_shown() { list_windows | awk -F'|' '$2 == "IsViewable" && $8 == "Backup" { f = 1 } END { exit !f }'; }
backup_window_gone() { ! backup_window_shown; }
# Another program's window titled "Backup" (an X toolkit window: WM_NAME only).
xmessage -title Backup -geometry +10+10 "NTBackup stand-in" >/dev/null 2>&1 &
stand_in=$!
E2E_PIDS+=("$stand_in")
wait_for 10 "the window titled Backup" backup_window_shown
say "a window titled \"Backup\" is open (xmessage, pid $stand_in)"

say "checks: F12 shows the refusal and starts nothing"
send_keys "$main" F12
check_message_box "Kelvaro Workstation" "NTBackup is already running. Can not continue.
Please close NTBackup.exe before scheduling Kelvaro event."
refusal=$MESSAGE_BOX
sleep 1
[ "$(record_count)" -eq 0 ] || fail "NTBackup.exe was started although a window titled Backup exists"
pass "nothing was started"
send_keys "$refusal" Return
wait_for 5 "the refusal to close" message_box_absent "Kelvaro Workstation"
pass "OK (Return) closed the message"
[ "$(record_count)" -eq 0 ] || fail "NTBackup.exe was started after the refusal was closed"

say "checks: with the Backup window gone, F12 starts NTBackup.exe once"
kill -TERM "$stand_in"
wait "$stand_in" 2>/dev/null || true
wait_for 5 "the window titled Backup to go" backup_window_gone
require_alive
send_keys "$main" F12
wait_for 5 "NTBackup.exe to be started" records_at_least 1
no_dialogs || fail "a message box is shown after F12: $(program_windows)"
# The first run's command: no drives, compression off, incremental, no log.
check_record "$(first_record)" "$(compose_command "" "" "" "" "" "/HC:off" "/T Incremental" " " 1)" \
    Backup /D "Kelvaro Tape" /HC:off /T Incremental /tape:1
sleep 1.5
[ "$(record_count)" -eq 1 ] || fail "NTBackup.exe was started $(record_count) times"
pass "started once"
require_alive
