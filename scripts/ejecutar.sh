#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs what is needed, builds and starts the program.
set -eu
cd "$(dirname "$0")/.."
./scripts/dependencias.sh
dir=$(./scripts/compilar.sh)
exec "$dir/bin/quimbel"
