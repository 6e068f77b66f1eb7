#!/usr/bin/env bash
# Installs with apt-get what the build and the tests need, and does nothing
# when all of it is already there.
set -euo pipefail

missing=()
have() { command -v "$1" >/dev/null 2>&1; }
have i686-w64-mingw32-g++ && have x86_64-w64-mingw32-g++ || missing+=(mingw-w64)
[ -x /usr/lib/wine/wine64 ] && [ -x /usr/lib/wine/wineserver ] || missing+=(wine64 wine)
have cmake || missing+=(cmake)
[ -f /usr/src/googletest/CMakeLists.txt ] || missing+=(googletest)
have clang++ || missing+=(clang)
[ -n "$(ls /usr/lib/llvm-*/lib/clang/*/lib/linux/libclang_rt.asan-x86_64.a 2>/dev/null)" ] \
  || missing+=(libclang-rt-14-dev)
have python3 || missing+=(python3)
have makensis || missing+=(nsis)

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi
echo "Installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
apt-get update -qq
apt-get install -y -qq "${missing[@]}" >/dev/null
