#!/usr/bin/env bash
# Installs what is missing, checks formatting, then builds and runs every test twice:
# a warnings-as-errors build, and an AddressSanitizer + UndefinedBehaviorSanitizer build.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh

echo "== formatting"
git ls-files -- '*.cpp' '*.h' | xargs clang-format --dry-run --Werror

# Tests that need a real X server share one virtual server; -noreset keeps root-window
# properties alive between clients.
display_file=$(mktemp)
Xvfb -displayfd 3 -screen 0 1920x1080x24 -noreset -nolisten tcp 3>"$display_file" 2>/dev/null &
xvfb_pid=$!
trap 'kill $xvfb_pid 2>/dev/null || true; rm -f "$display_file"' EXIT
for _ in $(seq 100); do [ -s "$display_file" ] && break; sleep 0.1; done
export DISPLAY=":$(cat "$display_file")"

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
