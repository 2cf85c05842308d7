#!/usr/bin/env bash
# Fuzzes the readers and generators: builds the libFuzzer harnesses with clang in build-fuzz/,
# makes the seeds and runs each harness for the given seconds (default 30), keeping its corpus
# in build-fuzz/corpus/. An input that makes a harness fail is saved in build-fuzz/artifacts/;
# once mended, copy it to fuzz/reproducers/<harness>/ so every test run replays it.
#   bash scripts/fuzz.sh [seconds] [harness ...]   (harnesses: wav_read audio_read list_file numbers generators)
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-30}
shift || true
harnesses=("$@")
[ ${#harnesses[@]} -eq 0 ] && harnesses=(wav_read audio_read list_file numbers generators)

CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DZEMBREL_FUZZ=ON -DZEMBREL_BUILD_GUI=OFF -DZEMBREL_BUILD_BENCH=OFF -DZEMBREL_BUILD_TESTS=OFF \
    -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O2 -g1 -DNDEBUG" \
    >/dev/null
cmake --build build-fuzz -j "$(nproc)" >/dev/null
bash scripts/make-fuzz-seeds.sh build-fuzz/seeds >/dev/null

status=0
for h in "${harnesses[@]}"; do
    mkdir -p "build-fuzz/corpus/$h" "build-fuzz/artifacts/$h"
    log="build-fuzz/fuzz-$h.log"
    if ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
        "build-fuzz/fuzz/zembrel_fuzz_$h" -max_total_time="$seconds" -timeout=20 \
        -rss_limit_mb=2048 -print_final_stats=1 -artifact_prefix="build-fuzz/artifacts/$h/" \
        "build-fuzz/corpus/$h" "build-fuzz/seeds/$h" >"$log" 2>&1; then
        runs=$(grep -o 'stat::number_of_executed_units: *[0-9]*' "$log" | grep -o '[0-9]*$' || echo '?')
        echo "fuzz $h: ${seconds} s, $runs inputs, no finding"
    else
        echo "fuzz $h: FINDING, see $log and build-fuzz/artifacts/$h/" >&2
        tail -n 40 "$log" >&2
        status=1
    fi
done
exit $status
