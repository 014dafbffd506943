#!/usr/bin/env bash
# Builds every libFuzzer target (clang, AddressSanitizer and UndefinedBehaviorSanitizer) and runs
# each one on its seed corpus; any finding fails the run. CI calls this after the tests.
#   KORVEL_FUZZ_SECONDS    time per target to fuzz from the seeds (default 10); 0 runs every seed
#                          once and stops (what CI does: the build is the point there)
#   KORVEL_FUZZ_BUILD_DIR  build directory (default build-fuzz-ci)
#   KORVEL_FUZZ_BUILD_TYPE CMake build type (default empty: no optimisation, the quickest to compile)
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
build="${KORVEL_FUZZ_BUILD_DIR:-$here/build-fuzz-ci}"
seconds="${KORVEL_FUZZ_SECONDS:-10}"

targets=()
for source in "$here"/fuzz/fuzz_*.cpp; do
    targets+=("$(basename "$source" .cpp)")
done

cmake -S "$here" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE="${KORVEL_FUZZ_BUILD_TYPE:-}" -DKORVEL_FUZZ=ON \
    -DKORVEL_TESTS=OFF -DKORVEL_GUI=OFF -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_C_COMPILER=clang >/dev/null
cmake --build "$build" -j "$(nproc)" --target "${targets[@]}"

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
export ASAN_OPTIONS="detect_leaks=0:${ASAN_OPTIONS:-}"
export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1:${UBSAN_OPTIONS:-}"
for target in "${targets[@]}"; do
    name="${target#fuzz_}"
    mkdir -p "$work/$name"
    seeds=()
    [ -d "$here/fuzz/corpus/$name" ] && seeds=("$here/fuzz/corpus/$name")
    if [ "$seconds" -gt 0 ]; then
        echo "fuzz: $target for ${seconds}s"
        limit=(-max_total_time="$seconds")
    else
        echo "fuzz: $target on its seeds"
        limit=(-runs=0)
    fi
    # New inputs go to a scratch folder; the committed seed corpus stays as it is.
    if ! "$build/fuzz/$target" "${limit[@]}" -print_final_stats=1 -artifact_prefix="$work/" \
        "$work/$name" "${seeds[@]}" >"$work/$target.log" 2>&1; then
        tail -n 60 "$work/$target.log"
        for artifact in "$work"/crash-* "$work"/leak-* "$work"/timeout-* "$work"/oom-*; do
            [ -e "$artifact" ] && { echo "input: $artifact"; od -An -tx1 "$artifact" | head -n 20; }
        done
        echo "fuzz: $target found a fault" >&2
        exit 1
    fi
    grep -E "stat::number_of_executed_units" "$work/$target.log" || true
done
