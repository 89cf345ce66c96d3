#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# quimbel-cli cortar --par with the real parity library: the set verifies and repairs
# with par2; a wrong count, a missing library and too many pieces give their messages.
# Arguments: quimbel-cli, libcrc32.so, libpar.so.
set -u
cli=$1 crc=$2 par=$3
t=$(mktemp -d)
trap 'rm -rf "$t"' EXIT
. "$(dirname "$0")/../support/comprobar.sh"
# par2 waits for its threads without spinning, which on shared cores takes seconds from others.
export OMP_WAIT_POLICY=PASSIVE

mkdir "$t/bin" "$t/sinpar" "$t/trozos" "$t/mil"
cp "$cli" "$crc" "$par" "$t/bin/"
cp "$cli" "$crc" "$t/sinpar/"
head -c 250000 /dev/urandom >"$t/pelicula.avi"
cd "$t" || exit 1

"$t/bin/quimbel-cli" cortar pelicula.avi 60000 --destino trozos --sfv --par 2 >out 2>err
comprueba "estado" 0 $?
comprueba "mensajes" "¡ Proceso finalizado !" "$(cat err)"
comprueba "línea del PAR" "Creando PAR: $t/trozos/pelicula.par" "$(grep '^Creando PAR' out)"
grep -q "^Creado fichero .*pelicula.par2$" out || falla "la biblioteca no informó del índice"
par2 verify -q trozos/pelicula.par2 >/dev/null 2>&1
comprueba "par2 verify" 0 $?
cp trozos/pelicula.002 original.002
rm trozos/pelicula.002 && printf x >>trozos/pelicula.005
par2 repair -q trozos/pelicula.par2 >/dev/null 2>&1
comprueba "par2 repair" 0 $?
cmp -s trozos/pelicula.002 original.002
comprueba "trozo rehecho" 0 $?
"$t/bin/quimbel-cli" verificar trozos/pelicula.sfv >/dev/null 2>&1
comprueba "el SFV verifica tras la reparación" 0 $?

"$t/bin/quimbel-cli" cortar pelicula.avi 60000 --destino trozos --par "5 " --reemplazar >out 2>err
comprueba "número no válido: estado" 1 $?
comprueba "número no válido: mensaje" "¡ Error en el número de pares !" "$(cat err)"
comprueba "número no válido: última línea" "Creando PAR: $t/trozos/pelicula.par" "$(tail -n 1 out)"

"$t/sinpar/quimbel-cli" cortar pelicula.avi 60000 --destino trozos --par 1 --reemplazar >out 2>err
comprueba "sin biblioteca: estado" 1 $?
comprueba "sin biblioteca: mensajes" "¡ Error en la DLL Par.dll !
¡ Proceso finalizado !" "$(cat err)"

head -c 994 /dev/urandom >mil.bin
"$t/bin/quimbel-cli" cortar mil.bin 1 --destino mil --par 1 >out 2>err
comprueba "994 trozos: estado" 1 $?
comprueba "994 trozos: mensajes" "¡ Demasiados trozos para crear el PAR: el máximo es 993 !
¡ Proceso finalizado !" "$(cat err)"
comprueba "994 trozos: ningún .par2" "" "$(ls mil | grep par2)"

resumen
