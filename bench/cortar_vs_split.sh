#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# Splits the same 1 GiB file with `quimbel-cli cortar` and with coreutils `split -b`,
# page cache warm, and prints the ratio of their mean wall times (goal: <= 1.10). Each ends
# with `sync`: cortar flushes every piece before it takes its name, split leaves its pieces to
# the system's write-back, and a time without the flush would compare unlike work.
# Usage: bench/cortar_vs_split.sh [build-folder]
set -eu
raiz=$(cd "$(dirname "$0")/.." && pwd)
bin=${1:-$raiz/build}/bin
tmp=$(mktemp -d /tmp/quimbel-bench-XXXXXX)
trap 'rm -rf "$tmp"' EXIT INT TERM

head -c 1073741824 /dev/urandom > "$tmp/fuente.bin"
cat "$tmp/fuente.bin" > /dev/null
mkdir "$tmp/q" "$tmp/s"

hyperfine --warmup 1 --runs 5 --export-json "$tmp/r.json" \
    --prepare "rm -f $tmp/q/* $tmp/s/*; sync" \
    -n quimbel "$bin/quimbel-cli cortar $tmp/fuente.bin 10000000 --destino $tmp/q >/dev/null 2>&1 && sync" \
    -n split "split -b 10000000 -a 3 -d $tmp/fuente.bin $tmp/s/fuente. && sync"

python3 - "$tmp/r.json" <<'PY'
import json, sys
r = {x["command"]: x["mean"] for x in json.load(open(sys.argv[1]))["results"]}
print(f"quimbel {r['quimbel']:.3f} s, split {r['split']:.3f} s, ratio {r['quimbel'] / r['split']:.3f} (goal <= 1.10)")
PY
