#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# quimbel-cli verificar against cksfv -f and rhash -c on the same 1 GiB set of pieces
# and its SFV file, page cache warm. Prints the median wall time of each over several
# alternating runs and the ratios (goal: <= 1.0 against both).
# Usage: bench/verificar_sfv.sh [BUILD_FOLDER]   (default: build)
set -eu
cd "$(dirname "$0")/.."
cli=$(realpath "${1:-build}/bin/quimbel-cli")
[ -x "$cli" ] || { echo "falta $cli: compila primero" >&2; exit 2; }
for herramienta in cksfv rhash; do
    command -v "$herramienta" >/dev/null || { echo "falta $herramienta" >&2; exit 2; }
done
rondas=7

t=$(mktemp -d /tmp/quimbel-bench-XXXXXX)
trap 'rm -rf "$t"' EXIT INT TERM
head -c 1073741824 /dev/urandom >"$t/datos.bin"
# Eleven pieces of 100,000,000 bytes or less, and their SFV file, as a split writes them.
mkdir "$t/trozos"
"$cli" cortar "$t/datos.bin" 100000000 --destino "$t/trozos" --sfv >/dev/null 2>"$t/err" ||
    { cat "$t/err" >&2; exit 1; }
rm "$t/datos.bin"
cd "$t/trozos"
cat datos.* >/dev/null # into the page cache

# All three must accept the set before their times mean anything.
"$cli" verificar datos.sfv >/dev/null 2>&1 || { echo "quimbel-cli no acepta el SFV" >&2; exit 1; }
cksfv -q -f datos.sfv >/dev/null 2>&1 || { echo "cksfv no acepta el SFV" >&2; exit 1; }
rhash -c datos.sfv >/dev/null 2>&1 || { echo "rhash no acepta el SFV" >&2; exit 1; }

ahora() { date +%s%N; }
for i in $(seq "$rondas"); do
    a=$(ahora); "$cli" verificar datos.sfv >/dev/null 2>&1; b=$(ahora)
    echo $((b - a)) >>"$t/quimbel"
    a=$(ahora); cksfv -q -f datos.sfv >/dev/null 2>&1; b=$(ahora)
    echo $((b - a)) >>"$t/cksfv"
    a=$(ahora); rhash -c datos.sfv >/dev/null 2>&1; b=$(ahora)
    echo $((b - a)) >>"$t/rhash"
done
mediana() { sort -n "$1" | sed -n "$(((rondas + 1) / 2))p"; }
q=$(mediana "$t/quimbel")
c=$(mediana "$t/cksfv")
r=$(mediana "$t/rhash")
awk -v q="$q" -v c="$c" -v r="$r" -v n="$rondas" 'BEGIN {
    g = 1073741824 / 1e9
    printf "Verificación de 1 GiB en 11 trozos, en caché, mediana de %d:\n", n
    printf "  quimbel-cli verificar  %8.3f s  %6.2f GB/s\n", q / 1e9, g / (q / 1e9)
    printf "  cksfv -f               %8.3f s  %6.2f GB/s\n", c / 1e9, g / (c / 1e9)
    printf "  rhash -c               %8.3f s  %6.2f GB/s\n", r / 1e9, g / (r / 1e9)
    printf "  razón frente a cksfv   %8.3f  (objetivo <= 1.0)\n", q / c
    printf "  razón frente a rhash   %8.3f  (objetivo <= 1.0)\n", q / r
}'
