#!/usr/bin/env bash
# Installs every Debian package that the build and all test layers need. Fast when nothing is
# missing: the package index is only refreshed when something has to be installed.
set -euo pipefail

# One list, grouped by what needs it; each group names everything it needs, so a package may
# stand in several groups. Add packages to the group they serve.
PACKAGES_BUILD=(cmake ninja-build g++ pkg-config clang-format)
# The unit tests, and the benchmarks (bench/: Google Benchmark, XTEST key presses).
PACKAGES_UNIT=(libgtest-dev libgmock-dev libbenchmark-dev libxtst-dev)
PACKAGES_WINDOWS=(g++-mingw-w64-x86-64-win32)
PACKAGES_WINE_TESTS=(wine wine64 fonts-wine fonts-liberation xvfb xdotool x11-utils imagemagick faketime)
PACKAGES_LINUX_APP=(qt6-base-dev libasound2-dev libx11-dev libxcb1-dev libxkbcommon-x11-dev
                    libasound2-plugins qt6-wayland libpulse-dev)
# The Linux end-to-end tests: a private X server with a tray host, a sound server behind ALSA, a
# private system bus with a mock logind, the accessibility bus (AT-SPI), a sped-up clock; cpack's .deb needs
# dpkg-shlibdeps (dpkg-dev) and file. PipeWire's sound server, as most desktops run it, beside PulseAudio.
PACKAGES_LINUX_TESTS=(xvfb xdotool x11-utils trayer fonts-liberation fontconfig faketime at-spi2-core python3-pyatspi
                      pulseaudio pulseaudio-utils python3-dbusmock dbus dpkg-dev file x11-xkb-utils
                      pipewire-pulse wireplumber)
# The Wayland end-to-end tests (tests/linux/wayland.sh): KWin headless, the shortcut portal with
# its KDE backend, keys sent through KWin's fake-input protocol, a mock tray watcher, AT-SPI.
PACKAGES_WAYLAND_TESTS=(kwin-wayland xdg-desktop-portal xdg-desktop-portal-kde qt6-wayland
                        libwayland-dev plasma-wayland-protocols pulseaudio pulseaudio-utils
                        python3-dbusmock python3-gi dbus at-spi2-core python3-pyatspi)
PACKAGES_VIEWING=(xvfb trayer x11vnc)

ALL_PACKAGES=()
declare -A listed=()
for package in "${PACKAGES_BUILD[@]}" "${PACKAGES_UNIT[@]}" "${PACKAGES_WINDOWS[@]}" \
    "${PACKAGES_WINE_TESTS[@]}" "${PACKAGES_LINUX_APP[@]}" "${PACKAGES_LINUX_TESTS[@]}" \
    "${PACKAGES_WAYLAND_TESTS[@]}" "${PACKAGES_VIEWING[@]}"; do
    [[ -n ${listed[$package]:-} ]] || ALL_PACKAGES+=("$package")
    listed[$package]=1
done

# One dpkg-query for the whole list; packages it does not know are simply not printed.
declare -A installed=()
while read -r name status; do
    [[ $status == installed ]] && installed[$name]=1
done < <(dpkg-query -W -f='${Package} ${db:Status-Status}\n' "${ALL_PACKAGES[@]}" 2>/dev/null ||
    true)
missing=()
for package in "${ALL_PACKAGES[@]}"; do
    [[ -n ${installed[$package]:-} ]] || missing+=("$package")
done

if ((${#missing[@]} == 0)); then
    echo "install-deps: all ${#ALL_PACKAGES[@]} packages present"
    exit 0
fi

echo "install-deps: installing ${missing[*]}"
SUDO=()
if ((EUID != 0)); then SUDO=(sudo); fi
export DEBIAN_FRONTEND=noninteractive
"${SUDO[@]}" apt-get update -qq
"${SUDO[@]}" apt-get install -y -qq -o Dpkg::Use-Pty=0 "${missing[@]}" \
    </dev/null >/tmp/hvx-install-deps.log 2>&1 || {
    tail -n 40 /tmp/hvx-install-deps.log >&2
    echo "install-deps: apt-get install failed" >&2
    exit 1
}
echo "install-deps: done"
