#!/usr/bin/env bash
# Measures the resident program: time from start to its mapped main window (the
# start sound switched off in the store), then CPU share and memory (RSS) over
# 60 idle seconds. Run by hand after building: bash bench/resident.sh [build dir] [seconds]
set -euo pipefail
BUILD=${1:-build}
IDLE=${2:-60}
EXE=$(cd "$BUILD" && pwd)/kelvaro-workstation
[ -x "$EXE" ] || { echo "build first: $EXE missing" >&2; exit 1; }
for t in Xvfb xdotool; do command -v $t >/dev/null || { echo "needs $t (bash scripts/deps.sh)" >&2; exit 1; }; done

WORK=$(mktemp -d)
trap 'kill $APP 2>/dev/null || true; wait $APP 2>/dev/null || true; kill $XVFB 2>/dev/null || true; rm -rf "$WORK"' EXIT
export XDG_CONFIG_HOME=$WORK/config
mkdir -p "$XDG_CONFIG_HOME/Kelvaro Workstation"
printf '[SYSTEM]\nSOUND=No\n' > "$XDG_CONFIG_HOME/Kelvaro Workstation/settings.ini"

DISP=:$(( 90 + RANDOM % 100 ))
Xvfb $DISP -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 & XVFB=$!
export DISPLAY=$DISP
for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done

cd "$(dirname "$EXE")"
t0=$(date +%s%N)
"$EXE" >/dev/null 2>&1 & APP=$!
# Polled every 10 ms (xdotool's own --sync waits in steps of half a second).
until xdotool search --onlyvisible --name '^Kelvaro' >/dev/null 2>&1; do sleep 0.01; done
t1=$(date +%s%N)
echo "start to main window: $(( (t1 - t0) / 1000000 )) ms"

# Idle means nobody works in it: the pointer (and with no window manager, the
# keyboard focus, which follows the pointer) rests outside the window.
xdotool mousemove 0 0
sleep 2  # let start-up settle
hz=$(getconf CLK_TCK)
ticks() { awk '{print $14 + $15}' /proc/$APP/stat; }
measure() {
  local c0 c1 w0 w1
  c0=$(ticks); w0=$(date +%s%N)
  sleep "$IDLE"
  c1=$(ticks); w1=$(date +%s%N)
  awk -v c=$((c1 - c0)) -v hz="$hz" -v w=$((w1 - w0)) -v what="$1" \
    'BEGIN { printf "idle CPU, %s: %.3f %% of one core over %.0f s (%d ticks)\n", what, 100 * (c / hz) / (w / 1e9), w / 1e9, c }'
}
measure "main window shown"
grep -E 'VmRSS|VmHWM' /proc/$APP/status
# Resident as it usually is: minimised. Without a window manager, unmapping the
# window is what iconifying does to it.
for w in $(xdotool search --onlyvisible --name '^(Kelvaro|Running)'); do xdotool windowunmap "$w"; done
sleep 1
measure "main window minimised (unmapped)"
grep -E 'VmRSS' /proc/$APP/status
