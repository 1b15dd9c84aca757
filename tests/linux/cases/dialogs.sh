# shellcheck shell=bash
# "Run at startup" in the Settings dialog writes and removes the autostart entry, which starts
# the program by its own path, quoted for the Exec key.
case_run_at_startup() {
    local dir="$WORK/odd dir \$x%y\"q"
    mkdir -p "$dir" && cp "$HVX" "$dir/hvx"
    write_conf
    check "starts from a folder with awkward characters" start_hvx "$dir/hvx"
    check "Settings: Run at startup checked, OK" settings_run_at_startup 1
    check "the entry starts the program" grep -qxF "Exec=\"$WORK/odd dir \\\\\$x%%y\\\\\"q/hvx\"" "$AUTOSTART"
    check "the setting is saved" conf_is RegRunAtStartup 1
    check "Settings: Run at startup unchecked, OK" settings_run_at_startup 0
    check "the entry is gone" test ! -e "$AUTOSTART"
}
settings_run_at_startup() {
    choose Settings && window Settings && set_controls Settings "Run at startup=$1" &&
        press Settings OK && gone Settings
}

# Help and About open from the menu and close.
case_help_and_about() {
    write_conf
    check "starts" start_hvx
    local caption
    for caption in Help About; do
        check "$caption opens" eval "choose $caption && window $caption"
        check "... and OK closes it" eval "press $caption OK && gone $caption"
    done
}
