#!/usr/bin/env bash
# Builds the libFuzzer targets with clang into $FUZZ_BUILD_DIR (default
# build-fuzz) and runs each for a fixed number of executions from its seed
# corpus in fuzz/corpus (about 20 s each on a busy machine). New inputs go to a temporary
# folder, never into the repository. A crash stops the script and leaves its
# input in $FUZZ_BUILD_DIR/crashes. FUZZ_RUNS=N runs N executions each (for
# long runs by hand: FUZZ_RUNS=10000000 tools/fuzz.sh jsonl). For runs that
# go on from an earlier one, FUZZ_KEEP=DIR keeps the inputs found in DIR/TARGET
# and starts from them, and FUZZ_SEED=N (default 1) varies the mutations.
# FUZZ_SANITIZERS=undefined builds without AddressSanitizer (in its own
# FUZZ_BUILD_DIR): faster, for long runs only.
# Arguments: the targets to run (default: jsonl query dynarray).
set -euo pipefail
cd "$(dirname "$0")/.."
build="${FUZZ_BUILD_DIR:-build-fuzz}"
targets=("$@")
((${#targets[@]})) || targets=(jsonl query dynarray)
declare -A default_runs=([jsonl]=30000 [query]=60000 [dynarray]=30000)

werror=OFF
if [ "${CI:-}" = "true" ] || [ "${ZONITRA_CI:-}" = "1" ]; then werror=ON; fi
launcher=()
if command -v ccache >/dev/null; then launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache); fi
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++-14 \
    -DZONITRA_FUZZ=ON -DZONITRA_FUZZ_SANITIZERS="${FUZZ_SANITIZERS:-address,undefined}" \
    -DZONITRA_WERROR="$werror" -DBUILD_TESTING=OFF -DZONITRA_BENCHMARKS=OFF \
    "${launcher[@]}" >/dev/null
cmake --build "$build" -j "$(nproc)" --target "${targets[@]/%/_fuzz}"

mkdir -p "$build/crashes"
# AddressSanitizer keeps 256 MB of freed memory out of reuse to catch late
# uses; every execution then writes to fresh pages, and a target whose
# input reader allocates its buffer per run spends most of its time in page
# faults (the JSON-lines target ran at half its speed). 16 MB still
# holds everything one execution frees.
export ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}quarantine_size_mb=16"
for target in "${targets[@]}"; do
    if [ -n "${FUZZ_KEEP:-}" ]; then
        work="$FUZZ_KEEP/$target"
        mkdir -p "$work"
    else
        work="$(mktemp -d)"
    fi
    runs="${FUZZ_RUNS:-${default_runs[$target]}}"
    echo "fuzz: $target, $runs executions"
    if ! "$build/fuzz/${target}_fuzz" -runs="$runs" -seed="${FUZZ_SEED:-1}" -max_len=4096 -timeout=10 \
        -rss_limit_mb=1024 -print_final_stats=1 -artifact_prefix="$build/crashes/$target-" \
        "$work" "fuzz/corpus/$target" >"$build/$target.log" 2>&1; then
        tail -n 40 "$build/$target.log"
        echo "fuzz: $target failed; the input is in $build/crashes"
        [ -n "${FUZZ_KEEP:-}" ] || rm -rf "$work"
        exit 1
    fi
    grep -E "^stat::number_of_executed_units|^#[0-9]+ *DONE" "$build/$target.log" | tail -n 2 || true
    [ -n "${FUZZ_KEEP:-}" ] || rm -rf "$work"
done
