# Sourced by the bench scripts, from the checkout's root. release_build sets build to the
# release build folder to measure: VELLORA_BENCH_BUILD when set (another revision's, say,
# measured as it is), else build-release, built now.
release_build() {
    build=${VELLORA_BENCH_BUILD:-}
    if [ -z "$build" ]; then
        bash scripts/build.sh build-release -DCMAKE_BUILD_TYPE=Release -DVELLORA_BUILD_TESTS=OFF \
            >/dev/null
        build=$PWD/build-release
    fi
}
