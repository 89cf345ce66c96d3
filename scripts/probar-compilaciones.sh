#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# The build types that the test command does not make, warnings as errors, and the install
# step without the window. CI runs it after the test command.
set -eu
cd "$(dirname "$0")/.."
./scripts/dependencias.sh
# The product as Debian's packagers build it: Release with dpkg-buildflags' flags.
./scripts/compilar-debian.sh
# The engines and quimbel-cli build without Qt at all, and install without the window.
cmake -S . -B build-nucleo -G Ninja -DQUIMBEL_GUI=OFF -DQUIMBEL_TESTS=OFF -DQUIMBEL_WERROR=ON >/dev/null
cmake --build build-nucleo -j "$(nproc)" --target quimbel-cli crc32 par manual-quimbel-cli
sh tests/escritorio/instalacion.sh build-nucleo 0
# Everything with clang, the tests included.
./scripts/compilar-clang.sh
# The Debian package, checked by lintian (no errors).
./scripts/lintian.sh
