#!/usr/bin/env bash
# Installs the Debian packages the build needs (only those missing), then
# configures and builds into $BUILD_DIR (default: build).
# CI=true (or ZONITRA_CI=1) turns warnings into errors and adds ASan/UBSan.
set -euo pipefail
cd "$(dirname "$0")/.."

packages=(build-essential cmake ninja-build pkg-config
          qt6-base-dev qt6-qpa-plugins libsqlite3-dev libpq-dev libssl-dev postgresql
          libicu-dev nlohmann-json3-dev libsimdjson-dev
          libgtest-dev libgmock-dev libbenchmark-dev clang-14 libclang-rt-14-dev
          qt6-tools-dev fonts-liberation2
          fonts-dejavu-core xvfb xauth)
missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if ((${#missing[@]})); then
    echo "Installing: ${missing[*]}"
    sudo_cmd=()
    [ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
    "${sudo_cmd[@]}" apt-get update -qq
    DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

ci=OFF
if [ "${CI:-}" = "true" ] || [ "${ZONITRA_CI:-}" = "1" ]; then ci=ON; fi
build_dir="${BUILD_DIR:-build}"
launcher=()
# A compiler cache, when the machine has one, makes rebuilds of other checkouts cheap.
if command -v ccache >/dev/null; then launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache); fi
cmake -S . -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE="${BUILD_TYPE:-RelWithDebInfo}" \
    -DZONITRA_WERROR="$ci" -DZONITRA_SANITIZE="$ci" "${launcher[@]}" >/dev/null
cmake --build "$build_dir" -j "$(nproc)"
