#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs what is missing, builds once (the product optimised as it ships, nothing with debug
# information) and runs every test through CTest, warnings as errors.
# QUIMBEL_SANITIZE=1 builds and runs them under AddressSanitizer and UBSan instead.
# The other build types and the install step: scripts/probar-compilaciones.sh.
set -eu
cd "$(dirname "$0")/.."
./scripts/dependencias.sh
export QUIMBEL_WERROR=ON
dir=$(./scripts/compilar.sh)
export QT_QPA_PLATFORM=offscreen
ctest --test-dir "$dir" --output-on-failure -j "$(nproc)" </dev/null
