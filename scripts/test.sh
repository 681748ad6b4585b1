#!/usr/bin/env bash
# Installs what is missing, checks formatting, then builds and runs every test twice:
# a warnings-as-errors build, and an AddressSanitizer + UndefinedBehaviorSanitizer build,
# with a virtual X server and headless sway, KWin and mutter (Wayland, each with Xwayland)
# running.
# Last, a clang build runs each fuzz target over its seeds and a fixed ten thousand inputs
# (scripts/fuzz.sh fuzzes for longer).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
bash scripts/setup.sh compositors
# Qt wants a private runtime folder; a fresh one keeps test runs apart.
export XDG_RUNTIME_DIR=$(mktemp -d)

echo "== formatting"
git ls-files -- '*.cpp' '*.h' | xargs clang-format --dry-run --Werror

# The tests on the virtual X server must not find a Wayland session of the caller's.
unset WAYLAND_DISPLAY
source scripts/virtual_display.sh
start_virtual_display
source scripts/headless_compositors.sh
trap 'kill $VIRTUAL_DISPLAY_PID 2>/dev/null || true; stop_nested_sway; stop_headless_sway
    stop_headless_kwin; stop_headless_mutter' EXIT
# The *_sway_test, *_kwin_test and *_mutter_test tests run the player under them.
start_headless_sway
start_nested_sway
start_headless_kwin
start_headless_mutter

export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export LSAN_OPTIONS=suppressions=$PWD/tests/lsan.supp:print_suppressions=0
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1

for variant in build-test build-sanitize; do
    echo "== $variant"
    options=(-DCMAKE_BUILD_TYPE=Debug -DVELLORA_WARNINGS_AS_ERRORS=ON)
    [ "$variant" = build-sanitize ] && options+=(-DVELLORA_SANITIZE=ON -DVELLORA_BUILD_BENCHMARKS=OFF)
    bash scripts/build.sh "$variant" "${options[@]}"
    (cd "$variant" && ctest --output-on-failure)
done

echo "== build-fuzz"
CC=clang CXX=clang++ bash scripts/build.sh build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DVELLORA_FUZZ=ON -DVELLORA_BUILD_TESTS=OFF -DVELLORA_BUILD_BENCHMARKS=OFF \
    -DVELLORA_WARNINGS_AS_ERRORS=ON
(cd build-fuzz && ctest --output-on-failure)
