#!/usr/bin/env bash
# Runs every test of a build folder: a fresh Wine prefix for the 64-bit
# tests, with one wineserver kept up for the run and stopped at the end.
set -uo pipefail
build=$(realpath "${1:-build}")
root=$(cd "$(dirname "$0")/.." && pwd)
prefix="$build/wineprefix"
export WINEPREFIX="$prefix"

"$root/tests/wine/prefix.sh" fresh "$prefix"
trap '"$root/tests/wine/prefix.sh" stop "$prefix"' EXIT

passed=0
failed=0
status=0
for tree in win32 win64 native; do
  echo "== $tree =="
  log=$(mktemp)
  ctest --test-dir "$build/$tree" --output-on-failure 2>&1 | tee "$log"
  [ "${PIPESTATUS[0]}" -eq 0 ] || status=1
  if line=$(grep -E '[0-9]+ tests failed out of [0-9]+' "$log"); then
    f=$(sed -E 's/.* ([0-9]+) tests failed out of ([0-9]+).*/\1/' <<<"$line")
    t=$(sed -E 's/.* ([0-9]+) tests failed out of ([0-9]+).*/\2/' <<<"$line")
    passed=$((passed + t - f))
    failed=$((failed + f))
  else
    status=1
  fi
  rm -f "$log"
done
echo "$passed passed, $failed failed"
exit $status
