#!/usr/bin/env bash
# NTBackup.exe against plain GNU tar on generated trees, same disk, one run:
# every operation as a time ratio (program / tar, 1.00 = as fast as tar; lower
# is better), against bare tar and against tar with the metadata options the
# program must use, medians of ROUNDS rounds in alternating order. Then the
# program's own peak memory over 20 000 and 1 000 000 empty files, the file
# index's size against its archive, and listing one file's versions on a tape
# holding a chain of 30 sets over 200 000 files.
# Run by hand after building (never in CI):
#   bash bench/ntbackup.sh [--quick] [--memory] [build dir] [rounds]
# --quick: small trees, one round, a chain of 5: a check that it all runs.
# --memory: the archives, the tape and the log go to FAST as well, so that the
# ratios tell the work each side does, without a shared disk's moods (the
# trees stay on the disk, read from the page cache as they are in either case).
# BEFORE=other/build: that build's NTBackup.exe is timed too, in the same rounds,
# for figures before and after a change under the same load.
# Restores go to FAST (default /dev/shm, else the disk): creating files on a
# shared disk varies by a factor of five from one minute to the next, and both
# sides restore to the same place. The empty-file trees live there too.
set -euo pipefail
QUICK=0 MEMORY=0
[ "${1:-}" = --quick ] && { QUICK=1; shift; }
[ "${1:-}" = --memory ] && { MEMORY=1; shift; }
BUILD=${1:-build}
ROUNDS=${2:-3}
HERE=$(cd "$(dirname "$0")" && pwd)
EXE=$(cd "$BUILD" && pwd)/NTBackup.exe
[ -x "$EXE" ] || { echo "build first: $EXE missing" >&2; exit 1; }
OLD=
if [ -n "${BEFORE:-}" ]; then OLD=$(cd "$BEFORE" && pwd)/NTBackup.exe; [ -x "$OLD" ] || { echo "$OLD missing" >&2; exit 1; }; fi
RUN=$EXE
if [ "$QUICK" = 1 ]; then
  SHAPES=("5000 200" "50000 100") TINY=(5000 100000) CHAIN=5 ROUNDS=1
else
  SHAPES=("20000 1024" "200000 600") TINY=(20000 1000000) CHAIN=30
fi

WORK=$(mktemp -d "${TMPDIR:-/tmp}/kelvaro-bench-XXXXXX")
FAST=${FAST:-/dev/shm}
[ -d "$FAST" ] && [ -w "$FAST" ] || FAST=$WORK
FAST=$(mktemp -d "$FAST/kelvaro-bench-XXXXXX")
trap 'rm -rf "$WORK" "$FAST"' EXIT
OUT=$WORK
[ "$MEMORY" = 1 ] && OUT=$FAST
SRC=$WORK/tree P=$OUT/plain
export HOME=$WORK/home XDG_CONFIG_HOME=$WORK/config XDG_DATA_HOME=$OUT/data
TAPE="$XDG_DATA_HOME/Kelvaro Workstation/tapes/1"
mkdir -p "$HOME" "$XDG_CONFIG_HOME/Kelvaro Workstation/dosdevices" "$P"
ln -s "$SRC" "$XDG_CONFIG_HOME/Kelvaro Workstation/dosdevices/c:"
# A full-detail log, as the scheduler asks for by default, on a drive of its own.
mkdir -p "$OUT/logs" && ln -s "$OUT/logs" "$XDG_CONFIG_HOME/Kelvaro Workstation/dosdevices/d:"
LOG=(/L 'd:\backup.log')

# The options of the program's archive tar and of its restore (TarOutput.h).
OPTS=(--format=posix --xattrs '--xattrs-include=*' --sparse
      --pax-option=delete=atime,delete=ctime,delete=mtime)
XOPTS=(--xattrs '--xattrs-include=*' --preserve-permissions)

# Prints "ms peak_kB" of one command, synced before and after (bench/timed.py).
timed() { python3 "$HERE/timed.py" "$@"; }
fresh() { rm -rf "$XDG_DATA_HOME" "$P"/* "$FAST"/rt-*; sync; }
ntb() { rm -f "$OUT/logs/backup.log"; timed "$RUN" "$@"; }
backup() { ntb Backup c: "${LOG[@]}" "$@"; }
ratio() { python3 -c "print(f'{$1/$2:.3f}')"; }
median() { python3 -c "import statistics,sys; print(f'{statistics.median(float(x) for x in sys.argv[1:]):.2f}')" "$@"; }

declare -A R PEAK
note() { R["$1|$2"]="${R["$1|$2"]:-} $3"; }  # row, shape, ratio
peak() { local kb=${2#* }; [ "$kb" -gt "${PEAK[$1]:-0}" ] && PEAK[$1]=$kb; return 0; }

# One comparison: the program's command (as a shell function name) against a
# bare tar and a tar with the same options, in rotating order; the ratios go
# into rows "$row" and "$row, same options".
compare() {  # row shape round prepare ntb-fn bare-fn opts-fn
  local row=$1 shape=$2 r=$3 prep=$4 n=$5 b=$6 o=$7 tn tb to
  if [ $((r % 2)) -eq 1 ]; then
    $prep; tb=$($b); $prep; to=$($o); $prep; tn=$($n)
  else
    $prep; tn=$($n); $prep; to=$($o); $prep; tb=$($b)
  fi
  peak "$shape" "$tn"
  local mine=${tn%% *}
  note "$row" "$shape" "$(ratio "${tn%% *}" "${tb%% *}")"
  note "$row, same options" "$shape" "$(ratio "${tn%% *}" "${to%% *}")"
  local before=
  if [ -n "$OLD" ]; then
    $prep; RUN=$OLD; tn=$($n); RUN=$EXE
    peak "$shape, before" "$tn"
    note "$row, before" "$shape" "$(ratio "${tn%% *}" "${tb%% *}")"
    note "$row, same options, before" "$shape" "$(ratio "${tn%% *}" "${to%% *}")"
    before=", the program before ${tn%% *} ms"
  fi
  echo "  $row: program $mine ms, tar ${tb%% *} ms, tar with the options ${to%% *} ms$before" >&2
}

# The plain sides. Each archive is written anew; a restore goes into an empty folder.
none() { :; }
clear_plain() { rm -rf "$P"/c.tar* "$P"/c-o.tar "$FAST"/rt-*; sync; }
tar_cf() { timed tar -cf "$P/c.tar" -C "$SRC" .; }
tar_cf_o() { timed tar -cf "$P/c-o.tar" "${OPTS[@]}" -C "$SRC" .; }
ntb_normal() { rm -rf "$XDG_DATA_HOME"; sync; backup /T Normal /tape:1; }
tar_zst() { timed tar --zstd -cf "$P/c.tar.zst" -C "$SRC" .; }
tar_zst_o() { timed tar --zstd -cf "$P/c.tar.zst" "${OPTS[@]}" -C "$SRC" .; }
ntb_hc() { rm -rf "$XDG_DATA_HOME"; sync; backup /T Normal /tape:1 /HC:on; }
tar_v() { timed bash -c 'tar -cf "$1/c.tar" -C "$2" . && tar --compare -f "$1/c.tar" -C "$2"' - "$P" "$SRC"; }
tar_v_o() {  # (a posix archive's whole seconds: tar tells of every file's sub-second mtime)
  timed bash -c 'p=$1 s=$2; shift 2; tar -cf "$p/c.tar" "$@" -C "$s" . && tar --compare -f "$p/c.tar" -C "$s"' \
    - "$P" "$SRC" "${OPTS[@]}" 2>/dev/null
}
ntb_v() { rm -rf "$XDG_DATA_HOME"; sync; backup /T Normal /tape:1 /V; }
# Restores read the archives written just before (the plain and the program's).
prep_restore() { rm -rf "$FAST"/rt-*; sync; }
tar_xf() { mkdir "$FAST/rt-bare"; timed tar -xf "$P/c.tar" -C "$FAST/rt-bare"; }
tar_xf_o() {
  mkdir "$FAST/rt-opts"
  timed tar -xf "$(ls "$TAPE"/*/c.tar | head -1)" "${XOPTS[@]}" -C "$FAST/rt-opts"
}
ntb_restore() { ntb Restore /tape:1 c: "$FAST/rt-ntb"; }
tar_g() { timed bash -c 'cp "$1/snar0" "$1/snar" && tar -cf "$1/l1.tar" -g "$1/snar" -C "$2" .' - "$P" "$SRC"; }
tar_g_o() {
  timed bash -c 'p=$1 s=$2; shift 2; cp "$p/snar0" "$p/snar" && tar -cf "$p/l1.tar" -g "$p/snar" "$@" -C "$s" .' \
    - "$P" "$SRC" "${OPTS[@]}"
}
ntb_inc() { backup /T Incremental /tape:1 /A; }

ROWS=("Normal against tar -cf" "/HC:on against tar --zstd" "/V against tar -cf + tar --compare"
      "Restore of the drive against tar -xf" "Incremental, nothing changed, against tar -g")
INDEX=() NAMES=()
for shape in "${SHAPES[@]}"; do
  read -r files mb <<<"$shape"
  rm -rf "$SRC"; python3 "$HERE/tree.py" "$SRC" mixed "$files" "$mb"
  name="$files files, $(du -sm --apparent-size "$SRC" | cut -f1) MB"
  echo "tree: $name" >&2
  fresh
  tar -cf /dev/null -g "$P/snar0" -C "$SRC" .
  for r in $(seq "$ROUNDS"); do
    echo "round $r of $name" >&2
    clear_plain
    compare "${ROWS[0]}" "$name" "$r" none ntb_normal tar_cf tar_cf_o
    [ "$r" = 1 ] && INDEX+=("$name: index $(stat -c %s "$TAPE"/*/c.idx) bytes, archive $(stat -c %s "$TAPE"/*/c.tar) bytes")
    # The first restore of a round pays for the memory the ones after it reuse: one untimed first.
    mkdir "$FAST/rt-warm" && tar -xf "$P/c.tar" -C "$FAST/rt-warm"
    compare "${ROWS[3]}" "$name" "$r" prep_restore ntb_restore tar_xf tar_xf_o
    rm -rf "$FAST"/rt-*
    compare "${ROWS[4]}" "$name" "$r" none ntb_inc tar_g tar_g_o
    clear_plain
    compare "${ROWS[1]}" "$name" "$r" none ntb_hc tar_zst tar_zst_o
    clear_plain
    compare "${ROWS[2]}" "$name" "$r" none ntb_v tar_v tar_v_o
  done
  NAMES+=("$name")
done

# The versions of one file on a chain of CHAIN sets over the last tree: a Normal
# set and Incrementals that each take a few changed files (small against the
# full set, so that each builds on the chain; /A, so that none replaces it).
# The file asked for is the full set's last member: every index is read to its end.
fresh
"$EXE" Backup c: /T Normal /tape:1 /A >/dev/null
last=$(python3 - "$TAPE"/*/c.idx <<'PY'
import sys
prev, last = "", ""
for line in open(sys.argv[1], encoding="utf-8", errors="surrogateescape").read().split("\n")[1:]:
    if line == "=unchanged" or not line: break
    f = line.split("\t")
    prev = prev[: int(f[0])] + f[4]
    if f[1] == "f": last = prev
print(last)
PY
)
for i in $(seq 2 "$CHAIN"); do
  python3 "$HERE/tree.py" "$SRC" touch 20 "$i" "$last"
  "$EXE" Backup c: /T Incremental /tape:1 /A >/dev/null
done
sets=$(ls -d "$TAPE"/*/ | wc -l)
wanted="c:\\${last//\//\\}"
list_times=()
for r in 1 2 3; do
  t=$(timed "$EXE" List /tape:1 "$wanted")
  list_times+=("${t%% *}")
done
versions=$("$EXE" List /tape:1 "$wanted" | grep -c '^Set ' || true)
rm -rf "$SRC"

# Peak memory over empty files: the program holds nothing per file.
SRC=$FAST/tiny
ln -sfn "$SRC" "$XDG_CONFIG_HOME/Kelvaro Workstation/dosdevices/c:"
for n in "${TINY[@]}"; do
  fresh; rm -rf "$SRC"; python3 "$HERE/tree.py" "$SRC" tiny "$n"
  t=$(backup /T Normal /tape:1); peak "tiny $n" "$t"
  t=$(backup /T Incremental /tape:1 /A); peak "tiny $n" "$t"
  if [ -n "$OLD" ]; then
    fresh; RUN=$OLD
    t=$(backup /T Normal /tape:1); peak "tiny $n, before" "$t"
    t=$(backup /T Incremental /tape:1 /A); peak "tiny $n, before" "$t"
    RUN=$EXE
  fi
  echo "tiny $n: peak ${PEAK["tiny $n"]} kB${OLD:+, before ${PEAK["tiny $n, before"]} kB}" >&2
done
rm -rf "$SRC"

echo
echo "Time ratios, NTBackup.exe / plain tar (medians of $ROUNDS rounds; 1.00 = as fast as tar; archives written to $([ "$MEMORY" = 1 ] && echo memory || echo the disk)):"
printf '| %-64s |' "Operation, against plain tar"; for n in "${NAMES[@]}"; do printf ' %-24s |' "$n"; done; echo
VARIANTS=("" ", same options")
[ -n "$OLD" ] && VARIANTS=("" ", before" ", same options" ", same options, before")
for row in "${ROWS[@]}"; do
  for v in "${VARIANTS[@]}"; do
    variant="$row$v"
    printf '| %-64s |' "$variant"
    for n in "${NAMES[@]}"; do printf ' %-24s |' "$(median ${R["$variant|$n"]})"; done; echo
  done
done
for v in "" ${OLD:+", before"}; do
  printf '| %-64s |' "Peak memory of the program$v"
  for n in "${NAMES[@]}"; do printf ' %-24s |' "$(( PEAK[$n$v] / 1024 )) MB (${PEAK[$n$v]} kB)"; done; echo
done
echo
for v in "" ${OLD:+", before"}; do
  a=${PEAK["tiny ${TINY[0]}$v"]} b=${PEAK["tiny ${TINY[1]}$v"]}
  echo "Peak memory over empty files$v: ${TINY[0]} files $a kB, ${TINY[1]} files $b kB" \
       "(difference $(( (b - a) / 1024 )) MB, $(( b - a )) kB)"
done
for line in "${INDEX[@]}"; do
  read -r ib ab <<<"$(echo "$line" | sed 's/.*index \([0-9]*\) bytes, archive \([0-9]*\) bytes/\1 \2/')"
  echo "File index: $line ($(python3 -c "print(f'{100*$ib/$ab:.2f}')") % of the archive)"
done
echo "Versions of one file on a chain of $sets sets over ${NAMES[-1]}: $versions versions listed in" \
     "$(median "${list_times[@]}") ms (median of 3)"
