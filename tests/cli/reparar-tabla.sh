#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# One table of damaged sets, made by par2 and by quimbel-cli cortar --par. Each row damages a
# fresh copy of a set, checks it (--solo-comprobar: 1 when a repair would make every file
# whole, 2 when not), repairs it, and compares every listed file with its original byte for
# byte or, when it cannot be repaired, every file of the folder with what it was before.
# Arguments: quimbel-cli, libcrc32.so, libpar.so.
set -u
cli=$1 crc=$2 par=$3
t=$(mktemp -d)
trap 'rm -rf "$t"' EXIT
. "$(dirname "$0")/../support/comprobar.sh"

mkdir "$t/bin"
cp "$cli" "$crc" "$par" "$t/bin/"
q="$t/bin/quimbel-cli"
cd "$t" || exit 1

# mete FICHERO POSICION TEXTO: inserts TEXTO at POSICION; quita FICHERO POSICION N: deletes N
# bytes there; voltea FICHERO POSICION: changes one byte in place.
mete() { { head -c "$2" "$1"; printf '%s' "$3"; tail -c +$(($2 + 1)) "$1"; } >"$1.x" && mv "$1.x" "$1"; }
quita() { { head -c "$2" "$1"; tail -c +$(($2 + $3 + 1)) "$1"; } >"$1.x" && mv "$1.x" "$1"; }
voltea() {
    b=$(od -An -tu1 -j "$2" -N1 "$1" | tr -d ' ')
    printf "$(printf '\\%03o' $(((b + 1) % 256)))" | dd of="$1" bs=1 seek="$2" conv=notrunc 2>/dev/null
}
# huella CARPETA: every file below it with its checksum, links as links.
huella() { (cd "$1" && find . \( -type f -o -type l \) -exec sh -c 'for f; do
    if [ -L "$f" ]; then echo "$f -> $(readlink "$f")"; else echo "$f $(cksum <"$f")"; fi; done' _ {} + | sort); }

# fila NOMBRE JUEGO INDICE DAÑO ESPERADO [ARGUMENTOS...]: the row's damage (a shell command run
# in the copy) and the check's expected status; ARGUMENTOS go to both runs.
fila() {
    nombre=$1 juego=$2 indice=$3 dano=$4 esperado=$5
    shift 5
    rm -rf w && cp -a "$juego" w && (cd w && eval "$dano")
    antes=$(huella w)
    "$q" reparar "w/$indice" --solo-comprobar "$@" >out 2>err
    comprueba "$nombre: comprobar" "$esperado" $?
    comprueba "$nombre: comprobar no escribe" "$antes" "$(huella w)"
    "$q" reparar "w/$indice" "$@" >out 2>err
    estado=$?
    if [ "$esperado" = 0 ]; then
        comprueba "$nombre: reparar" 0 $estado
        comprueba "$nombre: nada tocado" "$antes" "$(huella w)"
    elif [ "$esperado" = 1 ]; then
        comprueba "$nombre: reparar" 0 $estado
        for f in $(cd "$juego.orig" && find . -type f); do
            cmp -s "$juego.orig/$f" "w/$f" || falla "$nombre: $f no es idéntico"
        done
    else
        comprueba "$nombre: reparar imposible" 1 $estado
        comprueba "$nombre: nada tocado" "$antes" "$(huella w)"
    fi
}

# par2's set: a.bin in 25 slices of 40,000, b.bin in 8 (the last of 20,001), c.bin in one of 7 bytes.
mkdir p2 p2.orig
head -c 1000000 /dev/urandom >p2.orig/a.bin
head -c 300001 /dev/urandom >p2.orig/b.bin
printf 'corto\n!' >p2.orig/c.bin
cp p2.orig/* p2/
(cd p2 && par2 create -q -s40000 -c6 x.par2 a.bin b.bin c.bin >/dev/null 2>&1)
comprueba "par2 create" 0 $?

fila "metido en medio" p2 x.par2 "mete a.bin 123457 X" 1
fila "metido al principio" p2 x.par2 "mete a.bin 0 XYZ" 1
fila "metido en un borde" p2 x.par2 "mete a.bin 400000 X" 1
fila "metido al final" p2 x.par2 "mete a.bin 1000000 X" 1
fila "quitado en medio" p2 x.par2 "quita a.bin 555555 1" 1
fila "quitado un bloque entre bordes" p2 x.par2 "quita a.bin 400000 40000" 1
fila "quitado el último byte" p2 x.par2 "quita a.bin 999999 1" 1
fila "metido en el último bloque corto" p2 x.par2 "mete b.bin 290000 0123456789" 1
fila "metido antes del último bloque corto" p2 x.par2 "mete b.bin 100 0123456789" 1
comprueba "metido antes del último bloque corto: memo" "    Dañado: w/b.bin (1 bloque)" "$(grep 'Dañado' out)"
fila "metido y quitado en dos ficheros" p2 x.par2 "mete a.bin 777777 X; quita b.bin 5 3" 1
fila "siete bloques perdidos, seis a mano" p2 x.par2 \
    "for k in 1 5 9 13 17 21; do quita a.bin \$((k * 40000 - 2000)) 1; mete a.bin \$((k * 40000 + 1000)) Y; done; voltea b.bin 10" 2
fila "renombrado sin --buscar" p2 x.par2 "mkdir otros && mv a.bin otros/renombrado" 2
fila "renombrado con --buscar" p2 x.par2 "mkdir otros && mv a.bin otros/renombrado" 1 --buscar w/otros/renombrado
comprueba "renombrado: memo" "Encontrado: w/otros/renombrado (25 bloques)" "$(grep '^Encontrado' out)"
cmp -s p2.orig/a.bin w/otros/renombrado || falla "renombrado: el fichero buscado cambió"
fila "movidos: memo" p2 x.par2 "mete a.bin 123457 X" 1
comprueba "movidos: memo" "    Dañado: w/a.bin (1 bloque)
Encontrado: w/a.bin (21 bloques)" "$(grep -e '^Encontrado' -e 'Dañado' out)"

# cortar --par 3: one slice per piece.
mkdir q q.orig
head -c 1000000 /dev/urandom >peli.avi
"$q" cortar peli.avi 100000 --destino q --par 3 >/dev/null 2>&1
comprueba "cortar --par 3" 0 $?
cp q/peli.0* q.orig/
fila "propio: metido en un trozo" q peli.par2 "mete peli.004 50000 X" 1
fila "propio: quitado en un borde" q peli.par2 "quita peli.007 0 1" 1
fila "propio: renombrado con --buscar" q peli.par2 "mv peli.003 ../otro; mv peli.005 peli.005.bak" 1 \
    --buscar w/../otro w/peli.005.bak
rm -f otro

# Sub-folders, links and descriptions: a set naming d2/e.bin and d2/f.bin, and one with no volumes.
mkdir s s/d2 s.orig s.orig/d2
head -c 90000 /dev/urandom >s.orig/top.bin
head -c 50000 /dev/urandom >s.orig/d2/e.bin
head -c 30000 /dev/urandom >s.orig/d2/f.bin
cp -r s.orig/* s/
(cd s && par2 create -q -s10000 -c20 s.par2 top.bin d2/e.bin d2/f.bin >/dev/null 2>&1)
comprueba "par2 create con subcarpeta" 0 $?
fila "subcarpeta perdida" s s.par2 "rm -r d2" 1
comprueba "subcarpeta perdida: memo" "  Reparado: w/d2/e.bin" "$(grep 'Reparado: w/d2/e' out)"
mkdir fuera && cp s.orig/top.bin fuera/top.bin
fila "enlace a un fichero entero" s s.par2 "ln -sf '$t/fuera/top.bin' top.bin" 0
comprueba "enlace: correcto" "  Correcto: w/top.bin" "$(grep 'top.bin' out)"
[ -L w/top.bin ] || falla "enlace: ya no es un enlace"
voltea fuera/top.bin 5
cp fuera/top.bin fuera.danado
rm -rf w && cp -a s w && ln -sf "$t/fuera/top.bin" w/top.bin
"$q" reparar w/s.par2 >out 2>err
comprueba "enlace a un dañado: reparar" 0 $?
[ -L w/top.bin.1 ] && [ ! -L w/top.bin ] || falla "enlace a un dañado: el enlace no quedó aparte"
cmp -s w/top.bin s.orig/top.bin || falla "enlace a un dañado: no reparado"
cmp -s fuera/top.bin fuera.danado || falla "enlace a un dañado: se escribió por el enlace"
cp -a s solo && rm solo/s.vol* && cp -r s.orig solo.orig
desc=$(grep -obUaP 'PAR 2\.0\x00FileDesc' solo/s.par2 | head -n 1 | cut -d: -f1)
voltea solo/s.par2 $((desc + 40))
fila "descripción dañada" solo s.par2 ":" 2
comprueba "descripción dañada: los otros se comprueban" 2 "$(grep -c '^  Correcto: ' out)"
comprueba "descripción dañada: sin nombre" 1 "$(grep -c '^Sin nombre: [0-9a-f]* (' out)"

# 1,500 small files under a low limit of open files: no false damage, nothing rebuilt that was whole.
mkdir mil mil.orig
i=0
while [ $i -lt 1500 ]; do
    { printf 'fichero %d ' $i; head -c $((500 + i % 700)) /dev/urandom; } >mil.orig/f$i.txt
    i=$((i + 1))
done
cp mil.orig/* mil/
(cd mil && par2 create -q -s1024 -c20 m.par2 f*.txt >/dev/null 2>&1)
comprueba "par2 create de 1500 ficheros" 0 $?
(ulimit -n 256 && "$q" reparar mil/m.par2 --solo-comprobar >out 2>err)
comprueba "1500 ficheros con ulimit -n 256: comprobar" 0 $?
comprueba "1500 ficheros: todos correctos" 1500 "$(grep -c '^  Correcto: ' out)"
rm -rf w && cp -a mil w && rm w/f7.txt && voltea w/f700.txt 3 && truncate -s 100 w/f1400.txt
(ulimit -n 256 && "$q" reparar w/m.par2 >out 2>err)
comprueba "1500 ficheros con ulimit -n 256: reparar" 0 $?
comprueba "1500 ficheros: solo se apartan los dañados" "w/f1400.txt.1
w/f700.txt.1" "$(ls w/*.1 | sort)"
for f in f7.txt f700.txt f1400.txt f3.txt; do cmp -s "mil.orig/$f" "w/$f" || falla "1500 ficheros: $f"; done

resumen
