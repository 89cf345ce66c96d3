#!/bin/sh
# Builds a PAR set for a 1 GiB file cut into 100 pieces, with libpar.so (through
# conductor-par, with the vector of the split's PAR step) and with par2 create (same
# slice size), for count 1 and count 10, and prints wall times, peak memory and the
# ratios ours / par2. Goal: a ratio of at most 0.15 for both counts. Each run is made
# VECES times (default 2) and the fastest kept, as the machine may be shared.
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
mkdir "$tmp/trozos" "$tmp/nuestro"

total=1073741824
trozo=$(( (total + 99) / 100 ))
rebanada=$(( (trozo + 3) / 4 * 4 ))
echo "Fuente de $total bytes en 100 trozos de $trozo bytes; rebanada de $rebanada bytes"
openssl enc -aes-128-ctr -nosalt -pass pass:quimbel -in /dev/zero 2>/dev/null | head -c $total >"$tmp/banco.bin"
"$bin/quimbel-cli" cortar "$tmp/banco.bin" $trozo --destino "$tmp/trozos" >/dev/null 2>&1
rm "$tmp/banco.bin"
sync # no write-back of the pieces during the runs
cd "$tmp/trozos"
trozos=$(ls)
set -- $trozos
[ $# -eq 100 ] || { echo "se esperaban 100 trozos, hay $#" >&2; exit 1; }
cat "$@" >/dev/null # both runs read from the page cache

veces=${VECES:-2}
# medir SALIDA ORDEN...: runs the command under /usr/bin/time $veces times; prints
# "wall-seconds peak-kib cpu-seconds" of the fastest run.
medir() {
    salida=$1
    shift
    mejor=""
    i=0
    while [ $i -lt "$veces" ]; do
        rm -f "$tmp"/nuestro/* "$tmp"/trozos/suyo*.par2
        /usr/bin/time -f "%e %M %U %S" -o "$tmp/tiempo" "$@" >"$salida" 2>&1
        mejor=$(printf '%s\n%s\n' "$mejor" "$(awk '{ print $1, $2, $3 + $4 }' "$tmp/tiempo")" |
            sed '/^$/d' | sort -n | head -n 1)
        i=$((i + 1))
    done
    echo "$mejor"
}

for n in 1 10; do
    set -- $trozos
    suyo=$(medir "$tmp/suyo.log" par2 create -q -s$rebanada -c$n -n$n -u suyo.par2 "$@")
    nuestro=$(medir "$tmp/nuestro.log" "$bin/conductor-par" "$bin/libpar.so" $n "$tmp/nuestro/banco.par" "$@")
    (cd "$tmp/trozos" && cp "$tmp"/nuestro/*.par2 . && par2 verify -q banco.par2 >/dev/null) ||
        { echo "par2 no verifica nuestro conjunto" >&2; exit 1; }
    rm -f "$tmp"/trozos/banco*.par2 "$tmp"/trozos/suyo*.par2
    set -- $nuestro $suyo
    awk -v n=$n -v tn=$1 -v mn=$2 -v cn=$3 -v ts=$4 -v ms=$5 -v cs=$6 'BEGIN {
        printf "Número %2d: libpar %6.2f s (CPU %5.2f s) %6.1f MiB | par2 %6.2f s (CPU %5.2f s) %6.1f MiB\n",
               n, tn, cn, mn / 1024, ts, cs, ms / 1024
        printf "           libpar / par2: tiempo %.3f  memoria %.3f  (CPU %.3f)\n", tn / ts, mn / ms, cn / cs }'
done
