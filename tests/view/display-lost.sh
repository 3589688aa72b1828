#!/usr/bin/env bash
# `qzfilter view` whose display goes away under it (the X server killed while the window is
# up): the program must end with the toolkit's status for a lost display (1), not crash in
# its exit (an abort, a signal or a sanitizer report).
# Usage: display-lost.sh QZFILTER
set -u
program=$1
work=$(mktemp -d)
trap 'kill -9 "${xvfb:-}" "${view:-}" 2>/dev/null; rm -rf "$work"' EXIT

Xvfb -displayfd 3 -nolisten tcp -screen 0 1024x768x24 3>"$work/display" 2>/dev/null &
xvfb=$!
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
[ -s "$work/display" ] || { echo "Xvfb did not start" >&2; exit 1; }
export DISPLAY=":$(cat "$work/display")" QT_QPA_PLATFORM=xcb

"$program" view --favorites "$work/favorites.qzs" >"$work/out" 2>"$work/err" &
view=$!
# Until the window is on the screen (a minute at most, for slow sanitizer builds).
for _ in $(seq 600); do
  xwininfo -root -tree 2>/dev/null | grep -q '"qzfilter view' && break
  sleep 0.1
done
xwininfo -root -tree 2>/dev/null | grep -q '"qzfilter view' ||
  { echo "the window did not open" >&2; cat "$work/err" >&2; exit 1; }
sleep 1
kill -9 "$xvfb"
wait "$view"
status=$?
view=
if [ "$status" -ne 1 ]; then
  echo "qzfilter view ended with status $status when its display went; expected 1" >&2
  cat "$work/err" >&2
  exit 1
fi
echo "qzfilter view ended with status 1 when its display went"
