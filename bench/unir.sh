#!/bin/bash
# Joins a 1 GiB set with "quimbel-cli unir" and with "cat" in one run, page cache warm,
# and prints the ratio of their wall times (goal: at most 1.10).
#   bench/unir.sh [QUIMBEL_CLI] [ROUNDS]
set -euo pipefail

raiz=$(cd "$(dirname "$0")/.." && pwd)
cli=${1:-$raiz/build/bin/quimbel-cli}
rondas=${2:-3}
[ -x "$cli" ] || { echo "no encuentro $cli (compila antes o pásalo como argumento)" >&2; exit 2; }

trabajo=$(mktemp -d "${TMPDIR:-/tmp}/quimbel-bench-unir.XXXXXX")
trap 'rm -rf "$trabajo"' EXIT

tam=$((1 << 30))
head -c "$tam" /dev/urandom > "$trabajo/datos.bin"
mkdir "$trabajo/trozos"
"$cli" cortar "$trabajo/datos.bin" 100000000 --destino "$trabajo/trozos" > /dev/null 2>&1
rm "$trabajo/datos.bin"
trozos=("$trabajo"/trozos/datos.[0-9][0-9][0-9])
cat "${trozos[@]}" > /dev/null # warm the page cache

ahora() { date +%s.%N; }
mejor_unir=""
mejor_cat=""
for ((r = 1; r <= rondas; r++)); do
    rm -f "$trabajo/unido.bin" "$trabajo/cat.bin"
    t0=$(ahora)
    "$cli" unir "${trozos[0]}" --destino "$trabajo/unido.bin" > /dev/null 2>&1
    t1=$(ahora)
    cat "${trozos[@]}" > "$trabajo/cat.bin"
    t2=$(ahora)
    cmp -s "$trabajo/unido.bin" "$trabajo/cat.bin" || { echo "¡ los resultados difieren !" >&2; exit 1; }
    u=$(awk -v a="$t0" -v b="$t1" 'BEGIN { print b - a }')
    c=$(awk -v a="$t1" -v b="$t2" 'BEGIN { print b - a }')
    printf 'ronda %d: unir %.3f s, cat %.3f s\n' "$r" "$u" "$c"
    mejor_unir=$(awk -v m="${mejor_unir:-$u}" -v x="$u" 'BEGIN { print (x < m ? x : m) }')
    mejor_cat=$(awk -v m="${mejor_cat:-$c}" -v x="$c" 'BEGIN { print (x < m ? x : m) }')
done
awk -v u="$mejor_unir" -v c="$mejor_cat" \
    'BEGIN { printf "mejor: unir %.3f s, cat %.3f s, cociente %.3f (objetivo <= 1.10)\n", u, c, u / c }'
