#!/usr/bin/env bash
# Title animation: once a second the main window's title changes between
# "Running..." and "Kelvaro Workstation...", and its icon between the images of
# KELVARO2.ICO and KELVARO1.ICO (the files beside the program) with them.
source "$(dirname "$0")/lib.sh"
command -v convert >/dev/null || { echo "missing tool: convert (imagemagick)" >&2; exit 2; }

# The 16x16 image of an icon as _NET_WM_ICON holds it: width, height, then one
# ARGB number a pixel; a fully transparent pixel counts as 0.
ico_image() {
    convert "$1[0]" -depth 8 rgba:- | od -An -v -tu1 | awk '
        { for (i = 1; i <= NF; i++) b[n++] = $i }
        END {
            printf "16, 16"
            for (i = 0; i < n; i += 4) {
                a = b[i + 3]
                printf ", %.0f", (a == 0 ? 0 : ((a * 256 + b[i]) * 256 + b[i + 1]) * 256 + b[i + 2])
            }
            print ""
        }'
}
# The same from what `xprop -notype 32c _NET_WM_ICON` printed (on stdin).
window_icon_image() {
    sed 's/^_NET_WM_ICON = //' | tr -d ' ' | tr ',' '\n' |
        awk 'NR <= 2 { out = out (NR > 1 ? ", " : "") $1; next }
             NR <= 258 { v = $1 + 0; if (int(v / 16777216) == 0) v = 0; out = out ", " sprintf("%.0f", v) }
             END { print out }'
}
hash_of() { md5sum | cut -c1-12; }
exe_dir=$(dirname "$E2E_EXE")
icon1=$(ico_image "$exe_dir/KELVARO1.ICO" | hash_of)
icon2=$(ico_image "$exe_dir/KELVARO2.ICO" | hash_of)
[ "$icon1" != "$icon2" ] || fail "KELVARO1.ICO and KELVARO2.ICO show the same 16x16 image"

start_xvfb
start_program "2026-12-09 10:00:00"
# When the look that found the main window began: the window was mapped after
# its timers started, so the first title change is due within a second of it.
main_window_seen() { look_began=$EPOCHREALTIME; main_window_shown; }
wait_for 20 "the main window" main_window_seen
seen=$look_began
main=$(main_window_id)
# Every change of the title as the X server announces it, with the moment it
# was read: xprop prints the title once at its start, then on each change.
spy=$E2E_DIR/spy.txt
stdbuf -oL xprop -spy -id "$main" WM_NAME 2>/dev/null \
    > >(while IFS= read -r line; do printf '%s|%s\n' "$EPOCHREALTIME" "${line#*= }"; done >"$spy") &
spy_pid=$!
E2E_PIDS+=("$spy_pid")
# The animation starts with the first tick; the start-up title comes before.
wait_for 5 "the first animated title" sh -c '[ "$(xdotool getwindowname '"$main"')" = "Running..." ] || [ "$(xdotool getwindowname '"$main"')" = "Kelvaro Workstation..." ]'

say "checks: titles and icons sampled every 0.1 s for 6 s"
samples=$E2E_DIR/samples.txt
: >"$samples"
end_us=$((${EPOCHREALTIME/./} + 6000000))
# Only the two X queries run in the loop, so that a busy machine still samples
# often enough; the icons are decoded afterwards.
i=0
while ((${EPOCHREALTIME/./} < end_us)); do
    i=$((i + 1))
    t=$EPOCHREALTIME
    title=$(xdotool getwindowname "$main")
    xprop -id "$main" -notype 32c _NET_WM_ICON >"$E2E_DIR/icon.$i" 2>/dev/null || true
    printf '%s|%s|%s\n' "$t" "$title" "$i" >>"$samples.raw"
    sleep 0.1
done
# The spy stops with the sampling, so that the changes it saw span those 6 s
# however long the icons take to decode.
kill -TERM "$spy_pid" 2>/dev/null || true
wait "$spy_pid" 2>/dev/null || true
sleep 0.2
while IFS='|' read -r t title i; do
    printf '%s|%s|%s\n' "$t" "$title" "$(window_icon_image <"$E2E_DIR/icon.$i" | hash_of)" >>"$samples"
done <"$samples.raw"
count=$(wc -l <"$samples")
[ "$count" -ge 25 ] || fail "only $count samples taken in 6 s"

others=$(awk -F'|' '$2 != "Running..." && $2 != "Kelvaro Workstation..." { print $2 }' "$samples" | sort -u)
[ -z "$others" ] || fail "other titles seen: [$others]"
grep -q '|Running...|' "$samples" || fail "the title never was \"Running...\""
grep -q '|Kelvaro Workstation...|' "$samples" || fail "the title never was \"Kelvaro Workstation...\""
pass "only \"Running...\" and \"Kelvaro Workstation...\" seen, both of them"

# The title's own step, from the X server's announcements: each change comes
# 1000 ms after the one before (a timer late by a few hundredths at most), the
# first one at most a second after the window was seen. A title held for
# 1.5 s fails either check.
changes=$(awk -F'|' 'NR > 1 && $2 != prev { print $1 "|" $2 } { prev = $2 }' "$spy")
first_title=$(sed -n '1s/^[^|]*|//p' "$spy")
n=$(printf '%s\n' "$changes" | grep -c . || true)
[ "$n" -ge 5 ] || fail "the title changed $n times in about 7 s: $(tr '\n' ' ' <"$spy")"
[ "$n" -le 8 ] || fail "the title changed $n times in about 7 s: $(tr '\n' ' ' <"$spy")"
if [ "$first_title" = '"Kelvaro..."' ]; then
    first=$(printf '%s\n' "$changes" | awk -F'|' -v s="$seen" 'NR == 1 { printf "%.3f", $1 - s }')
    awk -v f="$first" 'BEGIN { exit !(f <= 1.25) }' || fail "the first title change came $first s after the main window was seen"
    pass "the first title change came $first s after the main window was seen"
else
    say "the title had already changed to $first_title when the main window was seen"
fi
gaps=$(printf '%s\n' "$changes" | awk -F'|' 'NR > 1 { printf "%.3f ", $1 - p } { p = $1 }')
for g in $gaps; do
    awk -v g="$g" 'BEGIN { exit !(g >= 0.8 && g <= 1.2) }' || fail "the title changed after $g s; all gaps: $gaps"
done
pass "the title changed $n times, $gaps s apart"

# The icon goes with the title. A sample may fall between the title and the
# icon being set, so only pairs seen in two samples in a row count.
stable=$(awk -F'|' '{ k = $2 "|" $3; if (k == prev) run[k]++; prev = k } END { for (k in run) print k }' "$samples" | sort)
name_of() { case $1 in "$icon1") echo KELVARO1.ICO ;; "$icon2") echo KELVARO2.ICO ;; *) echo "another image ($1)" ;; esac; }
while IFS='|' read -r title icon; do
    case $title in
    "Running...") want=$icon2 ;;
    *) want=$icon1 ;;
    esac
    [ "$icon" = "$want" ] || fail "the title \"$title\" came with the icon of $(name_of "$icon"), expected $(name_of "$want")"
done <<<"$stable"
[ "$(printf '%s\n' "$stable" | wc -l)" -eq 2 ] || fail "title and icon pairs seen: $stable"
pass "\"Running...\" shows KELVARO2.ICO, \"Kelvaro Workstation...\" shows KELVARO1.ICO"
require_alive
