# File Manager integration, end to end: a File Manager stand-in is running
# and winfile.ini has settings of its own; the script asks, integrates, asks
# again and removes, printing the add-on value and the INI entry each time.
section "File Manager integration (filemgrlink)"

mkdir -p "$C/SorbixSetup"
cp "$BIN/filemgrlink.dll" "$C/SorbixSetup/"
printf '[Settings]\r\nLowerCase=1\r\n[AddOns]\r\nNetwork=netext.dll\r\n' > "$C/windows/winfile.ini"

rm -f "$C/fm-ready"
wine_run file_manager_standin.exe --announce --ready-file 'C:\fm-ready' &
for _ in $(seq 1 500); do
  [ -e "$C/fm-ready" ] && break
  sleep 0.02
done

run_host "$DEMO/filemgr.script" --diff
