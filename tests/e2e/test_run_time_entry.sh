#!/usr/bin/env bash
# The run time box: "7:00" and Tab is refused with "You did not enter a valid
# time. HH:MM " and nothing is stored; after OK the focus is back in the box,
# where "07:30" and Tab is taken and stored.
source "$(dirname "$0")/lib.sh"

start_xvfb
start_program "2026-12-09 10:00:00"
wait_for 20 "the main window" main_window_shown
wait_for 10 "the settings file" test -s "$SETTINGS_FILE"
sleep 1
main=$(main_window_id)
before=$E2E_DIR/settings.before
cp -p "$SETTINGS_FILE" "$before"

window_geometry "$main"
px() { awk -v t="$1" -v w="$WIN_W" 'BEGIN { printf "%d", t * w / 9015 }'; }
client_top=$((WIN_Y + WIN_H - $(px 5565)))
# "Run Time:" box text2: 1080, 960 twips on the first page, which lies at
# 120, 480 in the client area; 975 x 285 twips.
box_x=$((WIN_X + $(px 1200) + $(px 975) / 2))
box_y=$((client_top + $(px 1440) + $(px 285) / 2))

say "checks: \"7:00\" and Tab is refused and stores nothing"
click_at "$box_x" "$box_y"
send_keys "$main" ctrl+a 7 colon 0 0 Tab
check_message_box "Kelvaro Workstation" "You did not enter a valid time. HH:MM "
sleep 0.5
cmp -s "$before" "$SETTINGS_FILE" || fail "the settings file changed after the refused time:
$(diff "$before" "$SETTINGS_FILE")"
pass "the settings file is unchanged"
send_keys "$MESSAGE_BOX" Return
wait_for 5 "the message to close" message_box_absent "Kelvaro Workstation"
cmp -s "$before" "$SETTINGS_FILE" || fail "the settings file changed after OK"

say "checks: the focus is back in the run time box; \"07:30\" and Tab is stored"
# Typed without clicking: only a box that has the focus takes these keys.
send_keys "$main" ctrl+a 0 7 colon 3 0 Tab
wait_for 3 "Backup Time 07:30 in the store" ini_has "Time/Date" "Backup Time" "07:30"
no_dialogs || fail "a message box is shown after 07:30: $(program_windows)"
expect_ini "Time/Date" "Backup Time" "07:30"
expect_ini "Time/Date" "Backup Date" "DAILY"
diff <(ini_dump "$before" | grep -v '^Time/Date/Backup Time=') <(ini_dump "$SETTINGS_FILE" | grep -v '^Time/Date/Backup Time=') >/dev/null ||
    fail "other values changed with the run time:
$(diff <(ini_dump "$before") <(ini_dump "$SETTINGS_FILE"))"
pass "only the run time changed"
require_alive
