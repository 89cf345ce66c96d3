#!/bin/sh
# Installs what is needed, builds and runs every test through CTest.
# QUIMBEL_SANITIZE=1 builds and runs them under AddressSanitizer and UBSan instead.
set -eu
cd "$(dirname "$0")/.."
./scripts/dependencias.sh
# The engines and quimbel-cli build without Qt at all.
cmake -S . -B build-nucleo -G Ninja -DQUIMBEL_GUI=OFF -DQUIMBEL_TESTS=OFF >/dev/null
cmake --build build-nucleo --target quimbel-cli
dir=$(./scripts/compilar.sh | tail -n 1)
export QT_QPA_PLATFORM=offscreen
ctest --test-dir "$dir" --output-on-failure -j "$(nproc)" </dev/null
