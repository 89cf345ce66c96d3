#!/bin/sh
# Check and repair of 1 GiB in 100 pieces, 3 pieces deleted and 2 with a flipped byte, by
# quimbel-cli reparar against par2 verify and par2 repair on the same set, for a set made by
# par2 create with its defaults and for one made by quimbel-cli cortar --par 5. Prints wall
# time, CPU time and peak memory of each, and the ratios ours / par2. Goal: each of ours at
# most 0.25 of par2's wall time. Each run is made VECES times (default 2) and the fastest
# kept, as the machine may be shared; the damage is put back before every repair.
#   bench/par/banco-reparar.sh [BUILD_FOLDER]    (default: build)
set -eu
raiz=$(cd "$(dirname "$0")/../.." && pwd)
bin=$(cd "${1:-$raiz/build}/bin" && pwd)
for f in libpar.so libcrc32.so quimbel-cli; do
    [ -e "$bin/$f" ] || { echo "falta $bin/$f: compila antes" >&2; exit 2; }
done
command -v par2 >/dev/null || { echo "falta par2" >&2; exit 2; }
[ -x /usr/bin/time ] || { echo "falta /usr/bin/time (paquete time)" >&2; exit 2; }

tmp=$(mktemp -d /tmp/quimbel-banco-reparar.XXXXXX)
trap 'rm -rf "$tmp"' EXIT INT TERM
veces=${VECES:-2}
total=${TOTAL:-1073741824} # TOTAL: a smaller trial
trozo=$(( (total + 99) / 100 ))
echo "Fuente de $total bytes en 100 trozos de $trozo bytes"
openssl enc -aes-128-ctr -nosalt -pass pass:quimbel -in /dev/zero 2>/dev/null | head -c $total >"$tmp/banco.bin"

# Two folders of pieces: one with par2 create's set, one with cortar --par 5's.
mkdir "$tmp/par2" "$tmp/nuestro"
"$bin/quimbel-cli" cortar "$tmp/banco.bin" $trozo --destino "$tmp/par2" >/dev/null 2>&1
(cd "$tmp/par2" && par2 create -q banco.par2 banco.[0-9]* >/dev/null)
"$bin/quimbel-cli" cortar "$tmp/banco.bin" $trozo --destino "$tmp/nuestro" --par 5 >/dev/null 2>&1
rm "$tmp/banco.bin"

# danar FOLDER: deletes pieces 10, 50 and 90 and flips a byte in the middle of 20 and 70,
# keeping the damaged pieces in FOLDER.danados to put the damage back later.
danar() {
    mkdir "$1.danados"
    for k in 010 050 090; do mv "$1/banco.$k" "$1.danados/"; done
    for k in 020 070; do
        cp "$1/banco.$k" "$1.danados/banco.$k"
        printf '\377' | dd of="$1/banco.$k" bs=1 seek=$((trozo / 2)) conv=notrunc 2>/dev/null
        cmp -s "$1/banco.$k" "$1.danados/banco.$k" && { echo "el byte ya era 255" >&2; exit 1; }
        cp "$1/banco.$k" "$1.danados/banco.$k.danado"
    done
}
# reponer FOLDER: the damage again (the originals stay in FOLDER.danados).
reponer() {
    rm -f "$1"/banco.010 "$1"/banco.050 "$1"/banco.090 "$1"/banco.*.[0-9]
    for k in 020 070; do cp "$1.danados/banco.$k.danado" "$1/banco.$k"; done
}
# completo FOLDER: every damaged or deleted piece back, checked against the originals kept.
completo() {
    for k in 010 020 050 070 090; do cmp -s "$1/banco.$k" "$1.danados/banco.$k" || return 1; done
}

# medir SALIDA ORDEN...: runs the command under /usr/bin/time $veces times (after PREPARAR,
# when set); prints "wall-seconds peak-kib cpu-seconds" of the fastest run.
medir() {
    salida=$1
    shift
    mejor=""
    i=0
    while [ $i -lt "$veces" ]; do
        [ -n "${PREPARAR:-}" ] && $PREPARAR
        /usr/bin/time -f "%e %M %U %S" -o "$tmp/tiempo" "$@" >"$salida" 2>&1 || true
        mejor=$(printf '%s\n%s\n' "$mejor" "$(tail -n 1 "$tmp/tiempo" | awk '{ print $1, $2, $3 + $4 }')" |
            sed '/^$/d' | sort -n | head -n 1)
        i=$((i + 1))
    done
    echo "$mejor"
}

informe() { # name, our figures, par2's figures
    set -- "$1" $2 $3
    awk -v n="$1" -v tn=$2 -v mn=$3 -v cn=$4 -v ts=$5 -v ms=$6 -v cs=$7 'BEGIN {
        printf "%-22s quimbel %6.2f s (CPU %6.2f s) %7.1f MiB | par2 %7.2f s (CPU %7.2f s) %7.1f MiB\n",
               n, tn, cn, mn / 1024, ts, cs, ms / 1024
        printf "%-22s quimbel / par2: tiempo %.3f  memoria %.3f  (CPU %.3f)\n", "", tn / ts, mn / ms, cn / cs }'
}

for juego in par2 nuestro; do
    d="$tmp/$juego"
    indice="$d/banco.par2"
    danar "$d"
    cat "$d"/* >/dev/null # every run reads from the page cache
    echo "Juego de $juego: $(ls "$d" | grep -c 'par2$') ficheros PAR2"
    PREPARAR=""
    ver_q=$(medir "$tmp/q.log" "$bin/quimbel-cli" reparar "$indice" --solo-comprobar)
    grep -q '^Bloques' "$tmp/q.log" || { cat "$tmp/q.log"; exit 1; }
    ver_p=$(cd "$d" && medir "$tmp/p.log" par2 verify -q banco.par2)
    informe "comprobar ($juego)" "$ver_q" "$ver_p"
    PREPARAR="reponer $d"
    rep_q=$(medir "$tmp/q.log" "$bin/quimbel-cli" reparar "$indice")
    completo "$d" || { echo "quimbel-cli no reparó el juego de $juego" >&2; cat "$tmp/q.log"; exit 1; }
    rep_p=$(cd "$d" && medir "$tmp/p.log" par2 repair -q banco.par2)
    completo "$d" || { echo "par2 no reparó el juego de $juego" >&2; exit 1; }
    informe "reparar ($juego)" "$rep_q" "$rep_p"
    (cd "$d" && par2 verify -q banco.par2 >/dev/null) || { echo "par2 no verifica tras reparar" >&2; exit 1; }
done
