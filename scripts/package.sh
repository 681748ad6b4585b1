#!/usr/bin/env bash
# Builds the Debian package into build-deb/ and lints it: package.sh
# Installs what it needs through setup.sh. The sources are copied into build-deb/source
# first, as dpkg-buildpackage writes its packages beside the tree it builds.
# VELLORA_PACKAGE_CCACHE=1 builds through ccache; the package itself never needs it.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh package

output=$PWD/build-deb
rm -rf "$output"
mkdir -p "$output/source"
# What git tracks, and new files it does not ignore: a checkout's build folders stay out.
git ls-files -z --cached --others --exclude-standard |
    xargs -0 tar -cf - --no-recursion -- | tar -xf - -C "$output/source"

if [ "${VELLORA_PACKAGE_CCACHE:-}" = 1 ] && command -v ccache >/dev/null 2>&1; then
    export CMAKE_C_COMPILER_LAUNCHER=ccache CMAKE_CXX_COMPILER_LAUNCHER=ccache
    export CCACHE_BASEDIR=$output/source CCACHE_NOHASHDIR=1
fi

(cd "$output/source" && dpkg-buildpackage -b -us -uc -Jauto)
lintian --fail-on error,warning "$output"/vellora_*.changes
echo "package: $(ls "$output"/vellora_*_*.deb)"
