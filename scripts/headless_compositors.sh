# Sourced by scripts that test the desktop lyric under headless Wayland compositors.
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

start_headless_sway() {
    ensure_compositor_user
    local runtime
    runtime=$(mktemp -d /tmp/vellora-sway.XXXXXX)
    chown "$compositor_user" "$runtime"
    chmod 700 "$runtime"
    cat >"$runtime/config" <<CONFIG
output HEADLESS-1 resolution 1920x1080 position 0 0
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
