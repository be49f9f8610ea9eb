#!/usr/bin/env bash
# Builds (see setup.sh), then opens the sector editor in the demo host on the
# demo database (created from data/demo.jsonl in the user's data folder on the
# first run). Extra arguments go to zonitra-host (--db PATH, --user NAME, --centres,
# --documents).
# Without a display, the host runs in a virtual X server and saves a screenshot.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/setup.sh
host="${BUILD_DIR:-build}/apps/zonitra-host/zonitra-host"
if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
    exec "$host" "$@"
fi
shot="${BUILD_DIR:-build}/zonitra-host.png"
echo "No display: running the host in a virtual X server; screenshot in $shot"
xvfb-run -a -s "-screen 0 1280x1024x24" "$host" "$@" --screenshot "$shot"
echo "Saved $shot"
