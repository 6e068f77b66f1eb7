#!/usr/bin/env bash
# Runs the generated round trip on many machines in a Wine prefix of its own:
# SOAK_MACHINES machines (2000 by default) from SOAK_FIRST_SEED (a new one
# each run unless given), in two passes: the machines of code page 1252, then
# those of code page 932 under the Japanese locale. Prints the seed of every
# machine that failed, and on how many machines each known loss came up.
# SOAK_SEED=N runs machine N alone and shows its settings and differences.
set -uo pipefail
build=$(realpath "${1:-build}")
root=$(cd "$(dirname "$0")/.." && pwd)
prefix="$build/soak-prefix"
export WINEPREFIX="$prefix"
exe="$build/win64/bin/generated_roundtrip_test.exe"
japanese=(env LOCPATH="$build/win64/locale" LANG=ja_JP.UTF-8 LC_ALL=ja_JP.UTF-8 ROUNDTRIP_CODE_PAGE=932)

# The Japanese locale, compiled by the same test fixture the double-byte
# tests use.
ctest --test-dir "$build/win64" -R '^double_byte_locale$' >/dev/null ||
  { echo "soak: cannot compile the ja_JP.UTF-8 locale" >&2; exit 1; }

"$root/tests/wine/prefix.sh" fresh "$prefix"
trap '"$root/tests/wine/prefix.sh" stop "$prefix"' EXIT

if [ -n "${SOAK_SEED:-}" ]; then
  ROUNDTRIP_SEED=$SOAK_SEED "$root/tests/wine/run-under-wine.sh" "$exe" | grep -v 'runs under code page'
  status=${PIPESTATUS[0]}
  ROUNDTRIP_SEED=$SOAK_SEED "${japanese[@]}" "$root/tests/wine/run-under-wine.sh" "$exe" |
    grep -v 'runs under code page' | grep -v '^\[' || true
  exit $status
fi

machines=${SOAK_MACHINES:-2000}
first=${SOAK_FIRST_SEED:-$(( (RANDOM << 15 | RANDOM) * 1000 + 1000 ))}
log="$build/soak.log"
echo "soak: $machines machines from seed $first (log: $log)"
start=$(date +%s)
export ROUNDTRIP_MACHINES=$machines ROUNDTRIP_FIRST_SEED=$first
"$root/tests/wine/run-under-wine.sh" "$exe" --gtest_brief=1 >"$log" 2>&1
status=$?
"${japanese[@]}" "$root/tests/wine/run-under-wine.sh" "$exe" --gtest_brief=1 >>"$log" 2>&1
[ $? -eq 0 ] || status=1
seconds=$(( $(date +%s) - start ))

failed=$(grep -E '^\[  FAILED  \] .*seed_[0-9]+' "$log" | grep -oE 'seed_[0-9]+' | sed 's/seed_//' | sort -nu)
count=$(printf '%s' "$failed" | grep -c . || true)
echo "$machines machines in ${seconds} s: $((machines - count)) passed, $count failed"
grep -oE 'known losses:.*' "$log" | grep -oE '\[[^]]*\]' | sort | uniq -c | sort -rn |
  sed 's/^ */  known loss, machines: /'
for seed in $failed; do
  echo "  failed: SOAK_SEED=$seed make soak"
done
if [ "$status" -ne 0 ] && [ "$count" -eq 0 ]; then
  tail -20 "$log"
fi
exit $status
