#!/usr/bin/env bash
# The REGEDIT4 text the host exports imports whole: the viewer's whole
# configuration is written in the test prefix and exported with
# --export-reg; Wine's own "regedit /S" imports the file into a clean
# prefix; there every watched value must equal, type and bytes, what the
# test prefix held (the host's --diff-from against the state saved there).
#   regedit_reimport.sh BIN SOURCE_DIR WORK_DIR   (WINEPREFIX: the test prefix)
set -euo pipefail
bin=$(realpath "$1")
root=$(realpath "$2")
work=$(realpath -m "$3")
: "${WINEPREFIX:?the test prefix}"
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
wine=/usr/lib/wine/wine64
clean_prefix="$work/clean-prefix"
setup="$WINEPREFIX/drive_c/sorbix-reimport"

windows_path() { printf 'Z:%s' "$(realpath -m "$1" | sed 's|/|\\|g')"; }
host() { "$wine" "$bin/setuphost.exe" --dir "$(windows_path "$bin")" "$@"; }
fail() { echo "FAILED: $*" >&2; exit 1; }

# What the configuration writes is removed again, whatever happens; a maker
# key ("SOFTWARE\Quorvane") that was there before (empty, as other tests may
# leave it) stays.
viewer_keys=('HKLM\SOFTWARE\Quorvane\Sorbix' 'HKCR\SOFTWARE\Quorvane\Sorbix'
  'HKCR\CLSID\{4e8b1d62-7c3a-45f0-9b2d-8a61c0e5f7a4}'
  'HKCR\*\shellex\ContextMenuHandlers\{4e8b1d62-7c3a-45f0-9b2d-8a61c0e5f7a4}')
maker_keys=()
for key in 'HKLM\SOFTWARE\Quorvane' 'HKCR\SOFTWARE\Quorvane'; do
  "$wine" reg query "$key" >/dev/null 2>&1 || maker_keys+=("$key")
done
clean_up() {
  for key in "${viewer_keys[@]}" "${maker_keys[@]}"; do "$wine" reg delete "$key" /f >/dev/null 2>&1 || true; done
  "$wine" reg delete 'HKLM\SOFTWARE\Microsoft\Windows\help' /v sorbix.hlp /f >/dev/null 2>&1 || true
  rm -rf "$setup"
  WINEPREFIX="$clean_prefix" "$root/tests/wine/prefix.sh" stop "$clean_prefix"
  rm -rf "$clean_prefix"
}
for key in "${viewer_keys[@]}"; do
  if "$wine" reg query "$key" >/dev/null 2>&1; then fail "$key is there before the test"; fi
done
trap clean_up EXIT
rm -rf "$work" && mkdir -p "$work" "$setup"

cp "$bin/sxinsres.dll" "$bin/pluginlink.dll" "$root/demo/configuration/version.ini" \
   "$root/demo/configuration/PLUGINLINK.INI" "$setup/"
sed 's/$/\r/' "$root/demo/registration-setup.ini" > "$setup/setup.ini"
{
  echo 'updateRegHard 0 "C:\Program Files\Sorbix" 0 "SX-1997-0042" "C:\sorbix-reimport\version.ini"'
  for section in VWPINFO SPREADSHEETINFO INTERUTILINFO INTERN MULTIMEDINFO SWPINFO TWPINFO SPICINFO \
                 TPICINFO VIEWENGINEINFO; do
    echo ".walk \"C:\\sorbix-reimport\\setup.ini\" \"$section\" \"C:\\Program Files\\Sorbix\""
  done
  echo 'LoadPlug 0 "pluginlink.dll" "C:\Program Files\Sorbix" "C:\sorbix-reimport"'
} > "$work/configure.script"
echo '.echo "the state is read"' > "$work/read.script"

host "$(windows_path "$work/configure.script")" > "$work/configure.out" 2>&1 \
  || { cat "$work/configure.out"; fail "the configuration did not run"; }
host --save-state "$(windows_path "$work/configured.state")" \
  --export-reg "$(windows_path "$work/configured.reg")" "$(windows_path "$work/read.script")" \
  > "$work/export.out" 2>&1 || { cat "$work/export.out"; fail "the export did not run"; }

# The export holds the whole configuration, the multimedia URL (a text
# ending in a line feed) as hex bytes among it.
reg="$work/configured.reg"
grep -q $'^"URL"=hex(1):68,74,74,70,3a,.*,0a,00\r$' "$reg" || fail "no URL line in hex(1) form in $reg"
values=$(grep -c '^["@]' "$reg")
[ "$values" -gt 400 ] || fail "only $values values exported"
echo "exported $values values in $(grep -c '^\[' "$reg") keys"

"$root/tests/wine/prefix.sh" fresh "$clean_prefix"
WINEPREFIX="$clean_prefix" "$wine" regedit /S "$(windows_path "$reg")" >/dev/null 2>&1 \
  || fail "regedit /S refused $reg"
WINEPREFIX="$clean_prefix" host --diff-from "$(windows_path "$work/configured.state")" \
  "$(windows_path "$work/read.script")" > "$work/compare.out" 2>&1 \
  || { cat "$work/compare.out"; fail "the comparison did not run"; }
if ! grep -qz -e $'-- What differs from the saved state:\nnothing\n' <(tr -d '\r' < "$work/compare.out"); then
  cat "$work/compare.out"
  fail "the imported values differ from the exported ones"
fi
echo "every value came back byte for byte"
