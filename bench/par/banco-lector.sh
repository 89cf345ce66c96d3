#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# Rejecting hostile PAR2 files: quimbel-cli reparar --solo-comprobar of an index of TAMANO
# bytes (default 64 MiB) that is a flood of packet magic ("PAR2\0PKT" over and over), one of
# distinct empty packets (64-byte headers, each with its own set ID and a valid MD5), and one
# of headers every 64 bytes whose lengths reach the end of the file. Prints wall time, CPU time
# and peak memory of each, beside the time of reading the file (dd, 1 MiB at a time) and of
# hashing it once (md5sum). Goal: each rejected at the speed of reading it, within a few times md5sum, in a
# memory bound that does not grow with the file. Each run is made VECES times (default 3) and
# the fastest kept, as the machine may be shared.
#   bench/par/banco-lector.sh [BUILD_FOLDER]    (default: build)
set -eu
raiz=$(cd "$(dirname "$0")/../.." && pwd)
bin=$(cd "${1:-$raiz/build}/bin" && pwd)
for f in libpar.so quimbel-cli; do
    [ -e "$bin/$f" ] || { echo "falta $bin/$f: compila antes" >&2; exit 2; }
done
[ -x /usr/bin/time ] || { echo "falta /usr/bin/time (paquete time)" >&2; exit 2; }
command -v python3 >/dev/null || { echo "falta python3" >&2; exit 2; }

tmp=$(mktemp -d /tmp/quimbel-banco-lector.XXXXXX)
trap 'rm -rf "$tmp"' EXIT INT TERM
veces=${VECES:-3}
tamano=${TAMANO:-67108864}

python3 - "$tmp" "$tamano" <<'FIN'
import hashlib, struct, sys
carpeta, tamano = sys.argv[1], int(sys.argv[2])
magia = b"PAR2\0PKT"
with open(carpeta + "/magia.par2", "wb") as f:
    f.write((magia * (tamano // 8 + 1))[:tamano])
principal = b"PAR 2.0\0Main\0\0\0\0"
with open(carpeta + "/vacios.par2", "wb") as f:
    partes = []
    for n in range(tamano // 64):
        resto = struct.pack("<QQ", n, n * 7919) + principal
        partes.append(magia + struct.pack("<Q", 64) + hashlib.md5(resto).digest() + resto)
        if len(partes) == 65536:
            f.write(b"".join(partes))
            partes = []
    f.write(b"".join(partes))
bloque = bytearray(tamano)
for p in range(0, tamano - 63, 64):
    bloque[p:p + 8] = magia
    bloque[p + 8:p + 16] = struct.pack("<Q", (tamano - p) & ~3)
    bloque[p + 48:p + 64] = principal
with open(carpeta + "/cabeceras.par2", "wb") as f:
    f.write(bloque)
FIN

# mejor ORDEN...: the fastest of VECES runs, as "wall cpu memory_KiB".
mejor() {
    m=""
    i=0
    while [ $i -lt "$veces" ]; do
        /usr/bin/time -f "%e %U %S %M" -o "$tmp/tiempo" "$@" >/dev/null 2>&1 || true
        r=$(tail -n 1 "$tmp/tiempo" | awk '{ printf "%.2f %.2f %d", $1, $2 + $3, $4 }')
        if [ -z "$m" ] || [ "$(echo "$r $m" | awk '{ print ($1 < $4) }')" = 1 ]; then m=$r; fi
        i=$((i + 1))
    done
    echo "$m"
}

echo "Ficheros de $tamano bytes"
for caso in magia vacios cabeceras; do
    f="$tmp/$caso.par2"
    cat "$f" >/dev/null
    leer=$(mejor dd if="$f" of=/dev/null bs=1M)
    md5=$(mejor md5sum "$f")
    nuestro=$(mejor "$bin/quimbel-cli" reparar --solo-comprobar "$f")
    echo "$caso $nuestro $leer $md5" | awk '{
        printf "%-10s rechazo %6.2f s (CPU %6.2f s) %7.1f MiB | dd %5.2f s | md5sum %5.2f s | rechazo / md5sum %5.2f\n",
            $1, $2, $3, $4 / 1024, $5, $8, ($8 > 0 ? $2 / $8 : 0) }'
done
