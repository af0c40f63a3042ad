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

mkdir -p "$root/build/test-results" "$root/build/screenshots"
passed=0; failed=0; broken=0
# run_suite SUITE LOG_NAME [ARGS...]: runs one test program and adds up its results.
run_suite() {
  local suite=$1 name=$2; shift 2
  local exe="$root/build/$suite.exe"
  [ -f "$exe" ] || return 0
  local log="$root/build/test-results/$name.log"
  echo "=== $name"
  (cd "$root/build" && timeout 1500 wine "$exe" --gtest_color=no "$@") > "$log" 2>&1
  local rc=$?
  grep -E '^\[  (FAILED|PASSED|SKIPPED) |^\[==========\]' "$log" | grep -v '^\[  FAILED  \] [A-Za-z].*\.' || true
  grep -E '^\[  FAILED  \] [A-Za-z]' "$log" | sort -u || true
  local p f
  p=$(grep -E '^\[       OK \]' "$log" | wc -l)
  f=$(grep -E '^\[  FAILED  \] [A-Za-z0-9_/]+\.[A-Za-z0-9_/]+' "$log" | sort -u | wc -l)
  passed=$((passed + p)); failed=$((failed + f))
  if [ $rc -ne 0 ] && [ "$f" -eq 0 ]; then
    echo "$name exited with code $rc without a failed test (crash or timeout); see $log"
    tail -20 "$log"
    broken=$((broken + 1))
  fi
}

for suite in model_tests ui_tests e2e_tests; do
  run_suite "$suite" "$suite"
done

# A real 32-bit Windows: a WINEARCH=win32 prefix of its own (no WOW64, one registry view), made on
# first use. Only the end-to-end save and one way to the About box run there, to keep it short.
wineserver -k > /dev/null 2>&1 || true
export WINEPREFIX="$root/build/wineprefix32" WINEARCH=win32
prepare_prefix
run_suite e2e_tests e2e_tests_win32 \
  --gtest_filter='SaveTest.ANewGlobalFolderAndAnAddedProgramAreWrittenWithTheirFoldersAndTheProgramExits:Ways/AboutBoxWayTest.OpensTheAboutBoxWithTheProductVersionAndYearLines/HelpAboutCommand'

failed=$((failed + broken))
echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ] && [ "$passed" -gt 0 ]
