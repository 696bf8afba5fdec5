#!/usr/bin/env bash
# Installs what is missing, builds, and starts Kelvaro Workstation. Without a
# display it starts a virtual one (Xvfb) and says so.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/build.sh
cd build
if [ -z "${DISPLAY:-}" ]; then
  echo "No DISPLAY set: starting Kelvaro Workstation on a virtual display (Xvfb)."
  exec xvfb-run -a -s "-screen 0 1280x1024x24" ./kelvaro-workstation "$@"
fi
exec ./kelvaro-workstation "$@"
