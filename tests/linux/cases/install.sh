# shellcheck shell=bash
# `cmake --install` and the .deb that cpack builds: the program, its launcher and its icon.
case_install_and_package() {
    [ -f "$BUILD/CPackConfig.cmake" ] || { skip "no build folder beside $HVX"; return; }
    local prefix=$WORK/prefix files
    check "cmake --install" eval "cmake --install '$BUILD' --prefix '$prefix' >'$WORK/install.log' 2>&1"
    check "... puts the program, the launcher (Exec=hvx) and the icon in place" eval "test -x \
        '$prefix/bin/hvx' -a -f '$prefix/share/icons/hicolor/48x48/apps/hvx.png' &&
        grep -qx 'Exec=hvx' '$prefix/share/applications/hvx.desktop'"
    check "cpack -G DEB" eval "cpack -G DEB --config '$BUILD/CPackConfig.cmake' -B '$WORK/deb' >'$WORK/cpack.log' 2>&1"
    files=$(dpkg-deb -c "$WORK"/deb/hvx_*.deb 2>/dev/null | awk '$1 !~ /^d/ { print $NF }' | sort | xargs)
    check "the package holds the three files" test "$files" = \
        "./usr/bin/hvx ./usr/share/applications/hvx.desktop ./usr/share/icons/hicolor/48x48/apps/hvx.png"
    check "... and depends on Qt's X11 plugin and the libraries it links" eval \
        "dpkg-deb -f '$WORK'/deb/hvx_*.deb Depends | grep -q 'qt6-qpa-plugins.*libqt6widgets6'"
}
