#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds everything with clang into build-clang/, warnings as errors, and runs the tests.
set -eu
cd "$(dirname "$0")/.."
CC=clang CXX=clang++ cmake -S . -B build-clang -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DQUIMBEL_WERROR=ON >/dev/null
cmake --build build-clang -j "$(nproc)"
QT_QPA_PLATFORM=offscreen ctest --test-dir build-clang --output-on-failure -j "$(nproc)" </dev/null
