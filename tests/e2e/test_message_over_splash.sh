#!/usr/bin/env bash
# A settings file that cannot be written is reported at start-up while the
# splash is up and kept on top; under a window manager, which honours "keep
# above", the message box must stack above the splash, not hide behind it.
source "$(dirname "$0")/lib.sh"

start_xvfb
start_window_manager
# The settings file is a link into a folder that does not exist: it reads as
# missing (defaults), and no save can succeed.
mkdir -p "$SETTINGS_DIR"
ln -s "$E2E_DIR/no-such-folder/settings.ini" "$SETTINGS_FILE"
start_program "2026-12-09 10:00:00"

program_clients() { client_windows | awk -F'|' -v pid="$PROGRAM_PID" '$2 == "IsViewable" && $7 == pid'; }
box_and_splash_up() {
    local c
    c=$(program_clients)
    printf '%s\n' "$c" | awk -F'|' '$10 ~ /^DIALOG/ && $8 == "Kelvaro Workstation"' | grep -q . &&
        printf '%s\n' "$c" | awk -F'|' '$10 ~ /SPLASH/' | grep -q .
}
wait_for 20 "the settings message box while the splash is up" box_and_splash_up
sleep 0.5
stack=$(program_clients)
say "program's windows, bottom to top:
$stack"

say "checks: the splash is kept above, the message box stacks above it"
# Put on top before it was on the screen, the splash gets the state once it is.
printf '%s\n' "$stack" | awk -F'|' '$10 ~ /SPLASH/ && $11 ~ /ABOVE/' | grep -q . ||
    fail "the splash is not kept above other windows"
box_at=$(printf '%s\n' "$stack" | awk -F'|' '$10 ~ /^DIALOG/ && $8 == "Kelvaro Workstation" { print NR; exit }')
splash_at=$(printf '%s\n' "$stack" | awk -F'|' '$10 ~ /SPLASH/ { print NR; exit }')
[ "$box_at" -gt "$splash_at" ] || fail "the message box (#$box_at) is below the splash (#$splash_at)"
pass "message box #$box_at above splash #$splash_at"

say "checks: answering it lets start-up finish"
box=$(printf '%s\n' "$stack" | awk -F'|' '$10 ~ /^DIALOG/ && $8 == "Kelvaro Workstation" { print $1; exit }')
xdotool windowactivate --sync "$box" >/dev/null 2>&1 || true
xdotool key --clearmodifiers Return
splash_gone() { ! program_clients | awk -F'|' '$10 ~ /SPLASH/' | grep -q .; }
wait_for 20 "the splash to close after the answer" splash_gone
require_alive
pass "the splash closed and the program runs on"
