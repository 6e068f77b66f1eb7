# Browser and Dralin mail integration: a Mosaic-family browser whose
# mosaic.ini has viewers of its own, Netscape Navigator with viewer settings
# of its own in its keys below HKEY_CURRENT_USER (among them a description
# of GIF pictures, a type it does not list), and the Dralin mail program,
# whose maildr.ini lies beside the network kit's netkit.ini that NETKIT
# names.
# The script asks each module, integrates, and shows the settings after;
# the browsers' settings are shown again after browserlink's removal.
section "Browser and Dralin mail integration (browserlink, netmaillink)"

mkdir -p "$C/SorbixSetup" "$C/Dralin"
cp "$BIN/browserlink.dll" "$BIN/netmaillink.dll" "$C/SorbixSetup/"
printf '%s\r\n' \
  '[MIME Types]' 'TYPE0=application/x-sorbix' 'TYPE1=application/msword' 'TYPE2=image/gif' \
  '[MIME Suffixes]' 'application/x-sorbix=.sbx' 'application/msword=.doc,.dot' 'image/gif=.gif' \
  '[Encodings]' 'application/x-sorbix=binary' 'application/msword=binary' \
  '[MIME Descriptions]' 'application/x-sorbix=Sorbix document' \
  'application/msword=Word document' 'image/gif=GIF picture' > "$C/SorbixSetup/depend.ini"
printf '%s\r\n' \
  '[Main]' 'Home Page=http://www.example.com/' \
  '[Viewers]' 'TYPE0=audio/wav' 'TYPE1=application/msword' 'TYPE2=image/gif' \
  'audio/wav=C:\WINDOWS\MPLAYER.EXE %s' 'application/msword=C:\WINWORD\WINWORD.EXE %s' \
  'image/gif=C:\LVIEW\LVIEW.EXE %s' \
  '[Suffixes]' 'audio/wav=.wav' 'application/msword=.doc' 'image/gif=.gif' \
  '[Encodings]' 'application/msword=binary' \
  '[MIME Descriptions]' 'application/msword=Word for Windows' > "$C/windows/mosaic.ini"
navigator='HKCU\SOFTWARE\Netscape\Netscape Navigator'
navigator_value() { /usr/lib/wine/wine64 reg add "$navigator\\$1" /v "$2" /d "$3" /f >/dev/null 2>&1; }
navigator_value 'Main' 'Home Page' 'http://home.example.com/'
navigator_value 'Viewers' 'TYPE0' 'application/msword'
navigator_value 'Viewers' 'TYPE1' 'text/plain'
navigator_value 'Viewers' 'application/msword' 'C:\WINWORD\WINWORD.EXE %s'
navigator_value 'Viewers' 'text/plain' 'NOTEPAD.EXE %s'
navigator_value 'Suffixes' 'application/msword' '.doc'
navigator_value 'Encodings' 'application/msword' '7bit'
navigator_value 'MIME Descriptions' 'application/msword' 'Microsoft Word'
navigator_value 'MIME Descriptions' 'image/gif' 'CompuServe GIF'
printf '%s\r\n' '[Network]' 'Protocol=TCP' > "$C/Dralin/NETKIT.INI"
printf '%s\r\n' '[Viewers]' 'default=C:\DRALIN\VIEWER.EXE' 'text/plain=NOTEPAD.EXE' \
  > "$C/Dralin/maildr.ini"

NETKIT='C:\Dralin\NETKIT.INI' run_host "$DEMO/browser-netmail.script"
