#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# quimbel-cli crc run from copies of the program folder: with the provider beside it,
# without it, and with one that lacks the crc32 export. Run from another folder, so
# nothing is found by accident in the current one.
# Arguments: quimbel-cli, libcrc32.so, a libcrc32.so without the export.
set -u
cli=$1 provider=$2 sin_exportacion=$3
t=$(mktemp -d)
trap 'rm -rf "$t"' EXIT
. "$(dirname "$0")/../support/comprobar.sh"

mkdir "$t/con" "$t/sin" "$t/sin_exportacion" "$t/datos" "$t/otra"
cp "$cli" "$t/con/" && cp "$provider" "$t/con/libcrc32.so"
cp "$cli" "$t/sin/"
cp "$cli" "$t/sin_exportacion/" && cp "$sin_exportacion" "$t/sin_exportacion/libcrc32.so"
printf 123456789 >"$t/datos/v.txt"
: >"$t/datos/vacio"
falta="$t/datos/no existe"
cd "$t/otra" || exit 1

"$t/con/quimbel-cli" crc "$t/datos/v.txt" "$falta" "$t/datos/vacio" >"$t/out" 2>"$t/err"
comprueba "con biblioteca: estado" 1 $?
comprueba "con biblioteca: salida" "cbf43926  $t/datos/v.txt
00000000  $t/datos/vacio" "$(cat "$t/out")"
comprueba "con biblioteca: error" "¡ Error al calcular CRC del fichero $falta !" "$(cat "$t/err")"

"$t/con/quimbel-cli" crc "$t/datos/v.txt" >"$t/out" 2>"$t/err"
comprueba "todo bien: estado" 0 $?

for copia in sin sin_exportacion; do
    "$t/$copia/quimbel-cli" crc "$t/datos/v.txt" "$t/datos/vacio" >"$t/out" 2>"$t/err"
    comprueba "$copia: estado (1, no un cierre por señal)" 1 $?
    comprueba "$copia: salida" "" "$(cat "$t/out")"
    comprueba "$copia: errores" "¡ Error al calcular CRC del fichero $t/datos/v.txt !
¡ Error al calcular CRC del fichero $t/datos/vacio !" "$(cat "$t/err")"
done

resumen
