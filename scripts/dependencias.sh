#!/bin/sh
# Installs everything the build, the tests and the benchmarks use (Debian 12, as root).
set -eu
export DEBIAN_FRONTEND=noninteractive
apt-get update
apt-get install -y --no-install-recommends \
    ca-certificates cmake g++ ninja-build pkg-config clang-format \
    libgtest-dev libgmock-dev \
    qt6-base-dev qt6-base-dev-tools qt6-base-private-dev libgl-dev xvfb xauth \
    libisal-dev libdeflate-dev zlib1g-dev libssl-dev libgf-complete-dev \
    x11-utils xdotool cksfv rhash par2 hyperfine time \
    dpkg-dev desktop-file-utils appstream groff-base man-db clang \
    libqt6svg6 qt6-translations-l10n shared-mime-info libglib2.0-bin dbus-daemon lintian
