#!/usr/bin/env bash
# Builds (see setup.sh), then opens the sector editor in the demo host on the
# demo database (created from data/demo.jsonl in the user's data folder on the
# first run). Extra arguments go to zonitra-host (--db PATH, --user NAME, --centres,
# --documents).
# Without a display, the host runs in a virtual X server and saves a screenshot.
# The exit status is the host's (zonitra-host --help lists them).
set -euo pipefail
cd "$(dirname "$0")/.."
# Qt wants a private runtime folder; a login without a desktop session has none
# (the build's test discovery starts Qt programs too).
if [ -z "${XDG_RUNTIME_DIR:-}" ]; then
    XDG_RUNTIME_DIR="$(mktemp -d)"
    export XDG_RUNTIME_DIR
    trap 'rm -rf "$XDG_RUNTIME_DIR"' EXIT
fi
tools/setup.sh
host="${BUILD_DIR:-build}/apps/zonitra-host/zonitra-host"
if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
    "$host" "$@"
    exit
fi
shot="$(realpath -m "${BUILD_DIR:-build}/zonitra-host.png")"
echo "No display: running the host in a virtual X server; screenshot in $shot"
xvfb-run -a -s "-screen 0 1280x1024x24" "$host" "$@" --screenshot "$shot"
echo "Saved $shot"
