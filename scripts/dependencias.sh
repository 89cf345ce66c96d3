#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs everything the build, the tests and the benchmarks use (Debian 12, as root). With
# every package already installed it changes nothing and asks no mirror.
set -eu

# The Debian packages: the one list.
paquetes="
    ca-certificates cmake g++ ninja-build pkg-config clang-format
    libgtest-dev libgmock-dev
    qt6-base-dev qt6-base-dev-tools qt6-base-private-dev libgl-dev xvfb xauth
    libisal-dev libdeflate-dev zlib1g-dev libssl-dev libgf-complete-dev
    x11-utils xdotool cksfv rhash par2 hyperfine time
    dpkg-dev desktop-file-utils appstream groff-base man-db clang
    libqt6svg6 qt6-translations-l10n shared-mime-info libglib2.0-bin dbus-daemon lintian
"

instalados=$(dpkg-query -W -f '${db:Status-Abbrev} ${Package}\n' $paquetes 2>/dev/null | sed -n 's/^ii  *//p')
faltan=
for p in $paquetes; do
    printf '%s\n' "$instalados" | grep -qxF "$p" || faltan="$faltan $p"
done
[ -n "$faltan" ] || exit 0
echo "Instalando:$faltan"
export DEBIAN_FRONTEND=noninteractive
apt-get update
apt-get install -y --no-install-recommends $faltan
