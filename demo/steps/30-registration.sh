# View-engine registration: a typical setup walks every class section of the
# demo's setup INI file, entry by entry, then shows the VAPI, converter and
# shell keys it wrote.
section "View-engine, converter and shell registration (install)"

mkdir -p "$C/SorbixSetup"
sed 's/$/\r/' "$DEMO/registration-setup.ini" > "$C/SorbixSetup/setup.ini"
run_host "$DEMO/registration.script"
