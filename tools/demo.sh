#!/usr/bin/env bash
# Builds (see setup.sh), loads the demo database on first run and shows it.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/setup.sh
build_dir="${BUILD_DIR:-build}"
db="${ZONITRA_DB:-${XDG_DATA_HOME:-$HOME/.local/share}/zonitra/demo.sqlite}"
mkdir -p "$(dirname "$db")"
if [ ! -f "$db" ]; then
    "$build_dir/apps/kelmor/kelmor" "$db" load data/demo.jsonl
fi
"$build_dir/apps/kelmor/kelmor" "$db" query "SSELECT SECTEUR PAR 1" "0 1"
