#!/usr/bin/env bash
# Quit: File, "&Close" asks with the caption "Kelvaro"; Yes ends the process at
# once with exit status 0 and leaves the settings file as it was.
source "$(dirname "$0")/lib.sh"

start_xvfb
start_program "2026-12-09 10:00:00"
wait_for 20 "the main window" main_window_shown
wait_for 10 "the settings file" test -s "$SETTINGS_FILE"
sleep 1
main=$(main_window_id)
before=$E2E_DIR/settings.before
cp -p "$SETTINGS_FILE" "$before"
inode_before=$(stat -c %i "$SETTINGS_FILE")

say "checks: File, \"&Close\" (Alt+F, C) shows the quit question"
send_keys "$main" alt+f c
check_message_box "Kelvaro" "        Quit Kelvaro  

 YES to Quit  NO to Minimize "
require_alive

say "checks: Yes (Alt+Y) ends the process at once"
send_keys "$MESSAGE_BOX" alt+y
asked=$EPOCHREALTIME
wait_for 3 "the process to end" program_gone
took=$(elapsed "$asked")
awk -v t="$took" 'BEGIN { exit !(t <= 1.5) }' || fail "the process took ${took} s to end"
set +e
wait "$PROGRAM_PID"
status=$?
set -e
[ "$status" -eq 0 ] || fail "the process ended with status $status, expected 0"
pass "the process ended ${took} s after Yes, status 0"
[ -z "$(program_windows)" ] || fail "windows of the program are still shown"

say "checks: the settings file is byte for byte what it was"
cmp -s "$before" "$SETTINGS_FILE" || fail "the settings file changed at quit:
$(diff "$before" "$SETTINGS_FILE")"
[ "$(stat -c %i "$SETTINGS_FILE")" = "$inode_before" ] || fail "the settings file was rewritten at quit (new inode)"
[ "$(stat -c %Y "$SETTINGS_FILE")" = "$(stat -c %Y "$before")" ] || fail "the settings file was touched at quit"
pass "settings.ini unchanged and not rewritten"
[ "$(record_count)" -eq 0 ] || fail "NTBackup.exe was started"
