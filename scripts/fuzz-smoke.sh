#!/usr/bin/env bash
# A short fuzz run: builds every fuzz target (clang, libFuzzer, ASan + UBSan) in build-fuzz and
# runs each one for a while on a copy of its seed corpus. Fails on the first crash, leak,
# timeout or sanitizer report. FUZZ_SECONDS sets the time per target (default 20).
set -euo pipefail
cd "$(dirname "$0")/.."

BUILD=${FUZZ_BUILD_DIR:-build-fuzz}
SECONDS_PER_TARGET=${FUZZ_SECONDS:-20}

CC=clang CXX=clang++ cmake -S . -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DQZ_FUZZ=ON -DQZ_BUILD_TESTS=OFF
cmake --build "$BUILD" -j2 --target qz_fuzz_all

export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1"
export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

targets=$(find "$BUILD/tests/fuzz" -maxdepth 1 -type f -name 'fuzz_*' -perm -u+x | sort)
if [ -z "$targets" ]; then
  echo "no fuzz targets were built" >&2
  exit 1
fi
for target in $targets; do
  name=$(basename "$target")
  corpus="$work/$name"
  mkdir -p "$corpus"
  if [ -d "tests/fuzz/corpus/$name" ]; then
    cp -r "tests/fuzz/corpus/$name/." "$corpus/"
  fi
  echo "== $name (${SECONDS_PER_TARGET}s) =="
  # Crash reproducers go to the work folder; libFuzzer exits non-zero on any finding.
  "$target" "$corpus" -max_total_time="$SECONDS_PER_TARGET" -rss_limit_mb=2048 -timeout=10 \
    -artifact_prefix="$work/$name-" -print_final_stats=1 2>&1 | tail -n 30 || {
    echo "fuzz target $name failed; reproducer(s):" >&2
    ls "$work"/"$name"-* >&2 2>/dev/null || true
    mkdir -p "$BUILD/fuzz-findings" && cp "$work"/"$name"-* "$BUILD/fuzz-findings/" 2>/dev/null || true
    exit 1
  }
done
echo "Fuzz smoke run passed."
