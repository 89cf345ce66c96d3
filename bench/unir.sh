#!/bin/bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Joins a 1 GiB set with "quimbel-cli unir" and with "cat" in one run, page cache warm,
# and prints the ratio of their wall times (goal: at most 1.10), each ending with `sync` (the
# join flushes its output before it takes its name; cat leaves it to the system's write-back).
# The best of several rounds counts. GNU cat 9.1 copies with copy_file_range, inside the
# kernel; quimbel-cli reads and writes through its 1,000,000-byte buffer.
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
# Wall time in seconds of a command whose standard output goes to the first argument, with
# the sync that puts its output on disk (what was written before it is flushed first).
cronometrar() {
    local salida=$1 t0 t1
    shift
    sync
    t0=$(ahora)
    "$@" > "$salida" 2> /dev/null
    sync
    t1=$(ahora)
    awk -v a="$t0" -v b="$t1" 'BEGIN { print b - a }'
}
mejor_unir=""
mejor_cat=""
for ((r = 1; r <= rondas; r++)); do
    rm -f "$trabajo/unido.bin" "$trabajo/cat.bin"
    # Each goes first in turn, so that neither always pays for the other's write-back.
    if ((r % 2)); then
        u=$(cronometrar /dev/null "$cli" unir "${trozos[0]}" --destino "$trabajo/unido.bin")
        c=$(cronometrar "$trabajo/cat.bin" cat "${trozos[@]}")
    else
        c=$(cronometrar "$trabajo/cat.bin" cat "${trozos[@]}")
        u=$(cronometrar /dev/null "$cli" unir "${trozos[0]}" --destino "$trabajo/unido.bin")
    fi
    cmp -s "$trabajo/unido.bin" "$trabajo/cat.bin" || { echo "¡ los resultados difieren !" >&2; exit 1; }
    printf 'ronda %d: unir %.3f s, cat %.3f s\n' "$r" "$u" "$c"
    mejor_unir=$(awk -v m="${mejor_unir:-$u}" -v x="$u" 'BEGIN { print (x < m ? x : m) }')
    mejor_cat=$(awk -v m="${mejor_cat:-$c}" -v x="$c" 'BEGIN { print (x < m ? x : m) }')
done
awk -v u="$mejor_unir" -v c="$mejor_cat" \
    'BEGIN { printf "mejor: unir %.3f s, cat %.3f s, cociente %.3f (objetivo <= 1.10)\n", u, c, u / c }'
