#!/usr/bin/env bash
# Main job: build everything and run the reference host on the bundled sample.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release
cmake --build build -j2
if [ -x build/host/qzfilter ]; then
  exec build/host/qzfilter "$@"
fi
echo "The reference host is not built yet; the libraries and tests are." >&2
