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

"$ROOT/tests/wine/prefix.sh" fresh "$WINEPREFIX"
trap '"$ROOT/tests/wine/prefix.sh" stop "$WINEPREFIX"' EXIT

for step in "$DEMO"/steps/*.sh; do
  # shellcheck source=/dev/null
  source "$step"
done
