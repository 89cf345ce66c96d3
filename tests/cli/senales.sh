#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# quimbel-cli stopped by real signals in the middle of a piece: SIGINT and SIGTERM stop it at
# the next block with its temporaries removed, "¡ Proceso interrumpido !" as its last line and
# 128 + the signal as its status; a second signal ends it at once, and SIGKILL too, leaving
# only temporaries, which the next run in the folder removes. Files written before stay whole.
# The program is held with SIGSTOP while the signals are sent, so that they arrive mid-piece.
# Arguments: quimbel-cli.
set -u
cli=$1
t=$(mktemp -d)
trap 'kill -9 $pid 2>/dev/null; rm -rf "$t"' EXIT
. "$(dirname "$0")/../support/comprobar.sh"
pid=0
temporales() { ls -A "$1" | grep -c '^\.quimbel-tmp-'; }
# Temporaries past their birth name: a run's, which it holds locked while it writes.
escribiendo() { ls -A "$1" | grep '^\.quimbel-tmp-' | grep -vc '^\.quimbel-tmp-nuevo-'; }
# Starts quimbel-cli in the background and waits until it writes a temporary in $1 (stopped
# as it was born, it would be left to the age that proves it abandoned, not to the next run).
empezar() { # folder, arguments...
    carpeta=$1
    shift
    "$cli" "$@" >"$t/out" 2>"$t/err" &
    pid=$!
    i=0
    while [ "$(escribiendo "$carpeta")" -eq 0 ] && [ $i -lt 2000 ]; do
        sleep 0.01
        i=$((i + 1))
    done
    kill -STOP $pid
}
terminar() { # signals...
    for s in "$@"; do kill -"$s" $pid; done
    kill -CONT $pid 2>/dev/null
    wait $pid
}
ultima() { tail -n 1 "$t/out"; }
pieza=67108864

# A sparse source of 8 pieces of 64 MiB.
truncate -s $((8 * pieza)) "$t/fuente.img"
mkdir "$t/d"

# 1. SIGINT during the split: the pieces already written are whole, nothing else remains.
empezar "$t/d" cortar "$t/fuente.img" $pieza --destino "$t/d"
terminar INT
comprueba "1 estado" 130 $?
comprueba "1 última línea" "¡ Proceso interrumpido !" "$(ultima)"
comprueba "1 temporales" 0 "$(temporales "$t/d")"
for f in "$t"/d/*; do
    [ -e "$f" ] || continue
    [ "$(stat -c %s "$f")" -eq $pieza ] || falla "1: $f partial"
done

# 2. SIGTERM during a join over an existing destination: the destination stays as it was.
"$cli" cortar "$t/fuente.img" $pieza --destino "$t/d" --reemplazar >/dev/null 2>&1
printf antes >"$t/unido"
empezar "$t" unir "$t/d/fuente.003" --destino "$t/unido" --reemplazar
terminar TERM
comprueba "2 estado" 143 $?
comprueba "2 última línea" "¡ Proceso interrumpido !" "$(ultima)"
comprueba "2 destino" antes "$(cat "$t/unido")"
comprueba "2 temporales" 0 "$(temporales "$t")"

# 3. A second signal ends the run at once; so does SIGKILL. Only a temporary is left, and the
#    next run in the folder removes it.
for senales in "INT TERM" KILL; do
    empezar "$t" unir "$t/d/fuente.001" --destino "$t/unido" --reemplazar
    # shellcheck disable=SC2086
    terminar $senales
    [ $? -ge 128 ] || falla "3 $senales: not ended by a signal"
    comprueba "3 $senales: temporal" 1 "$(temporales "$t")"
    comprueba "3 $senales: destino" antes "$(cat "$t/unido")"
    "$cli" crc "$t/unido" >/dev/null 2>&1
    "$cli" unir "$t/d/fuente.001" --destino "$t/unido" --reemplazar >/dev/null 2>&1
    comprueba "3 $senales: la siguiente" 0 $?
    comprueba "3 $senales: limpio" 0 "$(temporales "$t")"
    printf antes >"$t/unido"
done

resumen
