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
  install_wine_fonts
  # Every real Windows has this key; a fresh Wine prefix does not.
  wine reg add "HKLM\\SOFTWARE\\Microsoft\\Windows\\Windows Error Reporting" /reg:64 /f > /dev/null 2>&1
  # Without a window manager under Xvfb, Wine waits for one on every window it manages; windows
  # that Wine decorates itself close at once.
  wine reg add "HKCU\\Software\\Wine\\X11 Driver" /v Managed /d N /f > /dev/null 2>&1
  # Let this server end, so that the programs started next get one that knows the display.
  wineserver -w
}

# Dialogs ask for "MS Shell Dlg", which Windows draws in Tahoma; caption buttons are drawn with
# Marlett. Wine ships both (Debian's fonts-wine) but does not find them by itself here: without them
# it draws dialogs in the much wider DejaVu Sans and caption buttons as letters. Copied into the
# prefix's Fonts folder before any program starts, they are used. Tahoma goes in without its
# 'gasp' table, so that Wine draws its text as wide as it measures it (see
# tools/font_without_gasp.py). Safe to run again.
install_wine_fonts() {
  local source="" folder target="$WINEPREFIX/drive_c/windows/Fonts" font name
  for folder in /usr/share/wine/fonts /usr/local/share/wine/fonts /opt/wine*/share/wine/fonts; do
    [ -f "$folder/tahoma.ttf" ] && { source=$folder; break; }
  done
  if [ -z "$source" ]; then
    echo "Wine's Tahoma and Marlett were not found (package fonts-wine): dialogs are drawn in another font"
    return 0
  fi
  mkdir -p "$target"
  for font in "$source"/tahoma*.ttf "$source"/marlett.ttf; do
    name=$(basename "$font")
    [ -f "$font" ] || { echo "Wine's font $name is missing in $source"; continue; }
    case $name in
      tahoma*) python3 "$root/tools/font_without_gasp.py" "$font" "$target/$name.new" || continue ;;
      *) cp "$font" "$target/$name.new" ;;
    esac
    if cmp -s "$target/$name.new" "$target/$name"; then rm -f "$target/$name.new"; else mv -f "$target/$name.new" "$target/$name"; fi
  done
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
