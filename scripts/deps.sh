#!/usr/bin/env bash
# Installs what building, running and testing need on Debian 12. Safe to rerun:
# it asks apt only for what is missing.
set -euo pipefail

PACKAGES=(
  build-essential cmake pkg-config
  qt6-base-dev qt6-base-dev-tools libgl-dev
  libx11-dev libasound2-dev libfontconfig-dev
  libgtest-dev libgmock-dev googletest libbenchmark-dev
  xvfb xauth x11-utils xdotool imagemagick faketime xclip openbox
  fonts-dejavu-core alsa-utils xdg-utils
  tar zstd time attr acl
  clang libclang-rt-14-dev
  dbus-daemon at-spi2-core python3-pyatspi python3-dbus python3-gi
  lintian dpkg-dev desktop-file-utils
)

missing=()
for p in "${PACKAGES[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
SUDO=""
if [ "$(id -u)" -ne 0 ]; then
  command -v sudo >/dev/null || { echo "Need root or sudo to install: ${missing[*]}" >&2; exit 1; }
  SUDO="sudo"
fi
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq "${missing[@]}"
