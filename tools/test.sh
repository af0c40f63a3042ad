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

# Runs one test program (its arguments follow the title and the log's name) and adds its results to
# the totals; a program that ends badly without a failed test counts as one failure. Wine ends the
# lines with CR LF.
run_tests() {
  local title=$1 log="$root/build/test-results/$2.log"
  shift 2
  echo "=== $title"
  (cd "$root/build" && timeout 1500 wine "$@" --gtest_color=no) > "$log" 2>&1
  local rc=$? p f
  grep -E '^\[  (FAILED|PASSED|SKIPPED) |^\[==========\]' "$log" | grep -v '^\[  FAILED  \] [A-Za-z].*\.' || true
  grep -E '^\[  FAILED  \] [A-Za-z]' "$log" | sed 's/\r$//; s/ (.*//' | sort -u || true
  p=$(grep -cE '^\[       OK \]' "$log")
  f=$(grep -E '^\[  FAILED  \] [A-Za-z0-9_/]+\.[A-Za-z0-9_/]+' "$log" | sed 's/\r$//; s/ (.*//' | sort -u | wc -l)
  passed=$((passed + p)); failed=$((failed + f))
  if [ $rc -ne 0 ] && [ "$f" -eq 0 ]; then
    echo "$title exited with code $rc without a failed test (crash or timeout); see $log"
    tail -20 "$log"
    broken=$((broken + 1))
  fi
}

for suite in model_tests ui_tests e2e_tests; do
  [ -f "$root/build/$suite.exe" ] && run_tests "$suite" "$suite" "$suite.exe"
done

# The main window on a 1920x1080 screen at 150 % and on a 1366x768 one at 100 %, each less a
# 48-pixel taskbar: its fit suite again, on a display of that size and at that DPI, insisting
# that the window had to give way, and the labels of both dialogs at that text scale. The prefix's
# DPI is set back to 96 afterwards.
stop_display
for screen in 1920x1032:144 1366x720:96; do
  start_display "${screen%:*}"
  wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "${screen#*:}" /f > /dev/null 2>&1
  wineserver -w
  KESTRUNE_FIT_EXPECT=shrink run_tests "ui_tests, main window fit on ${screen%:*} at ${screen#*:} DPI" \
    "ui_tests-fit-${screen%:*}" ui_tests.exe --gtest_filter='MainWindowFit.*:LabelFit.*'
  wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d 96 /f > /dev/null 2>&1
  stop_display
done

# A real 32-bit Windows: a WINEARCH=win32 prefix of its own (no WOW64, one registry view), made on
# first use. Only the end-to-end save and one way to the About box run there, to keep it short.
wineserver -k > /dev/null 2>&1 || true
export WINEPREFIX="$root/build/wineprefix32" WINEARCH=win32
start_display
prepare_prefix
run_tests "e2e_tests in a 32-bit prefix" e2e_tests_win32 e2e_tests.exe \
  --gtest_filter='SaveTest.ANewGlobalFolderAndAnAddedProgramAreWrittenWithTheirFoldersAndTheProgramExits:Ways/AboutBoxWayTest.OpensTheAboutBoxWithTheProductVersionAndYearLines/HelpAboutCommand'

failed=$((failed + broken))
echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ] && [ "$passed" -gt 0 ]
