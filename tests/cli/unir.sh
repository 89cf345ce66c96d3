#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# quimbel-cli unir and cortar as a join that can be trusted: the whole set from any piece, a gap
# or a wrong size refused with nothing written, a file in the way replaced only with
# --reemplazar, and a split that never leaves a set that joins wrong.
# Arguments: quimbel-cli.
set -u
cli=$1
t=$(mktemp -d)
trap 'rm -rf "$t"' EXIT
. "$(dirname "$0")/../support/comprobar.sh"
q() { timeout 30 "$cli" "$@" >"$t/out" 2>"$t/err"; }
mensaje() { cat "$t/err"; }
cabecera_hacha() { # name S P
    h=$((${#1} + ${#2} + ${#3} + 20))
    printf "?????\\$(printf %03o "$h")\\000\\000\\000?????%s?????%s?????%s?????" "$1" "$2" "$3"
}

# 1. Any piece gives the whole set; a gap is named and nothing is written.
d=$t/1 && mkdir "$d"
head -c 35 /dev/urandom >"$d/x.bin"
q cortar "$d/x.bin" 10
q unir "$d/x.002" --destino "$d/junto"
comprueba "1 desde el 2: estado" 0 $?
cmp -s "$d/x.bin" "$d/junto" || falla "1: el unido difiere"
mv "$d/x.003" "$t/x.003"
q unir "$d/x.001" --destino "$d/otro"
comprueba "1 hueco: estado" 1 $?
comprueba "1 hueco: mensaje" "¡ Falta el trozo 3 : $d/x.003 !" "$(mensaje)"
[ ! -e "$d/otro" ] || falla "1: se creó el destino de un juego con hueco"

# 2. Split in place, a piece lost: the proposal is the original, which stays whole; with the
#    set whole again, the original is replaced only with --reemplazar.
d=$t/2 && mkdir "$d"
head -c 25 /dev/urandom >"$d/x.avi"
cp "$d/x.avi" "$t/original"
q cortar "$d/x.avi" 10
mv "$d/x.002" "$t/x.002"
q unir "$d/x.001"
comprueba "2 hueco: estado" 1 $?
comprueba "2 hueco: mensaje" "¡ Falta el trozo 2 : $d/x.002 !" "$(mensaje)"
mv "$t/x.002" "$d/x.002"
q unir "$d/x.001"
comprueba "2 existe: estado" 1 $?
comprueba "2 existe: mensaje" "¡ El fichero $d/x.avi ya existe; use --reemplazar !" "$(mensaje)"
cmp -s "$d/x.avi" "$t/original" || falla "2: el original cambió"
q unir "$d/x.001" --reemplazar
comprueba "2 --reemplazar: estado" 0 $?
cmp -s "$d/x.avi" "$t/original" || falla "2: el unido difiere"
comprueba "2 sin temporales" "" "$(ls -A "$d" | grep quimbel)"

# 3. A Hacha header that names a file beside the pieces: that file is never emptied; a piece
#    cut short of what the header records stops the join.
d=$t/3 && mkdir "$d"
printf 'precioso' >"$d/precious.txt"
{ cabecera_hacha precious.txt 20 10; printf '0123456789'; } >"$d/h.0"
printf 'abcdefghij' >"$d/h.1"
q unir "$d/h.1"
comprueba "3 vecino: estado" 1 $?
comprueba "3 vecino: mensaje" "¡ El fichero $d/precious.txt ya existe; use --reemplazar !" "$(mensaje)"
comprueba "3 vecino intacto" precioso "$(cat "$d/precious.txt")"
printf 'abcde' >"$d/h.1"
q unir "$d/h.0" --destino "$d/h.out"
comprueba "3 corto: estado" 1 $?
comprueba "3 corto: mensaje" "¡ El trozo 1 : $d/h.1 tiene 5 bytes y debería tener 10 !" "$(mensaje)"
[ ! -e "$d/h.out" ] || falla "3: se creó el destino de un trozo corto"

# 4. Two splits into one folder: the second names what is in the way and writes nothing, or,
#    with --reemplazar, moves the stray piece aside; the new set joins to exactly its source.
d=$t/4 && mkdir "$d"
head -c 30 /dev/urandom >"$t/viaje.mkv"
head -c 20 /dev/urandom >"$t/viaje.iso"
q cortar "$t/viaje.mkv" 10 --destino "$d"
q cortar "$t/viaje.iso" 10 --destino "$d"
comprueba "4 sin --reemplazar: estado" 1 $?
comprueba "4 mensaje" "¡ El fichero $d/viaje.001 ya existe; use --reemplazar !" "$(mensaje)"
q cortar "$t/viaje.iso" 10 --destino "$d" --reemplazar
comprueba "4 --reemplazar: estado" 0 $?
comprueba "4 apartado" "viaje.001 viaje.002 viaje.003.1" "$(ls "$d" | tr '\n' ' ' | sed 's/ $//')"
q unir "$d/viaje.002" --destino "$t/viaje.unido"
comprueba "4 unir: estado" 0 $?
cmp -s "$t/viaje.iso" "$t/viaje.unido" || falla "4: el unido no es viaje.iso"

# 5. Runs with --trozos that complete one set between them do not stop each other.
d=$t/5 && mkdir "$d"
head -c 40 /dev/urandom >"$t/z.bin"
q cortar "$t/z.bin" 10 --destino "$d" --trozos 1-2
comprueba "5 primera pasada" 0 $?
q cortar "$t/z.bin" 10 --destino "$d" --trozos 3,4
comprueba "5 segunda pasada" 0 $?
q unir "$d/z.004" --destino "$t/z.unido"
cmp -s "$t/z.bin" "$t/z.unido" || falla "5: el unido difiere"

# 6. Pieces with their SFV file: each one checked as it is copied, a damaged one stops the join.
d=$t/6 && mkdir "$d"
head -c 30 /dev/urandom >"$t/s.bin"
q cortar "$t/s.bin" 10 --destino "$d" --sfv
q unir "$d/s.001" --destino "$t/s.unido"
comprueba "6 estado" 0 $?
comprueba "6 líneas" "3" "$(grep -c '^  Correcto: ' "$t/out")"
printf 'XXXXXXXXXX' >"$d/s.002"
q unir "$d/s.001" --destino "$t/s.otro"
comprueba "6 dañado: estado" 1 $?
comprueba "6 dañado: mensaje" "¡ Error CRC en el trozo 2 : $d/s.002 !" "$(mensaje)"
[ ! -e "$t/s.otro" ] || falla "6: se creó el destino de un trozo dañado"

# 7. Pieces with their PAR2 set: one lost and one damaged stop the join; with --reparar the set
#    is rebuilt first and joins to the source, the damaged piece kept beside it.
d=$t/7 && mkdir "$d"
head -c 40000 /dev/urandom >"$t/p.bin"
q cortar "$t/p.bin" 10000 --destino "$d" --par 2
rm "$d/p.001"
cp "$d/p.003" "$t/p.003" && printf 'X' | dd of="$d/p.003" bs=1 seek=77 conv=notrunc 2>/dev/null
q unir "$d/p.002" --destino "$t/p.unido"
comprueba "7 sin --reparar: estado" 1 $?
comprueba "7 sin --reparar: mensaje" "¡ Falta el trozo 1 : $d/p.001 !" "$(mensaje)"
[ ! -e "$t/p.unido" ] || falla "7: se creó el destino sin reparar"
q unir "$d/p.002" --destino "$t/p.unido" --reparar
comprueba "7 --reparar: estado" 0 $?
cmp -s "$t/p.bin" "$t/p.unido" || falla "7: el unido tras reparar difiere"
cmp -s "$t/p.003" "$d/p.003" || falla "7: el trozo dañado no se reconstruyó"
[ -e "$d/p.003.1" ] || falla "7: no se guardó el trozo dañado"
comprueba "7 líneas de la unión" "4" "$(sed -n '/^Uniendo trozos/,$p' "$t/out" | grep -c '^  Correcto: ')"

resumen
