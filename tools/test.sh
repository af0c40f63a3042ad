#!/usr/bin/env bash
# Builds Kestrune and every test, then runs all tests under Wine (own prefix) and Xvfb.
# Prints each suite's GoogleTest summary and a last line "N passed, N failed".
set -uo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
bash "$root/tools/install-deps.sh" || exit 1
bash "$root/tools/build.sh" || exit 1
source "$root/tools/wine-env.sh"
start_display
trap stop_display EXIT
prepare_prefix
# A real link for the folder-security tests: C:\kestrune-link leads to C:\kestrune-link-target.
mkdir -p "$WINEPREFIX/drive_c/kestrune-link-target"
ln -sfn kestrune-link-target "$WINEPREFIX/drive_c/kestrune-link"

mkdir -p "$root/build/test-results" "$root/build/screenshots"
passed=0; failed=0; broken=0
for suite in model_tests ui_tests e2e_tests; do
  exe="$root/build/$suite.exe"
  [ -f "$exe" ] || continue
  log="$root/build/test-results/$suite.log"
  echo "=== $suite"
  (cd "$root/build" && timeout 1500 wine "$exe" --gtest_color=no) > "$log" 2>&1
  rc=$?
  grep -E '^\[  (FAILED|PASSED|SKIPPED) |^\[==========\]' "$log" | grep -v '^\[  FAILED  \] [A-Za-z].*\.' || true
  grep -E '^\[  FAILED  \] [A-Za-z]' "$log" | sort -u || true
  p=$(grep -E '^\[       OK \]' "$log" | wc -l)
  f=$(grep -E '^\[  FAILED  \] [A-Za-z0-9_/]+\.[A-Za-z0-9_/]+' "$log" | sed 's/ (.*//' | sort -u | wc -l)
  passed=$((passed + p)); failed=$((failed + f))
  if [ $rc -ne 0 ] && [ "$f" -eq 0 ]; then
    echo "$suite exited with code $rc without a failed test (crash or timeout); see $log"
    tail -20 "$log"
    broken=$((broken + 1))
  fi
done
failed=$((failed + broken))
echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ] && [ "$passed" -gt 0 ]
