#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# Makes the Debian package build-debian/quimbel_<version>_<arch>.deb from the Release
# build with Debian's flags. Install it with: apt-get install ./build-debian/quimbel_*.deb
set -eu
cd "$(dirname "$0")/.."
./scripts/compilar-debian.sh >/dev/null
cd build-debian
cpack -G DEB
ls "$PWD"/quimbel_*.deb
