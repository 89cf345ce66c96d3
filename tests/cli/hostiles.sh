#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# quimbel-cli on sets made as a hostile sender or an unlucky user would make them: links,
# FIFOs, crafted headers, crafted SFV lines, odd names. Each run is bounded by `timeout`
# (a hang fails the check); each ends with the policy's outcome: nothing outside the
# chosen folder changed, no piece or source emptied, the message shown and exit status 1,
# or, for sets that are merely unusual, exit 0 and the set joins or verifies back.
# Arguments: quimbel-cli (with libcrc32.so beside it).
set -u
cli=$1
t=$(mktemp -d)
trap 'rm -rf "$t"' EXIT
. "$(dirname "$0")/../support/comprobar.sh"
q() { timeout 30 "$cli" "$@" >"$t/out" 2>"$t/err"; }
mensaje() { cat "$t/err"; }
fuera=$t/fuera
mkdir "$fuera"
printf 'no tocar' >"$fuera/victima"
intacta() { comprueba "$1: la víctima de fuera" "no tocar" "$(cat "$fuera/victima")"; }
# A Hacha header: "?????", H (4 bytes little-endian, written in octal for printf), then
# "?????" name "?????" S "?????" P "?????".
cabecera_hacha() { # name S P
    h=$((${#1} + ${#2} + ${#3} + 20))
    printf "?????\\$(printf %03o "$h")\\000\\000\\000?????%s?????%s?????%s?????" "$1" "$2" "$3"
}

# 1. The join's output is a link to a file elsewhere: the name a Hacha header stores, and the
#    name proposed for a numbered set.
d=$t/1 && mkdir "$d"
head -c 30 /dev/urandom >"$d/a.avi"
q cortar "$d/a.avi" 10 --esquema hacha
rm "$d/a.avi" && ln -s "$fuera/victima" "$d/a.avi"
q unir "$d/a.0"
comprueba "1 hacha: estado" 1 $?
comprueba "1 hacha: mensaje" "¡ Error al crear fichero $d/a.avi !" "$(mensaje)"
head -c 30 /dev/urandom >"$d/p.bin"
q cortar "$d/p.bin" 10
ln -s "$fuera/victima" "$d/p.avi"
q unir "$d/p.001"
comprueba "1 propuesta: estado" 1 $?
intacta 1

# 2. The destination is a piece of the set outside the plan.
d=$t/2 && mkdir "$d"
head -c 30 /dev/urandom >"$d/pel.avi"
q cortar "$d/pel.avi" 10 --esquema cortaarchivos
cp "$d/pel.fin" "$t/pel.fin.copia"
q unir "$d/pel.1" --destino "$d/pel.fin"
comprueba "2 fin: estado" 1 $?
comprueba "2 fin: mensaje" "¡ Error, un trozo no puede llamarse igual que el fichero destino !" "$(mensaje)"
cmp -s "$d/pel.fin" "$t/pel.fin.copia" || falla "2: pel.fin cambió"
printf 1 >"$d/p.001" && printf 2 >"$d/p.002" && printf cuatro >"$d/p.004"
q unir "$d/p.001" --destino "$d/p.004"
comprueba "2 hueco: estado" 1 $?
comprueba "2 hueco: p.004" cuatro "$(cat "$d/p.004")"

# 3. Crafted headers that name the chosen piece (an empty set), a later piece, or propose one.
d=$t/3 && mkdir "$d"
cabecera_hacha q.0 0 10 >"$d/q.0"
tam=$(stat -c %s "$d/q.0")
q unir "$d/q.0"
comprueba "3 vacío: estado" 1 $?
comprueba "3 vacío: q.0 sigue" "$tam" "$(stat -c %s "$d/q.0")"
{ cabecera_hacha r.1 5 10; printf datos; } >"$d/r.0"
printf 'no tocar' >"$d/r.1"
q unir "$d/r.0"
comprueba "3 r.1: estado" 1 $?
comprueba "3 r.1: intacto" "no tocar" "$(cat "$d/r.1")"
printf '\007cortarc\001\000\000\000\002.1x' >"$d/s.fin"
printf 'no tocar' >"$d/s.1"
q unir "$d/s.fin"
comprueba "3 s.fin: estado" 1 $?
comprueba "3 s.fin: s.1 intacto" "no tocar" "$(cat "$d/s.1")"

# 4. FIFOs: as the join's destination, named by a header, at a piece name.
d=$t/4 && mkdir "$d"
head -c 30 /dev/urandom >"$d/b.avi"
q cortar "$d/b.avi" 10 --esquema hacha
rm "$d/b.avi" && mkfifo "$d/b.avi"
q unir "$d/b.0"
comprueba "4 cabecera: estado" 1 $?
comprueba "4 cabecera: mensaje" "¡ Error al crear fichero $d/b.avi !" "$(mensaje)"
mkfifo "$d/tubo"
q unir "$d/b.0" --destino "$d/tubo"
comprueba "4 destino: estado" 1 $?
head -c 30 /dev/urandom >"$d/c.bin"
mkfifo "$d/c.002"
q cortar "$d/c.bin" 10
comprueba "4 trozo: estado" 1 $?
comprueba "4 trozo: mensaje" "¡ Error al crear fichero $d/c.002 !" "$(mensaje)"
[ -p "$d/c.002" ] || falla "4: the FIFO was replaced"

# 6. Piece names left as hard links to each other: each gets its own file; the set joins back.
d=$t/6 && mkdir "$d"
head -c 30 /dev/urandom >"$d/e.bin"
printf viejo >"$d/e.001" && ln "$d/e.001" "$d/e.002" && ln "$fuera/victima" "$d/e.003"
q cortar "$d/e.bin" 10
comprueba "6 cortar sin --reemplazar" 1 $?
comprueba "6 mensaje" "¡ El fichero $d/e.001 ya existe; use --reemplazar !" "$(mensaje)"
comprueba "6 nada escrito" viejo "$(cat "$d/e.002")"
q cortar "$d/e.bin" 10 --reemplazar
comprueba "6 cortar" 0 $?
q unir "$d/e.001" --destino "$d/junto"
comprueba "6 unir" 0 $?
cmp -s "$d/e.bin" "$d/junto" || falla "6: the joined file differs"
intacta 6

# 7. An SFV entry through a linked folder: checked, never renamed out there.
d=$t/7 && mkdir "$d"
ln -s "$fuera" "$d/lnk"
printf 'lnk/victima 00000000\r\n' >"$d/l.sfv"
q verificar "$d/l.sfv" --renombrar mal
comprueba "7 estado" 1 $?
comprueba "7 mensaje" "¡ Error al renombrar $d/lnk/victima a $d/lnk/victima.mal1 !" "$(head -n 1 "$t/err")"
intacta 7
[ ! -e "$fuera/victima.mal1" ] || falla "7: renamed outside"

# 8. Listed pseudo files, by ".." or by a link: a CRC error at once, never a hang.
d=$t/8 && mkdir "$d"
ln -s /proc/self/pagemap "$d/mapa"
printf '../../../../../../../../../proc/kmsg 00000000\r\nmapa 00000000\r\n' >"$d/l.sfv"
q verificar "$d/l.sfv"
comprueba "8 estado" 1 $?
grep -q "^¡ Error al calcular CRC del fichero $d/mapa !$" "$t/err" || falla "8: $(mensaje)"

# 9. One line of 256 MiB without a line end, four times the memory allowed: passed over in
#    bounded memory.
d=$t/9 && mkdir "$d"
truncate -s 256M "$d/l.sfv"
/usr/bin/time -f %M -o "$t/mem" timeout 120 "$cli" verificar "$d/l.sfv" >/dev/null 2>&1
comprueba "9 estado (nada listado)" 1 $?
[ "$(tail -n 1 "$t/mem")" -lt 65536 ] || falla "9: peak memory $(tail -n 1 "$t/mem") KiB"

# 11. Names this program writes read back: "?" and "\" in a Hacha name, an SFV of ";notas",
#     a NUL in an SFV name; a name with a line end is refused before any piece.
d=$t/11 && mkdir "$d"
for nombre in '¿qué?.avi' 'C:\V\y.avi'; do
    head -c 35 /dev/urandom >"$d/$nombre"
    q cortar "$d/$nombre" 10 --esquema hacha
    base=${nombre%.avi}
    mv "$d/$nombre" "$t/original"
    q unir "$d/$base.0"
    comprueba "11 $nombre: unir" 0 $?
    cmp -s "$d/$nombre" "$t/original" || falla "11: $nombre differs"
done
head -c 35 /dev/urandom >"$d/;notas.bin"
q cortar "$d/;notas.bin" 10 --sfv
comprueba "11 ;notas: cortar" 0 $?
q verificar "$d/;notas.sfv"
comprueba "11 ;notas: verificar" 0 $?
comprueba "11 ;notas: cuatro correctos" 4 "$(grep -c Correcto "$t/out")"
(cd "$d" && cksfv -q -f ";notas.sfv" >/dev/null 2>&1) || falla "11: cksfv rejects ;notas.sfv"
(cd "$d" && rhash -c ";notas.sfv" >/dev/null 2>&1) || falla "11: rhash rejects ;notas.sfv"
{ cat "$d/;notas.sfv"; printf ';notas.001\000x 00000000\r\n'; } >"$d/nul.sfv"
q verificar "$d/nul.sfv"
comprueba "11 NUL: verificar" 0 $?
nombre=$(printf 'linea\rrota')
head -c 35 /dev/urandom >"$d/$nombre.bin"
q cortar "$d/$nombre.bin" 10 --sfv
comprueba "11 CR: cortar" 1 $?
# A message's CR is printed as a line end.
comprueba "11 CR: mensaje" "$(printf '¡ Error, nombre no válido para SFV: linea\nrota.bin !')" "$(mensaje)"
[ ! -e "$d/$nombre.001" ] || falla "11: a piece was written"

# 12. Paths pass exactly as given; crc of a FIFO is an error, not the CRC of nothing.
d=$t/12 && mkdir "$d"
head -c 25 /dev/urandom >"$d/x\""
head -c 7 /dev/urandom >"$d/x"
q cortar "$d/x\"" 10
comprueba "12 comillas: cortar" 0 $?
[ -e "$d/x\".003" ] && [ ! -e "$d/x.001" ] || falla "12: the quote was stripped"
mkfifo "$d/tubo"
q crc "$d/tubo"
comprueba "12 crc FIFO: estado" 1 $?
comprueba "12 crc FIFO: mensaje" "¡ Error al calcular CRC del fichero $d/tubo !" "$(mensaje)"
resumen
