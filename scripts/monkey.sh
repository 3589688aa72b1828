#!/usr/bin/env bash
# A long monkey walk through the dialog "Filter": builds the editor tests with AddressSanitizer
# and UndefinedBehaviorSanitizer in build-asan and runs the monkey test for MONKEY_SECONDS
# (default 600) from seed MONKEY_FIRST_SEED (default 100), one seed after the other. Fails on
# the first screen that differs from the model or on any sanitizer report; the failing seed
# prints the steps that replay it (MONKEY_SEED=N MONKEY_STEPS=M). MONKEY_DISPLAY=x11 runs the
# walk on a real X display instead (Xvfb with the openbox window manager), where focus and
# activation go through the window manager.
set -euo pipefail
cd "$(dirname "$0")/.."

BUILD=${MONKEY_BUILD_DIR:-build-asan}
cmake -S . -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DQZ_SANITIZE=ON >/dev/null
cmake --build "$BUILD" -j2 --target editor_tests

export ASAN_OPTIONS="detect_leaks=0:abort_on_error=1"
export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1"
walk=("$BUILD/tests/editor/editor_tests" --gtest_filter='MonkeyTest.*')
if [ "${MONKEY_DISPLAY:-offscreen}" = x11 ]; then
  export QT_QPA_PLATFORM=xcb
  walk=(xvfb-run -a -s "-screen 0 1280x1024x24" sh -c 'openbox & sleep 1; exec "$@"' walk "${walk[@]}")
else
  export QT_QPA_PLATFORM=offscreen
fi
MONKEY_SECONDS=${MONKEY_SECONDS:-600} MONKEY_SEED=${MONKEY_FIRST_SEED:-100} "${walk[@]}" 2>&1 |
  grep -v -e 'This plugin does not support' -e 'occurs outside target window'
exit "${PIPESTATUS[0]}"
