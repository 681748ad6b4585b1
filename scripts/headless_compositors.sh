# Sourced by scripts that test the desktop lyric under headless Wayland compositors.
# Each compositor runs in a runtime folder of its own, which its stop function removes.
#
# start_headless_sway: starts sway (wlroots) with its headless backend, one 1920×1080
# output, a bottom bar that takes an exclusive zone, windows without title bars, and
# Xwayland. sway refuses to run as root, so it runs as an unprivileged user made for it, in
# a runtime folder of that user's; root's clients reach it through the socket's full path,
# and its Xwayland lets root in.
# Exports VELLORA_SWAY_WAYLAND_DISPLAY, VELLORA_SWAY_DISPLAY and VELLORA_SWAYSOCK for the
# tests, and leaves the compositor's process id in SWAY_PID.
compositor_user=vellora-compositor

ensure_compositor_user() {
    id "$compositor_user" >/dev/null 2>&1 ||
        useradd --system --create-home --shell /usr/sbin/nologin "$compositor_user"
}

# What every sway the tests run the player under has: Xwayland, which lets root's clients in
# and writes its display's name to RUNTIME/display once it runs, and a bar 30 pixels high at
# the bottom of each output.
session_sway_config() {
    local runtime=$1
    cat <<CONFIG
xwayland enable
# No title bars: a window's content is where the layout says the window is.
default_border none
default_floating_border none
bar {
    position bottom
    height 30
    status_command true
}
exec sh -c 'xhost +si:localuser:root >/dev/null; echo "\$DISPLAY" >"$runtime/display.tmp"; mv "$runtime/display.tmp" "$runtime/display"'
CONFIG
}

start_headless_sway() {
    ensure_compositor_user
    local runtime
    runtime=$(mktemp -d /tmp/vellora-sway.XXXXXX)
    chown "$compositor_user" "$runtime"
    chmod 700 "$runtime"
    {
        echo "output HEADLESS-1 resolution 1920x1080 position 0 0"
        session_sway_config "$runtime"
    } >"$runtime/config"
    chown "$compositor_user" "$runtime/config"
    runuser -u "$compositor_user" -- env -i HOME="$(getent passwd "$compositor_user" | cut -d: -f6)" \
        PATH="$PATH" XDG_RUNTIME_DIR="$runtime" WLR_BACKENDS=headless WLR_LIBINPUT_NO_DEVICES=1 \
        WLR_RENDERER=pixman WLR_HEADLESS_OUTPUTS=1 \
        sway --config "$runtime/config" >"$runtime/sway.log" 2>&1 &
    SWAY_PID=$!
    for _ in $(seq 300); do [ -s "$runtime/display" ] && break; sleep 0.1; done
    if [ ! -s "$runtime/display" ]; then
        echo "headless sway did not start; its log:" >&2
        cat "$runtime/sway.log" >&2
        return 1
    fi
    export VELLORA_SWAY_WAYLAND_DISPLAY="$runtime/$(cd "$runtime" && ls wayland-* | grep -v lock | head -n1)"
    export VELLORA_SWAY_DISPLAY=$(cat "$runtime/display")
    export VELLORA_SWAYSOCK=$(ls "$runtime"/sway-ipc.*.sock | head -n1)
    SWAY_RUNTIME=$runtime
}

stop_headless_sway() {
    if [ -n "${SWAY_PID:-}" ]; then
        kill "$SWAY_PID" 2>/dev/null || true
        wait "$SWAY_PID" 2>/dev/null || true
    fi
    if [ -n "${SWAY_RUNTIME:-}" ]; then
        rm -rf "$SWAY_RUNTIME"
    fi
}

# start_nested_sway: starts a sway of its own on the Wayland backend, with two outputs (WL-1
# and WL-2, side by side, each a window of an outer headless sway that holds nothing else), a
# bottom bar on each, and Xwayland. Closing an output's window in the outer sway unplugs
# that output; `swaymsg create_output` plugs a new one in (WL-3, WL-4…). sway 1.7's headless
# backend can neither disable an output nor lose one, so this is how a test meets screens that
# come and go. Exports VELLORA_NESTED_SWAY_WAYLAND_DISPLAY, VELLORA_NESTED_SWAY_DISPLAY,
# VELLORA_NESTED_SWAYSOCK and, for the outer one, VELLORA_NESTED_SWAY_OUTERSOCK.
start_nested_sway() {
    ensure_compositor_user
    local outer runtime
    outer=$(mktemp -d /tmp/vellora-outer-sway.XXXXXX)
    runtime=$(mktemp -d /tmp/vellora-nested-sway.XXXXXX)
    chown "$compositor_user" "$outer" "$runtime"
    chmod 700 "$outer" "$runtime"
    NESTED_SWAY_RUNTIMES="$outer $runtime"
    cat >"$outer/config" <<CONFIG
output HEADLESS-1 resolution 1920x1080 position 0 0
default_border none
exec sh -c 'echo ready >"$outer/ready"'
CONFIG
    # Black outputs and the player's main window floating in the middle of the first: the
    # lyric's strips show nothing but the lyric.
    {
        echo "output * bg #000000 solid_color"
        echo 'for_window [title="^Vellora"] floating enable'
        session_sway_config "$runtime"
    } >"$runtime/config"
    chown "$compositor_user" "$outer/config" "$runtime/config"
    local home
    home=$(getent passwd "$compositor_user" | cut -d: -f6)
    runuser -u "$compositor_user" -- env -i HOME="$home" PATH="$PATH" XDG_RUNTIME_DIR="$outer" \
        WLR_BACKENDS=headless WLR_LIBINPUT_NO_DEVICES=1 WLR_RENDERER=pixman \
        WLR_HEADLESS_OUTPUTS=1 sway --config "$outer/config" >"$outer/sway.log" 2>&1 &
    NESTED_SWAY_PIDS=$!
    wait_for_report "$outer/ready" "$outer/sway.log" "outer sway" || return 1
    runuser -u "$compositor_user" -- env -i HOME="$home" PATH="$PATH" XDG_RUNTIME_DIR="$runtime" \
        WAYLAND_DISPLAY="$outer/$(cd "$outer" && ls wayland-* | grep -v lock | head -n1)" \
        WLR_BACKENDS=wayland WLR_WL_OUTPUTS=2 WLR_LIBINPUT_NO_DEVICES=1 WLR_RENDERER=pixman \
        sway --config "$runtime/config" >"$runtime/sway.log" 2>&1 &
    NESTED_SWAY_PIDS="$! $NESTED_SWAY_PIDS"
    wait_for_report "$runtime/display" "$runtime/sway.log" "nested sway" || return 1
    export VELLORA_NESTED_SWAY_WAYLAND_DISPLAY="$runtime/$(cd "$runtime" && ls wayland-* | grep -v lock | head -n1)"
    export VELLORA_NESTED_SWAY_DISPLAY=$(cat "$runtime/display")
    export VELLORA_NESTED_SWAYSOCK=$(ls "$runtime"/sway-ipc.*.sock | head -n1)
    export VELLORA_NESTED_SWAY_OUTERSOCK=$(ls "$outer"/sway-ipc.*.sock | head -n1)
}

stop_nested_sway() {
    for pid in ${NESTED_SWAY_PIDS:-}; do
        kill "$pid" 2>/dev/null || true
        wait "$pid" 2>/dev/null || true
    done
    for folder in ${NESTED_SWAY_RUNTIMES:-}; do
        rm -rf "$folder"
    done
}

# A session bus of the compositor's own in folder, for the interfaces it offers there; its
# address is unix:path=FOLDER/bus. Leaves the daemon's process id in BUS_PID.
start_private_bus() {
    local folder=$1
    dbus-daemon --session --nofork --nopidfile --address="unix:path=$folder/bus" \
        2>"$folder/bus.log" &
    BUS_PID=$!
    for _ in $(seq 100); do [ -S "$folder/bus" ] && break; sleep 0.1; done
}

# Waits for the file that a compositor's first client writes once the compositor's
# Xwayland runs, and shows the compositor's log if it never comes.
wait_for_report() {
    local report=$1 log=$2 name=$3
    for _ in $(seq 600); do [ -s "$report" ] && return 0; sleep 0.1; done
    echo "headless $name did not start; its log:" >&2
    cat "$log" >&2
    return 1
}

# start_headless_kwin: starts KWin's Wayland session with its virtual backend, two 1920×1080
# outputs side by side (Virtual-0, the primary, and Virtual-1, which kscreen-doctor can turn
# off and on), Xwayland, and its screenshot interface on a session bus of its own; as root, since
# KWin accepts it. Its fake input protocol and its screenshots are open to every client
# (they are meant for trusted programs only, which KWin checks by default).
# Exports VELLORA_KWIN_WAYLAND_DISPLAY, VELLORA_KWIN_DISPLAY and VELLORA_KWIN_BUS for the
# tests, and leaves the compositor's process id in KWIN_PID.
start_headless_kwin() {
    local runtime
    runtime=$(mktemp -d /tmp/vellora-kwin.XXXXXX)
    chmod 700 "$runtime"
    mkdir "$runtime/home"
    # The packaged binary carries a file capability (to raise its own limits) that a
    # container may refuse to execute; a copy, which has none, runs.
    cp /usr/bin/kwin_wayland "$runtime/kwin_wayland"
    cat >"$runtime/report" <<SCRIPT
#!/bin/sh
echo "\$DISPLAY" >"$runtime/display.tmp"
mv "$runtime/display.tmp" "$runtime/display"
SCRIPT
    chmod +x "$runtime/report"
    start_private_bus "$runtime"
    KWIN_BUS_PID=$BUS_PID
    env -i HOME="$runtime/home" PATH="$PATH" XDG_RUNTIME_DIR="$runtime" \
        DBUS_SESSION_BUS_ADDRESS="unix:path=$runtime/bus" \
        KWIN_WAYLAND_NO_PERMISSION_CHECKS=1 KWIN_SCREENSHOT_NO_PERMISSION_CHECKS=1 \
        "$runtime/kwin_wayland" --virtual --xwayland --width 1920 --height 1080 --output-count 2 \
        --socket wayland-kwin --no-lockscreen --no-global-shortcuts --no-kactivities \
        "$runtime/report" >"$runtime/kwin.log" 2>&1 &
    KWIN_PID=$!
    KWIN_RUNTIME=$runtime
    wait_for_report "$runtime/display" "$runtime/kwin.log" KWin || return 1
    export VELLORA_KWIN_WAYLAND_DISPLAY="$runtime/wayland-kwin"
    export VELLORA_KWIN_DISPLAY=$(cat "$runtime/display")
    export VELLORA_KWIN_BUS="unix:path=$runtime/bus"
}

stop_headless_kwin() {
    for pid in ${KWIN_PID:-} ${KWIN_BUS_PID:-}; do
        kill "$pid" 2>/dev/null || true
        wait "$pid" 2>/dev/null || true
    done
    if [ -n "${KWIN_RUNTIME:-}" ]; then
        rm -rf "$KWIN_RUNTIME"
    fi
}

# start_headless_mutter: starts GNOME's mutter as a headless Wayland display server with one
# 1920×1080 virtual monitor and Xwayland, its remote desktop interface on a session bus of
# its own; as root, since mutter accepts it. Exports VELLORA_MUTTER_WAYLAND_DISPLAY,
# VELLORA_MUTTER_DISPLAY, VELLORA_MUTTER_XAUTHORITY and VELLORA_MUTTER_BUS for the tests, and
# leaves the compositor's process id in MUTTER_PID.
start_headless_mutter() {
    local runtime
    runtime=$(mktemp -d /tmp/vellora-mutter.XXXXXX)
    chmod 700 "$runtime"
    mkdir "$runtime/home"
    cat >"$runtime/report" <<SCRIPT
#!/bin/sh
# mutter ends with the command it was given to run, which therefore stays.
echo \$\$ >"$runtime/report.pid"
{ echo "\$DISPLAY"; echo "\$XAUTHORITY"; } >"$runtime/display.tmp"
mv "$runtime/display.tmp" "$runtime/display"
exec sleep infinity
SCRIPT
    chmod +x "$runtime/report"
    start_private_bus "$runtime"
    MUTTER_BUS_PID=$BUS_PID
    env -i HOME="$runtime/home" PATH="$PATH" XDG_RUNTIME_DIR="$runtime" \
        DBUS_SESSION_BUS_ADDRESS="unix:path=$runtime/bus" \
        mutter --headless --wayland --wayland-display wayland-mutter \
        --virtual-monitor 1920x1080 -- "$runtime/report" >"$runtime/mutter.log" 2>&1 &
    MUTTER_PID=$!
    MUTTER_RUNTIME=$runtime
    wait_for_report "$runtime/display" "$runtime/mutter.log" mutter || return 1
    export VELLORA_MUTTER_WAYLAND_DISPLAY="$runtime/wayland-mutter"
    export VELLORA_MUTTER_DISPLAY=$(sed -n 1p "$runtime/display")
    export VELLORA_MUTTER_XAUTHORITY=$(sed -n 2p "$runtime/display")
    export VELLORA_MUTTER_BUS="unix:path=$runtime/bus"
}

stop_headless_mutter() {
    if [ -s "${MUTTER_RUNTIME:-}/report.pid" ]; then
        kill "$(cat "$MUTTER_RUNTIME/report.pid")" 2>/dev/null || true
    fi
    for pid in ${MUTTER_PID:-} ${MUTTER_BUS_PID:-}; do
        kill "$pid" 2>/dev/null || true
        wait "$pid" 2>/dev/null || true
    done
    if [ -n "${MUTTER_RUNTIME:-}" ]; then
        rm -rf "$MUTTER_RUNTIME"
    fi
}
