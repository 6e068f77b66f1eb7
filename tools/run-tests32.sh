#!/usr/bin/env bash
# run-tests32.sh BUILD WINE_WOW64: runs the whole suite on the shipped 32-bit
# DLLs. The i686 test build (BUILD/win32-tests) holds copies of
# BUILD/win32/bin's DLLs, checked here to be the same bytes; its programs run
# under the WoW64 Wine named by WINE_WOW64 (see tools/wine-wow64.sh) in a
# fresh prefix, BUILD/wineprefix32, with one wineserver kept up for the run.
set -uo pipefail
build=$(realpath "${1:-build}")
root=$(cd "$(dirname "$0")/.." && pwd)
start=$SECONDS

SORBIX_WINE_BIN=$("$root/tools/wine-wow64.sh" "${2:-}") || exit 2
export SORBIX_WINE_BIN
export WINEPREFIX="$build/wineprefix32"

# The DLLs under test are the deliverables, byte for byte.
shipped=0
for dll in "$build"/win32/bin/*.dll; do
  copy="$build/win32-tests/bin/$(basename "$dll")"
  if ! cmp -s "$dll" "$copy"; then
    echo "$copy is not the shipped $(basename "$dll")" >&2
    exit 1
  fi
  shipped=$((shipped + 1))
done
if [ "$shipped" -eq 0 ]; then
  echo "no shipped DLLs in $build/win32/bin" >&2
  exit 1
fi
echo "== win32 (i686 programs, the $shipped shipped DLLs of build/win32/bin, $("$SORBIX_WINE_BIN/wine" --version)) =="

"$root/tests/wine/prefix.sh" fresh "$WINEPREFIX"
trap '"$root/tests/wine/prefix.sh" stop "$WINEPREFIX"' EXIT
echo "fresh prefix in $((SECONDS - start)) s"

find "$build/win32-tests/tests" -type d -name gtest-results -prune -exec rm -rf {} + 2>/dev/null
log=$(mktemp)
ctest --test-dir "$build/win32-tests" --output-on-failure 2>&1 | tee "$log"
status=${PIPESTATUS[0]}

# What does not run on this build, and why: programs left out of it and
# tests that skip themselves.
echo "Tests that cannot run on the 32-bit build:"
left_out="$build/win32-tests/not-on-i686.txt"
skipped=$(find "$build/win32-tests/tests" -path '*/gtest-results/*.json' -print0 |
  xargs -0 -r python3 -c '
import json, os, sys
for path in sys.argv[1:]:
    program = os.path.splitext(os.path.basename(path))[0]
    for suite in json.load(open(path)).get("testsuites", []):
        for test in suite.get("testsuite", []):
            if test.get("result") == "SKIPPED":
                print("%s: %s.%s skipped itself (see its GTEST_SKIP at %s:%s)" % (
                    program, suite["name"], test["name"], test.get("file"), test.get("line")))
' | sort -u)
if [ ! -s "$left_out" ] && [ -z "$skipped" ]; then
  echo "  none"
else
  [ -s "$left_out" ] && sed 's/^/  /' "$left_out"
  [ -n "$skipped" ] && sed 's/^/  /' <<<"$skipped"
fi

passed=0
failed=0
if line=$(grep -E '[0-9]+ tests failed out of [0-9]+' "$log"); then
  f=$(sed -E 's/.* ([0-9]+) tests failed out of ([0-9]+).*/\1/' <<<"$line")
  t=$(sed -E 's/.* ([0-9]+) tests failed out of ([0-9]+).*/\2/' <<<"$line")
  passed=$((t - f))
  failed=$f
else
  status=1
fi
rm -f "$log"
echo "$passed passed, $failed failed (32-bit run: $((SECONDS - start)) s)"
exit $status
