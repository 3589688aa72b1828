#!/usr/bin/env bash
# The whole test run: dependencies, a clean build with the suite, then the same suite built
# with AddressSanitizer and UndefinedBehaviorSanitizer.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup-deps.sh

export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1:strict_string_checks=1"
export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1"

run_suite() {
  local dir=$1; shift
  rm -rf "$dir"
  cmake -S . -B "$dir" -G Ninja "$@"
  cmake --build "$dir" -j2
  ctest --test-dir "$dir" -j2 --output-on-failure --timeout 600
}

echo "== Release build and tests =="
run_suite build-test -DCMAKE_BUILD_TYPE=RelWithDebInfo

echo "== Sanitizer build and tests =="
run_suite build-asan -DCMAKE_BUILD_TYPE=Debug -DQZ_SANITIZE=ON

if [ -x scripts/fuzz-smoke.sh ]; then
  echo "== Fuzz smoke run =="
  bash scripts/fuzz-smoke.sh
fi
echo "All test runs passed."
