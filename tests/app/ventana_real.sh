#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# The real program in a real X server: it starts, shows its caption, and a close
# (here by SIGTERM, as a session ending sends) writes quimbel.ini and Sizes.txt;
# run from outside its build folder, as installed, into $XDG_CONFIG_HOME/Quimbel.
set -eu
bin=$1
tmp=$(mktemp -d /tmp/quimbel-real-XXXXXX)
trap 'rm -rf "$tmp"' EXIT
cp "$bin"/quimbel "$tmp"/
cp "$bin"/*.so "$tmp"/ 2>/dev/null || true
unset QT_QPA_PLATFORM
export XDG_CONFIG_HOME="$tmp/config"
# Without any display it says so in one line instead of aborting.
if env -u DISPLAY -u WAYLAND_DISPLAY "$tmp/quimbel" 2>"$tmp/err"; then echo "started without a display"; exit 1; fi
grep -q "^quimbel: no hay pantalla" "$tmp/err" || { cat "$tmp/err"; exit 1; }
[ "$(wc -l <"$tmp/err")" -eq 1 ] || { cat "$tmp/err"; exit 1; }
# Under the sanitizers, leaks of the system's own libraries are not ours to report.
export LSAN_OPTIONS="suppressions=$(cd "$(dirname "$0")" && pwd)/lsan.supp${LSAN_OPTIONS:+:$LSAN_OPTIONS}"
sh "$(dirname "$0")/../support/en_xvfb.sh" 1024x768x24 sh -c '
    "$1"/quimbel & pid=$!
    i=0
    until xwininfo -root -tree | grep -q "\"Quimbel v0.2.492\""; do
        kill -0 $pid 2>/dev/null || { wait $pid; echo "ended before its window, status $?"; exit 1; }
        i=$((i + 1)); [ $i -lt 400 ] || { echo "no window"; kill $pid; exit 1; }
        sleep 0.1
    done
    kill -TERM $pid
    wait $pid
' sh "$tmp"
grep -q "^FormLeft=273" "$tmp/config/Quimbel/quimbel.ini"
grep -q "^WindowState=wsNormal" "$tmp/config/Quimbel/quimbel.ini"
grep -q "^4900000" "$tmp/config/Quimbel/Sizes.txt"
if [ -e "$tmp/quimbel.ini" ] || [ -e "$tmp/Sizes.txt" ]; then echo "settings beside the program"; exit 1; fi
echo "ventana real: bien"
