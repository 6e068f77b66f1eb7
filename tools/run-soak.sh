#!/usr/bin/env bash
# Runs the generated round trip on many machines in a Wine prefix of its own:
# SOAK_MACHINES machines (2000 by default) from SOAK_FIRST_SEED (a new one
# each run unless given). Prints the seed of every machine that failed, and
# how often each known loss came up. SOAK_SEED=N runs machine N alone and
# shows all it did.
set -uo pipefail
build=$(realpath "${1:-build}")
root=$(cd "$(dirname "$0")/.." && pwd)
prefix="$build/soak-prefix"
export WINEPREFIX="$prefix"
exe="$build/win64/bin/generated_roundtrip_test.exe"

"$root/tests/wine/prefix.sh" fresh "$prefix"
trap '"$root/tests/wine/prefix.sh" stop "$prefix"' EXIT

if [ -n "${SOAK_SEED:-}" ]; then
  ROUNDTRIP_SEED=$SOAK_SEED "$root/tests/wine/run-under-wine.sh" "$exe"
  exit $?
fi

machines=${SOAK_MACHINES:-2000}
first=${SOAK_FIRST_SEED:-$(( (RANDOM << 15 | RANDOM) * 1000 + 1000 ))}
log="$build/soak.log"
echo "soak: $machines machines from seed $first (log: $log)"
start=$(date +%s)
ROUNDTRIP_MACHINES=$machines ROUNDTRIP_FIRST_SEED=$first \
  "$root/tests/wine/run-under-wine.sh" "$exe" --gtest_brief=1 >"$log" 2>&1
status=$?
seconds=$(( $(date +%s) - start ))

failed=$(grep -E '^\[  FAILED  \] .*seed_[0-9]+' "$log" | grep -oE 'seed_[0-9]+' | sort -u | sed 's/seed_//' | sort -n)
count=$(printf '%s' "$failed" | grep -c . || true)
echo "$machines machines in ${seconds} s: $((machines - count)) passed, $count failed"
grep -oE 'known losses:.*' "$log" | grep -oE '\[[^]]*\]' | sort | uniq -c | sort -rn |
  sed 's/^/  known loss on machines: /'
for seed in $failed; do
  echo "  failed: SOAK_SEED=$seed make soak"
done
if [ "$status" -ne 0 ] && [ "$count" -eq 0 ]; then
  tail -20 "$log"
fi
exit $status
