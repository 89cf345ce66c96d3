#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# The file types as a file manager sees them once the program is installed: the install
# tree as a private XDG_DATA_HOME, its databases brought up to date as the package's
# triggers do; then gio names each file's type and offers Quimbel for it.
# Argument: the build folder.
set -u
build=$1
t=$(mktemp -d)
trap 'rm -rf "$t"' EXIT
. "$(dirname "$0")/../support/comprobar.sh"
id=io.github.quimbel.Quimbel

cmake --install "$build" --prefix "$t/usr" >"$t/instala" 2>&1
comprueba "cmake --install" 0 $?
export XDG_DATA_HOME="$t/usr/share" XDG_DATA_DIRS=/usr/share XDG_CONFIG_HOME="$t/config" XDG_CACHE_HOME="$t/cache"
update-mime-database "$XDG_DATA_HOME/mime"
update-desktop-database "$XDG_DATA_HOME/applications"

mkdir "$t/f"
printf 'PAR2\000PKT' >"$t/f/juego.par2"
cp "$t/f/juego.par2" "$t/f/juego.vol0+1.PAR2"
cp "$t/f/juego.par2" "$t/f/sin-extension"
printf '; lista\r\npelicula.001 0123abcd\r\n' >"$t/f/lista.sfv"
head -c 64 /dev/urandom >"$t/f/pelicula.001"
for n in pelicula.1000 pelicula.fin pelicula.0 otro.bin; do cp "$t/f/pelicula.001" "$t/f/$n"; done
while read -r nombre tipo; do
    comprueba "tipo de $nombre" "$tipo" \
        "$(gio info -a standard::content-type "$t/f/$nombre" | sed -n 's/^ *standard::content-type: //p')"
done <<FIN
juego.par2 application/x-par2
juego.vol0+1.PAR2 application/x-par2
sin-extension application/x-par2
lista.sfv text/x-sfv
pelicula.001 application/x-split-piece
pelicula.1000 application/x-split-piece
pelicula.fin application/x-split-piece
pelicula.0 application/x-split-piece
otro.bin application/octet-stream
FIN

# Quimbel is offered for each of them, and stays offered for any file.
for tipo in application/x-par2 text/x-sfv application/x-split-piece application/octet-stream; do
    gio mime "$tipo" >"$t/gio" 2>&1
    sed -n '/^Registered applications:/,/^[^	]/p' "$t/gio" | grep -q "	$id.desktop$" ||
        falla "gio mime $tipo no ofrece Quimbel: $(cat "$t/gio")
$(ls -la "$XDG_DATA_HOME/applications" "$t/usr/bin" 2>&1)
$(cat "$XDG_DATA_HOME/applications/mimeinfo.cache" "$XDG_DATA_HOME/applications/$id.desktop" 2>&1)"
done
resumen
