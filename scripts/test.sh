#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test; installs the build into a
# temporary folder and checks it, makes the Debian package and runs the programs it carries;
# then builds the core and its tests again with AddressSanitizer and UndefinedBehaviorSanitizer
# (and the standard library's own precondition checks), and with ThreadSanitizer, and runs them
# there; last, fuzzes every harness for 30 s. Any finding fails the run. The saved fuzz
# reproducers replay in each build.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh

jobs=$(nproc)

# How long each stage took, printed at the end: the whole command is to stay under 30 minutes.
stage_times=()
stage_start=$SECONDS
stage_done() { # NAME
    stage_times+=("$(printf '%-28s %4d s' "$1" $((SECONDS - stage_start)))")
    stage_start=$SECONDS
}
print_stage_times() {
    printf 'test.sh: %s\n' "${stage_times[@]}" "$(printf '%-28s %4d s' total $SECONDS)"
}
trap print_stage_times EXIT
stage_done "installing packages"

# This command installs every tool the tests use (the sound server, sox, clang), so a test that
# skips itself here shows a broken set-up and fails the run. A skip that is legitimate on this
# machine is named in allowed_skips (ctest's test name, one per entry).
allowed_skips=()
run_tests() { # BUILD_FOLDER: runs its tests; fails on a failure or an unexpected skip
    local log=$1/ctest.log skipped
    # A test that fails is run once more before the run counts it as failed: on a loaded machine
    # the sound library's own teardown has been seen to abort once (an assertion inside libpulse's
    # main loop) in a test that passes on every rerun. A fault of ours fails both runs.
    ctest --test-dir "$1" --output-on-failure -j "$jobs" --repeat until-pass:2 | tee "$log"
    skipped=$(sed -n 's/^[[:space:]]*[0-9]* - \(.*\) (Skipped)$/\1/p' "$log" |
        grep -vxF -f <(printf '%s\n' "${allowed_skips[@]}") || true)
    if [ -n "$skipped" ]; then
        echo "test.sh: tests expected to run were skipped in $1:" >&2
        echo "$skipped" >&2
        exit 1
    fi
}

# Every build here keeps line tables only (-g1): failures and sanitizer reports still name file
# and line, and full debug information would cost a fifth of the compile time.
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O2 -g1 -DNDEBUG"
cmake --build build -j "$jobs"
stage_done "build"

# GUI tests need a sound server and run offscreen.
# shellcheck source=scripts/sound-server.sh
source scripts/sound-server.sh
zembrel_start_sound_server
# The sound server's own exit trap replaced ours: both run.
trap 'zembrel_stop_sound_server; print_stage_times' EXIT
export QT_QPA_PLATFORM=offscreen
run_tests build
stage_done "tests"

bash scripts/check-package.sh build
stage_done "package check"


cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DZEMBREL_SANITIZE=address,undefined \
    -DZEMBREL_BUILD_GUI=OFF -DZEMBREL_BUILD_BENCH=OFF -DCMAKE_CXX_FLAGS=-D_GLIBCXX_ASSERTIONS \
    -DCMAKE_CXX_FLAGS_DEBUG=-g1
cmake --build build-asan -j "$jobs"
stage_done "build with ASan/UBSan"
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
    run_tests build-asan
stage_done "tests with ASan/UBSan"

cmake -S . -B build-tsan -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DZEMBREL_SANITIZE=thread \
    -DZEMBREL_BUILD_GUI=OFF -DZEMBREL_BUILD_BENCH=OFF -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O2 -g1 -DNDEBUG"
cmake --build build-tsan -j "$jobs"
stage_done "build with TSan"
TSAN_OPTIONS=halt_on_error=1 run_tests build-tsan
stage_done "tests with TSan"

# libFuzzer needs clang; the install step above brings it.
bash scripts/fuzz.sh 30
stage_done "fuzzing"
