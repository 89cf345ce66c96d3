#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# The parity library (libpar.so through conductor-par, with the vector of the split's PAR
# step) against par2 create with the same slice size and the same number of recovery
# slices, page cache warm:
#   - 1 GiB in 100 pieces, count 1 and count 10: wall time, CPU time and peak memory, and
#     the ratios ours / par2. Goal: at most 0.06 of par2's wall time, at most 64 MiB.
#   - 2 GiB in two pieces, count 1 (16 MiB slices, 64 recovery slices), printed beside.
#   - par2 verify of our set for the 100 pieces made with count 5, against par2 verify of
#     the set par2 create makes with its own defaults (goal: at most twice as long), and
#     par2 verify's peak memory on our two-piece set (goal: at most 256 MiB).
# Each figure is the median of VECES runs (default 3); peak memory is the largest of them.
# The machine may be shared: its load average is printed before and after.
#   bench/par/banco-par.sh [BUILD_FOLDER]    (default: build)
set -eu
raiz=$(cd "$(dirname "$0")/../.." && pwd)
bin=$(cd "${1:-$raiz/build}/bin" && pwd)
for f in conductor-par libpar.so quimbel-cli; do
    [ -e "$bin/$f" ] || { echo "falta $bin/$f: compila antes" >&2; exit 2; }
done
command -v par2 >/dev/null || { echo "falta par2" >&2; exit 2; }
[ -x /usr/bin/time ] || { echo "falta /usr/bin/time (paquete time)" >&2; exit 2; }

tmp=$(mktemp -d /tmp/quimbel-banco-par.XXXXXX)
trap 'rm -rf "$tmp"' EXIT INT TERM
veces=${VECES:-3}
echo "Carga al empezar: $(cut -d' ' -f1-3 /proc/loadavg)"

# trocear NOMBRE BYTES TROZO: a file of pseudo-random bytes cut into $tmp/NOMBRE.
trocear() {
    mkdir "$tmp/$1"
    openssl enc -aes-128-ctr -nosalt -pass pass:quimbel -in /dev/zero 2>/dev/null | head -c "$2" >"$tmp/banco.bin"
    "$bin/quimbel-cli" cortar "$tmp/banco.bin" "$3" --destino "$tmp/$1" >/dev/null 2>&1
    rm "$tmp/banco.bin"
}

# medir CARPETA LIMPIAR ORDEN...: runs the command in CARPETA $veces times under
# /usr/bin/time, removing the files matched by LIMPIAR before each run; prints
# "wall-seconds peak-kib cpu-seconds": the median wall and CPU time, the largest peak.
medir() {
    carpeta=$1 limpiar=$2
    shift 2
    : >"$tmp/tiempos"
    i=0
    while [ $i -lt "$veces" ]; do
        (cd "$carpeta" && rm -f $limpiar && /usr/bin/time -f "%e %M %U %S" -o "$tmp/tiempo" "$@" >"$tmp/salida" 2>&1) ||
            { cat "$tmp/salida" >&2; exit 1; }
        awk '{ print $1, $2, $3 + $4 }' "$tmp/tiempo" >>"$tmp/tiempos"
        i=$((i + 1))
    done
    medio=$(((veces + 1) / 2))
    echo "$(sort -n -k1,1 "$tmp/tiempos" | sed -n "${medio}p" | cut -d' ' -f1)" \
        "$(sort -n -k2,2 "$tmp/tiempos" | tail -n 1 | cut -d' ' -f2)" \
        "$(sort -n -k3,3 "$tmp/tiempos" | sed -n "${medio}p" | cut -d' ' -f3)"
}

# comparar TITULO NUESTRO SUYO: one line each and the ratios.
comparar() {
    set -- "$1" $2 $3
    awk -v t="$1" -v tn=$2 -v mn=$3 -v cn=$4 -v ts=$5 -v ms=$6 -v cs=$7 'BEGIN {
        printf "%s: libpar %6.2f s (CPU %5.2f s) %6.1f MiB | par2 %6.2f s (CPU %5.2f s) %6.1f MiB\n",
               t, tn, cn, mn / 1024, ts, cs, ms / 1024
        printf "    libpar / par2: tiempo %.3f  memoria %.3f  (CPU %.3f)\n", tn / ts, mn / ms, cn / cs }'
}

total=1073741824
trozo=$(((total + 99) / 100))
rebanada=$(((trozo + 3) / 4 * 4))
trocear cien $total $trozo
cd "$tmp/cien"
trozos=$(ls)
set -- $trozos
[ $# -eq 100 ] || { echo "se esperaban 100 trozos, hay $#" >&2; exit 1; }
echo "1 GiB en 100 trozos de $trozo bytes; rebanada de $rebanada bytes"
sync # no write-back of the pieces during the runs
cat $trozos >/dev/null
for n in 1 10; do
    suyo=$(medir "$tmp/cien" "suyo*.par2" par2 create -q -s$rebanada -c$n -n$n -u suyo.par2 $trozos)
    nuestro=$(medir "$tmp/cien" "banco*.par2" "$bin/conductor-par" "$bin/libpar.so" $n "$tmp/cien/banco.par" $trozos)
    (cd "$tmp/cien" && par2 verify -q banco.par2 >/dev/null) || { echo "par2 no verifica nuestro conjunto" >&2; exit 1; }
    comparar "Número $(printf %2d $n)" "$nuestro" "$suyo"
done
rm -f "$tmp"/cien/*.par2

# par2 verify: our set made with count 5 against par2's default set (5 % recovery).
"$bin/conductor-par" "$bin/libpar.so" 5 "$tmp/cien/banco.par" $trozos >/dev/null
par2 create -q suyo.par2 $trozos >/dev/null
nuestro=$(medir "$tmp/cien" "" par2 verify -q banco.par2)
suyo=$(medir "$tmp/cien" "" par2 verify -q suyo.par2)
comparar "par2 verify, número 5 / conjunto por defecto de par2" "$nuestro" "$suyo"
cd "$tmp"
rm -rf "$tmp/cien"

trocear dos $((2 * total)) $total
cd "$tmp/dos"
trozos=$(ls)
cat $trozos >/dev/null
suyo=$(medir "$tmp/dos" "suyo*.par2" par2 create -q -s16777216 -c64 -n1 -u suyo.par2 $trozos)
nuestro=$(medir "$tmp/dos" "banco*.par2" "$bin/conductor-par" "$bin/libpar.so" 1 "$tmp/dos/banco.par" $trozos)
comparar "2 GiB en 2 trozos, número 1" "$nuestro" "$suyo"
verificar=$(medir "$tmp/dos" "" par2 verify -q banco.par2)
echo "$verificar" | awk '{ printf "par2 verify de ese conjunto: %.2f s, %.1f MiB\n", $1, $2 / 1024 }'
echo "Carga al terminar: $(cut -d' ' -f1-3 /proc/loadavg)"
