#!/usr/bin/env bash
# The lyric's own cost under headless KWin and sway (Wayland, the player's windows on their
# Xwayland, the lyric a layer surface): the player with the desktop lyric shown, hidden, and
# mpv decoding the same file alone, in turns, each counting its process, the compositor and
# Xwayland. Prints the medians and the lyric's cost (shown minus hidden) against its target.
# Usage: bench/compositor_compare.sh [runs] [seconds of playing per run] [kwin|sway ...]
# VELLORA_BENCH_BUILD names a release build folder to measure as it is.
set -euo pipefail
cd "$(dirname "$0")/.."
runs=${1:-3}
seconds=${2:-30}
compositors=("${@:3}")
[ ${#compositors[@]} -eq 0 ] && compositors=(kwin sway)

bash scripts/setup.sh bench
bash scripts/setup.sh compositors
source bench/support/release_build.sh
source bench/support/cpu_time.sh
release_build
# The compositor's own pointer clicks the lyric switch: the tests' pointer client.
pointer_client=$PWD/build-test/tests/wayland_pointer/wayland_pointer
if [ ! -x "$pointer_client" ]; then
    [ -f build-test/build.ninja ] || cmake -S . -B build-test -G Ninja >/dev/null
    cmake --build build-test --target wayland_pointer >/dev/null
fi

work=$(mktemp -d)
source scripts/headless_compositors.sh
pids=()
cleanup() {
    for pid in "${pids[@]}"; do kill -9 "$pid" 2>/dev/null || true; done
    stop_headless_kwin
    stop_headless_sway
    rm -rf "$work"
}
trap cleanup EXIT

python3 bench/tone_wav.py "$work/track.wav" 60 44100
python3 bench/lyric_lines.py 60 2 >"$work/track.lrc"
lame --quiet -b 128 "$work/track.wav" "$work/track.mp3"
mkdir "$work/program" "$work/runtime" "$work/home"
chmod 700 "$work/runtime"
cp "$build/vellora" "$build"/vellora-media-sources.* "$work/program/"
printf '1\r\n%s\r\n' "$work/track.mp3" >"$work/program/data.dat"

child() { pgrep -P "$1" -x "$2" | head -n 1; } # parent name
median() { sort -g | awk '{v[NR] = $1} END {print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2}'; }
stop() { kill -9 "$1" 2>/dev/null; wait "$1" 2>/dev/null || true; }
declare -A samples
add() { samples[$1]+="$2 "; }
m() { echo "${samples[$1]}" | tr ' ' '\n' | grep -v '^$' | median; }

# One command to the compositor's pointer, once it has handled the last.
point() { echo "$1" >&"${POINTER[1]}"; read -r answer <&"${POINTER[0]}"; [ "$answer" = ok ]; }
click_switch() { # the desktop lyric switch on the player's main window, on Xwayland
    local window x y
    until window=$(xdotool search --name "Vellora V1.0" 2>/dev/null | head -n 1) && [ -n "$window" ]; do sleep 0.1; done
    sleep 1 # placed by the compositor
    read -r x y < <(xwininfo -id "$window" |
        awk '/Absolute upper-left X/ {x = $4} /Absolute upper-left Y/ {y = $4} END {print x, y}')
    x=$((x + 212)) y=$((y + 138))
    point "move $((x - 1)) $y"
    point "move $x $y"
    # Xwayland hears of the compositor's pointer on its own time.
    for _ in $(seq 100); do
        [ "$(xdotool getmouselocation | awk '{print $1, $2}')" = "x:$x y:$y" ] && break
        sleep 0.05
    done
    point press
    point release
    point "move 5 5"
}

measure() { # name pid compositor xwayland
    local name=$1 a b c d e f
    a=$(cpu_ns "$2"); b=$(cpu_ns "$3"); c=$(cpu_ns "$4")
    sleep "$seconds"
    d=$(cpu_ns "$2"); e=$(cpu_ns "$3"); f=$(cpu_ns "$4")
    add "${name}_process" "$(share $((d - a)) "$seconds")"
    add "${name}_compositor" "$(share $((e - b)) "$seconds")"
    add "${name}_xwayland" "$(share $((f - c)) "$seconds")"
    add "${name}_total" "$(share $((d - a + e - b + f - c)) "$seconds")"
}

for compositor in "${compositors[@]}"; do
    if [ "$compositor" = kwin ]; then
        start_headless_kwin
        wayland=$VELLORA_KWIN_WAYLAND_DISPLAY display=$VELLORA_KWIN_DISPLAY
        server=$KWIN_PID
    else
        start_headless_sway
        wayland=$VELLORA_SWAY_WAYLAND_DISPLAY display=$VELLORA_SWAY_DISPLAY
        server=$(child "$SWAY_PID" sway)
    fi
    # Started by the compositor, on the display it reported.
    xwayland=$(pgrep -a -x Xwayland | awk -v d="$display" '$3 == d {print $1; exit}')
    export WAYLAND_DISPLAY=$wayland DISPLAY=$display XDG_RUNTIME_DIR=$work/runtime HOME=$work/home
    coproc POINTER { "$pointer_client" 1920 1080; }
    pids+=($POINTER_PID)
    echo "== $compositor: playing, $seconds s per run ($runs runs each, in turns)"
    for run in $(seq "$runs"); do
        for mode in shown hidden; do
            (cd "$work/program" && exec ./vellora >/dev/null 2>&1) &
            pid=$!
            pids+=($pid)
            sleep 2
            [ "$mode" = shown ] && click_switch
            sleep 1
            measure "${compositor}_$mode" "$pid" "$server" "$xwayland"
            stop "$pid"
        done
        mpv --no-config --no-video --ao=null --really-quiet "$work/track.mp3" 2>/dev/null &
        pid=$!
        sleep 2.5
        measure "${compositor}_mpv" "$pid" "$server" "$xwayland"
        stop "$pid"
    done
    # What the lyric's surface asks of the compositor: one run traced by libwayland.
    (cd "$work/program" && WAYLAND_DEBUG=client exec ./vellora >/dev/null 2>"$work/trace") &
    pid=$!
    pids+=($pid)
    sleep 2
    click_switch
    sleep 1
    : >"$work/trace"
    sleep "$seconds"
    add "${compositor}_attaches" "$(grep -c 'wl_surface@[0-9]*\.attach(' "$work/trace" || true)"
    add "${compositor}_commits" "$(grep -c 'wl_surface@[0-9]*\.commit(' "$work/trace" || true)"
    stop "$pid"
    stop "$POINTER_PID"
    [ "$compositor" = kwin ] && stop_headless_kwin || stop_headless_sway
done

echo
printf '%-36s %s\n' "figure (medians, % of one core)" "process + compositor + Xwayland = total"
for compositor in "${compositors[@]}"; do
    for mode in shown hidden mpv; do
        n=${compositor}_$mode
        printf '%-36s %s + %s + %s = %s\n' "$compositor, ${mode/mpv/mpv alone}" "$(m "${n}_process")" \
            "$(m "${n}_compositor")" "$(m "${n}_xwayland")" "$(m "${n}_total")"
    done
done
echo
printf '%-60s %-10s %s\n' "target" "value" "verdict"
for compositor in "${compositors[@]}"; do
    cost=$(awk -v a="$(m "${compositor}_shown_total")" -v b="$(m "${compositor}_hidden_total")" 'BEGIN {print a - b}')
    ratio=$(awk -v a="$(m "${compositor}_shown_total")" -v b="$(m "${compositor}_mpv_total")" 'BEGIN {print a / b}')
    printf '%-60s %-10s %s\n' "$compositor: lyric shown minus hidden <= 0.2 % of one core" "+$cost %" \
        "$(awk -v v="$cost" 'BEGIN {print (v <= 0.2) ? "met" : "NOT met"}')"
    printf '%-60s %-10s\n' "$compositor: lyric shown against mpv alone" "${ratio}x"
    printf '%-60s %s\n' "$compositor: surface commits (buffers attached) in $seconds s" \
        "$(m "${compositor}_commits") ($(m "${compositor}_attaches"))"
done
