#!/usr/bin/env bash
# Main job: build everything (release; the build also writes the sample capture
# build/samples/cpu-bus.vcd) and run the reference host qzfilter on it, first with the sample's
# setup samples/cpu-bus.xml, then with the setup plus a term of our own and the two exports.
# Arguments, if any, go to qzfilter instead of the two sample runs.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release
cmake --build build -j2

qzfilter=build/host/qzfilter
if [ "$#" -gt 0 ]; then
  exec "$qzfilter" "$@"
fi

sample=build/samples/cpu-bus.vcd
setup=samples/cpu-bus.xml

echo "== qzfilter (no capture given: the sample with its setup $setup) =="
echo "   (idle cycles and wait states hidden; errors red, interrupts yellow, DMA bursts cyan)"
"$qzfilter" --limit 40

echo
echo "== qzfilter --setup $setup --color magenta 'ADDR in 0x40000000..0x40003fff' ... =="
echo "   (peripheral registers in magenta, every row exported)"
mkdir -p build/sample-output
"$qzfilter" --setup "$setup" --color magenta 'ADDR in 0x40000000..0x40003fff' --limit 30 \
  --csv build/sample-output/cpu-bus.csv --html build/sample-output/cpu-bus.html "$sample"
echo "Exports: build/sample-output/cpu-bus.csv, build/sample-output/cpu-bus.html"
