#!/usr/bin/env bash
# Builds what make demo runs, and nothing else: the 64-bit DLLs, the setup
# script host and the stand-ins of the host applications (the demo target
# of the win64 tree; not GoogleTest, not the tests). Quiet when all is built.
set -euo pipefail
build=$1
jobs=${2:-2}
log="$build/demo-build.log"
mkdir -p "$build"
if [ ! -f "$build/win64/CMakeCache.txt" ]; then
  echo "make demo: first build of the 64-bit DLLs, the setup script host and the stand-ins"
  echo "           (a few minutes; the compiler's output goes to $log)"
fi
if ! { cmake --preset win64 -B "$build/win64" && cmake --build "$build/win64" --target demo -j "$jobs"; } \
     >"$log" 2>&1; then
  tail -40 "$log"
  echo "make demo: the build failed; the whole output is in $log" >&2
  exit 1
fi
