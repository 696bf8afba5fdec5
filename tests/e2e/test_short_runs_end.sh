#!/usr/bin/env bash
# A run always ends: very short real backups, started as the scheduler starts
# them (show state 7) on a display with a window manager, a session bus and the
# accessibility bus, each leave within 5 s of their end: no process left, no
# "Backup" window left. A run that waits for its tape is on the screen
# minimised (WM_STATE Iconic) and without the focus, and still ends once the
# tape is free.
# Runs itself inside a D-Bus session of its own.
source "$(dirname "$0")/session_bus.sh" "$@"
source "$(dirname "$0")/lib.sh"
command -v flock >/dev/null || fail "flock is needed (util-linux)"

NTBACKUP=$(dirname "$E2E_EXE")/NTBackup.exe
[ -x "$NTBACKUP" ] || fail "no NTBackup.exe beside $E2E_EXE"
RUNS=${KELVARO_E2E_SHORT_RUNS:-20}
export XDG_DATA_HOME=$E2E_DIR/data
TAPE="$XDG_DATA_HOME/Kelvaro Workstation/tapes/1"
src=$E2E_DIR/source logs=$E2E_DIR/logs
mkdir -p "$src/docs" "$logs" "$SETTINGS_DIR/dosdevices"
printf 'one\n' >"$src/a.txt"
printf 'two\n' >"$src/docs/b.txt"
printf 'three\n' >"$src/docs/c.txt"
ln -s "$src" "$SETTINGS_DIR/dosdevices/c:"
ln -s "$logs" "$SETTINGS_DIR/dosdevices/d:"

start_xvfb
if [ -x /usr/libexec/at-spi-bus-launcher ]; then
    /usr/libexec/at-spi-bus-launcher --launch-immediately >"$E2E_DIR/atspi.log" 2>&1 &
    E2E_PIDS+=("$!")
fi

# Client windows titled "Backup" of one process, mapped or not (a minimised
# window is unmapped, but it still blocks the scheduler).
backup_windows_of() {
    local id
    for id in $(xwininfo -root -tree 2>/dev/null | awk '/"Backup"/ { print $1 }'); do
        xprop -id "$id" _NET_WM_PID 2>/dev/null | grep -q "= $1\$" && echo "$id"
    done
    return 0
}
wm_state() { xprop -id "$1" WM_STATE 2>/dev/null | sed -n 's/^[[:space:]]*window state: //p'; }
run_ended() { grep -q '^Backup ended ' "$logs/run-$1.log" 2>/dev/null; }

# start_run N: a backup of c: logging to D:\run-N.log; sets RUN_PID.
start_run() {
    KELVARO_SHOW_STATE=7 "$NTBACKUP" Backup c: /T Incremental /HC:off /L "D:\\run-$1.log" /tape:1 \
        >"$E2E_DIR/run-$1.out" 2>&1 &
    RUN_PID=$!
    E2E_PIDS+=("$RUN_PID")
}

# expect_gone N PID: within 5 s of the run's end the process and its windows are gone.
expect_gone() {
    local n=$1 pid=$2 deadline
    deadline=$(e2e_after 5)
    while program_alive "$pid" || [ -n "$(backup_windows_of "$pid")" ]; do
        if e2e_passed "$deadline"; then
            local w states=""
            for w in $(backup_windows_of "$pid"); do states="$states $w:$(wm_state "$w")"; done
            fail "run $n (pid $pid) still there 5 s after its end (process state $(proc_state "$pid"), windows:${states:- none}); output: $(cat "$E2E_DIR/run-$n.out")"
        fi
        sleep 0.05
    done
    wait "$pid" 2>/dev/null && return 0
    fail "run $n ended with status $?: $(cat "$E2E_DIR/run-$n.out")"
}

# run_many FIRST LAST: runs FIRST..LAST one after the other, each must end.
run_many() {
    local n t0=$EPOCHREALTIME
    for n in $(seq "$1" "$2"); do
        start_run "$n"
        wait_for 30 "run $n to end its backup" run_ended "$n"
        expect_gone "$n" "$RUN_PID"
    done
    pass "runs $1 to $2 ended, each within 5 s of its end ($(elapsed "$t0") s for all)"
}

say "checks: very short runs end, without a window manager and then with one"
run_many 1 6
start_window_manager
run_many 7 $((6 + RUNS))

say "checks: a run waiting for its tape stands minimised, without the focus, and ends once the tape is free"
flock --no-fork "$TAPE/.lock" sleep 60 &
holder=$!
E2E_PIDS+=("$holder")
sleep 0.3
n=$((RUNS + 7))
start_run "$n"
waiter=$RUN_PID
has_window() { [ -n "$(backup_windows_of "$waiter")" ]; }
wait_for 15 "the waiting run's Backup window" has_window
win=$(backup_windows_of "$waiter" | head -n1)
iconic() { [ "$(wm_state "$win")" = Iconic ]; }
wait_for 5 "the Backup window to be minimised (WM_STATE Iconic)" iconic
sleep 1
iconic || fail "the Backup window left the minimised state: WM_STATE $(wm_state "$win")"
active=$(xprop -root _NET_ACTIVE_WINDOW 2>/dev/null | sed -n 's/.*# //p')
[ "$((active))" -ne "$((win))" ] || fail "the minimised Backup window took the focus"
program_alive "$waiter" || fail "the waiting run ended while the tape was held: $(cat "$E2E_DIR/run-$n.out")"
pass "window $win is Iconic, not active, while the run waits for tape 1"
kill -TERM "$holder"
wait "$holder" 2>/dev/null || true
wait_for 30 "the waiting run to end its backup" run_ended "$n"
expect_gone "$n" "$waiter"
pass "once the tape was free the run ended, and within 5 s of that it was gone"
