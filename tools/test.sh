#!/usr/bin/env bash
# Builds (see setup.sh) and runs the whole test suite.
set -euo pipefail
cd "$(dirname "$0")/.."
export QT_QPA_PLATFORM=offscreen
# Qt wants a private runtime folder; CI machines have none. Set before the
# build, whose test discovery starts Qt too.
export XDG_RUNTIME_DIR="${XDG_RUNTIME_DIR:-$(mktemp -d)}"
tools/setup.sh
# The fuzz targets run from their seed corpus: a short smoke run by hand, their
# full fixed count (about a minute in all) in CI; FUZZ_RUNS overrides both.
if [ "${CI:-}" = "true" ] || [ "${ZONITRA_CI:-}" = "1" ]; then
    tools/fuzz.sh
else
    FUZZ_RUNS="${FUZZ_RUNS:-2000}" tools/fuzz.sh
fi
# The database tests also run on a throwaway PostgreSQL server (see pg.sh).
tools/pg.sh ctest --test-dir "${BUILD_DIR:-build}" --output-on-failure -j "$(nproc)"
