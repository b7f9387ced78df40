#!/usr/bin/env bash
# Sets up a fresh Debian 12 machine, builds plovix-convert, and converts the bundled example
# (a GeoTest direct shear file of three loading cycles) into a Norvo data file.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
build=build/release
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DPLOVIX_BUILD_TESTS=OFF >/dev/null
cmake --build "$build" -j"$(nproc)" --target plovix-convert

mkdir -p build/example
"$build/src/plovix-convert" --settings data/examples/example.ini --summary \
    -o build/example/EXAMPLE.NDT data/examples/shear_box_3cycles.LST
echo "Norvo data file written: build/example/EXAMPLE.NDT"
