#!/usr/bin/env bash
# The resident program against the floor (bench/floor.cpp: a bare Qt Widgets
# window doing the same visible work), in one run on one X server with a window
# manager (openbox under Xvfb, so minimising is a real iconify):
#  - start: from exec to the mapped main window, N starts each, alternating,
#    fresh settings with the start sound off each time; median and range, and
#    the CPU time the process used until then;
#  - idle CPU with the window shown, then minimised, both programs side by side
#    over the same S seconds, from /proc/PID/task/*/schedstat (nanoseconds,
#    each thread sampled once a second);
#  - RSS after each idle period.
# Build with -DKELVARO_BUILD_BENCH=ON, then: bash bench/resident.sh [build dir] [starts] [seconds]
set -euo pipefail
BUILD=$(cd "${1:-build}" && pwd)
STARTS=${2:-10}
IDLE=${3:-60}
EXE=$BUILD/kelvaro-workstation
FLOOR=$BUILD/kelvaro-floor
MAPWATCH=$BUILD/bench/kelvaro-mapwatch
for f in "$EXE" "$FLOOR" "$MAPWATCH"; do
    [ -x "$f" ] || { echo "missing $f: cmake -S . -B $BUILD -DKELVARO_BUILD_BENCH=ON && cmake --build $BUILD" >&2; exit 1; }
done
for t in Xvfb openbox xdotool xprop xwininfo xdpyinfo; do
    command -v $t >/dev/null || { echo "needs $t (bash scripts/deps.sh)" >&2; exit 1; }
done

WORK=$(mktemp -d)
declare -A LIVE=()  # our children still running, ended at exit (and only they)
cleanup() {
    set +e
    local p
    for p in "${!LIVE[@]}"; do kill "$p" 2>/dev/null; done
    for p in "${!LIVE[@]}"; do wait "$p" 2>/dev/null; done
    rm -rf "$WORK"
}
trap cleanup EXIT
# Ended by a signal (or a reader that went away), it still ends what it started.
trap 'exit 130' INT TERM HUP
trap 'exit 141' PIPE

# Both programs see the same private environment.
export XDG_CONFIG_HOME=$WORK/config TMPDIR=$WORK/tmp XDG_RUNTIME_DIR=$WORK/runtime
mkdir -p "$XDG_CONFIG_HOME" "$TMPDIR" "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"
unset SESSION_MANAGER QT_QPA_PLATFORM WAYLAND_DISPLAY
fresh_settings() {
    local dir="$XDG_CONFIG_HOME/Kelvaro Workstation"
    rm -rf "$dir"
    mkdir -p "$dir"
    printf '[SYSTEM]\nSOUND=No\n' >"$dir/settings.ini"
}

# A screen wide enough for both windows side by side: the program centres
# itself, the floor stands at the left edge.
: >"$WORK/displayfd"
Xvfb -displayfd 3 -nolisten tcp -screen 0 1920x1080x24 3>"$WORK/displayfd" >/dev/null 2>&1 &
LIVE[$!]=1
for _ in $(seq 100); do [ -s "$WORK/displayfd" ] && break; sleep 0.05; done
export DISPLAY=":$(head -n1 "$WORK/displayfd" | tr -dc 0-9)"
for _ in $(seq 100); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.05; done
openbox --sm-disable >/dev/null 2>&1 &
LIVE[$!]=1
for _ in $(seq 100); do xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && break; sleep 0.05; done
# Idle means nobody works in it: the pointer rests in a corner, on no window.
xdotool mousemove 1919 1079

# CPU time of all threads of a process, in nanoseconds.
cpu_ns() { cat /proc/"$1"/task/*/schedstat 2>/dev/null | awk '{ s += $1 } END { printf "%d", s }'; }
rss_kb() { awk '/^VmRSS/ { print $2 }' /proc/"$1"/status; }
# The main window of a process: visible, with one of the main window's titles
# (the program's splash has none of them), and a client window (it has a class;
# the window manager's frames around it may match the search too).
TITLES='^(Kelvaro\.\.\.|Running\.\.\.|Kelvaro Workstation\.\.\.)$'
main_window() {
    local w
    for w in $(xdotool search --onlyvisible --pid "$1" --name "$TITLES" 2>/dev/null); do
        xprop -id "$w" WM_CLASS 2>/dev/null | grep -q '"' && { echo "$w"; return 0; }
    done
    return 1
}

APP=""
FLOOR_PID=""
# launch program|floor: starts it (fresh settings for the program) and waits
# for its main window; sets PID, WIN, START_MS and START_CPU_MS. The moment the
# window is mapped comes from kelvaro-mapwatch, which listens to the X server:
# polling with xdotool would lag and take CPU from the program being timed.
launch() {
    local t0 t1 watch mapped="$WORK/mapped"
    [ "$1" = program ] && fresh_settings
    : >"$mapped"
    timeout 20 "$MAPWATCH" 'Kelvaro...' 'Running...' 'Kelvaro Workstation...' >"$mapped" &
    watch=$!
    until grep -q '^ready$' "$mapped"; do
        kill -0 "$watch" 2>/dev/null || { echo "kelvaro-mapwatch could not listen" >&2; exit 1; }
        sleep 0.005
    done
    cd "$BUILD"
    t0=$EPOCHREALTIME
    if [ "$1" = program ]; then
        "$EXE" >/dev/null 2>&1 &
    else
        "$FLOOR" "$FLOOR_SIZE" 0,0 >/dev/null 2>&1 &
    fi
    PID=$!
    LIVE[$PID]=1
    wait "$watch" || { echo "$1 showed no main window within 20 s" >&2; exit 1; }
    read -r WIN t1 < <(sed -n 2p "$mapped")
    START_CPU_MS=$(( $(cpu_ns "$PID") / 1000000 ))
    START_MS=$(awk -v a="$t0" -v b="$t1" 'BEGIN { printf "%.0f", (b - a) * 1000 }')
    cd - >/dev/null
}
stop() { kill "$1" 2>/dev/null || true; wait "$1" 2>/dev/null || true; unset "LIVE[$1]"; }

# median and range of the numbers given: "median (min–max)"
stats() { printf '%s\n' "$@" | sort -n | awk '{ v[NR] = $1 } END { m = (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2; printf "%g %g %g", m, v[1], v[NR] }'; }

echo "load average before: $(cut -d' ' -f1-3 /proc/loadavg)"

# The floor takes the program's window size, as the window manager has it.
launch program
FLOOR_SIZE=$(xwininfo -id "$WIN" | awk '/^ *Width:/ { w = $2 } /^ *Height:/ { h = $2 } END { print w "x" h }')
stop "$PID"

P_MS=(); P_CPU=(); F_MS=(); F_CPU=()
for _ in $(seq "$STARTS"); do
    launch program; P_MS+=("$START_MS"); P_CPU+=("$START_CPU_MS"); stop "$PID"
    launch floor; F_MS+=("$START_MS"); F_CPU+=("$START_CPU_MS"); stop "$PID"
done

# Idle: both at once, so both see the same machine over the same seconds.
launch program; APP=$PID; APP_WIN=$WIN
launch floor; FLOOR_PID=$PID; FLOOR_WIN=$WIN
xdotool mousemove 1919 1079
sleep 3  # let start-up settle
# CPU share of one core in per cent: used nanoseconds over wall nanoseconds.
share() { awk -v c="$1" -v w="$2" 'BEGIN { printf "%.3f", 100 * c / w }'; }
now_ns() { date +%s%N; }
# Each thread's CPU time over the period, sampled once a second: a thread that
# ends meanwhile (Qt's pool threads expire after 30 s idle) keeps what it used
# until last seen, instead of taking all it ever used out of the sum, and a
# thread that starts meanwhile counts from zero.
declare -A T0=() T1=()
sample() {  # PID [first]
    local t v k
    for t in /proc/"$1"/task/*; do
        read -r v _ <"$t/schedstat" 2>/dev/null || continue
        k="$1:${t##*/}"
        if [ -n "${2:-}" ]; then T0[$k]=$v; elif [ -z "${T0[$k]+set}" ]; then T0[$k]=0; fi
        T1[$k]=$v
    done
}
used_ns() {  # PID
    local k s=0
    for k in "${!T1[@]}"; do
        if [[ $k == "$1:"* ]]; then s=$((s + T1[$k] - T0[$k])); fi
    done
    echo "$s"
}
measure() {
    local w0 w1 a f
    T0=() T1=()
    sample "$APP" first; sample "$FLOOR_PID" first; w0=$(now_ns)
    for _ in $(seq "$IDLE"); do
        sleep 1
        sample "$APP"; sample "$FLOOR_PID"
    done
    w1=$(now_ns)
    a=$(used_ns "$APP"); f=$(used_ns "$FLOOR_PID")
    P_IDLE=$(share "$a" $((w1 - w0))); F_IDLE=$(share "$f" $((w1 - w0)))
    P_IDLE_MS=$((a / 1000000)); F_IDLE_MS=$((f / 1000000))
}
measure
P_SHOWN=$P_IDLE F_SHOWN=$F_IDLE P_SHOWN_MS=$P_IDLE_MS F_SHOWN_MS=$F_IDLE_MS
P_RSS=$(rss_kb "$APP"); F_RSS=$(rss_kb "$FLOOR_PID")

# A real minimise: the window manager iconifies (unmaps) both windows. The
# program's window is looked up again: its native window may have been made
# anew since start-up (a change of window flags does that).
APP_WIN=$(main_window "$APP")
xdotool windowminimize "$APP_WIN"
xdotool windowminimize "$FLOOR_WIN"
unmapped() { xwininfo -id "$1" | grep -q 'IsUnMapped'; }
for _ in $(seq 100); do unmapped "$APP_WIN" && unmapped "$FLOOR_WIN" && break; sleep 0.05; done
unmapped "$APP_WIN" && unmapped "$FLOOR_WIN" || { echo "the window manager did not minimise both windows" >&2; exit 1; }
sleep 2
measure
P_MIN=$P_IDLE F_MIN=$F_IDLE P_MIN_MS=$P_IDLE_MS F_MIN_MS=$F_IDLE_MS
P_RSS_MIN=$(rss_kb "$APP"); F_RSS_MIN=$(rss_kb "$FLOOR_PID")

read -r PM PLO PHI <<<"$(stats "${P_MS[@]}")"
read -r FM FLO FHI <<<"$(stats "${F_MS[@]}")"
read -r PC _ _ <<<"$(stats "${P_CPU[@]}")"
read -r FC _ _ <<<"$(stats "${F_CPU[@]}")"
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { if (b > 0) printf "%.2f×", a / b; else print "-" }'; }
mb() { awk -v k="$1" 'BEGIN { printf "%.1f MB", k / 1024 }'; }

echo
echo "$STARTS starts each; idle ${IDLE} s shown and ${IDLE} s minimised, both programs at once; window ${FLOOR_SIZE}"
echo
echo "| | start to mapped main window | CPU until mapped | idle CPU, shown | idle CPU, minimised | RSS shown / minimised |"
echo "|---|---|---|---|---|---|"
printf '| the program | %s ms (%s–%s) | %s ms | %s %% (%s ms) | %s %% (%s ms) | %s / %s |\n' \
    "$PM" "$PLO" "$PHI" "$PC" "$P_SHOWN" "$P_SHOWN_MS" "$P_MIN" "$P_MIN_MS" "$(mb "$P_RSS")" "$(mb "$P_RSS_MIN")"
printf '| the floor | %s ms (%s–%s) | %s ms | %s %% (%s ms) | %s %% (%s ms) | %s / %s |\n' \
    "$FM" "$FLO" "$FHI" "$FC" "$F_SHOWN" "$F_SHOWN_MS" "$F_MIN" "$F_MIN_MS" "$(mb "$F_RSS")" "$(mb "$F_RSS_MIN")"
printf '| ratio (target) | %s (≤ 1.2×) | %s | %s (≤ 1.2×) | %s (≤ 1.2×) | +%s (≤ +3 MB) |\n' \
    "$(ratio "$PM" "$FM")" "$(ratio "$PC" "$FC")" "$(ratio "$P_SHOWN_MS" "$F_SHOWN_MS")" \
    "$(ratio "$P_MIN_MS" "$F_MIN_MS")" "$(mb $((P_RSS - F_RSS)))"
echo
echo "load average after: $(cut -d' ' -f1-3 /proc/loadavg)"
