#!/usr/bin/env bash
# Times plovix-convert on generated direct shear files of 10,000, 100,000 and 1,000,000
# readings, beside `wc -l` on the same files, and reports the converter's peak memory.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
command -v /usr/bin/time >/dev/null || { [ "$(id -u)" -eq 0 ] && apt-get install -y -qq time || sudo apt-get install -y -qq time; }
build=build/release
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DPLOVIX_BUILD_TESTS=OFF >/dev/null
cmake --build "$build" -j"$(nproc)" --target plovix-convert generate_direct_shear >/dev/null

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
ms() { echo $(( ($2 - $1) / 1000000 )); }
printf '%-10s %12s %14s %16s\n' readings "wc -l (ms)" "convert (ms)" "peak RSS (KiB)"
for n in 10000 100000 1000000; do
    file="$work/ds_$n.LST"
    "$build/bench/generate_direct_shear" "$n" "$file"
    start=$(date +%s%N); wc -l "$file" >/dev/null; end=$(date +%s%N)
    wc_time=$(ms "$start" "$end")
    start=$(date +%s%N)
    /usr/bin/time -f '%M' -o "$work/rss" "$build/src/plovix-convert" --settings "$work/none.ini" \
        --source geotest --test ds --set NVWIN=True "$file" >/dev/null
    end=$(date +%s%N)
    convert_time=$(ms "$start" "$end")
    printf '%-10s %12s %14s %16s\n' "$n" "$wc_time" "$convert_time" "$(cat "$work/rss")"
done
