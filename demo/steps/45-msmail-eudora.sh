# Microsoft Mail and Eudora integrations, end to end. Stand-ins: the current
# user's Microsoft Mail key with a Login; an Eudora 3.0.1.0 directory found
# through App Paths, with a plug-in of its own; the viewer's home holding the
# Eudora plug-in. After each step the script prints the settings it changed,
# and the step lists Eudora's plugins directory.
mkdir -p "$C/SorbixSetup"
cp "$BIN/msmaillink.dll" "$BIN/eudoralink.dll" "$C/SorbixSetup/"

section "Microsoft Mail integration (msmaillink)"
/usr/lib/wine/wine64 reg add 'HKCU\SOFTWARE\Microsoft\Mail\Microsoft Mail' \
  /v Login /d demo-user /f >/dev/null 2>&1
/usr/lib/wine/wine64 reg add 'HKCU\SOFTWARE\Microsoft\Mail\Microsoft Mail' \
  /v Polling /d 10 /f >/dev/null 2>&1
run_host "$DEMO/msmail.script" --diff

section "Eudora integration (eudoralink)"
mkdir -p "$C/Eudora/plugins" "$C/Program Files/Sorbix"
cp "$BIN/eudora_3010.exe" "$C/Eudora/EUDORA.EXE"
printf 'an address-book plug-in of Eudora\r\n' > "$C/Eudora/plugins/ABOOK.DLL"
printf "the viewer's Eudora plug-in\r\n" > "$C/Program Files/Sorbix/SORBIXEU.DLL"
/usr/lib/wine/wine64 reg add \
  'HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion\App Paths\EUDORA.EXE' \
  /ve /d 'C:\Eudora\EUDORA.EXE' /f >/dev/null 2>&1
/usr/lib/wine/wine64 reg add 'HKLM\SOFTWARE\Quorvane\Sorbix\GENERAL' \
  /v HOME /d 'C:\Program Files\Sorbix' /f >/dev/null 2>&1

list_eudora_plugins() {
  printf "\n"
  echo "C:\\Eudora\\plugins holds:"
  (cd "$C/Eudora/plugins" && for f in *; do printf '  %s: %s' "$f" "$(cat "$f")"; echo; done)
}
list_eudora_plugins
run_host "$DEMO/eudora-integrate.script"
list_eudora_plugins
run_host "$DEMO/eudora-remove.script"
list_eudora_plugins
