#!/usr/bin/env bash
# Builds and lints the Debian package (scripts/package.sh), then installs it into a fresh
# Debian 12 root and uses it there (tests/package/clean_root_check.sh).
# Usage: package_test.sh [PACKAGE.deb]   (a package given is tested as it is)
# The root's apt sources are this machine's Debian 12 ones, as apt reads them from
# /etc/apt/sources.list*; the root is made anew each time and nothing of it is kept.
set -euo pipefail
cd "$(dirname "$0")/.."
if [ $# -eq 0 ]; then
    bash scripts/package.sh
    set -- build-deb/vellora_*_amd64.deb
else
    bash scripts/setup.sh package
fi
deb=$(realpath "$1")

debian_sources() {
    # shellcheck disable=SC2016 # apt fills in the $(FIELD)s
    apt-get indextargets --format '$(REPO_URI) $(RELEASE) $(COMPONENT)' \
        'Identifier: Packages' 'Origin: Debian' |
        awk '$2 ~ /^bookworm(-|$)/ { c[$1 " " $2] = c[$1 " " $2] " " $3 }
             END { for (k in c) print "deb " k c[k] }'
}
sources=$(mktemp)
trap 'rm -f "$sources"' EXIT
debian_sources >"$sources"
# apt knows a source's origin only from its downloaded lists.
if [ ! -s "$sources" ]; then
    apt-get update -qq
    debian_sources >"$sources"
fi
[ -s "$sources" ] || { echo "package_test: no Debian 12 source in /etc/apt/sources.list*" >&2; exit 1; }

mmdebstrap --variant=minbase --include=dbus,man-db,xvfb \
    --customize-hook="copy-in $deb $PWD/tests/package/clean_root_check.sh /tmp" \
    --customize-hook="chroot \"\$1\" bash /tmp/clean_root_check.sh /tmp/$(basename "$deb")" \
    bookworm /dev/null "$sources"
