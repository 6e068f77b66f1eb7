#!/bin/sh
# Runs a 32-bit Windows program under the WoW64 Wine in the 32-bit test
# prefix, silently. CTest uses it as the cross-compiling emulator of the
# i686 test build; make test32 sets SORBIX_WINE_BIN and WINEPREFIX.
here=$(cd "$(dirname "$0")" && pwd)
: "${WINEPREFIX:=$here/../../build/wineprefix32}"
if [ -z "$SORBIX_WINE_BIN" ]; then
  echo "run-under-wine32.sh: SORBIX_WINE_BIN is not set (make test32 sets it)" >&2
  exit 2
fi
export WINEPREFIX
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
exec "$SORBIX_WINE_BIN/wine" "$@"
