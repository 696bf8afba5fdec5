#!/usr/bin/env bash
# A settings file that exists but cannot be read (here: larger than the 16 MB
# the program reads; a mode-000 file gives "Permission denied" the same way)
# is not taken for a missing one: one message names the file and the reason,
# nothing is written, and after OK the program ends without a main window.
source "$(dirname "$0")/lib.sh"

start_xvfb
mkdir -p "$SETTINGS_DIR"
printf '[Time/Date]\nBackup Time=07:00\n' >"$SETTINGS_FILE"
truncate -s $(((16 << 20) + 1)) "$SETTINGS_FILE"
before=$(stat -c '%s %Y %a' "$SETTINGS_FILE")
start_program "2026-12-09 10:00:00"

check_message_box "Kelvaro Workstation" \
    "The settings file $SETTINGS_FILE cannot be read: It is larger than 16 MB. Nothing was changed. Fix the file and start Kelvaro Workstation again."
main_window_shown && fail "the main window opened: $(program_windows)"
send_keys "$MESSAGE_BOX" Return
wait_for 10 "the program to end" program_gone
wait "$PROGRAM_PID" && fail "the program ended with status 0" || pass "the program ended with status $?"

[ "$(stat -c '%s %Y %a' "$SETTINGS_FILE")" = "$before" ] || fail "the settings file changed: $(stat -c '%s %Y %a' "$SETTINGS_FILE")"
[ "$(ls -A "$SETTINGS_DIR")" = "settings.ini" ] || fail "the settings folder holds: $(ls -A "$SETTINGS_DIR")"
pass "the settings file and its folder are as they were (no drive map, no temporary file)"
