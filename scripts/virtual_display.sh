# Sourced by scripts that need a real X server without a screen: starts Xvfb on a free
# display, exports DISPLAY, and leaves its process id in VIRTUAL_DISPLAY_PID for the
# caller's clean-up. -noreset keeps root-window properties alive between clients.
start_virtual_display() {
    local display_file
    display_file=$(mktemp)
    Xvfb -displayfd 3 -screen 0 1920x1080x24 -noreset -nolisten tcp 3>"$display_file" 2>/dev/null &
    VIRTUAL_DISPLAY_PID=$!
    for _ in $(seq 100); do [ -s "$display_file" ] && break; sleep 0.1; done
    export DISPLAY=":$(cat "$display_file")"
    rm -f "$display_file"
}
