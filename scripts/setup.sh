#!/usr/bin/env bash
# Installs the Debian packages the player needs to build, run and test, when missing.
# Safe to run again; works as root or through sudo.
# Usage: setup.sh [bench|compositors|package]
#   bench:       also what bench/compare.sh runs beside the player
#   package:     also what scripts/package.sh and scripts/package_test.sh build, lint and
#                install the Debian package with
#   compositors: also the headless Wayland compositors and tools that the *_sway_test,
#                *_kwin_test and *_mutter_test tests run the player under
#                (scripts/headless_compositors.sh), and kwin_x11
set -euo pipefail

packages=(
    # build
    cmake ninja-build g++ pkg-config clang-format
    # rebuilds of unchanged files, in any folder of a checkout, come from its cache
    ccache
    # fuzzing: clang's libFuzzer and sanitizer runtimes come in a package of their own
    clang libclang-rt-dev
    # libraries
    qt6-base-dev qt6-qpa-plugins libmpv-dev libx11-dev libtag1-dev libfontconfig-dev
    # the media reader's system call filter; zlib packs the tests' hostile tags
    libseccomp-dev zlib1g-dev
    libxcb1-dev libxcb-shape0-dev libxcb-xfixes0-dev
    libwayland-dev wayland-protocols
    libgtest-dev libgmock-dev libbenchmark-dev
    # running and testing headless, and the program's Chinese texts; a window manager and
    # the X test extension's client library for the toolbar's drags under a manager
    xvfb xauth x11-utils xdotool fontconfig fonts-wqy-microhei openbox libxcb-xtest0-dev
    # the desktop integration's tests: a private session bus, the desktop file validators,
    # and a screen reader's side of AT-SPI (its bus launcher and Python client)
    dbus-daemon desktop-file-utils appstream at-spi2-core python3-pyatspi gir1.2-atspi-2.0
)

if [ "${1:-}" = compositors ]; then
    # sway with its Xwayland, grim for screenshots, xhost to let root's clients into that
    # Xwayland, Qt's Wayland platform for the player and the windows it floats over, KDE's
    # window manager for X11 and its Wayland session with kscreen-doctor (and the Qt 5 Wayland
    # platform it runs on) to turn its outputs off and on, and GNOME's mutter
    packages+=(sway xwayland grim x11-xserver-utils qt6-wayland kwin-x11 kwin-wayland mutter
        libkf5screen-bin qtwayland5)
    # the ways to global shortcuts that the tests meet for real: the desktop portal with
    # KDE's backend, and KDE's global shortcut service
    packages+=(xdg-desktop-portal xdg-desktop-portal-kde libkf5globalaccel-bin)
fi
if [ "${1:-}" = bench ]; then
    # the mpv player, an MP3 encoder and a compositing manager for the side-by-side comparison;
    # GNU time for the peak memory of bench/tag_memory.sh
    packages+=(mpv lame xcompmgr time)
fi
if [ "${1:-}" = package ]; then
    # dpkg-buildpackage, dh and the linter; lintian reads the manual page through man-db;
    # mmdebstrap makes the clean Debian 12 root that the package is installed into
    packages+=(dpkg-dev debhelper fakeroot lintian man-db mmdebstrap)
fi

missing=()
for package in "${packages[@]}"; do
    status=$(dpkg-query -W -f='${db:Status-Status}' "$package" 2>/dev/null || true)
    [ "$status" = "installed" ] || missing+=("$package")
done
[ ${#missing[@]} -eq 0 ] && exit 0

if [ "$(id -u)" -eq 0 ]; then
    as_root=()
elif command -v sudo >/dev/null 2>&1; then
    as_root=(sudo)
else
    echo "setup: these packages are missing and installing them needs root: ${missing[*]}" >&2
    exit 1
fi

echo "setup: installing ${missing[*]}"
"${as_root[@]}" apt-get update -qq
"${as_root[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"
