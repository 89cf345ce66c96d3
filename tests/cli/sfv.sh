#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# quimbel-cli cortar --sfv and verificar against real SFV clients: every SFV file the
# split writes passes cksfv and rhash (run, as they expect, from the pieces' folder) and
# fails them after one changed byte; the SFV files they write (LF line ends, upper-case
# digits) verify here. Also the exit statuses scripts rely on.
# Arguments: quimbel-cli (with libcrc32.so beside it).
set -u
cli=$1
for herramienta in cksfv rhash; do
    command -v "$herramienta" >/dev/null || { echo "falta $herramienta"; exit 1; }
done
t=$(mktemp -d)
trap 'rm -rf "$t"' EXIT
. "$(dirname "$0")/../support/comprobar.sh"
# Changes one byte in the middle of a file (to another value, whatever it held).
estropea() {
    medio=$(($(stat -c %s "$1") / 2))
    antes=$(dd if="$1" bs=1 skip="$medio" count=1 status=none | od -An -tu1 | tr -d ' ')
    if [ "$antes" = 88 ]; then nuevo=Y; else nuevo=X; fi
    printf '%s' "$nuevo" | dd of="$1" bs=1 seek="$medio" conv=notrunc status=none
}

# --- our SFV files read by the real clients, for each scheme
for esquema in normal cortaarchivos hacha; do
    d=$t/$esquema
    mkdir -p "$d"
    head -c 2500000 /dev/urandom >"$d/mi película.avi"
    "$cli" cortar "$d/mi película.avi" 1000000 --esquema "$esquema" --sfv >/dev/null 2>"$t/err"
    comprueba "$esquema: cortar --sfv" 0 $?
    sfv="$d/mi película.sfv"
    comprueba "$esquema: CR LF en cada línea" 8 "$(grep -c "$(printf '\r')\$" "$sfv")"
    (cd "$d" && cksfv -q -f "$sfv" >/dev/null 2>&1)
    comprueba "$esquema: cksfv lo acepta" 0 $?
    (cd "$d" && rhash -c "$sfv" >/dev/null 2>&1)
    comprueba "$esquema: rhash lo acepta" 0 $?
    estropea "$(ls "$d"/mi\ película.[0-9f]* | head -n 1)"
    (cd "$d" && cksfv -q -f "$sfv" >/dev/null 2>&1)
    comprueba "$esquema: cksfv ve el byte cambiado" 1 $?
    (cd "$d" && rhash -c "$sfv" >/dev/null 2>&1)
    [ $? -ne 0 ] || falla "$esquema: rhash no ve el byte cambiado"
    "$cli" verificar "$sfv" >"$t/out" 2>/dev/null
    comprueba "$esquema: verificar ve el byte cambiado" 1 $?
    comprueba "$esquema: una línea Error CRC" 1 "$(grep -c '^ Error CRC: ' "$t/out")"
done

# --- SFV files written by the real clients verify here
d=$t/ajenos
mkdir -p "$d/sub"
head -c 300000 /dev/urandom >"$d/a.001"
head -c 1000000 /dev/urandom >"$d/b c.002"
head -c 7 /dev/urandom >"$d/sub/d.003"
(cd "$d" && cksfv a.001 "b c.002" sub/d.003 >"$t/cksfv.sfv" 2>/dev/null)
(cd "$d" && rhash --sfv a.001 "b c.002" sub/d.003 >"$t/rhash.sfv")
for ajeno in cksfv rhash; do
    grep -q "$(printf '\r')" "$t/$ajeno.sfv" && falla "$ajeno escribe CR"
    "$cli" verificar "$t/$ajeno.sfv" --carpeta "$d" >"$t/out" 2>"$t/err"
    comprueba "$ajeno: correcto" 0 $?
    comprueba "$ajeno: tres correctos" "Verificando SFV: $t/$ajeno.sfv
  Correcto: $d/a.001
  Correcto: $d/b c.002
  Correcto: $d/sub/d.003" "$(cat "$t/out")"
done
estropea "$d/b c.002"
for ajeno in cksfv rhash; do
    "$cli" verificar "$t/$ajeno.sfv" --carpeta "$d/" --mostrar errores >"$t/out" 2>/dev/null
    comprueba "$ajeno: cambiado" 1 $?
    comprueba "$ajeno: solo el error" "Verificando SFV: $t/$ajeno.sfv
 Error CRC: $d/b c.002" "$(cat "$t/out")"
done

# --- exit statuses
"$cli" verificar "$t/rhash.sfv" --carpeta "$d" --mostrar correctos >"$t/out" 2>/dev/null
comprueba "un error oculto cuenta" 1 $?
comprueba "sin la línea oculta" 0 "$(grep -c 'Error CRC' "$t/out")"
printf '; nada\r\n;\r\n' >"$t/vacio.sfv"
"$cli" verificar "$t/vacio.sfv" >/dev/null 2>&1
comprueba "una lista vacía no es un éxito" 1 $?
printf 'falta.001 00000000\r\n' >"$t/falta.sfv"
"$cli" verificar "$t/falta.sfv" --mostrar correctos >"$t/out" 2>/dev/null
comprueba "un fichero que falta" 1 $?
comprueba "falta, oculto" "Verificando SFV: $t/falta.sfv" "$(cat "$t/out")"
"$cli" verificar "$t/no existe.sfv" >/dev/null 2>"$t/err"
comprueba "un SFV que no se abre" 2 $?
comprueba "mensaje del SFV que no se abre" "¡ Error al abrir fichero $t/no existe.sfv !" "$(cat "$t/err")"
# A pseudo file opens but is never read: its size says nothing of what a read would bring.
"$cli" verificar /proc/self/mem >/dev/null 2>"$t/err"
comprueba "una lectura cortada" 1 $?
comprueba "mensaje de la lectura cortada" "¡ Error al leer fichero /proc/self/mem !" "$(cat "$t/err")"
for uso in "--mostrar" "--mostrar nada" "--mostrar errores," "--renombrar" "--renombrar mal?" \
    "--letra" "--carpeta" "--otra" "$t/a.sfv $t/b.sfv"; do
    # shellcheck disable=SC2086
    "$cli" verificar $uso "$t/vacio.sfv" >/dev/null 2>&1
    comprueba "uso: verificar $uso" 2 $?
done

# --- renaming from the command line, by letter
"$cli" verificar "$t/cksfv.sfv" --carpeta "$d" --renombrar mal --letra >"$t/out" 2>/dev/null
comprueba "renombrar: estado" 1 $?
comprueba "renombrar: línea" " Renombrando: $d/b c.002 -> $d/b c.002.mala" "$(grep Renombrando "$t/out")"
[ -f "$d/b c.002.mala" ] && [ ! -e "$d/b c.002" ] || falla "renombrar: el fichero no cambió de nombre"

resumen
