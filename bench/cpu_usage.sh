#!/usr/bin/env bash
# Measures the player's CPU use (user + system time of its process) while it plays a track
# with a lyric line every second and the desktop lyric shown, under a virtual X server.
# With "moving" as third argument the pointer keeps sweeping over the rippling picture; with
# "bomb" the lyric file is one line as long as the loader takes (8 MiB) that holds every
# position text of ten minutes over and over, so every second matches it.
# Usage: bench/cpu_usage.sh [path/to/vellora] [seconds] [moving|bomb]
set -euo pipefail
cd "$(dirname "$0")/.."
binary=$(realpath "${1:-build-release/vellora}")
seconds=${2:-30}
mode=${3:-}
[ -x "$binary" ] || { echo "no player binary at $binary" >&2; exit 1; }

work=$(mktemp -d)
source scripts/virtual_display.sh
start_virtual_display
trap 'kill $mover_pid $player_pid $VIRTUAL_DISPLAY_PID 2>/dev/null || true; rm -rf "$work"' EXIT
player_pid=
mover_pid=
export QT_QPA_PLATFORM=xcb

length=$((seconds + 10))
python3 bench/tone_wav.py "$work/track.wav" "$length"
python3 - "$work" "$length" "$mode" <<'PY'
import sys
folder, length, mode = sys.argv[1], int(sys.argv[2]), sys.argv[3]
with open(folder + "/track.lrc", "w", encoding="utf-8", newline="") as f:
    if mode == "bomb":
        cycle = "".join("[%02d:%02d.00]" % (s // 60, s % 60) for s in range(600))
        f.write((cycle * (8 * 1024 * 1024 // len(cycle) + 1))[: 8 * 1024 * 1024])
    else:
        for s in range(length):
            f.write("[%02d:%02d.00]第 %d 行 line number %d\r\n" % (s // 60, s % 60, s, s))
with open(folder + "/data.dat", "w", newline="") as f:
    f.write("1\r\n" + folder + "/track.wav\r\n")
PY
mkdir "$work/program"
cp "$binary" "$work/program/vellora"
cp "$(dirname "$binary")"/vellora-media-sources.* "$work/program/"
cp "$work/data.dat" "$work/program/data.dat"
"$work/program/vellora" >/dev/null 2>&1 &
player_pid=$!
until window=$(xdotool search --name "Vellora V1.0" 2>/dev/null | head -n 1) && [ -n "$window" ]; do sleep 0.05; done
sleep 0.5
# The desktop lyric switch sits on the tool strip, 200..225 across and 128..150 down.
eval "$(xdotool getwindowgeometry --shell "$window")"
xdotool mousemove $((X + 212)) $((Y + 138)) click 1
sleep 2

mover_pid=
if [ "$mode" = moving ]; then
    (while true; do
        for x in $(seq 20 8 300) $(seq 300 -8 20); do
            xdotool mousemove $((X + x)) $((Y + 48))
            sleep 0.02
        done
    done) &
    mover_pid=$!
fi

ticks() { awk '{print $14 + $15}' "/proc/$player_pid/stat"; }
hz=$(getconf CLK_TCK)
before=$(ticks)
sleep "$seconds"
after=$(ticks)
rss=$(awk '/VmRSS/ {print $2}' "/proc/$player_pid/status")
awk -v t=$((after - before)) -v hz="$hz" -v s="$seconds" -v rss="$rss" \
    -v how="${mode:+ ($mode)}" 'BEGIN { printf "playing with the desktop lyric shown%s: %.2f %% of one core over %d s (user+sys %.2f s), RSS %d KiB\n", how, 100 * t / hz / s, s, t / hz, rss }'
