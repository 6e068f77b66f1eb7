#!/usr/bin/env bash
# prefix.sh fresh DIR: makes a new headless Wine prefix in DIR and leaves one
#                      persistent wineserver running for it.
# prefix.sh stop DIR:  stops that wineserver.
# With SORBIX_WINE_BIN set (the bin folder of a WoW64 Wine, see
# tools/wine-wow64.sh) the prefix is that Wine's, else Debian's wine64's.
set -euo pipefail
action=$1
prefix=$(realpath -m "$2")
export WINEPREFIX=$prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
if [ -n "${SORBIX_WINE_BIN:-}" ]; then
  wine=$SORBIX_WINE_BIN/wine
  server=$SORBIX_WINE_BIN/wineserver
else
  wine=/usr/lib/wine/wine64
  server=/usr/lib/wine/wineserver
fi

case $action in
fresh)
  if [ -d "$prefix" ]; then
    "$server" -k >/dev/null 2>&1 || true
    rm -rf "$prefix"
  fi
  mkdir -p "$prefix"
  # Wine's helper processes inherit the output of the first program: keep
  # them off any pipe a runner reads.
  "$server" -p >/dev/null 2>&1
  "$wine" wineboot -i >/dev/null 2>&1
  # Windows without a display: the null graphics driver. The desktop process
  # that wineboot started still has the old driver, and the first window of
  # a program would wait ten seconds for it: restart the server so that the
  # desktop starts again with the null driver.
  "$wine" reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d null /f >/dev/null 2>&1
  "$server" -k >/dev/null 2>&1 || true
  "$server" -w >/dev/null 2>&1 || true
  "$server" -p >/dev/null 2>&1
  # Start the helper processes again, away from any pipe.
  "$wine" wineboot >/dev/null 2>&1
  ;;
stop)
  "$server" -k >/dev/null 2>&1 || true
  ;;
*)
  echo "usage: $0 fresh|stop DIR" >&2
  exit 2
  ;;
esac
