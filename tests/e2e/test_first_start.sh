#!/usr/bin/env bash
# First start on an empty settings folder: the store holds every value in the
# form the program's handlers give it, the file is private to the user, and the
# drive map has its two default letters.
source "$(dirname "$0")/lib.sh"

start_xvfb
[ ! -e "$SETTINGS_DIR" ] || fail "the settings folder exists before the first start"
# Far from the 19:00 run time, so no countdown comes in between.
start_program "2026-12-09 10:00:00"
wait_for 20 "the main window" main_window_shown
wait_for 10 "the settings file" test -s "$SETTINGS_FILE"
# Start-up stores several times; the last save is done once the window shows.
sleep 1
require_alive

say "checks: every key and value of the first run"
expected=$E2E_DIR/expected.txt
{
    for i in $(seq -w 1 24); do echo "Backup Drives/Drive$i="; done
    for d in Monday Tuesday Wednesday Thursday Friday Saturday Sunday; do echo "Time/Date/$d=1"; done
    echo "Time/Date/Backup Time=19:00"
    echo "Time/Date/Backup Date=DAILY"
    echo "Backup Type/HardWare Compression=/HC:off"
    echo "Backup Type/Restrict Backup="
    echo "Backup Type/Backup Local Registry="
    echo "Backup Type/Tape Drive:=1"
    echo "Startup/Window State=0"
    echo "Backup Type/Append to Tape="
    echo "Backup Type/Verify after Backup="
    echo "Backup Type/Type of Backup=/T Incremental"
    echo "Backup Type/Log Name=No Log File."
    echo "Backup Type/Log File Name= "
    echo "SYSTEM/SOUND=Yes"
} | LC_ALL=C sort >"$expected"
got=$E2E_DIR/got.txt
ini_dump "$SETTINGS_FILE" | LC_ALL=C sort >"$got"
if ! diff -u "$expected" "$got" >"$E2E_DIR/diff.txt"; then
    fail "the settings file differs from the first run's values (- expected, + stored):
$(cat "$E2E_DIR/diff.txt")
--- file:
$(cat -A "$SETTINGS_FILE")"
fi
pass "all 44 values as expected, no other key"
[ "$(ini_dump "$SETTINGS_FILE" | wc -l)" -eq 44 ] || fail "a key is stored more than once: $(ini_dump "$SETTINGS_FILE" | sort | uniq -d)"

say "checks: a value that is not plain is written quoted"
line=$(ini_raw_line "Backup Type" "Log File Name")
[ "$line" = 'Log File Name=" "' ] || fail "the log switch is written as [$line], expected [Log File Name=\" \"]"
pass "the blank log switch is written as [$line]"

say "checks: the file is private to the user"
mode=$(stat -c %a "$SETTINGS_FILE")
[ "$mode" = 600 ] || fail "settings.ini has mode $mode, expected 600"
pass "settings.ini has mode 600"

say "checks: the drive map dosdevices/ with c: -> HOME and z: -> /"
dos=$SETTINGS_DIR/dosdevices
[ -d "$dos" ] || fail "no dosdevices folder beside the settings file"
entries=$(cd "$dos" && ls -A | LC_ALL=C sort | tr '\n' ' ')
[ "$entries" = "c: z: " ] || fail "dosdevices holds [$entries], expected [c: z: ]"
[ -L "$dos/c:" ] && [ -L "$dos/z:" ] || fail "c: and z: are not symbolic links"
[ "$(readlink "$dos/c:")" = "$HOME" ] || fail "c: points at [$(readlink "$dos/c:")], expected [$HOME]"
[ "$(readlink "$dos/z:")" = "/" ] || fail "z: points at [$(readlink "$dos/z:")], expected [/]"
pass "c: -> $HOME, z: -> /"

say "checks: nothing was started and the program keeps running"
[ "$(record_count)" -eq 0 ] || fail "NTBackup.exe was started at the first start"
require_alive
pass "first start complete"
