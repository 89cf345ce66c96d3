#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# The install step as a packager runs it, into a staging folder under another prefix
# than the configured one: links in bin/ that run the programs with their libraries, the
# desktop entry pointing at the installed bin/quimbel (quoted when the path needs it)
# and valid, the metainfo valid and naming that entry, the icon, the manual pages; an
# installed window keeps its settings in $XDG_CONFIG_HOME/Quimbel, never in its tree.
# Arguments: the build folder, 1 when it builds the window (0: quimbel-cli alone).
set -u
build=$1 ventana=$2
t=$(mktemp -d)
trap 'rm -rf "$t"' EXIT
. "$(dirname "$0")/../support/comprobar.sh"
id=io.github.quimbel.Quimbel

# valida NAME STATUS: a validator's status, 0, with what it said. The status is passed in,
# read before any command substitution (bash gives $? the status of the last one).
valida() { comprueba "$1: $(cat "$t/valida")" 0 "$2"; }

instala() { # prefix
    DESTDIR=$t/raiz cmake --install "$build" --prefix "$1" >"$t/instala" 2>&1
    comprueba "cmake --install --prefix $1" 0 $?
}

instala /opt/q
r=$t/raiz/opt/q
[ -L "$r/bin/quimbel-cli" ] || falla "bin/quimbel-cli no es un enlace"
comprueba "quimbel-cli --version instalado" "quimbel-cli $(sed -n 's/^project(Quimbel VERSION \([^ ]*\).*/\1/p' "$(dirname "$0")/../../CMakeLists.txt")" \
    "$("$r/bin/quimbel-cli" --version)"
printf 'abc' >"$t/abc"
comprueba "quimbel-cli crc con su biblioteca" "352441c2  $t/abc" "$("$r/bin/quimbel-cli" crc "$t/abc")"
gzip -t "$r/share/man/man1/quimbel-cli.1.gz" || falla "quimbel-cli.1.gz"

if [ "$ventana" = 0 ]; then
    [ ! -e "$r/bin/quimbel" ] || falla "bin/quimbel sin ventana"
    [ ! -e "$r/share/applications/$id.desktop" ] || falla "entrada de escritorio sin ventana"
    resumen
    exit
fi

[ -L "$r/bin/quimbel" ] || falla "bin/quimbel no es un enlace"
comprueba "quimbel --version instalado" 0 "$(env -u DISPLAY "$r/bin/quimbel" --version >/dev/null; echo $?)"
gzip -t "$r/share/man/man1/quimbel.1.gz" || falla "quimbel.1.gz"
[ -f "$r/share/icons/hicolor/scalable/apps/$id.svg" ] || falla "sin icono"
entrada=$r/share/applications/$id.desktop
comprueba "Exec" "Exec=/opt/q/bin/quimbel %f" "$(grep '^Exec=' "$entrada")"
comprueba "Icon" "Icon=$id" "$(grep '^Icon=' "$entrada")"
desktop-file-validate "$entrada" >"$t/valida" 2>&1
valida "desktop-file-validate" $?
meta=$r/share/metainfo/$id.metainfo.xml
appstreamcli validate --no-net "$meta" >"$t/valida" 2>&1
valida "appstreamcli validate" $?
grep -q "<launchable type=\"desktop-id\">$id.desktop</launchable>" "$meta" || falla "metainfo sin la entrada"

# The installed window, run by whoever runs the tests (root too): settings in the
# user's configuration folder. SIGTERM closes it as a session's end does.
export XDG_CONFIG_HOME="$t/config"
QT_QPA_PLATFORM=offscreen "$r/bin/quimbel" 2>/dev/null &
pid=$!
i=0
until [ -f "$t/config/Quimbel/quimbel.ini" ] || ! kill -0 $pid 2>/dev/null || [ $i -ge 100 ]; do
    sleep 0.1
    i=$((i + 1))
done
kill -TERM $pid
wait $pid
[ -f "$t/config/Quimbel/Sizes.txt" ] || falla "sin Sizes.txt en \$XDG_CONFIG_HOME/Quimbel"
comprueba "nada de ajustes en el árbol instalado" "" "$(find "$t/raiz" -name quimbel.ini -o -name Sizes.txt)"

# A prefix with a blank and a dollar: the entry quotes the path and stays valid.
rm -rf "$t/raiz"
instala '/opt/mi q$x'
entrada="$t/raiz/opt/mi q\$x/share/applications/$id.desktop"
comprueba "Exec entrecomillado" 'Exec="/opt/mi q\\$x/bin/quimbel" %f' "$(grep '^Exec=' "$entrada")"
desktop-file-validate "$entrada" >"$t/valida" 2>&1
valida "desktop-file-validate entrecomillado" $?
resumen
