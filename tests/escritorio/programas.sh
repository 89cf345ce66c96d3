#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# Both programs as a shell and a packager meet them: --version and --help answer without
# a display, every option of --help is in the manual page, which groff reads without a
# warning; an unknown option is a usage error; a display that cannot be opened gives one
# line and status 1; quimbel-cli prints a message's CR as a line end.
# Arguments: quimbel, quimbel-cli, the folder of the built manual pages, the version.
set -u
quimbel=$1 cli=$2 manuales=$3 version=$4
t=$(mktemp -d)
trap 'rm -rf "$t"' EXIT
. "$(dirname "$0")/../support/comprobar.sh"
sinpantalla() { env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$@"; }

for programa in "$quimbel" "$cli"; do
    nombre=$(basename "$programa")
    sinpantalla "$programa" --version >"$t/salida" 2>"$t/err"
    comprueba "$nombre --version" 0 $?
    comprueba "$nombre --version: una línea" "$nombre $version" "$(cat "$t/salida")"
    comprueba "$nombre --version: nada en errores" "" "$(cat "$t/err")"
    sinpantalla "$programa" --help >"$t/ayuda" 2>"$t/err"
    comprueba "$nombre --help" 0 $?
    grep -q "^Uso: $nombre" "$t/ayuda" || falla "$nombre --help: sin «Uso:»"
    pagina=$manuales/$nombre.1
    [ -f "$pagina" ] || falla "$nombre: sin página de manual"
    # Every option --help names, as roff writes it (\- for each -), is in the page.
    opciones=$(grep -oE -- '(^|[][ |,])--?[a-z][a-z-]*' "$t/ayuda" | sed 's/^[^-]*//' | sort -u)
    [ -n "$opciones" ] || falla "$nombre --help: sin opciones"
    for opcion in $opciones; do
        enroff=$(printf '%s' "$opcion" | sed 's/-/\\-/g')
        grep -qF -- "$enroff" "$pagina" || falla "$nombre(1) no menciona $opcion"
    done
    LC_ALL=C.UTF-8 groff -man -ww -z -K utf8 "$pagina" 2>"$t/groff"
    comprueba "$nombre(1): groff" 0 $?
    comprueba "$nombre(1): sin avisos" "" "$(cat "$t/groff")"
done

sinpantalla "$quimbel" --desconocida 2>"$t/err"
comprueba "quimbel --desconocida" 2 $?
grep -q "opción desconocida: --desconocida" "$t/err" || falla "quimbel --desconocida: $(cat "$t/err")"
sinpantalla "$cli" --version de más >/dev/null 2>&1
comprueba "quimbel-cli --version de más" 0 $?

# A display nobody serves: no X socket of that number.
n=4711
while [ -e "/tmp/.X11-unix/X$n" ]; do n=$((n + 1)); done
env -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM DISPLAY=":$n" "$quimbel" >"$t/salida" 2>"$t/err"
comprueba "pantalla :$n" 1 $?
comprueba "pantalla :$n: una línea" \
    "quimbel: no se puede abrir la pantalla :$n; sin pantalla, use: xvfb-run -a quimbel" "$(cat "$t/err")"

# The two-paragraph refusal of an SFV file that would replace its source.
mkdir "$t/d"
head -c 100 /dev/urandom >"$t/d/a.sfv"
"$cli" cortar "$t/d/a.sfv" 30 --sfv >/dev/null 2>"$t/err"
comprueba "cortar sobre su propio SFV" 1 $?
if grep -q "$(printf '\r')" "$t/err"; then falla "CR en la salida de errores"; fi
printf '¡ Error, fichero %s igual a fichero base !\n\n ¿ Qué intentas :) ?\n' "$t/d/a.sfv" >"$t/esperado"
cmp -s "$t/esperado" "$t/err" || falla "mensaje: $(od -c "$t/err" | head -n 5)"
resumen
