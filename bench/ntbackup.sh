#!/usr/bin/env bash
# Throughput of NTBackup.exe against plain GNU tar on the same generated tree and
# disk, in one run: a Normal backup against `tar -cf`, an Incremental with nothing
# changed against `tar -g` with nothing changed, and the program's peak memory.
# Run by hand after building: bash bench/ntbackup.sh [build dir] [files] [megabytes] [rounds]
set -euo pipefail
BUILD=${1:-build}
FILES=${2:-20000}
MB=${3:-1024}
ROUNDS=${4:-3}
EXE=$(cd "$BUILD" && pwd)/NTBackup.exe
[ -x "$EXE" ] || { echo "build first: $EXE missing" >&2; exit 1; }

WORK=$(mktemp -d "${TMPDIR:-/var/tmp}/kelvaro-bench-XXXXXX")
trap 'rm -rf "$WORK"' EXIT
SRC=$WORK/tree
export HOME=$WORK/home XDG_CONFIG_HOME=$WORK/config XDG_DATA_HOME=$WORK/data
mkdir -p "$HOME" "$XDG_CONFIG_HOME/Kelvaro Workstation/dosdevices" "$SRC" "$WORK/plain"
ln -s "$SRC" "$XDG_CONFIG_HOME/Kelvaro Workstation/dosdevices/c:"

# Mixed sizes: most files small, a few large, about MB megabytes in all.
python3 - "$SRC" "$FILES" "$MB" <<'PY'
import os, random, sys
root, files, mb = sys.argv[1], int(sys.argv[2]), int(sys.argv[3])
random.seed(7)
weights = [random.paretovariate(1.2) for _ in range(files)]
scale = mb * 1024 * 1024 / sum(weights)
block = os.urandom(1 << 20)
for i, w in enumerate(weights):
    d = os.path.join(root, "d%03d" % (i % 400), "s%02d" % (i % 7))
    os.makedirs(d, exist_ok=True)
    size = int(w * scale)
    with open(os.path.join(d, "f%05d.bin" % i), "wb") as f:
        while size > 0:
            f.write(block[: min(size, len(block))])
            size -= len(block)
PY
echo "tree: $(find "$SRC" -type f | wc -l) files, $(du -sm "$SRC" | cut -f1) MB, in $WORK"
sync

now() { date +%s%N; }
ms() { echo $(( ($2 - $1) / 1000000 )); }
# Each timing ends with sync, so both sides pay for getting their bytes onto the
# disk, and starts after one, so neither pays for the other's; the order of the
# two alternates from round to round.
timed() { sync; local t0; t0=$(now); "$@" >/dev/null; sync; echo $(( ($(now) - t0) / 1000000 )); }
plain_full() { tar -cf "$WORK/plain/c.tar" -C "$SRC" .; }
ntb_full() { /usr/bin/time -f %M -o "$WORK/rss" "$EXE" Backup c: /T Normal /tape:1; }
plain_inc() { cp "$WORK/plain/snar0" "$WORK/plain/snar"; tar -cf "$WORK/plain/l1.tar" -g "$WORK/plain/snar" -C "$SRC" .; }
ntb_inc() { "$EXE" Backup c: /T Incremental /tape:1 /A; }
tar -cf "$WORK/plain/l0.tar" -g "$WORK/plain/snar0" -C "$SRC" .
rm -f "$WORK/plain/l0.tar"

full_ratios=() inc_ratios=() peak=0
for r in $(seq "$ROUNDS"); do
  rm -rf "$XDG_DATA_HOME" "$WORK/plain/c.tar" "$WORK/plain/l1.tar"
  if [ $((r % 2)) -eq 1 ]; then a=$(timed plain_full); b=$(timed ntb_full); else b=$(timed ntb_full); a=$(timed plain_full); fi
  kb=$(cat "$WORK/rss"); [ "$kb" -gt "$peak" ] && peak=$kb
  if [ $((r % 2)) -eq 1 ]; then c=$(timed plain_inc); d=$(timed ntb_inc); else d=$(timed ntb_inc); c=$(timed plain_inc); fi
  echo "round $r: tar -cf ${a} ms, Normal ${b} ms (ratio $(python3 -c "print(f'{$a/$b:.3f}')")); tar -g unchanged ${c} ms, Incremental unchanged ${d} ms"
  full_ratios+=("$a/$b") inc_ratios+=("$c/$d")
done
median() { python3 -c "import statistics,sys; print(f'{statistics.median(eval(x) for x in sys.argv[1:]):.3f}')" "$@"; }
echo
echo "median of $ROUNDS rounds (throughput NTBackup / tar, 1.0 = as fast as tar):"
echo "  Normal against tar -cf:              $(median "${full_ratios[@]}")"
echo "  Incremental, unchanged, against -g:  $(median "${inc_ratios[@]}")"
echo "  NTBackup peak RSS:                   $(( peak / 1024 )) MB ($peak kB)"
