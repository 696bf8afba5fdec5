#!/usr/bin/env bash
# Snooze: at the countdown, Alt+S and Yes close the countdown without starting
# anything; the countdown comes back 15 minutes later by the program's clock;
# the stored run time stays 19:00. The program's clock runs 20 times as fast
# (Qt's timers keep real time), so 15 minutes pass in 45 real seconds while the
# countdown itself still lasts 30 real seconds.
source "$(dirname "$0")/lib.sh"

RATE=20
start_xvfb
start_program "2026-12-09 18:59:20" "$RATE"
wait_for 20 "the main window" main_window_shown
main=$(main_window_id)

minute_of() { awk -v f="$1" 'BEGIN { printf "%d", int(f / 60) * 60 }'; }

say "checks: the countdown opens at 19:00"
wait_for 10 "the countdown window at 19:00" countdown_shown
opened_fake=$(fake_now)
countdown=$(countdown_id)
[ "$(fake_text "$opened_fake" | cut -c12-16)" = "19:00" ] || fail "the countdown opened at $(fake_text "$opened_fake") on the program's clock"
pass "countdown opened at about $(fake_text "$opened_fake")"
before=$E2E_DIR/settings.before
cp "$SETTINGS_FILE" "$before"

say "checks: Alt+S asks the snooze question; Yes closes the countdown"
send_keys "$countdown" alt+s
wait_for 5 "the snooze question" message_box_shown "Kelvaro Workstation"
question=$(message_box_id "Kelvaro Workstation")
send_keys "$question" alt+y
answered_fake=$(fake_now)
wait_for 5 "the countdown window to close after Yes" countdown_absent
wait_for 5 "the question to close" message_box_absent "Kelvaro Workstation"
pass "the question and the countdown closed (answered at about $(fake_text "$answered_fake"))"
[ "$(main_window_id)" = "$main" ] || fail "the main window is not shown after the snooze"
pass "the main window is shown (start-up state normal)"

# The snoozed time is the minute of the schedule check plus 15 minutes. The
# check ran last between the countdown's opening and the answer; when both lie
# in one minute, there is one right answer.
first_min=$(minute_of "$opened_fake")
last_min=$(minute_of "$answered_fake")
[ "$first_min" = "$last_min" ] || say "note: the question spanned a minute boundary; either minute is accepted"
earliest_due=$(real_at $((first_min + 900)))
latest_due=$(real_at $((last_min + 900)))
say "checks: nothing starts and nothing shows until $(fake_text $((first_min + 900))) on the program's clock"
quiet_until=$(awk -v d="$earliest_due" 'BEGIN { printf "%.6f", d - 0.3 }')
while ! e2e_passed "$quiet_until"; do
    countdown_absent || fail "a countdown opened at about $(fake_text "$(fake_now)"), before the snoozed time"
    [ "$(record_count)" -eq 0 ] || fail "NTBackup.exe was started after Snooze/Yes"
    sleep 0.2
done
pass "no countdown and no start for $(awk -v a="$answered_fake" -v d="$first_min" 'BEGIN { printf "%d", (d + 900 - a) / 60 }') minutes"
cmp -s "$before" "$SETTINGS_FILE" || fail "the settings file changed after the snooze:
$(diff "$before" "$SETTINGS_FILE")"
expect_ini "Time/Date" "Backup Time" "19:00"
pass "the settings file is unchanged by the snooze"

say "checks: the countdown comes back 15 minutes after the snoozed minute"
wait_for 50 "the snoozed countdown" countdown_shown
back=$EPOCHREALTIME
late=$(awk -v b="$back" -v d="$latest_due" 'BEGIN { printf "%.2f", b - d }')
awk -v l="$late" 'BEGIN { exit !(l <= 1.5) }' ||
    fail "the countdown came back at about $(fake_text "$(fake_now)"), ${late} s (real) after $(fake_text $((last_min + 900)))"
pass "the countdown is back at about $(fake_text "$(fake_now)") (${late} s real after the snoozed minute)"
[ "$(record_count)" -eq 0 ] || fail "NTBackup.exe was started before the snoozed countdown ran out"

say "checks: the question's text; No closes the countdown and starts nothing"
countdown=$(countdown_id)
send_keys "$countdown" alt+s
check_message_box "Kelvaro Workstation" " Snooze For 15 minutes  "
send_keys "$MESSAGE_BOX" alt+n
wait_for 5 "the countdown window to close after No" countdown_absent
pass "No closed the countdown"
sleep 1
[ "$(record_count)" -eq 0 ] || fail "NTBackup.exe was started after Snooze/No"
expect_ini "Time/Date" "Backup Time" "19:00"
pass "nothing started; the stored run time is still 19:00"
require_alive
