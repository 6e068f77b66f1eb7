#!/usr/bin/env bash
# make bench: times updateRegHard against a plain loop of the same registry
# calls, in one process under Wine on a fresh prefix of its own, and prints
# both medians and their ratio.
set -euo pipefail
build=$(realpath "${1:-build}")
root=$(cd "$(dirname "$0")/.." && pwd)
prefix="$build/bench-prefix"
export WINEPREFIX="$prefix"

"$root/tests/wine/prefix.sh" fresh "$prefix"
trap '"$root/tests/wine/prefix.sh" stop "$prefix"' EXIT
# Output to a file first: Wine's helpers would hold a pipe open.
out=$(mktemp)
"$root/tests/wine/run-under-wine.sh" "$build/win64/bin/configuration_bench.exe" >"$out" 2>&1
cat "$out"
rm -f "$out"
