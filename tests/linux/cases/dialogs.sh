# shellcheck shell=bash
# "Run at startup" in Settings writes and removes the autostart entry, which starts the program
# by its own path, quoted for the Exec key; Help and About open and close, and a menu word
# meanwhile is refused with its reason.
case_dialogs() {
    local dir="$WORK/odd dir \$x%y\"q" caption
    mkdir -p "$dir" && cp "$HVX" "$dir/hvx"
    write_conf
    check "starts from a folder with awkward characters" start_hvx "$dir/hvx"
    check "Settings: Run at startup checked, OK" run_at_startup 1
    check "the entry starts the program" grep -qxF "Exec=\"$WORK/odd dir \\\\\$x%%y\\\\\"q/hvx\"" "$AUTOSTART"
    check "the setting is saved" conf_are RegRunAtStartup=1
    check "Settings: Run at startup unchecked, OK" run_at_startup 0
    check "the entry is gone" test ! -e "$AUTOSTART"
    check "Help opens; OK closes it" eval "choose Help && atspi window Help &&
        atspi press Help OK && atspi gone Help"
    check "About opens from its word" eval "'$HVX' --about && atspi window About"
    local out
    out=$("$HVX" --exit 2>&1)
    check "--exit meanwhile: status 3 and why" \
        test $? = 3 -a "$out" = "hvx: HVX is showing a dialog; close it first"
    check "OK closes About, HVX running on" eval "atspi press About OK && atspi gone About &&
        ! hvx_gone"
}
run_at_startup() { choose Settings && atspi set Settings "Run at startup=$1" &&
    atspi press Settings OK && atspi gone Settings; }
