#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# quimbel-cli reparar against Debian's par2: sets made by par2 create (several files, many
# slices each, 5 % and 10 %) and by quimbel-cli cortar --par, damaged within what they can
# rebuild, come back byte-identical and par2 verifies them; --solo-comprobar agrees with
# par2 verify; one slice too many writes nothing; a file that is no set, a usage error and a
# missing library give their messages and exit statuses.
# Arguments: quimbel-cli, libcrc32.so, libpar.so.
set -u
cli=$1 crc=$2 par=$3
t=$(mktemp -d)
trap 'rm -rf "$t"' EXIT
. "$(dirname "$0")/../support/comprobar.sh"
# par2 waits for its threads without spinning, which on shared cores takes seconds from others.
export OMP_WAIT_POLICY=PASSIVE

mkdir "$t/bin" "$t/sinpar" "$t/p2" "$t/trozos"
cp "$cli" "$crc" "$par" "$t/bin/"
cp "$cli" "$crc" "$t/sinpar/"
q="$t/bin/quimbel-cli"
cd "$t" || exit 1

# voltea FICHERO POSICION: changes one byte in place.
voltea() {
    b=$(od -An -tu1 -j "$2" -N1 "$1" | tr -d ' ')
    printf "$(printf '\\%03o' $(((b + 1) % 256)))" | dd of="$1" bs=1 seek="$2" conv=notrunc 2>/dev/null
}
# estados SALIDA: "name:state" per file from par2 verify's or our lines, sorted.
estados_par2() { tr '\r' '\n' <"$1" | sed -n 's/^Target: "\(.*\)" - \([a-z]*\).*/\1:\2/p' | sed 's/:found$/:bien/; s/:damaged$/:mal/; s/:missing$/:falta/' | sort; }
estados_nuestros() {
    sed -n 's/^  Correcto: .*\/\(.*\)$/\1:bien/p; s/^    Dañado: .*\/\(.*\) (.*$/\1:mal/p; s/^ No existe: .*\/\(.*\)$/\1:falta/p' "$1" | sort
}
identicos() { # folder of originals, folder: every original back
    for f in "$1"/*; do cmp -s "$f" "$2/$(basename "$f")" || falla "$2/$(basename "$f") no es idéntico"; done
}

# par2 create with its defaults (about 2000 slices, whatever the size): four files of many
# slices and a small one; 5 % recovery.
mkdir orig
for n in 1 2 3 4; do head -c 100000 /dev/urandom >"orig/f$n.bin"; done
head -c 6000 /dev/urandom >orig/chico.bin
cp orig/* p2/
(cd p2 && par2 create -q x.par2 f1.bin f2.bin f3.bin f4.bin chico.bin >/dev/null 2>&1)
comprueba "par2 create" 0 $?
voltea p2/f1.bin 50000
voltea p2/f3.bin 5
truncate -s 97500 p2/f2.bin
printf 'cola' >>p2/f4.bin
"$q" reparar p2/x.par2 --solo-comprobar >out 2>err
comprueba "comprobar: estado" 1 $?
comprueba "comprobar: mensaje" "¡ Proceso finalizado !" "$(cat err)"
(cd p2 && par2 verify x.par2 >../par2.out 2>&1)
comprueba "par2 verify antes" 1 $?
comprueba "comprobar: los mismos ficheros dañados que par2" "$(estados_par2 par2.out)" "$(estados_nuestros out)"
comprueba "comprobar: nada escrito" "" "$(ls p2 | grep '\.1$')"
"$q" reparar p2/x.par2 >out 2>err
comprueba "reparar (5 %): estado" 0 $?
comprueba "reparar: líneas Reparado" "4" "$(grep -c '^  Reparado: p2/' out)"
identicos orig p2
(cd p2 && par2 verify -q x.par2 >/dev/null 2>&1)
comprueba "par2 verify tras reparar" 0 $?
cmp -s p2/f4.bin.1 orig/f4.bin
comprueba "el dañado queda como .1" 1 $?

# 10 %: a whole file lost and one damaged, found from a folder given apart.
rm -r p2 && mkdir p2 && cp orig/* p2/
(cd p2 && par2 create -q -r10 y.par2 f1.bin f2.bin f3.bin f4.bin chico.bin >/dev/null 2>&1)
mv p2/y*.par2 . && rm p2/chico.bin && voltea p2/f2.bin 61728
"$q" reparar y.par2 --carpeta p2 >out 2>err
comprueba "reparar (10 %) con --carpeta: estado" 0 $?
comprueba "reparar: ruta mostrada" "  Reparado: p2/chico.bin" "$(grep 'chico' out | tail -n 1)"
identicos orig p2
cp y*.par2 p2/ && (cd p2 && par2 verify -q y.par2 >/dev/null 2>&1)
comprueba "par2 verify (10 %)" 0 $?

# cortar --par 3: pieces lost, damaged and truncated.
head -c 1000000 /dev/urandom >pelicula.avi
"$q" cortar pelicula.avi 100000 --destino trozos --par 3 >/dev/null 2>&1
comprueba "cortar --par 3" 0 $?
mkdir trozos_orig && cp trozos/pelicula.0* trozos_orig/
rm trozos/pelicula.004 && voltea trozos/pelicula.007 50000 && truncate -s 99999 trozos/pelicula.010
"$q" reparar trozos/pelicula.par2 >out 2>err
comprueba "reparar cortar --par: estado" 0 $?
comprueba "reparar cortar --par: bloques" "Bloques de recuperación: 3 disponibles, 3 necesarios" "$(grep '^Bloques' out)"
identicos trozos_orig trozos
(cd trozos && par2 verify -q pelicula.par2 >/dev/null 2>&1)
comprueba "par2 verify (cortar --par)" 0 $?

# One slice too many: nothing written or renamed.
rm trozos/pelicula.001 trozos/pelicula.002 && voltea trozos/pelicula.003 10 && voltea trozos/pelicula.005 10
antes=$(ls -l trozos)
"$q" reparar trozos/pelicula.par2 >out 2>err
comprueba "uno de más: estado" 1 $?
comprueba "uno de más: mensaje" "¡ Falta 1 bloque de recuperación !" "$(cat err)"
comprueba "uno de más: bloques" "Bloques de recuperación: 3 disponibles, 4 necesarios" "$(grep '^Bloques' out)"
comprueba "uno de más: nada escrito ni renombrado" "$antes" "$(ls -l trozos)"
(cd trozos && par2 verify -q pelicula.par2 >/dev/null 2>&1)
comprueba "par2 también lo ve imposible" 2 $?

# Not a set, usage errors, no library.
head -c 5000 /dev/urandom >falso.par2
"$q" reparar falso.par2 >out 2>err
comprueba "no es un juego: estado" 2 $?
comprueba "no es un juego: mensaje" "¡ falso.par2 no es un juego PAR2 válido !" "$(cat err)"
"$q" reparar >out 2>err
comprueba "sin índice: estado" 2 $?
"$q" reparar x.par2 --carpeta >out 2>err
comprueba "--carpeta sin valor: estado" 2 $?
"$t/sinpar/quimbel-cli" reparar trozos/pelicula.par2 >out 2>err
comprueba "sin biblioteca: estado" 1 $?
comprueba "sin biblioteca: mensaje" "¡ Error en la DLL Par.dll !" "$(cat err)"

resumen
