#!/usr/bin/env bash
# Side by side on one virtual X server with a window manager: this player (desktop lyric
# shown and hidden, and shown under a compositing manager), mpv decoding the same file alone,
# and a minimal Qt window. Prints each figure (medians), the ratios the player is held to, and
# whether each target is met, so a run on any machine judges itself.
# Usage: bench/compare.sh [runs] [seconds of playing per CPU run]
# VELLORA_BENCH_BUILD names a release build folder to measure as it is (another revision's,
# say) instead of building build-release.
set -euo pipefail
cd "$(dirname "$0")/.."
runs=${1:-5}
seconds=${2:-30}

bash scripts/setup.sh bench
source bench/support/release_build.sh
source bench/support/cpu_time.sh
release_build
player=$build/vellora
minimal=$build/bench/minimal_window
first_window=$build/bench/first_window

work=$(mktemp -d)
source scripts/virtual_display.sh
start_virtual_display
pids=()
cleanup() {
    for pid in "${pids[@]}"; do kill -9 "$pid" 2>/dev/null || true; done
    kill "$VIRTUAL_DISPLAY_PID" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT
export QT_QPA_PLATFORM=xcb
export XDG_RUNTIME_DIR=$work/runtime
mkdir -m 700 "$XDG_RUNTIME_DIR"
openbox --sm-disable >/dev/null 2>&1 &
pids+=($!)
until xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'; do sleep 0.05; done
xserver=$VIRTUAL_DISPLAY_PID

# A 60-second MP3 with a lyric line every 2 seconds, the lines as real lyrics are.
python3 bench/tone_wav.py "$work/track.wav" 60 44100
python3 bench/lyric_lines.py 60 2 >"$work/track.lrc"
lame --quiet -b 128 "$work/track.wav" "$work/track.mp3"
mkdir "$work/program"
cp "$player" "$work/program/vellora"
cp "$(dirname "$player")"/vellora-media-sources.* "$work/program/"
player=$work/program/vellora

playlist() { # one entry, or none
    if [ "$1" = one ]; then printf '1\r\n%s\r\n' "$work/track.mp3"; else printf '0\r\n\r\n'; fi \
        >"$work/program/data.dat"
}
rss_kib() { # the process and its children (the player's media reader)
    for pid in $(family "$1"); do cat /proc/"$pid"/status 2>/dev/null; done |
        awk '/VmRSS/ {n += $2} END {print n}'
}
switches() { # context switches of the main thread, and of all threads
    awk '/ctxt_switches/ {n += $2} END {print n}' "/proc/$1/status"
    cat /proc/"$1"/task/*/status | awk '/ctxt_switches/ {n += $2} END {print n}'
}
median() { sort -g | awk '{v[NR] = $1} END {print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2}'; }
stop() { kill -9 "$1" 2>/dev/null; wait "$1" 2>/dev/null || true; }
click() { # a point of the player's main window, from its client area's top-left corner
    local window x y
    window=$(xdotool search --name "Vellora V1.0" | head -n 1)
    # Where the client area really is: xdotool's own geometry is off by the frame's title bar.
    read -r x y < <(xwininfo -id "$window" |
        awk '/Absolute upper-left X/ {x = $4} /Absolute upper-left Y/ {y = $4} END {print x, y}')
    xdotool mousemove $((x + $1)) $((y + $2)) click 1 mousemove 0 0
}
start_player() { # prints "ms pid" of the first shown window; the player's log goes to $work/log
    date +%s%3N >"$work/started"
    (cd "$work/program" && QT_LOGGING_RULES="vellora.startup.debug=true" \
        "$first_window" "Vellora V1.0" 10000 -- "$player" 2>"$work/log")
}

declare -A samples
add() { samples[$1]+="$2 "; }

echo "== start-up ($runs runs each, round-robin)"
for run in $(seq "$runs"); do
    read -r ms pid < <("$first_window" "Minimal Qt window" 10000 -- "$minimal")
    add minimal_start "$ms"; stop "$pid"

    playlist one
    read -r ms pid < <(start_player)
    add player_start "$ms"
    # The engine logs, in milliseconds since the epoch, when its first track began to play.
    for _ in $(seq 100); do grep -q 'playing at' "$work/log" && break; sleep 0.05; done
    add player_sound "$(grep -m 1 -o 'playing at [0-9]*' "$work/log" | tr -dc 0-9 |
        awk -v s="$(cat "$work/started")" '{print $1 - s}')"
    stop "$pid"
done

echo "== playing, ${seconds} s per run ($runs runs each, round-robin)"
measure_cpu() { # name pid
    local before xbefore after xafter
    before=$(cpu_ns "$2"); xbefore=$(cpu_ns "$xserver")
    sleep "$seconds"
    after=$(cpu_ns "$2"); xafter=$(cpu_ns "$xserver")
    add "$1_cpu" "$(share $((after - before)) "$seconds")"
    add "$1_xcpu" "$(share $((xafter - xbefore)) "$seconds")"
    add "$1_rss" "$(rss_kib "$2")"
}
for run in $(seq "$runs"); do
    for mode in shown hidden composited; do
        [ "$mode" = composited ] && { xcompmgr >/dev/null 2>&1 & compositor=$!; }
        playlist one
        read -r _ pid < <(start_player)
        sleep 1.5
        [ "$mode" != hidden ] && click 212 138 # the desktop lyric switch
        sleep 1
        if [ "$mode" = composited ]; then
            cbefore=$(cpu_ns "$compositor")
            measure_cpu "player_$mode" "$pid"
            add compositor_cpu "$(share $(($(cpu_ns "$compositor") - cbefore)) "$seconds")"
            stop "$compositor"
        else
            measure_cpu "player_$mode" "$pid"
        fi
        stop "$pid"
    done
    mpv --no-config --no-video --ao=null --really-quiet "$work/track.mp3" 2>/dev/null &
    pid=$!
    sleep 2.5
    measure_cpu mpv "$pid"
    stop "$pid"
done

echo "== wake-ups while nothing plays (5 s each)"
wakeups() { # name pid
    local a b c d
    read -r a b <<<"$(switches "$2" | tr '\n' ' ')"
    sleep 5
    read -r c d <<<"$(switches "$2" | tr '\n' ' ')"
    add "$1_wake" "$(awk -v n=$((c - a)) 'BEGIN {print n / 5}')"
    add "$1_wakeall" "$(awk -v n=$((d - b)) 'BEGIN {print n / 5}')"
}
playlist none
read -r _ pid < <(start_player)
sleep 2
wakeups idle "$pid"
stop "$pid"
playlist one
read -r _ pid < <(start_player)
sleep 2
click 56 106 # pause
sleep 1
wakeups paused "$pid"
click 92 106 # stop
sleep 1
wakeups stopped "$pid"
stop "$pid"

m() { echo "${samples[$1]}" | tr ' ' '\n' | grep -v '^$' | median; }
verdict() { awk -v v="$1" -v limit="$2" 'BEGIN {print (v != "" && v <= limit) ? "met" : "NOT met"}'; }
mpv_total=$(awk -v a="$(m mpv_cpu)" -v b="$(m mpv_xcpu)" 'BEGIN {print a + b}')
shown_total=$(awk -v a="$(m player_shown_cpu)" -v b="$(m player_shown_xcpu)" 'BEGIN {print a + b}')
hidden_total=$(awk -v a="$(m player_hidden_cpu)" -v b="$(m player_hidden_xcpu)" 'BEGIN {print a + b}')
composited_total=$(awk -v a="$(m player_composited_cpu)" -v b="$(m player_composited_xcpu)" 'BEGIN {print a + b}')
start_ratio=$(awk -v a="$(m player_start)" -v b="$(m minimal_start)" 'BEGIN {print a / b}')
shown_ratio=$(awk -v a="$shown_total" -v b="$mpv_total" 'BEGIN {print a / b}')
hidden_ratio=$(awk -v a="$hidden_total" -v b="$mpv_total" 'BEGIN {print a / b}')
composited_ratio=$(awk -v a="$composited_total" -v b="$mpv_total" 'BEGIN {print a / b}')
rss_over=$(awk -v a="$(m player_shown_rss)" -v b="$(m mpv_rss)" 'BEGIN {print (a - b) / 1024}')

echo
printf '%-44s %s\n' "figure (medians)" "value"
printf '%-44s %s ms\n' "minimal Qt window: start to first window" "$(m minimal_start)"
printf '%-44s %s ms\n' "player: start to first window" "$(m player_start)"
printf '%-44s %s ms\n' "player: start to first sound (one entry)" "$(m player_sound)"
printf '%-44s %s %% + X server %s %%, RSS %s KiB\n' "mpv --no-video --ao=null: CPU" "$(m mpv_cpu)" "$(m mpv_xcpu)" "$(m mpv_rss)"
printf '%-44s %s %% + X server %s %%, RSS %s KiB\n' "player, desktop lyric shown: CPU" "$(m player_shown_cpu)" "$(m player_shown_xcpu)" "$(m player_shown_rss)"
printf '%-44s %s %% + X server %s %%, RSS %s KiB\n' "player, desktop lyric hidden: CPU" "$(m player_hidden_cpu)" "$(m player_hidden_xcpu)" "$(m player_hidden_rss)"
printf '%-44s %s %% + X server %s %% (xcompmgr %s %%)\n' "player, lyric shown under xcompmgr: CPU" "$(m player_composited_cpu)" "$(m player_composited_xcpu)" "$(m compositor_cpu)"
for state in idle paused stopped; do
    printf '%-44s %s /s (all threads %s /s)\n' "player $state: main-thread wake-ups" "$(m ${state}_wake)" "$(m ${state}_wakeall)"
done
echo
printf '%-60s %-10s %s\n' "target" "value" "verdict"
printf '%-60s %-10s %s\n' "start to first window <= 1.6x minimal Qt window" "${start_ratio}x" "$(verdict "$start_ratio" 1.6)"
printf '%-60s %-10s %s\n' "start to first sound < 250 ms" "$(m player_sound) ms" "$(verdict "$(m player_sound)" 249.999)"
printf '%-60s %-10s %s\n' "CPU with desktop lyric shown (+X) <= 1.0x mpv" "${shown_ratio}x" "$(verdict "$shown_ratio" 1.0)"
printf '%-60s %-10s %s\n' "the same under a compositing manager <= 1.0x mpv" "${composited_ratio}x" "$(verdict "$composited_ratio" 1.0)"
printf '%-60s %-10s %s\n' "CPU with desktop lyric hidden (+X) <= 1.15x mpv" "${hidden_ratio}x" "$(verdict "$hidden_ratio" 1.15)"
printf '%-60s %-10s %s\n' "RSS playing <= mpv + 20 MiB" "+${rss_over} MiB" "$(verdict "$rss_over" 20)"
for state in idle paused stopped; do
    printf '%-60s %-10s %s\n' "wake-ups while $state < 5 /s" "$(m ${state}_wake) /s" "$(verdict "$(m ${state}_wake)" 4.999)"
done
