#!/usr/bin/env bash
# Builds the Debian package from an existing build folder (default: build) and
# checks it: the files it holds, its dependencies, lintian, the menu entries,
# and that NTBackup.exe unpacked into a throw-away root runs from there.
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD=$(cd "${1:-build}" && pwd)

cmake --build "$BUILD" --target package -j"$(nproc)"

version=$(sed -n 's/^set(CPACK_PACKAGE_VERSION "\(.*\)")$/\1/p' "$BUILD/CPackConfig.cmake")
deb="$BUILD/kelvaro-workstation_${version}_$(dpkg --print-architecture).deb"
[ -n "$version" ] && [ -f "$deb" ] || { echo "FAIL: no package $deb" >&2; exit 1; }
echo "Package: $deb"
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }

# The installed layout, including every file the program ships from data/.
contents=$(dpkg-deb -c "$deb" | awk '{print $1, $NF}')
expected=(
  /usr/bin/kelvaro-workstation
  /usr/libexec/kelvaro-workstation/NTBackup.exe
  /usr/libexec/kelvaro-workstation/ntbackup-window.so
  /usr/share/applications/kelvaro-workstation.desktop
  /usr/share/applications/kelvaro-restore.desktop
  /usr/share/icons/hicolor/64x64/apps/kelvaro-workstation.png
  /usr/share/doc/kelvaro-workstation/copyright
  /usr/share/doc/kelvaro-workstation/changelog.gz
  /usr/share/man/man1/kelvaro-workstation.1.gz
)
for f in data/*; do
  case "$f" in *.desktop) ;; *) expected+=("/usr/share/kelvaro-workstation/${f#data/}") ;; esac
done
for path in "${expected[@]}"; do
  awk -v p=".$path" '$2 == p { found = 1 } END { exit !found }' <<<"$contents" || fail "package lacks $path"
done
for program in /usr/bin/kelvaro-workstation /usr/libexec/kelvaro-workstation/NTBackup.exe; do
  awk -v p=".$program" '$2 == p && $1 == "-rwxr-xr-x" { found = 1 } END { exit !found }' <<<"$contents" \
    || fail "$program is not an executable of mode 0755"
done
if awk '$2 !~ /^\.\/(usr\/)?$/ && $2 !~ /^\.\/usr\/(bin|libexec|share)\// { print; bad = 1 } END { exit !bad }' <<<"$contents"; then
  fail "files outside /usr/bin, /usr/libexec and /usr/share (above)"
fi

# Dependencies: the libraries the programs link (from dpkg-shlibdeps), ALSA
# (opened at run time), and the programs NTBackup.exe runs.
depends=$(dpkg-deb -f "$deb" Depends)
echo "Depends: $depends"
names=$(tr ',' '\n' <<<"$depends" | awk '{print $1}')
for dep in libqt6core6 libqt6gui6 libqt6widgets6 libx11-6 libasound2 tar zstd; do
  grep -qxF "$dep" <<<"$names" || fail "Depends lacks $dep"
done
changelog_version=$(dpkg-deb --fsys-tarfile "$deb" | tar -xOf - ./usr/share/doc/kelvaro-workstation/changelog.gz \
  | gzip -dc | sed -n '1s/^kelvaro-workstation (\([^)]*\)).*/\1/p')
[ "$changelog_version" = "$(dpkg-deb -f "$deb" Version)" ] \
  || fail "packaging/changelog's latest entry is '$changelog_version', the package is $(dpkg-deb -f "$deb" Version)"

echo "lintian:"
lintian --fail-on error "$deb" || fail "lintian reports errors"

# Unpacked into a throw-away root, with a throw-away home.
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
dpkg -x "$deb" "$tmp/root"
mkdir "$tmp/home"
for entry in "$tmp"/root/usr/share/applications/*.desktop; do
  desktop-file-validate "$entry" || fail "$(basename "$entry") is not a valid desktop entry"
  for key in Exec TryExec; do
    program=$(sed -n "s/^$key=\([^ ]*\).*/\1/p" "$entry")
    case "$program" in /usr/*) [ -x "$tmp/root$program" ] || fail "$(basename "$entry"): $key=$program is not in the package" ;;
                       *) fail "$(basename "$entry"): $key=$program is not a full path under /usr" ;; esac
  done
done
grep -qx 'Path=/usr/share/kelvaro-workstation' "$tmp/root/usr/share/applications/kelvaro-workstation.desktop" \
  || fail "kelvaro-workstation.desktop does not start the program in /usr/share/kelvaro-workstation"

set +e
output=$(cd "$tmp/home" && env -u DISPLAY -u WAYLAND_DISPLAY -u XDG_DATA_HOME -u XDG_CONFIG_HOME HOME="$tmp/home" \
  "$tmp/root/usr/libexec/kelvaro-workstation/NTBackup.exe" List /tape:1 2>&1)
status=$?
set -e
echo "NTBackup.exe List /tape:1 (exit $status): $output"
if [ "$status" -ne 0 ] && ! grep -qi "no backup sets" <<<"$output"; then
  fail "NTBackup.exe List /tape:1 from the unpacked package failed"
fi

# The windows' module loads from there, with every library it needs.
module="$tmp/root/usr/libexec/kelvaro-workstation/ntbackup-window.so"
python3 -c 'import ctypes, sys; ctypes.CDLL(sys.argv[1]).kelvaroWindowSide' "$module" \
  || fail "ntbackup-window.so from the unpacked package does not load"

[ "$failures" -eq 0 ] || { echo "$failures check(s) failed" >&2; exit 1; }
echo "Package checks passed."
