#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the Debian package (scripts/paquete.sh) and checks it with lintian: an error fails,
# warnings are only shown. Debian 12, as root; lintian comes with scripts/dependencias.sh.
set -eu
cd "$(dirname "$0")/.."
deb=$(./scripts/paquete.sh | tail -n 1)
informe=$(mktemp)
trap 'rm -f "$informe"' EXIT
status=0
lintian --no-cfg --fail-on error "$deb" >"$informe" 2>&1 || status=$?
grep -v '^running with root privileges' "$informe" || true
[ "$status" -ne 0 ] || echo "lintian: $(basename "$deb") sin errores"
exit "$status"
