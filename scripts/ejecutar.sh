#!/bin/sh
# Installs what is needed, builds and starts the program.
set -eu
cd "$(dirname "$0")/.."
./scripts/dependencias.sh
dir=$(./scripts/compilar.sh)
exec "$dir/bin/quimbel"
