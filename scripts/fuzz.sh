#!/usr/bin/env bash
# Builds the fuzz targets of fuzz/ (clang's libFuzzer, AddressSanitizer + UndefinedBehavior-
# Sanitizer) and runs each in turn for the given number of seconds: fuzz.sh [seconds]
# Each target works on a copy of its committed seeds in build-fuzz/corpus/NAME, which keeps
# what it found for the next run; inputs that fail land in build-fuzz/crashes/NAME and the
# whole output in build-fuzz/logs/NAME.log.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
bash scripts/setup.sh
export XDG_RUNTIME_DIR=$(mktemp -d)
CC=clang CXX=clang++ bash scripts/build.sh build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DVELLORA_FUZZ=ON -DVELLORA_BUILD_TESTS=OFF -DVELLORA_BUILD_BENCHMARKS=OFF \
    -DVELLORA_WARNINGS_AS_ERRORS=ON

# Targets that read window properties need an X server; a private one leaves the desktop alone.
source scripts/virtual_display.sh
start_virtual_display
trap 'kill $VIRTUAL_DISPLAY_PID 2>/dev/null || true' EXIT
export QT_QPA_PLATFORM=offscreen

failed=()
for source in fuzz/*_fuzz.cpp; do
    name=$(basename "$source" .cpp)
    corpus=build-fuzz/corpus/$name
    crashes=build-fuzz/crashes/$name
    log=build-fuzz/logs/$name.log
    mkdir -p "$corpus" "$crashes" "$(dirname "$log")"
    cp -u fuzz/corpus/"$name"/* "$corpus"/
    options=(-max_total_time="$seconds" -timeout=25 -print_final_stats=1
        -artifact_prefix="$crashes/")
    [ -f "fuzz/$name.dict" ] && options+=(-dict="fuzz/$name.dict")
    echo "== $name, $seconds s"
    if build-fuzz/fuzz/"$name" "$corpus" "${options[@]}" >"$log" 2>&1; then
        grep -E '^#[0-9]+.*DONE|^stat::(average_exec_per_sec|new_units_added|peak_rss_mb)' "$log"
    else
        tail -n 40 "$log"
        failed+=("$name")
    fi
done
if [ ${#failed[@]} -gt 0 ]; then
    echo "fuzz: failed: ${failed[*]} (inputs in build-fuzz/crashes)" >&2
    exit 1
fi
