# SPDX-License-Identifier: GPL-3.0-or-later
# Checks for the shell tests, sourced by them: comprueba counts a check and reports a
# difference, falla reports a failure, resumen prints the counts and gives the status.
fallos=0 pruebas=0

falla() { echo "FALLO: $*"; fallos=$((fallos + 1)); }
comprueba() { # name, expected, got
    pruebas=$((pruebas + 1))
    [ "$2" = "$3" ] || falla "$1: se esperaba [$2], salió [$3]"
}
resumen() {
    echo "$((pruebas - fallos)) passed, $fallos failed"
    [ "$fallos" -eq 0 ]
}
