# Shared helpers for the end-to-end tests: the real program on a private Xvfb,
# with a temporary settings folder and home, a recording NTBackup.exe first on
# PATH and a fake clock. Sourced by every tests/e2e/test_*.sh, which are run as
#   bash tests/e2e/test_NAME.sh path/to/kelvaro-workstation
# Everything a test starts is ended by the EXIT trap, also when it fails.

set -euo pipefail

E2E_NAME=$(basename "${BASH_SOURCE[1]:-$0}" .sh)

say() { printf '[%s] %s\n' "$E2E_NAME" "$*"; }
fail() {
    printf '[%s] FAIL: %s\n' "$E2E_NAME" "$*" >&2
    e2e_dump_state >&2 || true
    exit 1
}
pass() { printf '[%s] ok: %s\n' "$E2E_NAME" "$*"; }
# A command that fails outside the checks ends the test too (set -e); say where.
e2e_on_error() {
    printf '[%s] FAIL: status %s at %s line %s: %s\n' "$E2E_NAME" "$1" "$(basename "$2")" "$3" "$4" >&2
    e2e_dump_state >&2 || true
}
trap 'e2e_on_error $? "${BASH_SOURCE[0]}" "$LINENO" "$BASH_COMMAND"' ERR

E2E_EXE_ARG=${1:-}
[ -n "$E2E_EXE_ARG" ] || { echo "usage: bash $0 path/to/kelvaro-workstation" >&2; exit 2; }
E2E_EXE=$(readlink -f "$E2E_EXE_ARG")
[ -x "$E2E_EXE" ] || { echo "not an executable: $E2E_EXE_ARG" >&2; exit 2; }
for tool in Xvfb xdotool xwininfo xprop xdpyinfo; do
    command -v "$tool" >/dev/null || { echo "missing tool: $tool (see scripts/deps.sh)" >&2; exit 2; }
done

# The fake clock comes from libfaketime, preloaded directly rather than through
# the faketime wrapper: the wrapper forks and waits, so its process id would not
# be the program's, and ending the wrapper would leave the program running.
# Its thread-safe build: the program's threads read the clock at the same time
# from the first milliseconds on, and the plain build leaves its shared state
# unguarded.
E2E_FAKETIME_LIB=""
for f in /usr/lib/*/faketime/libfaketimeMT.so.1 /usr/lib/faketime/libfaketimeMT.so.1; do
    if [ -e "$f" ]; then E2E_FAKETIME_LIB=$f; break; fi
done
[ -n "$E2E_FAKETIME_LIB" ] || { echo "libfaketime not found (package faketime)" >&2; exit 2; }

E2E_DIR=$(mktemp -d "${TMPDIR:-/tmp}/kelvaro-e2e.XXXXXX")
E2E_PIDS=()          # processes to end at exit (program copies, helpers)
E2E_XVFB_PID=""
E2E_KEEP=${KELVARO_E2E_KEEP:-}   # set to keep the temporary folder for a look

e2e_cleanup() {
    local rc=$?
    set +e
    local pid
    for pid in "${E2E_PIDS[@]}"; do e2e_our_child "$pid" && kill -TERM "$pid" 2>/dev/null; done
    for pid in "${E2E_PIDS[@]}"; do e2e_reap "$pid"; done
    if [ -n "$E2E_XVFB_PID" ] && e2e_our_child "$E2E_XVFB_PID"; then
        kill -TERM "$E2E_XVFB_PID" 2>/dev/null
        e2e_reap "$E2E_XVFB_PID"
    fi
    if [ -n "$E2E_KEEP" ]; then
        echo "kept: $E2E_DIR" >&2
    else
        rm -rf "$E2E_DIR"
    fi
    exit "$rc"
}
trap e2e_cleanup EXIT
trap 'exit 130' INT TERM HUP

# A process id names one of this script's own children (and not a process
# that took the number of one already ended).
e2e_our_child() {
    local ppid
    ppid=$(awk '{ sub(/.*\) /, ""); print $2 }' "/proc/$1/stat" 2>/dev/null) && [ "$ppid" = "$$" ]
}
# Waits up to 3 s for a child to end after TERM, then kills it.
e2e_reap() {
    local pid=$1 i
    for i in $(seq 30); do
        e2e_our_child "$pid" || { wait "$pid" 2>/dev/null; return 0; }
        [ "$(proc_state "$pid")" = Z ] && { wait "$pid" 2>/dev/null; return 0; }
        sleep 0.1
    done
    kill -KILL "$pid" 2>/dev/null
    wait "$pid" 2>/dev/null
    return 0
}

# A private environment: nothing of the user running the tests is read or written.
export HOME=$E2E_DIR/home
export XDG_CONFIG_HOME=$E2E_DIR/config
export XDG_CACHE_HOME=$E2E_DIR/cache
export XDG_DATA_HOME=$E2E_DIR/data    # tapes and marks
export XDG_STATE_HOME=$E2E_DIR/state  # the scheduler's last time seen
export XDG_RUNTIME_DIR=$E2E_DIR/runtime
# The one-copy-per-user socket lives in the private runtime folder: a copy
# that a developer runs at the same time is neither reached nor disturbed.
export TMPDIR=$E2E_DIR/tmp
mkdir -p "$HOME" "$XDG_CONFIG_HOME" "$XDG_CACHE_HOME" "$XDG_RUNTIME_DIR" "$TMPDIR"
chmod 700 "$XDG_RUNTIME_DIR"
unset SESSION_MANAGER QT_QPA_PLATFORM WAYLAND_DISPLAY
export LC_ALL=C.UTF-8
export TZ=UTC   # the program's clock and the tests' arithmetic agree on local time

SETTINGS_DIR="$XDG_CONFIG_HOME/Kelvaro Workstation"
SETTINGS_FILE="$SETTINGS_DIR/settings.ini"

# ---------------------------------------------------------------- waiting

# wait_for SECONDS DESCRIPTION COMMAND...: polls COMMAND every 0.1 s until it
# succeeds; fails the test with DESCRIPTION when the deadline passes.
wait_for() {
    local seconds=$1 what=$2
    shift 2
    local deadline
    deadline=$(e2e_after "$seconds")
    while ! "$@"; do
        if e2e_passed "$deadline"; then fail "timed out after ${seconds}s waiting for: $what"; fi
        sleep 0.1
    done
}

# Real time in seconds with microseconds ($EPOCHREALTIME), and arithmetic on it.
e2e_after() { awk -v n="$EPOCHREALTIME" -v s="$1" 'BEGIN { printf "%.6f", n + s }'; }
e2e_passed() { awk -v n="$EPOCHREALTIME" -v d="$1" 'BEGIN { exit !(n >= d) }'; }
# elapsed SINCE: seconds since a value of $EPOCHREALTIME, three decimals.
elapsed() { awk -v n="$EPOCHREALTIME" -v t="$1" 'BEGIN { printf "%.3f", n - t }'; }
# sleep_until REALTIME
sleep_until() {
    local s
    s=$(awk -v n="$EPOCHREALTIME" -v d="$1" 'BEGIN { x = d - n; if (x < 0) x = 0; printf "%.3f", x }')
    sleep "$s"
}

# ---------------------------------------------------------------- X server

# Starts a private Xvfb; -displayfd lets the server pick a free display number
# itself, so parallel runs never race for one.
start_xvfb() {
    local fifo=$E2E_DIR/displayfd
    : >"$fifo"
    Xvfb -displayfd 3 -nolisten tcp -noreset -screen 0 1280x1024x24 \
        3>"$fifo" >"$E2E_DIR/xvfb.log" 2>&1 &
    E2E_XVFB_PID=$!
    wait_for 15 "Xvfb to report its display number" e2e_display_known "$fifo"
    export DISPLAY=":$(head -n1 "$fifo" | tr -dc 0-9)"
    wait_for 15 "Xvfb on $DISPLAY to answer" xdpyinfo_quiet
    say "Xvfb on $DISPLAY (pid $E2E_XVFB_PID)"
}
e2e_display_known() {
    kill -0 "$E2E_XVFB_PID" 2>/dev/null || fail "Xvfb ended: $(cat "$E2E_DIR/xvfb.log")"
    [ "$(wc -l <"$1")" -ge 1 ]   # the number is written with a line feed
}
xdpyinfo_quiet() { xdpyinfo >/dev/null 2>&1; }

# ---------------------------------------------------------------- recorder

# A recording NTBackup.exe, first on PATH. Each start leaves one folder
# $RECORD_DIR/run.<pid> holding argv (one argument a line), command_line (the
# exact text of KELVARO_COMMAND_LINE, no newline added) and show_state.
RECORD_DIR=$E2E_DIR/record
E2E_BIN=$E2E_DIR/bin
mkdir -p "$RECORD_DIR" "$E2E_BIN"
cat >"$E2E_BIN/NTBackup.exe" <<EOF
#!/bin/bash
d=\$(mktemp -d '$RECORD_DIR/.partial.XXXXXX')
printf '%s\n' "\$@" >"\$d/argv"
printf '%s' "\$#" >"\$d/argc"
printf '%s' "\${KELVARO_COMMAND_LINE-<unset>}" >"\$d/command_line"
printf '%s' "\${KELVARO_SHOW_STATE-<unset>}" >"\$d/show_state"
mv "\$d" '$RECORD_DIR/run.'"\${d##*.partial.}"
EOF
chmod 755 "$E2E_BIN/NTBackup.exe"
export PATH="$E2E_BIN:$PATH"

record_count() { find "$RECORD_DIR" -mindepth 1 -maxdepth 1 -name 'run.*' | wc -l; }
record_runs() { find "$RECORD_DIR" -mindepth 1 -maxdepth 1 -name 'run.*' | sort; }
first_record() { record_runs | sed -n 1p; }
records_at_least() { [ "$(record_count)" -ge "$1" ]; }

# check_record RUN_DIR EXPECTED_COMMAND_LINE EXPECTED_ARG...: the recorder's
# command line, show state and arguments, each compared exactly.
check_record() {
    local run=$1 cl=$2
    shift 2
    local got
    got=$(cat "$run/command_line"; printf x)
    got=${got%x}
    if [ "$got" != "$cl" ]; then
        fail "KELVARO_COMMAND_LINE differs:
  expected (${#cl} chars): [$cl]
  received (${#got} chars): [$got]"
    fi
    pass "KELVARO_COMMAND_LINE is the expected ${#cl}-character text"
    [ "$(cat "$run/show_state")" = 7 ] || fail "KELVARO_SHOW_STATE is [$(cat "$run/show_state")], expected [7]"
    pass "KELVARO_SHOW_STATE is 7"
    local expected
    expected=$(printf '%s\n' "$@")
    got=$(cat "$run/argv")
    if [ "$(cat "$run/argc")" != "$#" ] || [ "$got" != "$expected" ]; then
        fail "arguments differ:
  expected ($#): $(printf '[%s] ' "$@")
  received ($(cat "$run/argc")): $(tr '\n' '\0' <"$run/argv" | xargs -0 printf '[%s] ')"
    fi
    pass "arguments: $(printf '[%s] ' "$@")"
}

# ---------------------------------------------------------------- window manager

# Starts openbox on the test's display, for what only a window manager does:
# frames, focus and the layer of windows kept above. The window lists above
# read the root's children, which are then the frames; client_windows lists
# the clients themselves, bottom to top.
start_window_manager() {
    command -v openbox >/dev/null || fail "openbox is needed (scripts/deps.sh)"
    openbox --sm-disable >"$E2E_DIR/openbox.log" 2>&1 &
    E2E_PIDS+=("$!")
    wait_for 15 "openbox to manage the display" e2e_wm_running
    say "openbox on $DISPLAY"
}
e2e_wm_running() { xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'; }

# The managed client windows in stacking order, bottom to top, one line each
# as list_windows gives them.
client_windows() {
    local id
    for id in $(xprop -root _NET_CLIENT_LIST_STACKING 2>/dev/null | sed -n 's/.*# //p' | tr -d ','); do
        e2e_describe_window "$id"
    done
}

# ---------------------------------------------------------------- program

# start_program FAKE_START [RATE]: starts the program in its own folder with the
# clock starting at FAKE_START ("YYYY-MM-DD hh:mm:ss", local time) and running
# RATE times as fast (1 by default). Qt's timers keep real time (the monotonic
# clock is not faked). Sets PROGRAM_PID, PROGRAM_T0 (real start), FAKE_START
# and FAKE_RATE.
start_program() {
    FAKE_START=$1
    FAKE_RATE=${2:-1}
    local clock="@$FAKE_START"
    [ "$FAKE_RATE" = 1 ] || clock="$clock x$FAKE_RATE"
    E2E_FAKE_EPOCH=$(date -d "$FAKE_START" +%s)
    E2E_LOG=$E2E_DIR/program.$((${#E2E_PIDS[@]} + 1)).log
    PROGRAM_T0=$EPOCHREALTIME
    (
        cd "$(dirname "$E2E_EXE")"
        exec env LD_PRELOAD="$E2E_FAKETIME_LIB" FAKETIME="$clock" FAKETIME_DONT_FAKE_MONOTONIC=1 "$E2E_EXE"
    ) >"$E2E_LOG" 2>&1 &
    PROGRAM_PID=$!
    E2E_PIDS+=("$PROGRAM_PID")
    say "started $(basename "$E2E_EXE") (pid $PROGRAM_PID), clock at $FAKE_START x$FAKE_RATE"
}

# The fake time the program sees now (epoch seconds, fractional), from the
# real start and the rate; good to a few hundredths of a second times RATE.
fake_now() {
    awk -v n="$EPOCHREALTIME" -v t0="$PROGRAM_T0" -v f0="$E2E_FAKE_EPOCH" -v r="$FAKE_RATE" \
        'BEGIN { printf "%.3f", f0 + (n - t0) * r }'
}
# real_at FAKE_EPOCH: the real time at which the program's clock shows it.
real_at() {
    awk -v f="$1" -v t0="$PROGRAM_T0" -v f0="$E2E_FAKE_EPOCH" -v r="$FAKE_RATE" \
        'BEGIN { printf "%.6f", t0 + (f - f0) / r }'
}
fake_text() { date -d "@${1%.*}" '+%F %T'; }

# The state letter of a process (R, S, Z, ...), empty when there is none.
proc_state() { awk '{ sub(/.*\) /, ""); print $1 }' "/proc/$1/stat" 2>/dev/null || true; }
program_alive() { local s; s=$(proc_state "${1:-$PROGRAM_PID}"); [ -n "$s" ] && [ "$s" != Z ]; }
program_gone() { ! program_alive "$@"; }
require_alive() { program_alive || fail "the program ended unexpectedly (log: $(tail -n 20 "$E2E_LOG"))"; }

# ---------------------------------------------------------------- windows

# One line per top-level window of the root (no window manager: every client
# window is a child of the root), fields separated by '|':
# id|map state|width|height|x|y|pid|WM_NAME|_NET_WM_NAME|window types|states|WM_CLASS
list_windows() {
    local id
    for id in $(xwininfo -root -children 2>/dev/null | awk '$1 ~ /^0x/ { print $1 }'); do
        e2e_describe_window "$id"
    done
}
e2e_describe_window() {
    local id=$1 info props
    info=$(xwininfo -id "$id" 2>/dev/null) || return 0
    props=$(xprop -id "$id" _NET_WM_PID WM_NAME _NET_WM_NAME _NET_WM_WINDOW_TYPE _NET_WM_STATE WM_CLASS 2>/dev/null) || return 0
    awk -v id="$id" -v info="$info" '
        function val(line) { sub(/^[^=]*= ?/, "", line); return line }
        function unq(s) { if (s ~ /^".*"$/) { s = substr(s, 2, length(s) - 2) }; gsub(/\\"/, "\"", s); gsub(/\\\\/, "\\", s); return s }
        /^_NET_WM_PID/ && /=/ { pid = val($0) }
        /^WM_NAME/ && /=/ { wmname = unq(val($0)) }
        /^_NET_WM_NAME/ && /=/ { netname = unq(val($0)) }
        /^_NET_WM_WINDOW_TYPE/ && /=/ { types = val($0); gsub(/_NET_WM_WINDOW_TYPE_/, "", types); gsub(/ /, "", types) }
        /^_NET_WM_STATE/ && /=/ { states = val($0); gsub(/_NET_WM_STATE_/, "", states); gsub(/ /, "", states) }
        /^WM_CLASS/ && /=/ { cls = val($0); gsub(/"/, "", cls); gsub(/ /, "", cls) }
        END {
            n = split(info, L, "\n")
            for (i = 1; i <= n; i++) {
                if (L[i] ~ /Map State:/) { m = L[i]; sub(/.*Map State: /, "", m) }
                if (L[i] ~ /^ *Width:/) { w = L[i]; sub(/.*Width: /, "", w) }
                if (L[i] ~ /^ *Height:/) { h = L[i]; sub(/.*Height: /, "", h) }
                if (L[i] ~ /Absolute upper-left X:/) { x = L[i]; sub(/.*: +/, "", x) }
                if (L[i] ~ /Absolute upper-left Y:/) { y = L[i]; sub(/.*: +/, "", y) }
            }
            printf "%s|%s|%s|%s|%s|%s|%s|%s|%s|%s|%s|%s\n", id, m, w, h, x, y, pid, wmname, netname, types, states, cls
        }' <<<"$props"
}

# (Pipelines here read their input to the end: under pipefail, a reader that
# stops early would make the writer's SIGPIPE fail the test.)

# Visible windows of one process (default: the program started last).
program_windows() {
    list_windows | awk -F'|' -v pid="${1:-$PROGRAM_PID}" '$2 == "IsViewable" && $7 == pid'
}

# The main window: the program's visible ordinary window (type NORMAL only; the
# countdown and message boxes are dialogs, the splash is a splash screen).
main_window_id() { program_windows "$@" | awk -F'|' '!found && $10 == "NORMAL" { print $1; found = 1 }'; }
main_window_shown() { [ -n "$(main_window_id)" ]; }

# The countdown window: a dialog of the program without a title of its own,
# kept above the others, of 3345 x 1980 twips (223 x 132 px at 96 dpi; the
# scale is taken from the main window's 9015 twips width).
countdown_id() {
    program_windows | awk -F'|' '
        { line[NR] = $0; if ($10 == "NORMAL") mainw = $3 }
        END {
            s = (mainw > 0 ? mainw / 9015 : 1 / 15)
            for (i = 1; i <= NR; i++) {
                split(line[i], f, "|")
                if (f[10] ~ /^DIALOG/ && f[8] == "" && f[11] ~ /ABOVE/ &&
                    f[3] - 3345 * s <= 3 && 3345 * s - f[3] <= 3 && f[4] - 1980 * s <= 3 && 1980 * s - f[4] <= 3) {
                    print f[1]; exit
                }
            }
        }'
}
countdown_shown() { [ -n "$(countdown_id)" ]; }
countdown_absent() { [ -z "$(countdown_id)" ]; }

# A message box: a visible dialog of the program whose title is exactly CAPTION.
message_box_id() {
    program_windows | awk -F'|' -v c="$1" '!found && $10 ~ /^DIALOG/ && $8 == c { print $1; found = 1 }'
}
message_box_shown() { [ -n "$(message_box_id "$1")" ]; }
message_box_absent() { [ -z "$(message_box_id "$1")" ]; }
no_dialogs() { [ -z "$(program_windows | awk -F'|' '$10 ~ /^DIALOG/')" ]; }

# Keys go to the window that has the input focus (there is no window manager,
# so the test gives it the focus first); XTEST events, as a user's.
send_keys() {
    local win=$1
    shift
    timeout 3 xdotool windowfocus --sync "$win" >/dev/null 2>&1 || xdotool windowfocus "$win" >/dev/null 2>&1 || true
    sleep 0.2
    xdotool key --clearmodifiers --delay 120 "$@"
}

click_at() { xdotool mousemove --sync "$1" "$2" click 1; }
double_click_at() { xdotool mousemove --sync "$1" "$2" click --repeat 2 --delay 80 1; }

# Geometry of a window: sets WIN_X, WIN_Y, WIN_W, WIN_H.
window_geometry() {
    local line
    line=$(list_windows | awk -F'|' -v id="$1" '$1 == id')
    [ -n "$line" ] || fail "window $1 is gone"
    IFS='|' read -r _ _ WIN_W WIN_H WIN_X WIN_Y _ <<<"$line"
}

# The text of a message box as the user reads it, into MESSAGE_TEXT. The label
# of a QMessageBox lets the mouse select its text (the Fusion style); a click
# into it, Ctrl+A and Ctrl+C put the exact text on the clipboard, which xclip
# reads. The clipboard first gets a marker, so an older text is never taken for
# this one. (Not run in a subshell: the marker's xclip must stay a child of the
# test, so that the cleanup can end it.)
read_message_box_text() {
    command -v xclip >/dev/null || fail "xclip is needed to read a message box (scripts/deps.sh)"
    local win=$1 marker="kelvaro-e2e-marker-$RANDOM$RANDOM" text try deadline x
    MESSAGE_TEXT=""
    window_geometry "$win"
    x=$((WIN_W / 2)); [ "$x" -ge 60 ] || x=60
    for try in 1 2 3; do
        printf '%s' "$marker" | xclip -quiet -selection clipboard -i >/dev/null 2>&1 &
        E2E_PIDS+=("$!")
        wait_for 3 "the clipboard marker" e2e_clipboard_is "$marker"
        click_at $((WIN_X + x)) $((WIN_Y + 14))
        sleep 0.2
        xdotool key --clearmodifiers ctrl+a ctrl+c
        deadline=$(e2e_after 2)
        while ! e2e_passed "$deadline"; do
            text=$(e2e_clipboard)
            if [ "$text" != "$marker" ]; then
                MESSAGE_TEXT=$text
                return 0
            fi
            sleep 0.1
        done
    done
    fail "could not read the text of message box $win"
}
# The clipboard's text exactly, trailing line feeds included.
e2e_clipboard() {
    local t
    t=$(timeout 3 xclip -selection clipboard -o 2>/dev/null; printf x)
    printf '%s' "${t%x}"
}
e2e_clipboard_is() { [ "$(e2e_clipboard)" = "$1" ]; }

# check_message_box CAPTION EXPECTED_TEXT: a message box with that caption is
# shown and its text is exactly EXPECTED_TEXT. Leaves MESSAGE_BOX set to it.
check_message_box() {
    local caption=$1 expected=$2 got
    wait_for 10 "a message box titled \"$caption\"" message_box_shown "$caption"
    MESSAGE_BOX=$(message_box_id "$caption")
    read_message_box_text "$MESSAGE_BOX"
    got=$MESSAGE_TEXT
    if [ "$got" != "$expected" ]; then
        fail "message box \"$caption\" says:
$(printf '%s' "$got" | cat -A)
  expected:
$(printf '%s' "$expected" | cat -A)"
    fi
    pass "message box \"$caption\" shows exactly: $(printf '%s' "$expected" | sed -n l | tr -d '\n')"
}

# ---------------------------------------------------------------- settings file

# The settings file as "Section/Key=value" lines, in file order, each value
# decoded (a double-quoted value with \" and \\ escapes becomes its text).
ini_dump() {
    awk '
        function decode(v,   out, i, c) {
            if (length(v) < 2 || substr(v, 1, 1) != "\"" || substr(v, length(v), 1) != "\"") return v
            v = substr(v, 2, length(v) - 2); out = ""
            for (i = 1; i <= length(v); i++) {
                c = substr(v, i, 1)
                if (c == "\\" && i < length(v)) { i++; c = substr(v, i, 1) }
                out = out c
            }
            return out
        }
        /^\[.*\]$/ { section = substr($0, 2, length($0) - 2); next }
        /^[ \t]*$/ || /^[;#]/ { next }
        {
            eq = index($0, "=")
            if (eq == 0) { print "UNPARSED LINE: " $0; next }
            print section "/" substr($0, 1, eq - 1) "=" decode(substr($0, eq + 1))
        }' "$1"
}
# ini_get SECTION KEY: one decoded value of the settings file (empty if missing).
ini_get() {
    ini_dump "$SETTINGS_FILE" | awk -v k="$1/$2=" '!found && index($0, k) == 1 { print substr($0, length(k) + 1); found = 1 }'
}
ini_raw_line() { awk -v s="[$1]" -v k="$2=" '$0 == s { on = 1; next } /^\[/ { on = 0 } on && index($0, k) == 1 { print; exit }' "$SETTINGS_FILE"; }
ini_has() { [ "$(ini_get "$1" "$2")" = "$3" ]; }
expect_ini() {
    local got
    got=$(ini_get "$1" "$2")
    [ "$got" = "$3" ] || fail "settings [$1] \"$2\" is [$got], expected [$3]"
    pass "settings [$1] \"$2\" = [$3]"
}

# ---------------------------------------------------------------- command line

# The backup command as the program composes it: the 24 slots give the drive
# list (the first two characters of each, joined by single blanks), then the
# switches in their fixed order.
# compose_command "SLOT1|SLOT2|..." APPEND VERIFY RESTRICT REGISTRY COMPRESSION TYPE LOGSWITCH TAPE
compose_command() {
    local slots_text=$1 append=$2 verify=$3 restrict=$4 registry=$5 compression=$6 type=$7 log=$8 tape=$9
    local -a slots=()
    IFS='|' read -r -a slots <<<"$slots_text"
    local list="" k piece
    for k in $(seq 0 23); do
        piece=${slots[$k]:-}
        piece=${piece:0:2}
        if [ "$k" -eq 0 ]; then list=$piece; else list="$list $piece"; fi
    done
    printf '%s' "NTBackup.exe Backup $list $append $verify $restrict /D \"Kelvaro Tape\"  $registry $compression $type $log /tape:$tape"
}

# For failures: what the screen held and what the program said.
e2e_dump_state() {
    [ -n "${DISPLAY:-}" ] || return 0
    echo "--- windows (id|map|w|h|x|y|pid|WM_NAME|_NET_WM_NAME|types|states|class):"
    list_windows 2>/dev/null | sed 's/^/    /'
    # A screenshot of the failure, when a folder for it is named.
    local shot=${KELVARO_E2E_ARTIFACTS:-}/kelvaro-e2e-$E2E_NAME-failure.png
    if [ -n "${KELVARO_E2E_ARTIFACTS:-}" ] && mkdir -p "$KELVARO_E2E_ARTIFACTS" && import -window root "$shot" 2>/dev/null; then
        echo "--- screenshot: $shot"
    fi
    local log
    for log in "$E2E_DIR"/program.*.log; do
        [ -s "$log" ] && { echo "--- $(basename "$log"):"; tail -n 20 "$log" | sed 's/^/    /'; }
    done
    echo "--- recorder runs: $(record_count)"
    return 0
}

# For the tests that listen as a screen reader does: the accessibility bus's
# launcher ($LAUNCHER) and the AT-SPI helper (atspi ...).
use_atspi() {
    LAUNCHER=/usr/libexec/at-spi-bus-launcher
    [ -x "$LAUNCHER" ] || fail "at-spi2-core is needed (scripts/deps.sh)"
    /usr/bin/python3 -c 'import pyatspi' 2>/dev/null || fail "python3-pyatspi is needed (scripts/deps.sh)"
}
atspi() { /usr/bin/python3 "$(dirname "$0")/atspi.py" "$@"; }
