# shellcheck shell=bash
# `cmake --install` and the .deb that cpack builds: the program, its launcher and its icon.
case_install_and_package() {
    [ -f "$BUILD/CPackConfig.cmake" ] || { SKIP_REASON="no build folder beside $HVX"; return; }
    local p=$WORK/prefix icon=share/icons/hicolor/48x48/apps/hvx.png deb
    check "cmake --install puts the program, the launcher (Exec=hvx) and the icon in place" eval \
        "cmake --install '$BUILD' --prefix '$p' >'$WORK/install.log' 2>&1 && test -x '$p/bin/hvx' \
        -a -f '$p/$icon' && grep -qx 'Exec=hvx' '$p/share/applications/hvx.desktop'"
    check "cpack -G DEB" eval "cpack -G DEB --config '$BUILD/CPackConfig.cmake' -B '$WORK/deb' >'$WORK/cpack.log' 2>&1"
    deb=$(echo "$WORK"/deb/hvx_*.deb)
    check "the package holds the three files" test "$(dpkg-deb -c "$deb" | awk '$1 !~ /^d/ { print $NF }' |
        sort | xargs)" = "./usr/bin/hvx ./usr/share/applications/hvx.desktop ./usr/$icon"
    check "... and depends on Qt's X11 plugin and the libraries it links, libpulse's too" eval \
        "dpkg-deb -f '$deb' Depends | grep -q 'qt6-qpa-plugins.*libpulse-mainloop-glib0.*libpulse0.*libqt6widgets6'"
}
