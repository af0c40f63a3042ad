#!/usr/bin/env bash
# Builds Kestrune and starts it under Wine in the project's own prefix. Uses the current DISPLAY,
# or a virtual one (Xvfb) when there is none.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
bash "$root/tools/install-deps.sh"
bash "$root/tools/build.sh" --target Kestrune
source "$root/tools/wine-env.sh"
if [ -z "${DISPLAY:-}" ]; then
  start_display
  trap stop_display EXIT
  echo "No display: Kestrune runs on the virtual display $DISPLAY"
fi
prepare_prefix
wine "$root/build/Kestrune.exe"
