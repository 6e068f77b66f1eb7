# The first half of a setup: is the viewer already there, may the registry
# be written, the viewer's fixed configuration, the launch manager's own
# registration and the plug-in loader's configuration; then the whole
# configuration tree that was written.
section "Viewer configuration (updateRegHard, LoadLaunch, LoadPlug)"

mkdir -p "$C/SorbixSetup" "$C/Program Files/Sorbix"
cp "$BIN/sxinsres.dll" "$BIN/pluginlink.dll" "$C/SorbixSetup/"
cp "$DEMO/configuration/install.ini" "$DEMO/configuration/version.ini" \
   "$DEMO/configuration/PLUGINLINK.INI" "$C/SorbixSetup/"
# The viewer's launch manager, standing in: its registration entry notes
# under HKEY_CURRENT_USER\Software\SorbixTests that it ran, and where.
cp "$BIN/launch_manager.dll" "$C/Program Files/Sorbix/txlm.dll"

run_host "$DEMO/configuration.script"
