#!/usr/bin/env bash
# Starts the built program from the build folder given as $1. Without a display it runs on a
# virtual one, so the program can still be started (and looked at with a screenshot tool).
set -euo pipefail
build=${1:-build}
if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
    exec "$build/tolvane"
fi
echo "No display found: running Tolvane on a virtual X display (Xvfb); stop it with Ctrl+C."
exec xvfb-run -a -s "-screen 0 1280x800x24" "$build/tolvane" 2>/dev/null
