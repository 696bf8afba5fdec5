#!/usr/bin/env bash
# The real backup program, found beside the scheduler with nothing on PATH: a due
# run (countdown, OK) starts it, it writes a set on tape 1 and its log, and the set
# restores to the source tree, with the program and with plain tar. A failed run's
# "Backup" window stays open; while it does, F12 is refused with the scheduler's
# message.
source "$(dirname "$0")/lib.sh"

rm -f "$E2E_BIN/NTBackup.exe"  # no recorder: the program's own NTBackup.exe serves
export XDG_DATA_HOME=$E2E_DIR/data
TAPE="$XDG_DATA_HOME/Kelvaro Workstation/tapes/1"
src=$E2E_DIR/source logs=$E2E_DIR/logs
mkdir -p "$src/docs/empty folder" "$logs" "$SETTINGS_DIR/dosdevices"
printf 'hello\n' >"$src/docs/a b.txt"
printf 'quoted\n' >"$src/say \"hi\""
ln -s "docs/a b.txt" "$src/link"
ln -s "$src" "$SETTINGS_DIR/dosdevices/c:"
ln -s "$logs" "$SETTINGS_DIR/dosdevices/d:"
cat >"$SETTINGS_FILE" <<INI
[Backup Drives]
Drive01="c: [$src]"
[Backup Type]
Type of Backup=/T Normal
Log Name="D:\\\\backup.log"
Log File Name="/L \\"D:\\\\backup.log\\" "
[Time/Date]
Backup Time=19:00
Backup Date=DAILY
[SYSTEM]
SOUND=No
INI

start_xvfb
start_program "2026-12-09 18:59:56"
wait_for 20 "the main window" main_window_shown
main=$(main_window_id)
wait_for 10 "the countdown window at 19:00" countdown_shown
send_keys "$(countdown_id)" alt+o
say "checks: OK starts our NTBackup.exe, which writes set 1 on tape 1 and the log"
wait_for 30 "set 1 on tape 1" test -f "$TAPE/set-0001/set.txt"
wait_for 10 "the run's result in the log" grep -q '^Result: ' "$logs/backup.log"
grep -q '^Result: Backup done.$' "$logs/backup.log" || fail "the log says: $(grep '^Result' "$logs/backup.log")"
grep -q ' ./docs/a b.txt$' "$logs/backup.log" || fail "the full-detail log does not list ./docs/a b.txt"
pass "set 1 written, log: $(grep -c '' "$logs/backup.log") lines, Result: Backup done."

say "checks: the set restores to the source tree"
env -u DISPLAY "$(dirname "$E2E_EXE")/NTBackup.exe" Restore /tape:1 c: "$E2E_DIR/restored" >"$E2E_DIR/restore.out" 2>&1 ||
    fail "Restore failed: $(cat "$E2E_DIR/restore.out")"
diff -r --no-dereference "$src" "$E2E_DIR/restored" || fail "the restored tree differs from the source"
mkdir "$E2E_DIR/by-tar"
tar -xf "$TAPE/set-0001/c.tar" -C "$E2E_DIR/by-tar"
diff -r --no-dereference "$src" "$E2E_DIR/by-tar" || fail "plain tar restores another tree"
pass "restored with NTBackup.exe Restore and with plain tar: both equal the source"

say "checks: a failed run keeps its Backup window open, and F12 is refused meanwhile"
backup_window_shown() { list_windows | awk -F'|' '$2 == "IsViewable" && $8 == "Backup" { f = 1 } END { exit !f }'; }
"$(dirname "$E2E_EXE")/NTBackup.exe" Backup /tape:1 >"$E2E_DIR/failed.out" 2>&1 &
failed=$!
E2E_PIDS+=("$failed")
wait_for 10 "the failed run's Backup window" backup_window_shown
sleep 1
backup_window_shown || fail "the failed run's window closed by itself"
program_alive "$failed" || fail "the failed run ended with its window"
pass "the window stays open after the failure"
send_keys "$main" F12
check_message_box "Kelvaro Workstation" "NTBackup is already running. Can not continue.
Please close NTBackup.exe before scheduling Kelvaro event."
[ "$(find "$TAPE" -maxdepth 1 -name 'set-*' | wc -l)" -eq 1 ] || fail "a set was added while the window was open"
pass "F12 refused with the scheduler's message, nothing started"
require_alive
