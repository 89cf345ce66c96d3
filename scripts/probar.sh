#!/bin/sh
# Installs what is needed, builds and runs every test through CTest, warnings as errors.
# QUIMBEL_SANITIZE=1 builds and runs them under AddressSanitizer and UBSan instead.
set -eu
cd "$(dirname "$0")/.."
./scripts/dependencias.sh
export QUIMBEL_WERROR=ON
# The engines and quimbel-cli build without Qt at all, and install without the window.
cmake -S . -B build-nucleo -G Ninja -DQUIMBEL_GUI=OFF -DQUIMBEL_TESTS=OFF -DQUIMBEL_WERROR=ON >/dev/null
cmake --build build-nucleo --target quimbel-cli crc32 par manual-quimbel-cli
sh tests/escritorio/instalacion.sh build-nucleo 0
# The product as Debian's packagers build it: Release with dpkg-buildflags' flags.
./scripts/compilar-debian.sh
dir=$(./scripts/compilar.sh | tail -n 1)
export QT_QPA_PLATFORM=offscreen
ctest --test-dir "$dir" --output-on-failure -j "$(nproc)" </dev/null
