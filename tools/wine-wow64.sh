#!/usr/bin/env bash
# wine-wow64.sh SOURCE [--probe]: prints the bin folder of a WoW64 Wine (one
# that runs 32-bit Windows programs on a kernel without 32-bit ELF support).
# With --probe it also runs one of that Wine's own 32-bit programs in a
# throwaway prefix, and exits 3 when this machine cannot run 32-bit code.
# SOURCE is a folder holding such a Wine (its bin/wine, or a wine-wow64/
# folder with one) or a .tar.xz/.tar.gz of one, unpacked once into a cache
# outside the tree: ${XDG_CACHE_HOME:-~/.cache}/sorbix/<tarball name>-<hash>.
set -euo pipefail

how_to_get_one() {
  cat >&2 <<'TEXT'
make test32 needs a WoW64 Wine (Wine built with --enable-archs=i386,x86_64):
Debian's wine packages cannot run 32-bit programs on this kernel.
Give it one with WINE_WOW64, as a folder or a tarball, for example
  make test32 WINE_WOW64=/work/shared/tools/wine-wow64/wine-wow64-10.0-bookworm.tar.xz
  make test32 WINE_WOW64=$HOME/wine-wow64        (a folder holding bin/wine)
To make one: the build script beside the shared tarball
(tools/wine-wow64/build-wine.sh, then package.sh) builds Wine 10.0 in that
mode from Debian's own source package; it takes about an hour on two cores.
TEXT
}

source=${1:-}
probe=${2:-}
if [ -z "$source" ]; then
  echo "WINE_WOW64 is not set." >&2
  how_to_get_one
  exit 2
fi
if [ ! -e "$source" ]; then
  echo "WINE_WOW64: $source does not exist." >&2
  how_to_get_one
  exit 2
fi
source=$(realpath "$source")

# A folder (given, or unpacked from a tarball) holding bin/wine directly or
# in one subfolder.
find_bin() {
  local dir
  for dir in "$1" "$1"/*/; do
    dir=${dir%/}
    if [ -x "$dir/bin/wine" ] && [ -x "$dir/bin/wineserver" ]; then
      echo "$dir/bin"
      return 0
    fi
  done
  return 1
}

# A 64-bit process of the new WoW64 mode runs 32-bit code in the kernel's
# 32-bit user code segment. Some virtual machines' kernels have none (seen on
# a PVM guest: the GDT lacks it and LDT entries are not honoured): every
# 32-bit program then dies at its first instruction.
probe_32bit_code() {
  local bin=$1 prefix status
  prefix=$(mktemp -d)
  { WINEPREFIX=$prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" \
      "$bin/wine" "$bin/../lib/wine/i386-windows/hostname.exe" >/dev/null 2>&1; } 2>/dev/null
  status=$?
  WINEPREFIX=$prefix "$bin/wineserver" -k >/dev/null 2>&1 || true
  WINEPREFIX=$prefix "$bin/wineserver" -w >/dev/null 2>&1 || true
  rm -rf "$prefix"
  if [ "$status" -ne 0 ]; then
    local hypervisor
    hypervisor=$(dmesg 2>/dev/null | sed -n 's/.*Hypervisor detected: //p' | head -1)
    echo "This machine cannot run 32-bit code: the WoW64 Wine's own 32-bit" \
         "hostname.exe ended with status $status. The kernel offers no 32-bit user" \
         "code segment to 64-bit processes here${hypervisor:+ (hypervisor: $hypervisor)}." >&2
    return 3
  fi
}

# Prints the bin folder and, when asked, probes it.
found() {
  echo "$1"
  if [ "$probe" = --probe ]; then
    probe_32bit_code "$1" || exit 3
  fi
  exit 0
}

if [ -d "$source" ]; then
  if ! bin=$(find_bin "$source"); then
    echo "WINE_WOW64: $source holds no bin/wine and bin/wineserver." >&2
    how_to_get_one
    exit 2
  fi
  found "$bin"
fi

case $source in
*.tar.xz | *.txz | *.tar.gz | *.tgz) ;;
*)
  echo "WINE_WOW64: $source is neither a folder nor a .tar.xz/.tar.gz." >&2
  how_to_get_one
  exit 2
  ;;
esac

# Unpacked once per tarball content: the name carries part of its hash.
cache=${XDG_CACHE_HOME:-$HOME/.cache}/sorbix
hash=$(sha256sum "$source" | cut -c1-16)
name=$(basename "$source")
target="$cache/${name%%.t*}-$hash"
if [ ! -f "$target/.unpacked" ]; then
  mkdir -p "$cache"
  staging=$(mktemp -d "$cache/.unpack.XXXXXX")
  echo "Unpacking $name into $target (once)" >&2
  if ! tar -xf "$source" -C "$staging"; then
    rm -rf "$staging"
    echo "WINE_WOW64: cannot unpack $source." >&2
    exit 2
  fi
  rm -rf "$target"
  mv "$staging" "$target"
  touch "$target/.unpacked"
fi
if ! bin=$(find_bin "$target"); then
  echo "WINE_WOW64: $source holds no bin/wine and bin/wineserver." >&2
  how_to_get_one
  exit 2
fi
found "$bin"
