#!/usr/bin/env bash
# A due daily run with the first run's settings (daily, every day, 19:00): the
# countdown window opens at 19:00:00 of the program's clock, and 30 seconds
# later NTBackup.exe is started with the exact command line, minimised.
source "$(dirname "$0")/lib.sh"

start_xvfb
start_program "2026-12-09 18:59:52"
wait_for 20 "the main window" main_window_shown
main=$(main_window_id)
countdown_absent || fail "a countdown window is open before 19:00"

say "checks: the countdown opens within 1.5 s of 19:00:00 on the program's clock"
due=$(real_at "$(date -d '2026-12-09 19:00:00' +%s)")
deadline=$(awk -v d="$due" 'BEGIN { printf "%.6f", d - 0.15 }')
# Until just before the minute nothing may show up (the clock really is faked
# and the schedule does not fire early).
while ! e2e_passed "$deadline"; do
    countdown_absent || fail "the countdown opened $(awk -v d="$due" -v n="$EPOCHREALTIME" 'BEGIN { printf "%.2f", d - n }') s before 19:00:00"
    sleep 0.1
done
wait_for 6 "the countdown window at 19:00" countdown_shown
opened=$EPOCHREALTIME
late=$(awk -v o="$opened" -v d="$due" 'BEGIN { printf "%.2f", o - d }')
awk -v l="$late" 'BEGIN { exit !(l <= 1.5) }' || fail "the countdown opened ${late} s after 19:00:00"
pass "countdown window $(countdown_id) opened ${late} s after 19:00:00"
countdown=$(countdown_id)
window_geometry "$countdown"
pass "countdown window: ${WIN_W}x${WIN_H}, no title of its own, kept above"
# Centred as the program centres its windows: left = screen width / 2 - width
# / 2, top = screen height * 0.95 / 2 - height / 2 (the screen is 1280x1024).
want_x=$(awk -v w="$WIN_W" 'BEGIN { printf "%d", 1280 / 2 - w / 2 }')
want_y=$(awk -v h="$WIN_H" 'BEGIN { printf "%d", 1024 * 0.95 / 2 - h / 2 }')
[ $((WIN_X - want_x)) -ge -2 ] && [ $((WIN_X - want_x)) -le 2 ] && [ $((WIN_Y - want_y)) -ge -2 ] && [ $((WIN_Y - want_y)) -le 2 ] ||
    fail "the countdown window is at $WIN_X,$WIN_Y, expected about $want_x,$want_y"
pass "centred at $WIN_X,$WIN_Y"
# No title bar: the Motif hints ask for decorations and give none with a title
# (flags bit 2 set, decorations without MWM_DECOR_ALL 1 and MWM_DECOR_TITLE 8).
read -r mwm_flags _ mwm_decor _ <<<"$(xprop -id "$countdown" _MOTIF_WM_HINTS | sed -n 's/.*= //p' | tr -d ',')"
[ -n "${mwm_flags:-}" ] && [ $((mwm_flags & 2)) -ne 0 ] && [ $((mwm_decor & 9)) -eq 0 ] ||
    fail "the countdown window asks for a title bar: _MOTIF_WM_HINTS $(xprop -id "$countdown" _MOTIF_WM_HINTS)"
states=$(xprop -id "$countdown" _NET_WM_STATE)
case $states in *_NET_WM_STATE_MODAL*) ;; *) fail "the countdown window is not modal: $states" ;; esac
pass "no title bar, modal, above the other windows"
[ "$(main_window_id)" = "$main" ] || fail "the main window is not shown while the countdown is open"
pass "the main window is still shown"

say "checks: while the countdown is open, Escape closes nothing and the main window takes no keys"
send_keys "$countdown" Escape
send_keys "$main" F12
sleep 1
countdown_shown || fail "the countdown window closed on Escape or F12"
[ "$(record_count)" -eq 0 ] || fail "F12 on the main window started NTBackup.exe while the countdown is open"
no_dialogs_but_countdown=$(program_windows | awk -F'|' -v c="$countdown" '$10 ~ /^DIALOG/ && $1 != c')
[ -z "$no_dialogs_but_countdown" ] || fail "another dialog opened: $no_dialogs_but_countdown"
pass "the countdown stays open, nothing started"

say "checks: nothing starts during the countdown"
sleep_until "$(awk -v o="$opened" 'BEGIN { printf "%.6f", o + 27 }')"
[ "$(record_count)" -eq 0 ] || fail "NTBackup.exe was started $(elapsed "$opened") s after the countdown opened, before 28 s"
countdown_shown || fail "the countdown window closed before its 30 seconds"
pass "after 27 s: nothing started, the countdown is still open"

say "checks: NTBackup.exe starts 30 s after the countdown opened"
wait_for 8 "NTBackup.exe to be started" records_at_least 1
took=$(elapsed "$opened")
awk -v t="$took" 'BEGIN { exit !(t >= 28.5 && t <= 32) }' || fail "NTBackup.exe started ${took} s after the countdown opened, expected 30"
pass "NTBackup.exe started ${took} s after the countdown opened"

run=$(first_record)
blanks23=$(printf '%23s' '')
# The first run's command, piece by piece as the backup command is built:
# program and operation, 23 blanks for 24 empty drive slots, empty append,
# verify and restrict switches, the tape description, empty registry switch,
# compression off, the backup type, the blank log switch, the tape number.
pieces=("NTBackup.exe Backup " "$blanks23" " " "" " " "" " " "" " /D \"Kelvaro Tape\" " " " "" " " "/HC:off" " " "/T Incremental" " " " " " /tape:" "1")
cl=$(printf '%s' "${pieces[@]}")
[ ${#cl} -eq 99 ] || fail "test error: the expected command line has ${#cl} characters, not 99"
[ "$cl" = "$(compose_command "" "" "" "" "" "/HC:off" "/T Incremental" " " 1)" ] || fail "test error: compose_command disagrees"
check_record "$run" "$cl" Backup /D "Kelvaro Tape" /HC:off /T Incremental /tape:1

say "checks: the countdown window is gone, the main window stays, one start only"
wait_for 3 "the countdown window to close" countdown_absent
pass "the countdown window is gone"
[ "$(main_window_id)" = "$main" ] || fail "the main window is not shown after the launch"
pass "the main window is shown"
sleep 2
[ "$(record_count)" -eq 1 ] || fail "NTBackup.exe was started $(record_count) times"
countdown_absent || fail "a second countdown opened in the same minute"
pass "started once; no second countdown in the same minute"
require_alive
