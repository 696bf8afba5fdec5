#!/usr/bin/env bash
# A drive map of three letters (c:, d:, f:, each a link to a folder) and a
# dangling e:. The available list holds c, d, f in that order: a double click
# on its first entry stores "c: [<folder>]" in Drive01 at once, and Down,
# Return go through d and f and stay on f. "Full Detail" on the Log File page
# stores C:\KELVARO.LOG and the log switch; F12 starts NTBackup.exe with the
# drives and the quoted log name.
source "$(dirname "$0")/lib.sh"

start_xvfb
drives=$E2E_DIR/drives
dos=$SETTINGS_DIR/dosdevices
mkdir -p "$dos" "$drives/cee" "$drives/dee" "$drives/eff"
ln -s "$drives/cee" "$dos/c:"
ln -s "$drives/dee" "$dos/d:"
ln -s "$drives/no-such-folder" "$dos/e:"
ln -s "$drives/eff" "$dos/f:"
start_program "2026-12-09 10:00:00"
wait_for 20 "the main window" main_window_shown
wait_for 10 "the settings file" test -s "$SETTINGS_FILE"
sleep 1
main=$(main_window_id)
entries=$(cd "$dos" && ls -A | LC_ALL=C sort | tr '\n' ' ')
[ "$entries" = "c: d: e: f: " ] || fail "the program changed the drive map: [$entries]"
expect_ini "Backup Drives" "Drive01" ""

# Places on the main window, from the form's twips: the client area is the
# window below the menu bar, 9015 x 5565 twips.
window_geometry "$main"
px() { awk -v t="$1" -v w="$WIN_W" 'BEGIN { printf "%d", t * w / 9015 }'; }
client_top=$((WIN_Y + WIN_H - $(px 5565)))
client_left=$WIN_X

slot() { ini_get "Backup Drives" "Drive$1"; }
slot_is() { [ "$(slot "$1")" = "$2" ]; }
C="c: [$drives/cee]"
D="d: [$drives/dee]"
F="f: [$drives/eff]"

say "checks: a double click on the first available entry stores Drive01 at once"
# "Available Drives:" list: 120, 3600 twips; its first entry is its top line.
double_click_at $((client_left + $(px 120) + 30)) $((client_top + $(px 3600) + 9))
clicked=$EPOCHREALTIME
wait_for 2 "Drive01 to hold [$C]" slot_is 01 "$C"
pass "Drive01 = [$C] after $(elapsed "$clicked") s"
expect_ini "Backup Drives" "Drive02" ""

say "checks: the available list holds c, d, f in that order and nothing more"
# The list keeps the focus and its current entry; Return selects like a double
# click. Down at the last entry stays there.
send_keys "$main" Down Return
wait_for 2 "Drive02 to hold [$D]" slot_is 02 "$D"
send_keys "$main" Down Return
wait_for 2 "Drive03 to hold [$F]" slot_is 03 "$F"
send_keys "$main" Down Return
wait_for 2 "Drive04 to hold [$F] (f: is the last entry)" slot_is 04 "$F"
sleep 0.5
expect_ini "Backup Drives" "Drive01" "$C"
expect_ini "Backup Drives" "Drive02" "$D"
expect_ini "Backup Drives" "Drive03" "$F"
expect_ini "Backup Drives" "Drive04" "$F"
for i in $(seq -w 5 24); do
    [ -z "$(slot "$i")" ] || fail "Drive$i holds [$(slot "$i")], expected empty"
done
pass "Drive05 to Drive24 are empty: the dangling e: is not listed, f: is the last"

say "checks: \"Full Detail\" on the Log File page"
# Tab control at 120, 480 twips, 6495 wide, four tabs of equal width: the
# third is "Log File". "Full Detail": frame at 120, 720 in the page, the
# option at 240, 240 in the frame.
click_at $((client_left + $(px 120) + $(px 6495) * 5 / 8)) $((client_top + $(px 480) + 10))
sleep 0.3
click_at $((client_left + $(px 480) + 25)) $((client_top + $(px 1440) + 8))
log_switch='/L "C:\KELVARO.LOG" '
wait_for 3 "Log File Name to hold the log switch" ini_has "Backup Type" "Log File Name" "$log_switch"
expect_ini "Backup Type" "Log Name" 'C:\KELVARO.LOG'
expect_ini "Backup Type" "Log File Name" "$log_switch"
line=$(ini_raw_line "Backup Type" "Log File Name")
[ "$line" = 'Log File Name="/L \"C:\\KELVARO.LOG\" "' ] || fail "the log switch is written as [$line]"
pass "written as [$line]"
expect_ini "Backup Drives" "Drive01" "$C"

say "checks: F12 starts NTBackup.exe with the drives and the quoted log name"
send_keys "$main" F12
wait_for 5 "NTBackup.exe to be started" records_at_least 1
cl=$(compose_command "$C|$D|$F|$F" "" "" "" "" "/HC:off" "/T Incremental" "$log_switch" 1)
case $cl in "NTBackup.exe Backup c: d: f: f:"*) ;; *) fail "test error: composed [$cl]" ;; esac
check_record "$(first_record)" "$cl" \
    Backup c: d: f: f: /D "Kelvaro Tape" /HC:off /T Incremental /L 'C:\KELVARO.LOG' /tape:1
sleep 1
[ "$(record_count)" -eq 1 ] || fail "NTBackup.exe was started $(record_count) times"
pass "started once"
require_alive
