#!/usr/bin/env bash
# install_and_build_example.sh BUILD_DIR PREFIX SOURCE_DIR [FLAGS]
# Installs BUILD_DIR to PREFIX, then configures and builds examples/host in a
# fresh folder against PREFIX alone, and runs it offscreen (--smoke). FLAGS
# (compile and link) are those the installed libraries need of a program,
# e.g. the sanitizers of a sanitized build, whose runtime must come first.
set -euo pipefail
build="$1" prefix="$2" source="$3" flags="${4:-}"

rm -rf "$prefix"
cmake --install "$build" --prefix "$prefix" >/dev/null

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
launcher=()
if command -v ccache >/dev/null; then launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache); fi
# Only the prefix: neither the build tree nor CMake's package registry.
cmake -S "$source/examples/host" -B "$work/build" -G Ninja "${launcher[@]}" \
    -DCMAKE_PREFIX_PATH="$prefix" -DCMAKE_FIND_USE_PACKAGE_REGISTRY=OFF \
    -DCMAKE_CXX_FLAGS="$flags" -DCMAKE_EXE_LINKER_FLAGS="$flags" >"$work/configure.log" ||
    { cat "$work/configure.log"; exit 1; }
cmake --build "$work/build" -j2

export QT_QPA_PLATFORM=offscreen
export XDG_RUNTIME_DIR="$work/runtime"
mkdir -m 700 "$XDG_RUNTIME_DIR"
# The program must find the installed libraries by itself (no LD_LIBRARY_PATH).
unset LD_LIBRARY_PATH
"$work/build/example-host" --smoke
