#!/usr/bin/env bash
# Times the player from its start to its first shown main window, under a virtual X server,
# and reports its peak resident memory at that moment and one second later. With a playlist
# it also times the start to the first sound: the engine's first report of playing the first
# entry, which it logs with the time when asked to.
# Usage: bench/startup_time.sh [path/to/vellora] [runs]
# Cases: an empty playlist, a data.dat of one entry, and one of 32,767 entries. They take
# turns run by run, so a machine that slows down or speeds up meanwhile weighs on each
# alike; the window is watched from one X connection (bench/side_by_side/first_window), so
# the watching takes no processor from the player.
set -euo pipefail
cd "$(dirname "$0")/.."
binary=$(realpath "${1:-build-release/vellora}")
runs=${2:-5}
first_window=$(dirname "$binary")/bench/first_window
[ -x "$binary" ] || { echo "no player binary at $binary (build it with scripts/run.sh or scripts/build.sh)" >&2; exit 1; }
[ -x "$first_window" ] || { echo "no $first_window: build the benchmarks (bash scripts/build.sh build-release -DCMAKE_BUILD_TYPE=Release)" >&2; exit 1; }

work=$(mktemp -d)
source scripts/virtual_display.sh
start_virtual_display
trap 'kill $VIRTUAL_DISPLAY_PID 2>/dev/null || true; rm -rf "$work"' EXIT
export QT_QPA_PLATFORM=xcb
export QT_LOGGING_RULES="vellora.startup.debug=true"

# A one-second silent WAV that every playlist entry points at.
python3 bench/tone_wav.py "$work/tone.wav" 1 8000 silent
printf '1\r\n%s\r\n' "$work/tone.wav" > "$work/one.dat"
{
    echo 32767
    for i in $(seq 32767); do printf '%s\r\n' "$work/tone.wav"; done
} | sed '1s/$/\r/' > "$work/big.dat"

median() { # of the numbers on standard input
    local sorted
    sorted=$(sort -n)
    echo "$sorted" | sed -n "$(( ($(echo "$sorted" | wc -l) + 1) / 2 ))p"
}

declare -A shown sounded hwm_shown hwm_later
measure_once() { # $1: case name, $2: playlist file to use or "none"
    local folder="$work/program" started ms pid line
    rm -rf "$folder" && mkdir -p "$folder"
    cp "$binary" "$folder/vellora"
    cp "$(dirname "$binary")"/vellora-media-sources.* "$folder/"
    [ "$2" = none ] || cp "$2" "$folder/data.dat"
    started=$(date +%s%3N)
    read -r ms pid < <(cd "$folder" && "$first_window" "Vellora V1.0" 10000 -- ./vellora 2>"$work/log")
    hwm_shown[$1]=$(awk '/VmHWM/ {print $2}' "/proc/$pid/status")
    sleep 1
    hwm_later[$1]=$(awk '/VmHWM/ {print $2}' "/proc/$pid/status")
    kill -9 "$pid" 2>/dev/null; wait "$pid" 2>/dev/null || true
    shown[$1]+="${ms%.*} "
    line=$(grep -m 1 -o 'playing at [0-9]* ms' "$work/log" || true)
    [ -z "$line" ] || sounded[$1]+="$(( $(echo "$line" | tr -dc 0-9) - started )) "
}

cases=("empty playlist:none" "one entry:$work/one.dat" "32,767 entries:$work/big.dat")
for _ in $(seq "$runs"); do
    for entry in "${cases[@]}"; do measure_once "${entry%%:*}" "${entry#*:}"; done
done

for entry in "${cases[@]}"; do
    name=${entry%%:*}
    printf '%-16s shown window: median %4d ms (runs: %s)' "$name" \
        "$(tr ' ' '\n' <<<"${shown[$name]}" | grep . | median)" \
        "$(tr ' ' '\n' <<<"${shown[$name]}" | grep . | sort -n | paste -sd,)"
    [ -z "${sounded[$name]:-}" ] || printf '  first sound: median %4d ms (runs: %s)' \
        "$(tr ' ' '\n' <<<"${sounded[$name]}" | grep . | median)" \
        "$(tr ' ' '\n' <<<"${sounded[$name]}" | grep . | sort -n | paste -sd,)"
    printf '  peak RSS: %d KiB when shown, %d KiB after 1 s\n' "${hwm_shown[$name]}" "${hwm_later[$name]}"
done
