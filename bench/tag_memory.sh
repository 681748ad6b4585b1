#!/usr/bin/env bash
# Peak resident memory of reading the tags of one file, for a plain MP3 and for two hostile
# ones: a synchronised lyrics frame of 3 million entries (an 18 MB tag) and an unsynchronised
# lyrics frame of 100 MB. Each is read by a program that does only that (the player's tag
# reader), under /usr/bin/time -v; the differences to the plain MP3 are what the tags cost.
# Usage: bench/tag_memory.sh [path/to/bench/read_tags]  (GNU time: scripts/setup.sh bench)
set -euo pipefail
cd "$(dirname "$0")/.."
reader=$(realpath "${1:-build-release/bench/read_tags}")
[ -x "$reader" ] || { echo "no $reader: build the benchmarks (bash scripts/build.sh build-release -DCMAKE_BUILD_TYPE=Release)" >&2; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
python3 bench/tag_memory/media_files.py "$work"

peak_kib() {
    /usr/bin/time -v "$reader" "$1" 2>"$work/time" >"$work/said"
    sed -n 's/^[[:space:]]*Maximum resident set size (kbytes): //p' "$work/time"
}

mib() { awk -v kib="$1" 'BEGIN { printf "%.1f", kib / 1024 }'; }
plain=$(peak_kib "$work/plain.mp3")
printf '%-22s %8s MiB\n' "plain MP3" "$(mib "$plain")"
for name in sylt uslt; do
    peak=$(peak_kib "$work/$name.mp3")
    printf '%-22s %8s MiB  (%s MiB more; %s)\n' "$name.mp3 ($(du -h "$work/$name.mp3" | cut -f1))" \
        "$(mib "$peak")" "$(mib $((peak - plain)))" "$(cat "$work/said")"
done
