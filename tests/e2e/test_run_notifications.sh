#!/usr/bin/env bash
# How a run ended reaches the desktop's notification service: a run with an
# exception says so with its first exception and its log, and its "Show Log"
# opens the log in the desktop's viewer; a failed run says why while its
# window stays; a good run is quiet. A stand-in service on the test's own
# session bus records what it is told.
source "$(dirname "$0")/session_bus.sh" "$@"
source "$(dirname "$0")/lib.sh"
/usr/bin/python3 -c 'import dbus, gi' 2>/dev/null || fail "python3-dbus and python3-gi are needed (scripts/deps.sh)"

NTBACKUP=$(dirname "$E2E_EXE")/NTBackup.exe
[ -x "$NTBACKUP" ] || fail "no NTBackup.exe beside $E2E_EXE"
export XDG_DATA_HOME=$E2E_DIR/data
src=$E2E_DIR/source logs=$E2E_DIR/logs
mkdir -p "$src" "$logs" "$SETTINGS_DIR/dosdevices"
printf 'one\n' >"$src/a.txt"
ln -s "$src" "$SETTINGS_DIR/dosdevices/c:"
ln -s "$logs" "$SETTINGS_DIR/dosdevices/d:"
# The desktop's viewer: records what it is asked to open.
cat >"$E2E_BIN/xdg-open" <<OPEN
#!/bin/bash
printf '%s\n' "\$@" >>'$E2E_DIR/opened'
OPEN
chmod 755 "$E2E_BIN/xdg-open"

RECORD=$E2E_DIR/notifications.jsonl
exec 7> >(exec /usr/bin/python3 "$(dirname "$0")/../ntbackupview/notification_service.py" invoke "$RECORD" >"$E2E_DIR/service.out" 2>&1)
service_up() { [ -s "$E2E_DIR/service.out" ]; }
wait_for 10 "the stand-in notification service" service_up
start_xvfb

# notifies: the Notify calls so far, as "summary|body|actions" with \n for line feeds.
notifies() {
    [ -f "$RECORD" ] || return 0
    /usr/bin/python3 -c '
import json, sys
for line in open(sys.argv[1]):
    c = json.loads(line)
    if c["method"] == "Notify":
        a = c["args"]
        print("%s|%s|%s" % (a[3], a[4].replace("\n", "\\n"), ",".join(a[5])))' "$RECORD"
}

say "checks: a good run is quiet"
KELVARO_SHOW_STATE=7 "$NTBACKUP" Backup c: /T Normal /L "D:\\good.log" /tape:1 >"$E2E_DIR/good.out" 2>&1 ||
    fail "the good run failed: $(cat "$E2E_DIR/good.out")"
[ -z "$(notifies)" ] || fail "a good run notified: $(notifies)"
pass "nothing sent"

say "checks: a run with an exception tells it, and Show Log opens the log"
t0=$EPOCHREALTIME
status=0
KELVARO_SHOW_STATE=7 "$NTBACKUP" Backup c: e: /T Normal /L "D:\\run.log" /tape:1 >"$E2E_DIR/exc.out" 2>&1 || status=$?
[ "$status" = 1 ] || fail "the run ended with status $status: $(cat "$E2E_DIR/exc.out")"
expected="Backup done with 1 exception|Drive e: does not exist: no link e: in $SETTINGS_DIR/dosdevices leads to a folder.\\nLog file: D:\\run.log|show-log,Show Log"
[ "$(notifies)" = "$expected" ] || fail "notified:
  $(notifies)
expected:
  $expected"
pass "notified: $expected"
wait_for 5 "the viewer to be started" test -s "$E2E_DIR/opened"
[ "$(cat "$E2E_DIR/opened")" = "file://$logs/run.log" ] || fail "the viewer was asked to open: $(cat "$E2E_DIR/opened")"
pass "Show Log opened file://$logs/run.log; the program ended $(elapsed "$t0") s after it started"

say "checks: a failed run tells why, and its window stays"
: >"$RECORD"
"$NTBACKUP" Backup /tape:1 >"$E2E_DIR/failed.out" 2>&1 &
failed=$!
E2E_PIDS+=("$failed")
told() { [ -n "$(notifies)" ]; }
wait_for 10 "the failed run's notification" told
[ "$(notifies)" = "Backup failed|No drives are selected for backup.|" ] || fail "notified: $(notifies)"
sleep 0.5
program_alive "$failed" || fail "the failed run ended without its window being closed"
pass "notified: Backup failed|No drives are selected for backup.; the window stays"
kill -TERM "$failed"
wait_for 5 "the failed run to end on SIGTERM" program_gone "$failed"
