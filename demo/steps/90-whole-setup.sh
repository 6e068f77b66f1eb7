# A whole setup and its removal, on a machine of its own: the host
# applications' stand-ins have settings of their own (a Mosaic-family
# browser, the Dralin mail program, Microsoft Mail for this user, an Eudora
# with a plug-in of its own, File Manager's winfile.ini). The typical setup
# runs, and what it wrote is printed as REGEDIT4; then the removal runs, and
# what it left different from before the setup is printed.
section "A whole setup, end to end: the typical setup, then the removal"
use_fresh_prefix demo-whole-setup-prefix
source "$DEMO/whole-setup/prepare-machine.sh"

prepare_whole_setup_machine

list_eudora_plugins() {
  echo "C:\\Eudora\\plugins holds:"
  (cd "$C/Eudora/plugins" && for f in *; do printf '  %s: %s\n' "$f" "$(tr -d '\r' < "$f")"; done)
}

state="$BUILD/demo-whole-setup.state"
written="$BUILD/demo-whole-setup.reg"
NETKIT='C:\Dralin\NETKIT.INI' run_host "$DEMO/typical.script" \
  --save-state "$(winepath_of "$state")" \
  --export-reg "$(winepath_of "$written")" --diff
list_eudora_plugins

section "What the typical setup wrote (REGEDIT4)"
tr -d '\r' < "$written"

section "The removal"
NETKIT='C:\Dralin\NETKIT.INI' run_host "$DEMO/remove.script" \
  --diff-from "$(winepath_of "$state")"
list_eudora_plugins

cat <<'LEFTOVERS'

Every host application's settings are back as they were; what still differs
from the machine before the setup is left by design:
  + key tree HKLM\SOFTWARE\Quorvane, HKCR\SOFTWARE\Quorvane, HKCR\CLSID\{4e8b...},
    HKCR\*\shellex\ContextMenuHandlers\{4e8b...}: the viewer's own configuration
    and shell extension; no export deletes them, the product's uninstaller does
  + key tree ...\File Manager and + winfile.ini [AddOns] Sorbix=: File Manager's
    add-on key stays empty and its entry is emptied, not removed
  + mosaic.ini [Viewers] TYPE3=..., + [MIME Descriptions] image/gif=...: the
    browser's type list is never shortened, and the description written for
    an image type the browser does not list stays
  maildr.ini [Sorbix Backup - Viewers] default= and the default viewer in small
    letters: the Dralin mail program's backup is kept lowered and emptied
  The shared-file references are gone: the one question for all was answered
  Yes, its default button.
What a product's uninstaller must delete itself: docs/reference.md, section 12
("What a removal leaves").
LEFTOVERS
