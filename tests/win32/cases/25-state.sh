# What the icon tells: its tip and image follow the volume and the mute, and the volume hotkeys
# show the indicator. Wine's endpoint reads 1.0 whatever is asked and has no wave line, so the
# level stays at 100%; the mute changes.

# The icon images HVX loaded, in order: 65 the icon, 66 the muted one.
icons_loaded() {
    relay_calls | sed -nE 's/^user32.LoadImageW\([0-9a-f]*,0*(65|66),.*/\1/p' | paste -sd' '
}

test_tip_image_and_indicator_follow_the_volume_keys() {
    hvx_start --relay 'user32.LoadImageW'
    # One run of the driver watches the tips throughout; the indicator is read while it shows.
    expect_eq "$(drive watch-tip ';' keys ctrl+left ';' indicator ';' tip ';' indicator-gone ';' \
        keys ctrl+up ';' indicator ';' tip ';' indicator-gone ';' command 106 ';' tip ';' \
        indicator-gone)" "Volume 100%, muted
HVX | Volume 100%, muted
Volume 100%, muted
HVX | Volume 100%, muted
HVX | Volume 100%" "Ctrl+Left and Ctrl+Up show the indicator, not active, and the tip follows; \
the menu's Mute shows none"
    expect_eq "$(icons_loaded)" "65 66 65" "the muted image while muted"
}
