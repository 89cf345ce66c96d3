#!/bin/sh
# Configures and builds into build/ (or build-san/ with QUIMBEL_SANITIZE=1).
# QUIMBEL_WERROR=ON makes every warning an error, as the test command does.
set -eu
cd "$(dirname "$0")/.."
if [ "${QUIMBEL_SANITIZE:-0}" = 1 ]; then
    dir=build-san
    set -- -DQUIMBEL_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug
else
    dir=build
    set -- -DCMAKE_BUILD_TYPE=RelWithDebInfo
fi
cmake -S . -B "$dir" -G Ninja -DQUIMBEL_WERROR="${QUIMBEL_WERROR:-OFF}" "$@" >/dev/null
cmake --build "$dir"
echo "$dir"
