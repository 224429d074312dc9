#!/usr/bin/env bash
# Builds the fuzz targets with clang and libFuzzer (AddressSanitizer and
# UndefinedBehaviorSanitizer included) and runs each for a while on a copy of its seed corpus.
#
#   tools/fuzz.sh                       every target, 60 s each
#   tools/fuzz.sh -t 300 fuzz_reply_reader
#
# New inputs the fuzzer finds stay in the copy (<build>/fuzz-work/<target>/corpus); the seeds
# in tests/fuzz/corpus/ grow only when someone copies inputs there on purpose. A crash leaves
# its input as <build>/fuzz-work/<target>/crash-*; replay it with
#   <build>/tests/fuzz/<target> <file>
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
seconds=60
build="$root/build-fuzz-clang"
jobs=2

usage() {
    cat <<EOF
usage: $(basename "$0") [-t SECONDS] [-b BUILD_DIR] [-j JOBS] [TARGET...]
  -t SECONDS    how long each target runs (default $seconds)
  -b BUILD_DIR  clang build folder (default $build)
  -j JOBS       parallel compile jobs (default $jobs)
  TARGET        fuzz targets to run (default: every folder of tests/fuzz/corpus)
EOF
}

while getopts "t:b:j:h" option; do
    case "$option" in
        t) seconds=$OPTARG ;;
        b) build=$OPTARG ;;
        j) jobs=$OPTARG ;;
        h) usage; exit 0 ;;
        *) usage >&2; exit 2 ;;
    esac
done
shift $((OPTIND - 1))

if ! [[ "$seconds" =~ ^[1-9][0-9]*$ ]]; then
    echo "fuzz.sh: -t needs a whole number of seconds, not '$seconds'" >&2
    exit 2
fi

corpus_root="$root/tests/fuzz/corpus"
if [ $# -gt 0 ]; then
    targets=("$@")
else
    targets=()
    for dir in "$corpus_root"/*/; do targets+=("$(basename "$dir")"); done
fi
for target in "${targets[@]}"; do
    if [ ! -d "$corpus_root/$target" ]; then
        echo "fuzz.sh: unknown target '$target': no seed corpus in $corpus_root/$target" >&2
        exit 2
    fi
done

for tool in clang clang++ cmake ninja; do
    if ! command -v "$tool" >/dev/null; then
        echo "fuzz.sh: $tool is missing (tools/install-deps.sh installs it)" >&2
        exit 2
    fi
done

# Every library gets the fuzzer's coverage instrumentation, not only the targets.
mkdir -p "$build"
CC=clang CXX=clang++ cmake -S "$root" -B "$build" -G Ninja \
    -DCMAKE_BUILD_TYPE=Debug \
    -DCMAKE_C_FLAGS="-O1 -fsanitize=fuzzer-no-link" \
    -DCMAKE_CXX_FLAGS="-O1 -fsanitize=fuzzer-no-link" \
    -DVELTRIX_FUZZ=ON -DVELTRIX_SANITIZE=ON -DVELTRIX_WERROR=ON -DVELTRIX_GUI=OFF \
    >"$build/configure.log" 2>&1 || {
    cat "$build/configure.log" >&2
    echo "fuzz.sh: configuring $build failed" >&2
    exit 1
}
cmake --build "$build" -j "$jobs" --target "${targets[@]}"

export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}

summary=()
failed=0
for target in "${targets[@]}"; do
    work="$build/fuzz-work/$target"
    rm -rf "$work"
    mkdir -p "$work/corpus"
    cp "$corpus_root/$target"/* "$work/corpus/"
    seeds=$(find "$work/corpus" -type f | wc -l)
    dict=()
    if [ -f "$root/tests/fuzz/$target.dict" ]; then dict=(-dict="$root/tests/fuzz/$target.dict"); fi

    echo "=== $target: ${seconds}s on $seeds seeds"
    status=0
    # The outer time-out only catches a fuzzer that hangs outside its own limits.
    timeout --kill-after=30 $((seconds + 120)) \
        "$build/tests/fuzz/$target" -max_total_time="$seconds" -timeout=10 \
        -print_final_stats=1 -artifact_prefix="$work/" "${dict[@]}" "$work/corpus" \
        >"$work/fuzz.log" 2>&1 || status=$?

    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$work/fuzz.log" | tail -1)
    inputs=$(find "$work/corpus" -type f | wc -l)
    found=$(find "$work" -maxdepth 1 -type f \( -name 'crash-*' -o -name 'leak-*' \
        -o -name 'timeout-*' -o -name 'oom-*' \) | sort)
    if [ "$status" -eq 0 ] && [ -z "$found" ]; then
        result="ok"
    else
        failed=1
        result="FAILED (exit $status)${found:+: $(echo "$found" | tr '\n' ' ')}"
        grep -E -m 20 'ERROR|SUMMARY|invariant broken|runtime error' "$work/fuzz.log" >&2 || true
        echo "    log: $work/fuzz.log" >&2
    fi
    summary+=("$(printf '%-24s %10s runs  corpus %4s -> %-5s %s' \
        "$target" "${runs:-?}" "$seeds" "$inputs" "$result")")
done

echo
echo "Fuzzing summary (${seconds}s per target, work in $build/fuzz-work):"
printf '  %s\n' "${summary[@]}"
exit "$failed"
