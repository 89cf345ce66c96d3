#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# Configures and builds into build/ (or build-san/ with QUIMBEL_SANITIZE=1) and prints the folder.
# QUIMBEL_WERROR=ON makes every warning an error, as the test command does.
set -eu
cd "$(dirname "$0")/.."
if [ "${QUIMBEL_SANITIZE:-0}" = 1 ]; then
    dir=build-san
    set -- -DQUIMBEL_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug
else
    dir=build
    # The shipped optimisation without debug information, which takes half the build's time
    # and changes no instruction.
    set -- -DCMAKE_BUILD_TYPE=Release -DCMAKE_C_FLAGS_RELEASE="-O2 -DNDEBUG" -DCMAKE_CXX_FLAGS_RELEASE="-O2 -DNDEBUG"
fi
cmake -S . -B "$dir" -G Ninja -DQUIMBEL_WERROR="${QUIMBEL_WERROR:-OFF}" "$@" >/dev/null
# The build's lines go to standard error: standard output is the folder alone.
cmake --build "$dir" -j "$(nproc)" >&2
echo "$dir"
