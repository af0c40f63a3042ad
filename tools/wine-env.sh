#!/usr/bin/env bash
# Sourced by the run, test and benchmark commands: a Wine prefix of our own under build/ (64-bit,
# so that the 32-bit program meets real registry redirection), created on first use, and helpers
# to start and stop an Xvfb display. Never touches the user's own prefix.
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
export WINEPREFIX="${KESTRUNE_WINEPREFIX:-$root/build/wineprefix}"
export WINEARCH=win64
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="

prepare_prefix() {
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    echo "Creating Wine prefix $WINEPREFIX"
    mkdir -p "$WINEPREFIX"
    wineboot -i > /dev/null 2>&1 || true
    wineserver -w
  fi
  # Every real Windows has this key; a fresh Wine prefix does not.
  wine reg add "HKLM\\SOFTWARE\\Microsoft\\Windows\\Windows Error Reporting" /reg:64 /f > /dev/null 2>&1
  # Without a window manager under Xvfb, Wine waits for one on every window it manages; windows
  # that Wine decorates itself close at once.
  wine reg add "HKCU\\Software\\Wine\\X11 Driver" /v Managed /d N /f > /dev/null 2>&1
  # Let this server end, so that the programs started next get one that knows the display.
  wineserver -w
}

XVFB_PID=""
start_display() {
  # KESTRUNE_DISPLAY_BASE keeps runs that share a machine (several work trees) on apart displays.
  # The screen size (WIDTHxHEIGHT) may be given; 1280x1024 otherwise.
  local n=${KESTRUNE_DISPLAY_BASE:-90}
  while [ -e "/tmp/.X${n}-lock" ] || [ -e "/tmp/.X11-unix/X${n}" ]; do n=$((n + 1)); done
  Xvfb ":$n" -screen 0 "${1:-1280x1024}x24" -nolisten tcp > /dev/null 2>&1 &
  XVFB_PID=$!
  export DISPLAY=":$n"
  for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X${n}" ] && break; sleep 0.1; done
}

stop_display() {
  wineserver -k > /dev/null 2>&1 || true
  if [ -n "$XVFB_PID" ]; then kill "$XVFB_PID" 2> /dev/null || true; wait "$XVFB_PID" 2> /dev/null || true; fi
  XVFB_PID=""
}
