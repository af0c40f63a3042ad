#!/usr/bin/env bash
# Builds Kestrune's benchmarks and runs each of them under Wine, printing their figures. The
# benchmarks fill the registry with thousands of keys, so they run in a Wine prefix of their own
# (build/bench-wineprefix), apart from the tests' prefix; a virtual display is started for those
# that open windows. Names given on the command line (e.g. cross_process_bench) run only those.
set -uo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
bash "$root/tools/install-deps.sh" || exit 1
bash "$root/tools/build.sh" || exit 1
export KESTRUNE_WINEPREFIX="${KESTRUNE_WINEPREFIX:-$root/build/bench-wineprefix}"
source "$root/tools/wine-env.sh"
start_display
trap stop_display EXIT
prepare_prefix

status=0
names=("$@")
if [ ${#names[@]} -eq 0 ]; then
  for source in "$root"/bench/*.cpp; do names+=("$(basename "$source" .cpp)"); done
fi
for name in "${names[@]}"; do
  exe="$root/build/$name.exe"
  [ -f "$exe" ] || { echo "$name.exe was not built"; status=1; continue; }
  echo "=== $name"
  (cd "$root/build" && timeout 3000 wine "$exe") || { echo "$name exited with code $?"; status=1; }
done
exit $status
