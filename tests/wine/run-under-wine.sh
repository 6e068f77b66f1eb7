#!/bin/sh
# Runs a 64-bit Windows program under Wine in the test prefix, silently.
# CTest uses it as the cross-compiling emulator; make test sets WINEPREFIX.
here=$(cd "$(dirname "$0")" && pwd)
: "${WINEPREFIX:=$here/../../build/wineprefix}"
export WINEPREFIX
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
exec /usr/lib/wine/wine64 "$@"
