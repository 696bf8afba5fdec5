#!/usr/bin/env bash
# Refreshes the screenshots in docs/ from the program as a user sees it: on a
# private Xvfb with a window manager (openbox), the whole screen taken with
# `import -window root` and cut to the window shown, frame included.
#
#   bash scripts/screenshots.sh [path/to/kelvaro-workstation]   (default: build/)
#
# The settings, drives and clock are the script's own (tests/e2e/lib.sh gives a
# private home and settings folder and a fake clock), so the pictures come out
# the same on every machine.
ROOT=$(cd "$(dirname "$0")/.." && pwd)
DOCS=$ROOT/docs
source "$ROOT/tests/e2e/lib.sh" "${1:-$ROOT/build/kelvaro-workstation}"
for tool in import convert openbox; do
    command -v "$tool" >/dev/null || fail "missing tool: $tool (bash scripts/deps.sh)"
done

start_xvfb
start_window_manager

# Drives as a user might keep them; each letter a link in the drive map.
mkdir -p "$SETTINGS_DIR/dosdevices"
for drive in c:/home d:/srv e:/opt f:/var z:/; do
    ln -s "${drive#*:}" "$SETTINGS_DIR/dosdevices/${drive%%:*}:"
done

# write_settings DRIVE...: a daily run at 19:00 on weekdays, Normal backup with
# append and verify, a full log, no sound; the drives given are selected.
write_settings() {
    local i=0 d
    {
        echo "[Backup Drives]"
        for d in "$@"; do i=$((i + 1)); printf 'Drive%02d="%s"\n' "$i" "$d"; done
        echo "[Time/Date]"
        echo "Backup Time=19:00"
        echo "Backup Date=DAILY"
        echo "Saturday=0"
        echo "Sunday=0"
        echo "[Backup Type]"
        echo 'Type of Backup="/T Normal"'
        echo 'Append to Tape="/A "'
        echo 'Verify after Backup="/V "'
        echo 'Log Name="C:\\KELVARO.LOG"'
        echo 'Log File Name="/L \"C:\\KELVARO.LOG\" "'
        echo "[SYSTEM]"
        echo "SOUND=No"
    } >"$SETTINGS_FILE"
}

program_clients() { client_windows | awk -F'|' -v pid="$PROGRAM_PID" '$2 == "IsViewable" && $7 == pid'; }
client_of() { program_clients | awk -F'|' -v t="$1" -v n="${2-}" '$10 ~ t && (n == "" || $8 == n) { print $1; exit }'; }
main_client() { client_of '^NORMAL'; }
has_client() { [ -n "$(client_of "$@")" ]; }

# The window's frame on the screen, "WIDTHxHEIGHT+X+Y": the client's place
# widened by the frame extents the window manager gives it.
frame_box() {
    local id=$1 x y w h l=0 r=0 t=0 b=0 ext
    x=$(xwininfo -id "$id" | awk '/Absolute upper-left X/ { print $NF }')
    y=$(xwininfo -id "$id" | awk '/Absolute upper-left Y/ { print $NF }')
    w=$(xwininfo -id "$id" | awk '/^ *Width:/ { print $NF }')
    h=$(xwininfo -id "$id" | awk '/^ *Height:/ { print $NF }')
    ext=$(xprop -id "$id" _NET_FRAME_EXTENTS 2>/dev/null | sed -n 's/.*= //p' | tr -d ',')
    [ -z "$ext" ] || read -r l r t b <<<"$ext"
    printf '%dx%d+%d+%d' $((w + l + r)) $((h + t + b)) $((x - l)) $((y - t))
}

# union_box BOX BOX: the smallest box holding both.
union_box() {
    awk -v a="$1" -v b="$2" 'BEGIN {
        split(a, p, /[x+]/); split(b, q, /[x+]/)
        x = p[3] < q[3] ? p[3] : q[3]; y = p[4] < q[4] ? p[4] : q[4]
        r = p[3] + p[1] > q[3] + q[1] ? p[3] + p[1] : q[3] + q[1]
        d = p[4] + p[2] > q[4] + q[2] ? p[4] + p[2] : q[4] + q[2]
        printf "%dx%d+%d+%d", r - x, d - y, x, y }'
}
# The program's tooltip on the screen (a window of its own, unmanaged).
tooltip_box() {
    list_windows | awk -F'|' -v pid="$PROGRAM_PID" '$2 == "IsViewable" && $7 == pid && $10 ~ /TOOLTIP/ {
        printf "%dx%d+%d+%d", $3, $4, $5, $6; exit }'
}

# shot NAME WINDOW [BOX]: the screen, cut to the window's frame (and BOX, when
# given, beside it), as docs/NAME.png.
shot() {
    local raw=$E2E_DIR/screen.png box
    box=$(frame_box "$2")
    [ -z "${3-}" ] || box=$(union_box "$box" "$3")
    sleep 0.3
    import -window root "$raw"
    convert "$raw" -crop "$box" +repage "$DOCS/$1.png"
    say "docs/$1.png ($box)"
}

# A point of the main window's client area, in twips from its corner below
# the menu bar, as the screen's pixel coordinates.
MENU_H=0
point() {
    local id x y
    id=$(main_client)
    x=$(xwininfo -id "$id" | awk '/Absolute upper-left X/ { print $NF }')
    y=$(xwininfo -id "$id" | awk '/Absolute upper-left Y/ { print $NF }')
    printf '%d %d' $((x + $1 / 15)) $((y + MENU_H + $2 / 15))
}
# The tab control: 6495 twips wide at 120, 480; four tabs of equal width.
click_tab() {
    local x y
    read -r x y <<<"$(point $((120 + 6495 * (2 * $1 + 1) / 8)) $((480 + 180)))"
    click_at "$x" "$y"
    sleep 0.5
}
park_pointer() { xdotool mousemove 1270 1010; }
stop_program() {
    kill -TERM "$PROGRAM_PID"
    wait "$PROGRAM_PID" || true
}

# ---- The splash, held up by a settings file that cannot be written: the
# message about it waits for an answer while the splash stays on screen.
mkdir -p "$SETTINGS_DIR"
ln -s "$E2E_DIR/no-such-folder/settings.ini" "$SETTINGS_FILE"
start_program "2026-12-09 09:00:00"
wait_for 20 "the splash and the settings message" has_client '^DIALOG' "Kelvaro Workstation"
has_client SPLASH || fail "the splash is not up with the settings message"
xdotool windowmove "$(client_of '^DIALOG' "Kelvaro Workstation")" 0 0
park_pointer
shot splash "$(client_of SPLASH)"
stop_program
rm "$SETTINGS_FILE"

# ---- The main window's pages, the countdown and the About box.
write_settings "c: [/home]"
start_program "2026-12-09 18:59:35"
wait_for 20 "the main window" has_client '^NORMAL'
wait_for 10 "the splash to close" eval '! has_client SPLASH'
# The menu bar's height: the client area is 5565 twips below it.
MENU_H=$(( $(xwininfo -id "$(main_client)" | awk '/^ *Height:/ { print $NF }') - 5565 / 15 ))
park_pointer
shot main-current-settings "$(main_client)"
click_tab 1
shot main-backup-type "$(main_client)"
click_tab 2
shot main-log-file "$(main_client)"
click_tab 3
shot main-other-settings "$(main_client)"
click_tab 0
park_pointer

# The countdown opens at 19:00:00; three seconds on, the clock in the main
# window shows 19:00:03 beside the count of 27.
countdown_client() { [ -n "$(client_of '^DIALOG' '')" ]; }
wait_for 40 "the countdown" countdown_client
sleep 3.2
shot countdown "$(main_client)"
xdotool windowactivate --sync "$(client_of '^DIALOG' '')" >/dev/null 2>&1 || true
xdotool key --clearmodifiers alt+c
wait_for 10 "the countdown to close" eval '! countdown_client'

xdotool windowactivate --sync "$(main_client)" >/dev/null 2>&1 || true
xdotool key --clearmodifiers alt+h
sleep 0.5
xdotool key a
wait_for 10 "the About box" has_client '^DIALOG' "About Workstation Edition"
park_pointer
shot about "$(client_of '^DIALOG' "About Workstation Edition")"
stop_program

# ---- Several drives selected: the settings line no longer fits its box; the
# pointer resting on it shows the whole line.
write_settings "c: [/home]" "d: [/srv]" "e: [/opt]" "f: [/var]"
start_program "2026-12-09 10:00:00"
wait_for 20 "the main window" has_client '^NORMAL'
wait_for 10 "the splash to close" eval '! has_client SPLASH'
sleep 0.5
read -r px py <<<"$(point $((120 + 2400 + 120 + 1800)) $((480 + 1440 + 120 + 180)))"
xdotool mousemove --sync "$px" "$py"
sleep 0.2
xdotool mousemove --sync $((px + 4)) "$py"
tooltip_shown() { [ -n "$(tooltip_box)" ]; }
wait_for 10 "the settings line's tooltip" tooltip_shown
shot main-several-drives "$(main_client)" "$(tooltip_box)"
stop_program

# ---- The backup program's window during a run. Its tar is slowed down (a
# pause at each megabyte written) so that the picture catches the run half-way.
export XDG_DATA_HOME=$E2E_DIR/data
src=$E2E_DIR/source slow=$E2E_DIR/slow-bin
for i in $(seq 12); do
    mkdir -p "$src/folder $i"
    head -c 1M /dev/urandom >"$src/folder $i/data.bin"
    for j in $(seq 20); do echo "note $i $j" >"$src/folder $i/note $j.txt"; done
done
rm "$SETTINGS_DIR/dosdevices/c:"
ln -s "$src" "$SETTINGS_DIR/dosdevices/c:"
mkdir -p "$slow"
cat >"$slow/tar" <<'TAR'
#!/bin/bash
# Named "tar" still: the program reads tar's messages by that name.
case " $* " in *" --checkpoint=100 "*) exec -a tar /usr/bin/tar "$@" --checkpoint-action=sleep=1 ;; esac
exec -a tar /usr/bin/tar "$@"
TAR
chmod 755 "$slow/tar"
PATH="$slow:$PATH" "$(dirname "$E2E_EXE")/NTBackup.exe" Backup c: /HC:on /T Normal /D "Kelvaro Tape" /tape:1 >/dev/null 2>&1 &
backup=$!
E2E_PIDS+=("$backup")
backup_client() { client_windows | awk -F'|' -v pid="$backup" '$2 == "IsViewable" && $7 == pid && $8 == "Backup" { print $1; exit }'; }
backup_shown() { [ -n "$(backup_client)" ]; }
wait_for 20 "the Backup window" backup_shown
park_pointer
sleep 5
shot backup-window "$(backup_client)"
kill -TERM "$backup"
wait "$backup" || true

# ---- The Restore window (NTBackup.exe started without an operation): a
# drive's files as of the newest set with a folder ticked, a search, and the
# question when files to be restored are there already.
alice=$E2E_DIR/alice
mkdir -p "$alice/Documents/Letters" "$alice/Documents/Taxes 2026" "$alice/Pictures/Holiday 2026" "$alice/Music"
for f in "Letters/to the bank.txt" "Letters/to grandma.txt" "Letters/holiday plans.txt" "Taxes 2026/receipts.pdf" \
    "budget.ods" "recipes.txt"; do head -c $((RANDOM * 4)) /dev/urandom >"$alice/Documents/$f"; done
for i in $(seq -w 1 12); do head -c $((RANDOM * 30)) /dev/urandom >"$alice/Pictures/Holiday 2026/beach $i.jpg"; done
head -c 3M /dev/urandom >"$alice/Music/holiday mix.ogg"
rm "$SETTINGS_DIR/dosdevices/c:"
ln -s "$alice" "$SETTINGS_DIR/dosdevices/c:"
ntbackup() { env -u DISPLAY "$(dirname "$E2E_EXE")/NTBackup.exe" "$@" >/dev/null 2>&1 || fail "NTBackup.exe $*"; }
ntbackup Backup c: /T Normal /D "Before the trip" /tape:2
echo "Dear grandma, the beach was lovely." >"$alice/Documents/Letters/to grandma.txt"
ntbackup Backup c: /T Incremental /D "After the trip" /tape:2
"$(dirname "$E2E_EXE")/NTBackup.exe" >/dev/null 2>&1 &
restore=$!
E2E_PIDS+=("$restore")
restore_client() { client_windows | awk -F'|' -v pid="$restore" -v t="$1" '$2 == "IsViewable" && $7 == pid && $8 == t { print $1; exit }'; }
restore_shown() { [ -n "$(restore_client "$1")" ]; }
wait_for 20 "the Restore window" restore_shown Restore
win=$(restore_client Restore)
xdotool windowmove "$win" 20 40
xdotool windowactivate --sync "$win" >/dev/null 2>&1 || true
sleep 0.5
# From the Tape: chooser on to the tree; open Documents and Letters, tick Letters.
xdotool key --delay 120 Tab Tab Tab Tab Right Down Right Return
park_pointer
shot restore-tree "$win"
xdotool key --clearmodifiers alt+h
xdotool type --delay 60 "holiday"
sleep 0.8
xdotool key --delay 200 Return Return
park_pointer
shot restore-search "$win"
xdotool key --clearmodifiers alt+r
wait_for 10 "the clash question" restore_shown "Files there already"
question=$(restore_client "Files there already")
shot restore-clash "$win" "$(frame_box "$question")"
xdotool key Escape
kill -TERM "$restore"
wait "$restore" || true
say "done: docs/*.png"
