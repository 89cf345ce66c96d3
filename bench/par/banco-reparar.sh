#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# The rows of the parity work against par2 (Debian's) and, when PAR2_TURBO names a built
# par2cmdline-turbo program, against it too, page cache warm, what each run's preparation
# wrote flushed before it starts. Wall time, CPU time and peak memory of each, and the ratios
# ours / par2 and ours / turbo. Goals: at most 0.08 of par2's and 0.25 of turbo's wall time;
# under 64 MiB for rows 1 to 5, under twice turbo's for 6 and 7.
#   1 create, 10 %: 1 GiB in 100 pieces (conductor-par, count 10; par2 create with the same
#     slices, one per piece, and 10 recovery slices)
#   2 check of par2's default set of those pieces (2,000 slices), 3 pieces deleted, 2 damaged
#   3 repair of cortar --par 5's set (one slice per piece), same damage
#   4 repair of par2's default set, same damage
#   5 repair of one 2 GB file (par2's default set), 8 MiB zeroed in the middle
#   6 repair of 8 MiB in 8,192 slices of 1 KiB with 4,900 recovery slices, 4,000 zeroed
#   7 the same with 4,800 zeroed
# Row 5 also gives `dd conv=fsync` of the file after the same preparation: what writing it
# and flushing it takes alone.
# Rows 6 and 7 have no par2 figure (it takes minutes). Each figure is the fastest of VECES runs
# (default 2), the damage put back before each; every repair is checked against the originals.
#   bench/par/banco-reparar.sh [BUILD_FOLDER]    (default: build; FILAS="2 3" runs some rows;
#   ESCALA=16 divides the sizes of rows 1 to 5, for a trial)
set -eu
raiz=$(cd "$(dirname "$0")/../.." && pwd)
bin=$(cd "${1:-$raiz/build}/bin" && pwd)
for f in libpar.so libcrc32.so quimbel-cli conductor-par; do
    [ -e "$bin/$f" ] || { echo "falta $bin/$f: compila antes" >&2; exit 2; }
done
command -v par2 >/dev/null || { echo "falta par2" >&2; exit 2; }
[ -x /usr/bin/time ] || { echo "falta /usr/bin/time (paquete time)" >&2; exit 2; }
turbo=${PAR2_TURBO:-}
[ -z "$turbo" ] || [ -x "$turbo" ] || { echo "PAR2_TURBO no es un programa: $turbo" >&2; exit 2; }

tmp=$(mktemp -d /tmp/quimbel-banco-reparar.XXXXXX)
trap 'rm -rf "$tmp"' EXIT INT TERM
veces=${VECES:-2}
escala=${ESCALA:-1}
filas=${FILAS:-1 2 3 4 5 6 7}
q="$bin/quimbel-cli"
echo "Carga al empezar: $(cut -d' ' -f1-3 /proc/loadavg)"

aleatorio() { openssl enc -aes-128-ctr -nosalt -pass pass:"$2" -in /dev/zero 2>/dev/null | head -c "$1"; }
hay() { case " $filas " in *" $1 "*) return 0 ;; esac; return 1; }

# medir PREPARAR ORDEN...: the command under /usr/bin/time $veces times, PREPARAR run before
# each; prints "wall-seconds peak-kib cpu-seconds" of the fastest run.
medir() {
    preparar=$1
    shift
    mejor=""
    i=0
    while [ $i -lt "$veces" ]; do
        eval "$preparar"
        # What the preparation wrote reaches the disk before, not during, the command.
        sync
        /usr/bin/time -f "%e %M %U %S" -o "$tmp/tiempo" "$@" >"$tmp/salida" 2>&1 || true
        # A status other than 0 puts a line of its own before the figures.
        mejor=$(printf '%s\n%s\n' "$mejor" "$(tail -n 1 "$tmp/tiempo" | awk '{ print $1, $2, $3 + $4 }')" | sed '/^$/d' |
            sort -n | head -n 1)
        i=$((i + 1))
    done
    echo "$mejor"
}

# informe FILA NUESTRO PAR2 TURBO: figures "wall peak cpu" or "-".
informe() {
    awk -v n="$1" -v a="$2" -v b="$3" -v c="$4" 'function uno(nombre, x,   f) {
            if (x == "-") return ""
            split(x, f, " ")
            return sprintf(" | %s %6.2f s (CPU %6.2f s) %7.1f MiB", nombre, f[1], f[3], f[2] / 1024) }
        function razon(nombre, x, y,   f, g) {
            if (y == "-") return ""
            split(x, f, " "); split(y, g, " ")
            return sprintf("  / %s: tiempo %.3f memoria %.3f", nombre, f[1] / g[1], f[2] / g[2]) }
        BEGIN {
            printf "%-34s%s%s%s\n", n, substr(uno("quimbel", a), 4), uno("par2", b), uno("turbo", c)
            printf "%-34s%s%s\n", "", razon("par2", a, b), razon("turbo", a, c) }'
}

# Row 1 to 4: 1 GiB in 100 pieces; par2's default set in p2/, ours in q/.
if hay 1 || hay 2 || hay 3 || hay 4; then
    total=$((1073741824 / escala))
    trozo=$(((total + 99) / 100))
    aleatorio $total banco >"$tmp/banco.bin"
    mkdir "$tmp/p2" "$tmp/q" "$tmp/orig"
    "$q" cortar "$tmp/banco.bin" $trozo --destino "$tmp/p2" >/dev/null 2>&1
    "$q" cortar "$tmp/banco.bin" $trozo --destino "$tmp/q" --par 5 >/dev/null 2>&1
    rm "$tmp/banco.bin"
    for k in 010 020 050 070 090; do cp "$tmp/p2/banco.$k" "$tmp/orig/"; done
fi
# danar CARPETA: pieces 10, 50 and 90 deleted, a byte flipped in the middle of 20 and 70.
danar() {
    rm -f "$1"/banco.010 "$1"/banco.050 "$1"/banco.090 "$1"/banco.*.[0-9]
    for k in 020 070; do
        cp "$tmp/orig/banco.$k" "$1/banco.$k"
        printf '\377' | dd of="$1/banco.$k" bs=1 seek=$((trozo / 2)) conv=notrunc 2>/dev/null
    done
}
completo() { for k in 010 020 050 070 090; do cmp -s "$1/banco.$k" "$tmp/orig/banco.$k" || return 1; done; }
comprobado() { completo "$1" || { echo "$2 no reparó $1" >&2; cat "$tmp/salida" >&2; exit 1; }; }

if hay 1; then
    mkdir "$tmp/c"
    ln -s "$tmp"/p2/banco.* "$tmp/c/"
    cd "$tmp/c"
    a=$(medir "rm -f c.par2 c.vol*" "$bin/conductor-par" "$bin/libpar.so" 10 c.par banco.0*)
    # The same slices as ours (one per piece) and as many recovery slices.
    rebanada=$(((trozo + 3) / 4 * 4))
    b=$(medir "rm -f x.par2 x.vol*" par2 create -q -s$rebanada -c10 x.par2 banco.0*)
    c=-
    [ -z "$turbo" ] || c=$(medir "rm -f x.par2 x.vol*" "$turbo" create -q -s$rebanada -c10 x.par2 banco.0*)
    informe "1 crear, 10 %" "$a" "$b" "$c"
    cd / && rm -rf "$tmp/c"
fi
if hay 2 || hay 4; then
    (cd "$tmp/p2" && par2 create -q banco.par2 banco.0* >/dev/null)
    danar "$tmp/p2"
fi
if hay 2; then
    cd "$tmp/p2"
    a=$(medir : "$q" reparar banco.par2 --solo-comprobar)
    b=$(medir : par2 verify -q banco.par2)
    c=-
    [ -z "$turbo" ] || c=$(medir : "$turbo" verify -q banco.par2)
    informe "2 comprobar, juego de par2" "$a" "$b" "$c"
fi
if hay 3; then
    cd "$tmp/q"
    a=$(medir "danar $tmp/q" "$q" reparar banco.par2)
    comprobado "$tmp/q" quimbel
    b=$(medir "danar $tmp/q" par2 repair -q banco.par2)
    comprobado "$tmp/q" par2
    c=-
    [ -z "$turbo" ] || { c=$(medir "danar $tmp/q" "$turbo" repair -q banco.par2) && comprobado "$tmp/q" turbo; }
    informe "3 reparar, un bloque por trozo" "$a" "$b" "$c"
fi
if hay 4; then
    cd "$tmp/p2"
    a=$(medir "danar $tmp/p2" "$q" reparar banco.par2)
    comprobado "$tmp/p2" quimbel
    b=$(medir "danar $tmp/p2" par2 repair -q banco.par2)
    comprobado "$tmp/p2" par2
    c=-
    [ -z "$turbo" ] || { c=$(medir "danar $tmp/p2" "$turbo" repair -q banco.par2) && comprobado "$tmp/p2" turbo; }
    informe "4 reparar, juego de par2" "$a" "$b" "$c"
fi
cd /
rm -rf "$tmp/p2" "$tmp/q" "$tmp/orig"

# ceros FICHERO POSICION BYTES: zeroes a stretch in place, the original kept as FICHERO.orig.
ceros() {
    rm -f "$1".[0-9]
    cp "$1.orig" "$1"
    head -c "$3" /dev/zero | dd of="$1" bs=1M seek="$2" oflag=seek_bytes conv=notrunc 2>/dev/null
}
igual() { cmp -s "$1" "$1.orig" || { echo "$2 no reparó $1" >&2; cat "$tmp/salida" >&2; exit 1; }; }
if hay 5; then
    mkdir "$tmp/g" && cd "$tmp/g"
    grande=$((2000000000 / escala))
    aleatorio $grande grande >g.bin.orig
    cp g.bin.orig g.bin
    par2 create -q g.par2 g.bin >/dev/null
    dano="ceros g.bin $((grande / 2)) $((8388608 / escala))"
    a=$(medir "$dano" "$q" reparar g.par2)
    igual g.bin quimbel
    b=$(medir "$dano" par2 repair -q g.par2)
    igual g.bin par2
    c=-
    [ -z "$turbo" ] || { c=$(medir "$dano" "$turbo" repair -q g.par2) && igual g.bin turbo; }
    informe "5 reparar, 2 GB, 8 MiB a cero" "$a" "$b" "$c"
    # The disk's and the memory's share: the same bytes written and flushed, as our repair
    # flushes its file, after the same preparation (a file written into memory just freed costs
    # more on some machines than one written into memory in use).
    d=$(medir "$dano; rm -f g.copia" dd if=g.bin.orig of=g.copia bs=4M conv=fsync status=none)
    rm -f g.copia
    echo "$d" | awk '{ printf "  referencia: dd del fichero con fsync %6.2f s (CPU %6.2f s)\n", $1, $3 }'
    cd / && rm -rf "$tmp/g"
fi
if hay 6 || hay 7; then
    mkdir "$tmp/k" && cd "$tmp/k"
    aleatorio 8388608 kib >k.bin.orig
    cp k.bin.orig k.bin
    par2 create -q -s1024 -c4900 k.par2 k.bin >/dev/null
    for perdidos in 4000 4800; do
        fila=$([ $perdidos = 4000 ] && echo 6 || echo 7)
        hay $fila || continue
        a=$(medir "ceros k.bin 1048576 $((perdidos * 1024))" "$q" reparar k.par2)
        igual k.bin quimbel
        c=-
        [ -z "$turbo" ] ||
            { c=$(medir "ceros k.bin 1048576 $((perdidos * 1024))" "$turbo" repair -q k.par2) && igual k.bin turbo; }
        informe "$fila reparar, 1 KiB, $perdidos perdidos" "$a" - "$c"
    done
    cd / && rm -rf "$tmp/k"
fi
echo "Carga al acabar: $(cut -d' ' -f1-3 /proc/loadavg)"
