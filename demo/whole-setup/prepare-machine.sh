# prepare_whole_setup_machine: lays out, in the prefix at $C, the setup's own
# files (from $BIN and $DEMO) and the host applications' stand-ins, each with
# settings of its own. Used by the whole-setup demo step and by make bench.
prepare_whole_setup_machine() {
  # The setup's own files, and what the setup program copies to the viewer's home.
  mkdir -p "$C/SorbixSetup" "$C/Program Files/Sorbix"
  cp "$BIN/sxinsres.dll" "$BIN/eudoralink.dll" "$BIN/browserlink.dll" "$BIN/netmaillink.dll" \
     "$BIN/msmaillink.dll" "$BIN/filemgrlink.dll" "$BIN/pluginlink.dll" "$C/SorbixSetup/"
  cp "$DEMO/configuration/install.ini" "$DEMO/configuration/version.ini" \
     "$DEMO/configuration/PLUGINLINK.INI" "$DEMO/whole-setup/depend.ini" "$C/SorbixSetup/"
  sed 's/$/\r/' "$DEMO/registration-setup.ini" > "$C/SorbixSetup/setup.ini"
  cp "$BIN/launch_manager.dll" "$C/Program Files/Sorbix/txlm.dll"
  printf "the viewer's Eudora plug-in\r\n" > "$C/Program Files/Sorbix/SORBIXEU.DLL"

  # The host applications, each with settings of its own.
  printf '%s\r\n' '[Main]' 'Home Page=http://www.example.com/' \
    '[Viewers]' 'TYPE0=audio/wav' 'TYPE1=application/msword' 'TYPE2=video/mpeg' \
    'audio/wav=C:\WINDOWS\MPLAYER.EXE %s' 'application/msword=C:\WINWORD\WINWORD.EXE %s' \
    'video/mpeg=C:\MPEGPLAY\MPEGPLAY.EXE %s' \
    '[Suffixes]' 'audio/wav=.wav' 'application/msword=.doc' 'video/mpeg=.mpg,.mpeg' \
    '[Encodings]' 'application/msword=binary' 'video/mpeg=binary' \
    '[MIME Descriptions]' 'audio/wav=Wave sound' 'application/msword=Word for Windows' \
    > "$C/windows/mosaic.ini"
  printf '%s\r\n' '[Settings]' 'LowerCase=1' '[AddOns]' 'Network=netext.dll' > "$C/windows/winfile.ini"
  mkdir -p "$C/Dralin"
  printf '%s\r\n' '[Network]' 'Protocol=TCP' > "$C/Dralin/NETKIT.INI"
  printf '%s\r\n' '[Viewers]' 'default=C:\DRALIN\VIEWER.EXE' 'text/plain=NOTEPAD.EXE' > "$C/Dralin/maildr.ini"
  mkdir -p "$C/Eudora/plugins"
  cp "$BIN/eudora_3010.exe" "$C/Eudora/EUDORA.EXE"
  printf 'an address-book plug-in of Eudora\r\n' > "$C/Eudora/plugins/ABOOK.DLL"
  demo_reg() { /usr/lib/wine/wine64 reg add "$@" /f >/dev/null 2>&1; }
  demo_reg 'HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion\App Paths\EUDORA.EXE' /ve /d 'C:\Eudora\EUDORA.EXE'
  demo_reg 'HKCU\SOFTWARE\Microsoft\Mail\Microsoft Mail' /v Login /d demo-user
  demo_reg 'HKCU\SOFTWARE\Microsoft\Mail\Microsoft Mail' /v Polling /d 10
  demo_reg 'HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion\SharedDLLs' /v 'C:\WINDOWS\SYSTEM\MFC40.DLL' /t REG_DWORD /d 3
  demo_reg 'HKLM\SOFTWARE\Microsoft\Windows\Help' /v notepad.hlp /d 'C:\WINDOWS\HELP'
  # Netscape Navigator, its viewer settings in its keys below HKEY_CURRENT_USER:
  # a viewer of its own for Word, and its own description of GIF pictures,
  # a type it does not list.
  local navigator='HKCU\SOFTWARE\Netscape\Netscape Navigator'
  demo_reg "$navigator\Main" /v 'Home Page' /d 'http://home.example.com/'
  demo_reg "$navigator\Viewers" /v TYPE0 /d 'application/msword'
  demo_reg "$navigator\Viewers" /v TYPE1 /d 'video/mpeg'
  demo_reg "$navigator\Viewers" /v 'application/msword' /d 'C:\WINWORD\WINWORD.EXE %s'
  demo_reg "$navigator\Viewers" /v 'video/mpeg' /d 'C:\MPEGPLAY\MPEGPLAY.EXE %s'
  demo_reg "$navigator\Suffixes" /v 'application/msword' /d '.doc'
  demo_reg "$navigator\Suffixes" /v 'video/mpeg' /d '.mpg,.mpeg'
  demo_reg "$navigator\Encodings" /v 'application/msword' /d 'binary'
  demo_reg "$navigator\MIME Descriptions" /v 'application/msword' /d 'Microsoft Word'
  demo_reg "$navigator\MIME Descriptions" /v 'image/gif' /d 'CompuServe GIF'
}
