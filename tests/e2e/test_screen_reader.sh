#!/usr/bin/env bash
# The program as a screen reader meets it, over AT-SPI with the accessibility
# bus on: a value display is heard by its value and says what it is, the main
# window by its title; a Toggle or Press on a control, a text set through the
# bus, does what the user's click or typing does, down to the settings file.
# Runs itself inside a D-Bus session of its own.
source "$(dirname "$0")/session_bus.sh" "$@"
source "$(dirname "$0")/lib.sh"
use_atspi

start_xvfb
"$LAUNCHER" --launch-immediately >"$E2E_DIR/atspi.log" 2>&1 &
E2E_PIDS+=("$!")
mkdir -p "$SETTINGS_DIR"
printf '[Time/Date]\nBackup Time=19:00\nBackup Date=DAILY\n[SYSTEM]\nSOUND=No\n' >"$SETTINGS_FILE"
export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1
start_program "2026-12-09 10:00:00"
wait_for 20 "the main window" main_window_shown
sleep 1

HEARD=$E2E_DIR/heard.txt
# heard REGEX WHAT: some accessible, as ROLE|NAME|DESCRIPTION, matches.
heard() {
    atspi list >"$HEARD"
    grep -Eq -- "$1" "$HEARD" || fail "not heard: $2 ($1); heard:
$(grep -E '^(label|frame|dialog)' "$HEARD")"
    pass "heard: $2"
}
blanks() { printf '%*s' "$1" ''; }

say "checks: values are heard by their value, with what they are"
heard '^label\|10:00:[0-9]{2}\|Current Time$' "the clock by its time"
heard '^label\|[0-9]{2}:[0-9]{2}:[0-9]{2}\|Time$' "the status bar's time panel by its time"
heard "^label\|$(blanks 25)/T Incremental /HC:off $(blanks 4)/Tape:1\|Currently Saved Settings\$" "the settings line whole"
heard '^label\| Log File:  \|Currently Saved Settings$' "the log line"
heard '^label\|\|Snoozed Run Time$' "the snoozed time, blank before a snooze"
heard '^frame\|(Running\.\.\.|Kelvaro Workstation\.\.\.)\|$' "the main window by its title"

say "checks: each action does what a click does"
atspi do "page tab" "Other Settings" Press
atspi do "check box" "Append Tape" Toggle
wait_for 5 "Append Tape stored" ini_has "Backup Type" "Append to Tape" "/A "
atspi do "list item" "Tape Drive:0" Toggle
wait_for 5 "tape drive 0 stored" ini_has "Backup Type" "Tape Drive:" "0"
atspi do "page tab" "Backup Type" Press
atspi do "radio button" "Differential" Toggle
wait_for 5 "Differential stored" ini_has "Backup Type" "Type of Backup" "/T Differential"
atspi do "page tab" "Log File" Press
atspi settext "text" "Log File Name:" 'D:\NIGHT.LOG'
atspi do "radio button" "Full Detail" Toggle
wait_for 5 "the log name stored" ini_has "Backup Type" "Log Name" 'D:\NIGHT.LOG'
expect_ini "Backup Type" "Log File Name" '/L "D:\NIGHT.LOG" '
heard "^label\|$(blanks 25)/T Differential /HC:off $(blanks 2)/A $(blanks 2)/Tape:0\|Currently Saved Settings\$" \
    "the settings line after the changes"
heard '^label\| Log File: /L "D:\\NIGHT\.LOG" \|Currently Saved Settings$' "the log line after the changes"
require_alive
