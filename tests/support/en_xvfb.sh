#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# Runs a command under an X server of its own and gives the command's exit status. Xvfb
# chooses a free display number itself and writes it to a file (-displayfd), so that runs
# side by side never race for one; the server ends with the command.
# Arguments: the screen (WIDTHxHEIGHTxDEPTH), then the command and its arguments.
set -eu
pantalla=$1
shift
d=$(mktemp -d /tmp/quimbel-xvfb-XXXXXX)
Xvfb -displayfd 3 -screen 0 "$pantalla" -nolisten tcp 3>"$d/pantalla" 2>"$d/registro" &
servidor=$!
trap 'kill $servidor 2>/dev/null; wait $servidor 2>/dev/null; rm -rf "$d"' EXIT
trap 'exit 1' HUP INT TERM
# The number is written once the server listens; a server that ends first is a failure.
i=0
until grep -q '^[0-9][0-9]*$' "$d/pantalla"; do
    if ! kill -0 $servidor 2>/dev/null || [ $i -ge 300 ]; then
        echo "Xvfb no arrancó:"
        cat "$d/registro"
        exit 1
    fi
    i=$((i + 1))
    sleep 0.1
done
DISPLAY=:$(cat "$d/pantalla")
export DISPLAY
unset XAUTHORITY WAYLAND_DISPLAY
estado=0
"$@" || estado=$?
exit $estado
