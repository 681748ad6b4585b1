#!/usr/bin/env bash
# Runs inside a fresh Debian 12 root (scripts/package_test.sh makes it): installs the
# package with apt, uses it as an ordinary user under Xvfb, and purges it.
# Usage: clean_root_check.sh PACKAGE.deb
set -euo pipefail
export DEBIAN_FRONTEND=noninteractive
user=listener
title='Clean Root Title'

fail() {
    echo "clean root: $*" >&2
    [ ! -e ~/player.log ] || sed 's/^/player: /' ~/player.log >&2
    exit 1
}

player_property() {
    dbus-send --session --print-reply --dest=org.mpris.MediaPlayer2.vellora \
        /org/mpris/MediaPlayer2 org.freedesktop.DBus.Properties.Get \
        string:org.mpris.MediaPlayer2.Player "string:$1" 2>/dev/null || true
}

# Until the player's MPRIS property holds the text.
wait_for() {
    local property=$1 text=$2 value
    for _ in $(seq 600); do
        kill -0 "$player" 2>/dev/null || fail "the player ended before its $property held $text"
        value=$(player_property "$property")
        grep -qF "$text" <<<"$value" && return
        sleep 0.2
    done
    fail "the player's $property never held $text: $value"
}

# shellcheck disable=SC2059 # the format is the byte's escape
byte() { printf "\\x$(printf %02x "$1")"; }

# An ID3v2.3 tag holding only a title, then a minute of silence: 2048 frames of MPEG-1
# layer III at 32 kbit/s and 32 kHz, 144 bytes each.
tagged_mp3() {
    printf 'ID3\3\0\0\0\0\0'
    byte $((10 + 1 + ${#title}))
    printf 'TIT2\0\0\0'
    byte $((1 + ${#title}))
    printf '\0\0\0%s' "$title"
    { printf '\xff\xfb\x18\xc0' && head -c 140 /dev/zero; } >frames
    for _ in $(seq 11); do cat frames frames >twice && mv twice frames; done
    cat frames
}

use_as_user() {
    cd
    tagged_mp3 >song.mp3
    # Xvfb names its display once it takes clients; without -noreset it would reset, and
    # turn clients away for a moment, when the player's first probe of it hangs up.
    mkfifo display
    Xvfb -displayfd 3 -noreset -nolisten tcp 3>display 2>/dev/null &
    server=$!
    local number
    read -r number <display || fail "Xvfb did not start"
    export DISPLAY=:$number XDG_RUNTIME_DIR=$HOME/runtime
    mkdir -m 700 "$XDG_RUNTIME_DIR"

    local words command=()
    read -ra words <<<"$(sed -n 's/^Exec=//p' /usr/share/applications/io.github.vellora.Vellora.desktop)"
    for word in "${words[@]}"; do
        [ "$word" = %F ] && command+=("$HOME/song.mp3") || command+=("$word")
    done
    "${command[@]}" 2>player.log &
    player=$!
    trap 'kill "$player" "$server" 2>/dev/null || true' EXIT
    # The media reader reads the tag; libmpv, out of dpkg-shlibdeps' sight, plays.
    wait_for Metadata "$title"
    wait_for PlaybackStatus Playing
    man vellora 2>/dev/null | grep -q VELLORA_LRCLIB_URL || fail "man vellora shows no page"
    kill -TERM "$player"
    wait "$player" || fail "the player ended with status $?"
    grep -qF "$HOME/song.mp3" .local/share/vellora/data.dat ||
        fail "no data.dat naming the song in ~/.local/share/vellora"
}

# Every path apt, dpkg's triggers or the package could leave, outside the user's and the
# package managers' own folders.
snapshot() {
    find / -xdev \( -path /proc -o -path /sys -o -path /dev -o -path /run -o -path /tmp \
        -o -path /home -o -path /root -o -path /var/cache -o -path /var/log \
        -o -path /var/lib/apt -o -path /var/lib/dpkg \) -prune -o -print | sort
}

if [ "${1:-}" = --as-user ]; then
    use_as_user
    exit
fi

deb=$1
# What the package brings along comes first, resolved from the archive; then whatever its
# install adds or its purge leaves shows against that.
apt-get satisfy -y -q "$(dpkg-deb -f "$deb" Depends Recommends | sed 's/^[^:]*: //' |
    paste -sd,)" >/dev/null
useradd --create-home "$user"
snapshot >/tmp/before
apt-get install -y -q "$deb" >/dev/null
snapshot | comm -13 /tmp/before - | grep -vxF -f <(dpkg -L vellora) >/tmp/strays &&
    fail "installing wrote outside the package's files: $(cat /tmp/strays)"

# A network of its own: X's and D-Bus's abstract sockets belong to the network namespace,
# where the machine's own X servers hold display numbers that the root's /tmp cannot show.
unshare --net runuser -u "$user" -- env -i HOME="/home/$user" USER="$user" PATH=/usr/bin:/bin \
    LANG=C.UTF-8 dbus-run-session -- bash "$0" --as-user

apt-get purge -y -q vellora >/dev/null
snapshot | diff /tmp/before - || fail "purging left the changes above"
echo "clean root: installed, started from its desktop entry, tags read, playing, page shown, purged"
