#!/usr/bin/env bash
# make bench: times updateRegHard against a plain loop of the same registry
# and profile calls, in one process under Wine on a fresh prefix of its own,
# and prints both medians and their ratio.
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

# The typical setup script on a machine with the host applications'
# stand-ins, several runs (the first installs, the others install again over
# it), beside a plain loop of as many registry and profile calls as the DLLs
# made in one run.
setup_prefix="$build/bench-setup-prefix"
"$root/tests/wine/prefix.sh" stop "$prefix"
export WINEPREFIX="$setup_prefix"
"$root/tests/wine/prefix.sh" fresh "$setup_prefix"
trap '"$root/tests/wine/prefix.sh" stop "$setup_prefix"' EXIT
BIN="$build/win64/bin"
DEMO="$root/demo"
C="$setup_prefix/drive_c"
source "$DEMO/whole-setup/prepare-machine.sh"
prepare_whole_setup_machine
runs=7
times=()
counts=""
for _ in $(seq 1 $runs); do
  NETKIT='C:\Dralin\NETKIT.INI' "$root/tests/wine/run-under-wine.sh" "$BIN/setuphost.exe" \
    --dir "Z:$(echo "$BIN" | sed 's|/|\\|g')" --measure \
    "Z:$(echo "$DEMO/typical.script" | sed 's|/|\\|g')" >"$out" 2>&1
  line=$(grep -- '-- Measured:' "$out" | tr -d '\r')
  times+=("$(sed -E 's/.*Measured: ([0-9.]+) ms.*/\1/' <<<"$line")")
  counts=$(sed -E 's/.*made by the DLLs: //' <<<"$line")
done
rm -f "$out"
median=$(printf '%s\n' "${times[@]}" | sort -n | sed -n "$(( (runs + 1) / 2 ))p")
count() { sed -E "s/.*$1=([0-9]+).*/\1/" <<<"$counts"; }
echo
echo "typical setup script: ${#times[@]} runs inside the exports: ${times[*]} ms"
echo "  median ${median} ms; calls made by the DLLs in one run: $counts"
raw=$(mktemp)
"$root/tests/wine/run-under-wine.sh" "$BIN/raw_calls_bench.exe" 41 \
  "$(count RegCreateKeyExA)" "$(count RegOpenKeyExA)" "$(count RegSetValueExA)" \
  "$(count RegQueryValueExA)" "$(count RegDeleteValueA)" "$(count RegCloseKey)" \
  "$(count GetPrivateProfileStringA)" "$(count WritePrivateProfileStringA)" >"$raw" 2>&1
tr -d '\r' <"$raw" | sed 's/^/  /'
rawMedian=$(tr -d '\r' <"$raw" | sed -nE 's/raw loop median ([0-9.]+) ms.*/\1/p')
rm -f "$raw"
awk -v s="$median" -v r="$rawMedian" 'BEGIN { printf "  setup / raw loop: %.2f\n", s / r }'
