#!/usr/bin/env bash
# Builds (see setup.sh) and runs the whole test suite.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/setup.sh
tools/fuzz.sh
export QT_QPA_PLATFORM=offscreen
# Qt wants a private runtime folder; CI machines have none.
export XDG_RUNTIME_DIR="${XDG_RUNTIME_DIR:-$(mktemp -d)}"
ctest --test-dir "${BUILD_DIR:-build}" --output-on-failure -j "$(nproc)"
