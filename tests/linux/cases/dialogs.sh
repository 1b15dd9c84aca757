# shellcheck shell=bash
# "Run at startup" in Settings writes and removes the autostart entry, which starts the program
# by its own path, quoted for the Exec key; Help and About open and close.
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
    for caption in Help About; do
        check "$caption opens; OK closes it" eval "choose $caption && atspi window $caption &&
            atspi press $caption OK && atspi gone $caption"
    done
}
run_at_startup() { choose Settings && atspi set Settings "Run at startup=$1" &&
    atspi press Settings OK && atspi gone Settings; }
