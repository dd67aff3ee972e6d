#!/usr/bin/env bash
# Starts the built program from the build folder given as $1. Without a display it runs on a
# virtual one, so the program can still be started (and looked at with a screenshot tool).
set -euo pipefail
build=${1:-build}
# The web view's sandbox does not run as root, and the program then leaves the search page out.
# A developer in a root shell (a container, say) wants to see all of it, so here, and only here,
# the sandbox goes; the program never turns it off by itself.
if [ "$(id -u)" -eq 0 ] && [ -z "${QTWEBENGINE_DISABLE_SANDBOX+set}" ]; then
    export QTWEBENGINE_DISABLE_SANDBOX=1
    echo "Running as root: QTWEBENGINE_DISABLE_SANDBOX=1 is set, so the search page's web view runs without its sandbox."
fi
if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
    exec "$build/tolvane"
fi
echo "No display found: running Tolvane on a virtual X display (Xvfb); stop it with Ctrl+C."
exec xvfb-run -a -s "-screen 0 1280x800x24" "$build/tolvane" 2>/dev/null
