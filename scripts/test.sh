#!/usr/bin/env bash
# Builds and runs every test twice: an optimised build, and one with
# AddressSanitizer and UndefinedBehaviorSanitizer; then every test that needs
# no Qt once more, under ThreadSanitizer.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/packages.sh
install_packages "${BUILD_PACKAGES[@]}" "${TEST_PACKAGES[@]}"

jobs=$(nproc)
run_suite() {
    local dir=$1
    shift
    # Warnings fail the test builds; a plain build only shows them.
    cmake -S . -B "$dir" -G Ninja -DKT_WERROR=ON "$@"
    cmake --build "$dir" -j "$jobs"
    (cd "$dir" && ctest --output-on-failure -j "$jobs")
}

echo "== optimised build"
run_suite build/release -DCMAKE_BUILD_TYPE=Release
echo "== sanitizer build"
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:allocator_may_return_null=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
run_suite build/sanitize -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKT_SANITIZE=ON -DKT_BENCHMARKS=OFF
# The third build leaves the desktop program out, so it also shows that the
# engine, files, filters and batch renderer build and pass without Qt.
echo "== thread sanitizer build, without the desktop program"
export TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1
run_suite build/tsan -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKT_SANITIZE_THREADS=ON -DKT_DESKTOP=OFF -DKT_BENCHMARKS=OFF
