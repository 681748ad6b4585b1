#!/usr/bin/env bash
# Installs what is missing, checks formatting, then builds and runs every test twice:
# a warnings-as-errors build, and an AddressSanitizer + UndefinedBehaviorSanitizer build.
# Last, a clang build runs each fuzz target over its seeds and a fixed ten thousand inputs
# (scripts/fuzz.sh fuzzes for longer).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
# Qt wants a private runtime folder; a fresh one keeps test runs apart.
export XDG_RUNTIME_DIR=$(mktemp -d)

echo "== formatting"
git ls-files -- '*.cpp' '*.h' | xargs clang-format --dry-run --Werror

source scripts/virtual_display.sh
start_virtual_display
trap 'kill $VIRTUAL_DISPLAY_PID 2>/dev/null || true' EXIT

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
