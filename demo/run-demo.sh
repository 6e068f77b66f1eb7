#!/usr/bin/env bash
# make demo: runs the setup's main job under Wine on a fresh prefix. Every
# step in demo/steps runs in name order; see the README for what a step may use.
set -euo pipefail
BUILD=$(realpath "${1:-build}")
DEMO=$(cd "$(dirname "$0")" && pwd)
ROOT=$(dirname "$DEMO")
BIN="$BUILD/win64/bin"
export WINEPREFIX="$BUILD/demo-prefix"
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
C="$WINEPREFIX/drive_c"

section() {
  printf '\n==== %s ====\n\n' "$1"
}

# Runs a Windows program of the build quietly (Wine prints nothing of its own).
wine_run() {
  local program=$1
  shift
  /usr/lib/wine/wine64 "$BIN/$program" "$@"
}

# Runs a setup script with the setup script host, install.dll from $BIN.
run_host() {
  local script=$1
  shift
  wine_run setuphost.exe --dir "$(winepath_of "$BIN")" "$@" "$(winepath_of "$script")"
}

# The Windows form of a Linux path (through the prefix's Z: drive).
winepath_of() {
  printf 'Z:%s' "$(realpath "$1" | sed 's|/|\\|g')"
}

# A step that needs a machine of its own (nothing left by earlier steps)
# switches to a fresh prefix BUILD/NAME; later steps go on in it.
use_fresh_prefix() {
  "$ROOT/tests/wine/prefix.sh" stop "$WINEPREFIX"
  export WINEPREFIX="$BUILD/$1"
  C="$WINEPREFIX/drive_c"
  "$ROOT/tests/wine/prefix.sh" fresh "$WINEPREFIX"
}

"$ROOT/tests/wine/prefix.sh" fresh "$WINEPREFIX"
trap '"$ROOT/tests/wine/prefix.sh" stop "$WINEPREFIX"' EXIT

cat <<'LEGEND'
How to read what follows. The setup script host runs each script line by line:
  -- text                       the script's own note (.echo)
  > Export arguments            a call of install.dll, as the script wrote it
    = N                         the export's result (each script note says what
                                it means; docs/reference.md has every result)
    argument K, buffer(N): "..."  what the export wrote into a buffer the script
    argument K, out: N          passed, or into a 32-bit cell
    message box "caption" ...   a box the DLLs showed, and the button pressed
  [HKEY_...] and "name"=value     registry keys as REGEDIT4 text (.reg)
  file [section] key=value      INI file entries (.ini)
  + / - / ~ lines               what a run changed: added, removed, changed
LEGEND

for step in "$DEMO"/steps/*.sh; do
  # shellcheck source=/dev/null
  source "$step"
done
