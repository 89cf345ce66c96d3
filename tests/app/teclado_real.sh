#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# The shortcuts in a real X server, whose key bindings give an edit Ctrl+E (end of line):
# with the focus in the size box, Ctrl+E still opens "Extraer", where Ctrl+Return is
# "Volver" and writes nothing; back on "Cortar", Ctrl+Return cuts.
set -eu
bin=$1
command -v xdotool >/dev/null || { echo "falta xdotool"; exit 1; }
tmp=$(mktemp -d /tmp/quimbel-teclado-XXXXXX)
trap 'rm -rf "$tmp"' EXIT
cp "$bin"/quimbel "$tmp"/
cp "$bin"/*.so "$tmp"/ 2>/dev/null || true
head -c 2500000 /dev/zero >"$tmp/p.avi"
mkdir -p "$tmp/config/Quimbel"
printf '[Main]\r\nFormLeft=0\r\nFormTop=0\r\n' >"$tmp/config/Quimbel/quimbel.ini"
unset QT_QPA_PLATFORM
export XDG_CONFIG_HOME="$tmp/config"
export LSAN_OPTIONS="suppressions=$(cd "$(dirname "$0")" && pwd)/lsan.supp${LSAN_OPTIONS:+:$LSAN_OPTIONS}"
sh "$(dirname "$0")/../support/en_xvfb.sh" 800x600x24 sh -c '
    t=$1
    "$t/quimbel" "$t/p.avi" & pid=$!
    vivo() { kill -0 $pid 2>/dev/null || { wait $pid; echo "ended early, status $?"; exit 1; }; }
    i=0
    until w=$(xdotool search --onlyvisible --name "Quimbel v" 2>/dev/null | head -n 1) && [ -n "$w" ]; do
        vivo
        i=$((i + 1)); [ $i -lt 200 ] || { echo "no window"; kill $pid; exit 1; }
        sleep 0.1
    done
    pausa() { sleep 0.5; vivo; }
    # A window that is shown (mapped) can take the focus; the wait for it is bounded.
    timeout 20 xdotool windowfocus --sync "$w"; pausa
    # To the size box (source, folder, scheme, size), a size, out (the plan) and back.
    xdotool key Tab Tab Tab Tab; pausa
    xdotool type 1000000; pausa
    xdotool key Tab; pausa
    xdotool key shift+Tab; pausa
    xdotool key ctrl+e; pausa
    xdotool key ctrl+Return; pausa
    estado=0
    if [ -e "$t/p.001" ]; then echo "Ctrl+E did not open Extraer: Ctrl+Return cut"; estado=1; fi
    xdotool key ctrl+Return
    i=0
    until [ -e "$t/p.003" ] || [ $i -ge 40 ]; do vivo; i=$((i + 1)); sleep 0.1; done
    [ -e "$t/p.003" ] || { echo "Ctrl+Return on Cortar wrote no piece"; estado=1; }
    kill -KILL $pid
    wait $pid 2>/dev/null
    exit $estado
' sh "$tmp"
echo "teclado real: bien"
