#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the product alone (no tests, no benchmarks) into build-debian/ as Debian's packagers do:
# Release, with the compiler and linker flags of dpkg-buildflags, full hardening.
# Warnings stop the build unless QUIMBEL_WERROR=OFF.
set -eu
cd "$(dirname "$0")/.."
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
cppflags=$(dpkg-buildflags --get CPPFLAGS)
cmake -S . -B build-debian -G Ninja -DCMAKE_BUILD_TYPE=Release -DQUIMBEL_TESTS=OFF -DQUIMBEL_BENCH=OFF \
    -DQUIMBEL_WERROR="${QUIMBEL_WERROR:-ON}" \
    -DCMAKE_C_FLAGS="$(dpkg-buildflags --get CFLAGS) $cppflags" \
    -DCMAKE_CXX_FLAGS="$(dpkg-buildflags --get CXXFLAGS) $cppflags" \
    -DCMAKE_EXE_LINKER_FLAGS="$(dpkg-buildflags --get LDFLAGS)" \
    -DCMAKE_SHARED_LINKER_FLAGS="$(dpkg-buildflags --get LDFLAGS)" >/dev/null
cmake --build build-debian -j "$(nproc)"
echo build-debian
