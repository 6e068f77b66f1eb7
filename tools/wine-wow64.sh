#!/usr/bin/env bash
# wine-wow64.sh SOURCE: prints the bin folder of a WoW64 Wine (one that runs
# 32-bit Windows programs on a kernel without 32-bit ELF support).
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

if [ -d "$source" ]; then
  if ! find_bin "$source"; then
    echo "WINE_WOW64: $source holds no bin/wine and bin/wineserver." >&2
    how_to_get_one
    exit 2
  fi
  exit 0
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
if ! find_bin "$target"; then
  echo "WINE_WOW64: $source holds no bin/wine and bin/wineserver." >&2
  how_to_get_one
  exit 2
fi
