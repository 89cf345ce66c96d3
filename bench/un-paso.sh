#!/bin/bash
# SPDX-License-Identifier: GPL-3.0-or-later
# One read of the data. In a 256 MiB memory cgroup (a file larger than memory; the cache of
# the source and the pieces dropped before each run), with every command ending in `sync`:
#   - `quimbel-cli cortar --sfv --par 10` of QUIMBEL_BENCH_MIB MiB (default 4096) in 10 MiB
#     pieces: bytes read (rchar of /proc/PID/io, read at exit before the process is reaped;
#     goal <= 1.02 x the source), wall time against `split -b` alone (goal <= 1.2 x) and beside
#     `split` + `cksfv` + `par2 create`, peak memory (goal <= 64 MiB + the recovery data held);
#   - `quimbel-cli unir` of the set, which checks each piece against its PAR2 set (taken before
#     its SFV file), against `cat` of the pieces (goal <= 1.1 x,
#     bytes read <= 1.02 x the set), beside `par2 verify` + `cat`.
# The two comparisons against a goal (cortar against split, unir against cat) run in
# alternating pairs, QUIMBEL_BENCH_VECES of them (default 5), and give the median time of each
# command and the most bytes and memory of its runs: the disk of a shared machine moves single
# runs by a quarter. Public tools only. The cgroup: systemd-run --scope when systemd runs, else a child of this
# shell's memory cgroup (v2 or v1), removed at the end; without either the runs are not bounded
# and the script says so.
#   QUIMBEL_BENCH_MIB=512 bench/un-paso.sh [build-folder]
set -euo pipefail

raiz=$(cd "$(dirname "$0")/.." && pwd)
cli=${1:-$raiz/build}/bin/quimbel-cli
[ -x "$cli" ] || { echo "no encuentro $cli" >&2; exit 2; }
mib=${QUIMBEL_BENCH_MIB:-4096}
veces=${QUIMBEL_BENCH_VECES:-5}
for h in split cksfv par2 python3 dd /usr/bin/time; do command -v "$h" > /dev/null || { echo "falta $h" >&2; exit 2; }; done

# Re-run inside a 256 MiB scope when systemd can make one.
if [ -z "${QUIMBEL_BENCH_DENTRO:-}" ] && systemd-run --scope -q -p MemoryMax=256M true 2> /dev/null; then
    exec env QUIMBEL_BENCH_DENTRO=systemd systemd-run --scope -q -p MemoryMax=256M "$0" "$@"
fi
grupo=""
if [ -z "${QUIMBEL_BENCH_DENTRO:-}" ]; then
    if [ -f /sys/fs/cgroup/cgroup.controllers ]; then
        base=/sys/fs/cgroup$(awk -F: '$1 == "0" { print $3 }' /proc/self/cgroup)
        limite=memory.max
    else
        base=/sys/fs/cgroup/memory$(awk -F: '$2 == "memory" { print $3 }' /proc/self/cgroup)
        limite=memory.limit_in_bytes
    fi
    grupo=$base/quimbel-un-paso-$$
    if mkdir "$grupo" 2> /dev/null && echo $((256 << 20)) > "$grupo/$limite" && echo $$ > "$grupo/cgroup.procs"; then
        echo "cgroup: $grupo ($limite = 256 MiB)"
    else
        [ -d "$grupo" ] && rmdir "$grupo"
        grupo=""
        echo "¡ sin cgroup de memoria: las cifras no están acotadas a 256 MiB !"
    fi
fi

trabajo=$(mktemp -d "${TMPDIR:-/tmp}/quimbel-un-paso.XXXXXX")
fin() {
    rm -rf "$trabajo"
    if [ -n "$grupo" ]; then
        echo $$ > "$base/cgroup.procs"
        rmdir "$grupo"
    fi
}
trap fin EXIT

echo "fuente: $mib MiB en trozos de 10 MiB; carga: $(cut -d' ' -f1-3 /proc/loadavg)"
head -c $((mib << 20)) /dev/urandom > "$trabajo/fuente.bin"
sync

# Drops the page cache of every file below the folders given.
olvidar() {
    sync
    find "$@" -type f -exec dd if={} iflag=nocache count=0 status=none \;
}

# Runs "$@" under /usr/bin/time, then sync; prints: wall seconds (with the sync), bytes read
# (rchar of the time process, read when it has exited and before it is reaped: the kernel adds a
# reaped child's counts to its parent's, so they hold the command's, beside a few KiB of time's
# own) and the command's peak RSS in KiB, as time measures it.
medir() {
    python3 - "$@" <<'PY'
import os, subprocess, sys, tempfile, time
with tempfile.NamedTemporaryFile("r") as pico:
    t0 = time.monotonic()
    p = subprocess.Popen(["/usr/bin/time", "-f", "%M", "-o", pico.name] + sys.argv[1:],
                         stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    os.waitid(os.P_PID, p.pid, os.WEXITED | os.WNOWAIT)
    rchar = 0
    with open(f"/proc/{p.pid}/io") as io:
        for linea in io:
            if linea.startswith("rchar:"):
                rchar = int(linea.split()[1])
    _, estado, _ = os.wait4(p.pid, 0)
    subprocess.run(["sync"])
    t1 = time.monotonic()
    if estado != 0:
        sys.exit(f"falló: {' '.join(sys.argv[1:])}")
    print(f"{t1 - t0:.2f} {rchar} {pico.read().split()[-1]}")
PY
}

fuente=$((mib << 20))
fila() { # name, seconds, bytes read, peak KiB
    awk -v n="$1" -v t="$2" -v r="$3" -v m="$4" -v f="$fuente" \
        'BEGIN { printf "%-50s %8.2f s  leídos %6.3f x  pico %7.1f MiB\n", n, t, r / f, m / 1024 }'
}
suma() { awk -v a="$1" -v b="$2" 'BEGIN { print a + b }'; }

q="$trabajo/q" s="$trabajo/s"
mkdir "$q" "$s"

# Medians of times, most bytes read and most memory of the runs given as "time rchar peak" lines.
resumen() {
    sort -n | awk '{ t[NR] = $1; if ($2 > r) r = $2; if ($3 > m) m = $3 }
        END { printf "%s %.0f %.0f\n", (NR % 2 ? t[(NR + 1) / 2] : (t[NR / 2] + t[NR / 2 + 1]) / 2), r, m }'
}

# The medians' rows of two commands run in alternating pairs (their runs' files and names), then
# each pair's ratio.
comparar() {
    local t r m
    read -r t r m < <(resumen < "$1")
    fila "$2" "$t" "$r" "$m"
    read -r t r m < <(resumen < "$3")
    fila "$4" "$t" "$r" "$m"
    paste "$1" "$3" | awk '{ printf "%s%.2f", (NR > 1 ? " " : "  pares: "), $1 / $4 } END { print "" }'
}

# Alternating pairs: each command in an empty folder, every cache dropped before it.
: > "$trabajo/cortar" && : > "$trabajo/split"
for ((vez = 1; vez <= veces; vez++)); do
    rm -rf "${q:?}"/* "${s:?}"/*
    olvidar "$trabajo"
    medir "$cli" cortar "$trabajo/fuente.bin" 10M --destino "$q" --sfv --par 10 >> "$trabajo/cortar"
    olvidar "$trabajo"
    medir split -b 10M -a 4 -d "$trabajo/fuente.bin" "$s/fuente." >> "$trabajo/split"
done
comparar "$trabajo/cortar" "quimbel-cli cortar --sfv --par 10 (mediana)" "$trabajo/split" "split -b (mediana)"
read -r t_q _ _ < <(resumen < "$trabajo/cortar")
read -r t_s r_s _ < <(resumen < "$trabajo/split")
olvidar "$trabajo"
read -r t_c r_c m_c < <(medir sh -c "cd '$s' && cksfv fuente.[0-9]* > fuente.sfv")
fila "  + cksfv" "$t_c" "$r_c" "$m_c"
olvidar "$trabajo"
read -r t_p r_p m_p < <(medir sh -c "cd '$s' && par2 create -q -s10485760 -c10 fuente.par2 fuente.[0-9]*")
fila "  + par2 create -s10485760 -c10" "$t_p" "$r_p" "$m_p"
fila "split + cksfv + par2 create" "$(suma "$(suma "$t_s" "$t_c")" "$t_p")" "$(suma "$(suma "$r_s" "$r_c")" "$r_p")" "$m_p"
awk -v q="$t_q" -v s="$t_s" 'BEGIN { printf "cortar / split: %.2f (objetivo <= 1.2)\n", q / s }'
(cd "$q" && par2 verify -q fuente.par2 > /dev/null) && echo "par2 verify acepta el juego de cortar"

trozos=("$q"/fuente.[0-9][0-9][0-9])
: > "$trabajo/unir" && : > "$trabajo/cat"
for ((vez = 1; vez <= veces; vez++)); do
    olvidar "$trabajo"
    medir "$cli" unir "${trozos[0]}" --destino "$trabajo/unido.bin" >> "$trabajo/unir"
    rm -f "$trabajo/unido.bin"
    olvidar "$trabajo"
    medir sh -c "cat $q/fuente.[0-9][0-9][0-9] > '$trabajo/cat.bin'" >> "$trabajo/cat"
    rm -f "$trabajo/cat.bin"
done
comparar "$trabajo/unir" "quimbel-cli unir, comprobado con su PAR2 (mediana)" "$trabajo/cat" "cat de los trozos (mediana)"
read -r t_u _ _ < <(resumen < "$trabajo/unir")
read -r t_k r_k _ < <(resumen < "$trabajo/cat")
olvidar "$trabajo"
read -r t_v r_v m_v < <(medir sh -c "cd '$q' && par2 verify -q fuente.par2")
fila "par2 verify" "$t_v" "$r_v" "$m_v"
fila "par2 verify + cat" "$(suma "$t_v" "$t_k")" "$(suma "$r_v" "$r_k")" "$m_v"
awk -v u="$t_u" -v k="$t_k" 'BEGIN { printf "unir / cat: %.2f (objetivo <= 1.1)\n", u / k }'
