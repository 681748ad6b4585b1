#!/usr/bin/env bash
# Times the player from its start to its first shown main window, under a virtual X server,
# and reports its peak resident memory at that moment and one second later. With a playlist
# it also times the start to the first sound: the engine's first report of playing the first
# entry, which it logs with the time when asked to.
# Usage: bench/startup_time.sh [path/to/vellora] [runs]
# Cases: an empty playlist, a data.dat of one entry, and one of 32,767 entries.
set -euo pipefail
cd "$(dirname "$0")/.."
binary=$(realpath "${1:-build-release/vellora}")
runs=${2:-5}
[ -x "$binary" ] || { echo "no player binary at $binary (build it with scripts/run.sh or scripts/build.sh)" >&2; exit 1; }

work=$(mktemp -d)
source scripts/virtual_display.sh
start_virtual_display
trap 'kill $VIRTUAL_DISPLAY_PID 2>/dev/null || true; rm -rf "$work"' EXIT
export QT_QPA_PLATFORM=xcb
export QT_LOGGING_RULES="vellora.startup.debug=true"

# A one-second silent WAV that every playlist entry points at.
python3 bench/tone_wav.py "$work/tone.wav" 1 8000 silent

median() { # of the numbers on standard input
    local sorted
    sorted=$(sort -n)
    echo "$sorted" | sed -n "$(( ($(echo "$sorted" | wc -l) + 1) / 2 ))p"
}

measure() { # $1: case name, $2: playlist file to use or "none"
    local shown=() sounded=() hwm_shown hwm_later
    for _ in $(seq "$runs"); do
        local folder="$work/program"
        rm -rf "$folder" && mkdir -p "$folder"
        cp "$binary" "$folder/vellora"
        cp "$(dirname "$binary")"/vellora-media-sources.* "$folder/"
        [ "$2" = none ] || cp "$2" "$folder/data.dat"
        local start end pid line
        start=$(date +%s%N)
        "$folder/vellora" >/dev/null 2>"$work/log" &
        pid=$!
        until xwininfo -name "Vellora V1.0" 2>/dev/null | grep -q IsViewable; do sleep 0.002; done
        end=$(date +%s%N)
        hwm_shown=$(awk '/VmHWM/ {print $2}' "/proc/$pid/status")
        sleep 1
        hwm_later=$(awk '/VmHWM/ {print $2}' "/proc/$pid/status")
        kill -9 "$pid" 2>/dev/null; wait "$pid" 2>/dev/null || true
        shown+=($(( (end - start) / 1000000 )))
        line=$(grep -m 1 -o 'playing at [0-9]* ms' "$work/log" || true)
        [ -z "$line" ] || sounded+=($(( $(echo "$line" | tr -dc 0-9) - start / 1000000 )))
    done
    printf '%-16s shown window: median %4d ms (runs: %s)' "$1" \
        "$(printf '%s\n' "${shown[@]}" | median)" "$(printf '%s\n' "${shown[@]}" | sort -n | paste -sd,)"
    [ ${#sounded[@]} -eq 0 ] || printf '  first sound: median %4d ms (runs: %s)' \
        "$(printf '%s\n' "${sounded[@]}" | median)" "$(printf '%s\n' "${sounded[@]}" | sort -n | paste -sd,)"
    printf '  peak RSS: %d KiB when shown, %d KiB after 1 s\n' "$hwm_shown" "$hwm_later"
}

measure "empty playlist" none
printf '1\r\n%s\r\n' "$work/tone.wav" > "$work/one.dat"
measure "one entry" "$work/one.dat"
{
    echo 32767
    for i in $(seq 32767); do printf '%s\r\n' "$work/tone.wav"; done
} | sed '1s/$/\r/' > "$work/big.dat"
measure "32,767 entries" "$work/big.dat"
