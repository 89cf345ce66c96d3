#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# quimbel-cli crc against rhash --crc32 on one 1 GiB file, page cache warm. Prints the
# median time of each over several alternating runs and the ratio (goal: <= 0.25).
# Usage: bench/crc_fichero.sh [BUILD_FOLDER]   (default: build)
set -eu
cd "$(dirname "$0")/.."
cli=${1:-build}/bin/quimbel-cli
[ -x "$cli" ] || { echo "falta $cli: compila primero" >&2; exit 2; }
command -v rhash >/dev/null || { echo "falta rhash" >&2; exit 2; }
rondas=7

t=$(mktemp -d /tmp/quimbel-bench-XXXXXX)
trap 'rm -rf "$t"' EXIT INT TERM
f=$t/1GiB.bin
head -c 1073741824 /dev/urandom >"$f"
cat "$f" >/dev/null # into the page cache

# Both must give the same value before their times mean anything.
nuestro=$("$cli" crc "$f" | cut -c1-8)
suyo=$(rhash --crc32 --printf='%c' "$f" | tr 'A-F' 'a-f')
[ "$nuestro" = "$suyo" ] || { echo "CRC distinto: quimbel-cli $nuestro, rhash $suyo" >&2; exit 1; }

ahora() { date +%s%N; }
for i in $(seq "$rondas"); do
    a=$(ahora); "$cli" crc "$f" >/dev/null; b=$(ahora)
    echo $((b - a)) >>"$t/quimbel"
    a=$(ahora); rhash --crc32 "$f" >/dev/null; b=$(ahora)
    echo $((b - a)) >>"$t/rhash"
done
mediana() { sort -n "$1" | sed -n "$(((rondas + 1) / 2))p"; }
q=$(mediana "$t/quimbel")
r=$(mediana "$t/rhash")
awk -v q="$q" -v r="$r" -v n="$rondas" 'BEGIN {
    g = 1073741824 / 1e9
    printf "CRC-32 de 1 GiB en caché, mediana de %d:\n", n
    printf "  quimbel-cli crc  %8.3f s  %6.2f GB/s\n", q / 1e9, g / (q / 1e9)
    printf "  rhash --crc32    %8.3f s  %6.2f GB/s\n", r / 1e9, g / (r / 1e9)
    printf "  razón            %8.3f  (objetivo <= 0.25)\n", q / r
}'
