#!/usr/bin/env bash
# The Restore window, driven over AT-SPI as a screen reader user would: after a
# backup whose files then changed or went, one file goes back to its original
# place beside the newer one (Keep both), and a folder, with the file deleted
# since, into another folder. NTBackup.exe started without an operation opens
# the window. Runs itself inside a D-Bus session of its own.
source "$(dirname "$0")/session_bus.sh" "$@"
source "$(dirname "$0")/lib.sh"
use_atspi
window() { /usr/bin/python3 "$(dirname "$0")/restore_atspi.py" "$@"; }
NTBACKUP=$(dirname "$E2E_EXE")/NTBackup.exe

src=$E2E_DIR/source other=$E2E_DIR/other
mkdir -p "$src/docs/notes" "$src/photos" "$SETTINGS_DIR/dosdevices"
printf 'first letter\n' >"$src/docs/letter.txt"
printf 'a\n' >"$src/docs/notes/a.txt"
printf 'b\n' >"$src/docs/notes/b.txt"
printf 'cat\n' >"$src/photos/cat.jpg"
ln -s "$src" "$SETTINGS_DIR/dosdevices/c:"
env -u DISPLAY "$NTBACKUP" Backup c: /T Normal >"$E2E_DIR/backup.out" 2>&1 || fail "the backup failed: $(cat "$E2E_DIR/backup.out")"
touch -d '1 hour ago' "$src/docs/letter.txt"   # not newer than the backup's copy when rewritten below
printf 'second letter\n' >"$src/docs/letter.txt"
rm "$src/docs/notes/b.txt"

start_xvfb
start_window_manager
"$LAUNCHER" --launch-immediately >"$E2E_DIR/atspi.log" 2>&1 &
E2E_PIDS+=("$!")
export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1

restore_window_shown() { client_windows | awk -F'|' '$2 == "IsViewable" && $8 == "Restore" { f = 1 } END { exit !f }'; }
HEARD=$E2E_DIR/heard.txt
heard() {
    atspi list >"$HEARD"
    grep -Eq -- "$1" "$HEARD" || fail "not heard: $2 ($1); heard:
$(grep -Ev '^(table cell|filler|panel|scroll bar)' "$HEARD")"
    pass "heard: $2"
}
# open: NTBackup.exe without an operation, its window up and its list of drives read.
open() {
    "$NTBACKUP" >"$E2E_DIR/window.out" 2>&1 &
    WINDOW_PID=$!
    E2E_PIDS+=("$WINDOW_PID")
    wait_for 20 "the Restore window" restore_window_shown
    wait_for 10 "the Restore window on the accessibility bus" window labelled "combo box" "Drive:"
}
# find_and_tick PATH: searched for by its name, selected, ticked with Enter.
find_and_tick() {
    atspi settext text Search "$(basename "$1")"
    wait_for 10 "$1 among the search results" window result "$1"
    window select "$1"
    sleep 0.3
    xdotool key Return
    sleep 0.3
    xdotool key Return
    wait_for 5 "$1 ticked" window checked "$1"
}
# summary_is TEXT: the run's end shown, and its summary heard as TEXT, with what it is.
summary_is() {
    wait_for 30 "the restore's end" window has "push button" Close
    heard "^label\|$(sed 's/[.()]/\\&/g' <<<"$1")\|Summary\$" "the summary: $1"
}
close_window() {
    atspi do "push button" Close Press
    wait_for 10 "the program to end" program_gone "$WINDOW_PID"
    wait "$WINDOW_PID" || fail "NTBackup.exe ended with status $?"
}

say "checks: the window says what it shows"
open
heard '^frame\|Restore\|$' "the window by its title"
heard '^combo box\|Tape 1 \(1 set\)\|' "the tape chooser by its value"
heard "^combo box\\|c: \\[$src\\]\\|" "the drive chooser by its value"
for label in Tape: Set: Drive:; do
    window labelled "combo box" "$label" || fail "no chooser labelled $label"
done
pass "the choosers are labelled Tape:, Set: and Drive:"
heard '^tree\|Files\|' "the file tree"
heard "^label\|$src\|The folder the drive points to now\$" "the original place by its folder"

say "checks: one file back to its original place, the newer one kept beside it"
find_and_tick docs/letter.txt
atspi do "push button" Restore Press
wait_for 10 "the clash question" window has label "1 file to be restored is there already."
atspi do "push button" "Keep both" Press
summary_is "Restore done: 1 file restored."
close_window
kept="$src/docs/letter (restored $(date +%F)).txt"
[ "$(cat "$src/docs/letter.txt")" = "second letter" ] || fail "the newer letter was not kept"
[ "$(cat "$kept" 2>/dev/null)" = "first letter" ] || fail "the backup's letter is not beside it as $kept"
[ "$(cd "$src" && find . | sort | tr '\n' ' ')" = ". ./docs ./docs/letter (restored $(date +%F)).txt ./docs/letter.txt ./docs/notes ./docs/notes/a.txt ./photos ./photos/cat.jpg " ] ||
    fail "the drive holds more or less than expected: $(cd "$src" && find . | sort)"
pass "the original place holds the newer letter and the backup's beside it, nothing else changed"

say "checks: a folder into another folder, the file deleted since included"
open
find_and_tick docs/notes
atspi do "radio button" "Another folder:" Toggle
atspi settext text Folder "$other"
atspi do "push button" Restore Press
summary_is "Restore done: 2 files restored."
close_window
# docs itself was not chosen: it is made only to hold notes.
[ "$(cd "$other" && find . | sort | tr '\n' ' ')" = ". ./docs ./docs/notes ./docs/notes/a.txt ./docs/notes/b.txt " ] ||
    fail "the other folder holds: $(cd "$other" && find . | sort)"
[ "$(cat "$other/docs/notes/b.txt")" = b ] || fail "the folder came back changed"
[ ! -e "$src/docs/notes/b.txt" ] || fail "the original place was written to"
pass "the other folder holds the folder as backed up; the original place is untouched"
