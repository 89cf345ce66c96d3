#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# The real program in a real X server, ended by SIGTERM (a session ending) while a box
# waits for an answer nobody will give: the box closes, the window closes the normal way
# and the program ends. Settings that cannot be written are one line on standard error
# and exit status 1.
set -eu
bin=$1
tmp=$(mktemp -d /tmp/quimbel-senal-XXXXXX)
trap 'rm -rf "$tmp"' EXIT
cp "$bin"/quimbel "$tmp"/
unset QT_QPA_PLATFORM
# Run from outside its build folder, as installed: the settings live in the user's folder.
export XDG_CONFIG_HOME="$tmp/config"
ajustes=$XDG_CONFIG_HOME/Quimbel
mkdir -p "$ajustes"
export LSAN_OPTIONS="suppressions=$(cd "$(dirname "$0")" && pwd)/lsan.supp:print_suppressions=0${LSAN_OPTIONS:+:$LSAN_OPTIONS}"

# Starts the program, waits for a start-up error box (titled "Quimbel"), sends SIGTERM and
# prints the exit status; the program must be gone within 10 seconds.
correr() {
    sh "$(dirname "$0")/../support/en_xvfb.sh" 1024x768x24 sh -c '
        "$1"/quimbel 2>"$1/err" & pid=$!
        i=0
        until xwininfo -root -tree | grep -q "\"Quimbel\": "; do
            kill -0 $pid 2>/dev/null || { wait $pid; echo "ended before its box, status $?"; exit 9; }
            i=$((i + 1)); [ $i -lt 400 ] || { echo "no box"; kill -9 $pid; exit 9; }
            sleep 0.1
        done
        kill -TERM $pid
        i=0
        while kill -0 $pid 2>/dev/null; do
            i=$((i + 1)); [ $i -lt 100 ] || { echo "still running"; kill -9 $pid; exit 9; }
            sleep 0.1
        done
        wait $pid && echo 0 || echo $?
    ' sh "$tmp"
}

printf '[Main]\r\nFormLeft=abc\r\n' >"$ajustes/quimbel.ini"
estado=$(correr | tail -n 1)
[ "$estado" = 0 ] || { echo "exit status $estado"; cat "$tmp/err"; exit 1; }
grep -q "^WindowState=wsNormal" "$ajustes/quimbel.ini" || { echo "settings not written"; exit 1; }

# The box now says Sizes.txt cannot be read: a folder stands in its place, where the
# close cannot write it either.
rm "$ajustes/Sizes.txt"
mkdir "$ajustes/Sizes.txt"
estado=$(correr | tail -n 1)
[ "$estado" = 1 ] || { echo "exit status $estado with unwritable settings"; exit 1; }
# Our own lines only (the sanitizers and Qt may add theirs).
[ "$(grep "^quimbel:" "$tmp/err")" = "quimbel: Cannot create file $ajustes/Sizes.txt." ] || { cat "$tmp/err"; exit 1; }
echo "señal real: bien"
