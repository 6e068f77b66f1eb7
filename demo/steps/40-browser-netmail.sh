# Browser and Dralin mail integration: a Mosaic-family browser whose
# mosaic.ini has viewers of its own, and the Dralin mail program, whose
# maildr.ini lies beside the network kit's netkit.ini that NETKIT names.
# The script asks each module, integrates, and shows the settings after.
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
printf '%s\r\n' '[Network]' 'Protocol=TCP' > "$C/Dralin/NETKIT.INI"
printf '%s\r\n' '[Viewers]' 'default=C:\DRALIN\VIEWER.EXE' 'text/plain=NOTEPAD.EXE' \
  > "$C/Dralin/maildr.ini"

NETKIT='C:\Dralin\NETKIT.INI' run_host "$DEMO/browser-netmail.script"
