#!/usr/bin/env bash
# Times the preview of plovix-convert (the reading pass the window runs when a file is chosen:
# no -o, no --json) on generated direct shear files of 10,000, 100,000 and 1,000,000 readings,
# beside `wc -l` on the same file, and reports the converter's peak memory.
#
# Each file is read once first so that both programs find it in the page cache; then `wc -l`
# and the preview run in turn, BENCH_REPEAT times each (default 5), and the fastest run of each
# counts. Set BENCH_SIZES to other reading counts if you like.
set -euo pipefail
cd "$(dirname "$0")/.."

repeat=${BENCH_REPEAT:-5}
sizes=${BENCH_SIZES:-"10000 100000 1000000"}

scripts/install-deps.sh
command -v /usr/bin/time >/dev/null || { [ "$(id -u)" -eq 0 ] && apt-get install -y -qq time || sudo apt-get install -y -qq time; }
build=build/release
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DPLOVIX_BUILD_TESTS=OFF -DPLOVIX_BUILD_GUI=OFF >/dev/null
cmake --build "$build" -j"$(nproc)" --target plovix-convert generate_direct_shear >/dev/null
convert="$build/src/plovix-convert"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
now() { date +%s%N; }
# Milliseconds between two `now` readings, to a tenth.
ms() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.1f", (b - a) / 1e6 }'; }
smaller() { awk -v a="$1" -v b="$2" 'BEGIN { print (b == "" || a + 0 < b + 0) ? a : b }'; }

echo "$(nproc) cores; load average at start: $(cut -d' ' -f1-3 /proc/loadavg)"
printf '%-10s %12s %13s %7s %15s\n' readings "wc -l (ms)" "preview (ms)" ratio "peak RSS (KiB)"
for n in $sizes; do
    file="$work/ds_$n.LST"
    "$build/bench/generate_direct_shear" "$n" "$file"
    cat "$file" >/dev/null
    best_wc="" best_preview="" peak=0
    for _ in $(seq "$repeat"); do
        start=$(now); wc -l "$file" >/dev/null; end=$(now)
        best_wc=$(smaller "$(ms "$start" "$end")" "$best_wc")
        start=$(now)
        /usr/bin/time -f '%M' -o "$work/rss" "$convert" --settings "$work/none.ini" \
            --source geotest --test ds --set NVWIN=True "$file" >/dev/null 2>&1
        end=$(now)
        best_preview=$(smaller "$(ms "$start" "$end")" "$best_preview")
        rss=$(cat "$work/rss")
        [ "$rss" -gt "$peak" ] && peak=$rss
    done
    ratio=$(awk -v p="$best_preview" -v w="$best_wc" 'BEGIN { printf "%.1f", p / w }')
    printf '%-10s %12s %13s %7s %15s\n' "$n" "$best_wc" "$best_preview" "$ratio" "$peak"
done
echo "load average at end: $(cut -d' ' -f1-3 /proc/loadavg)"
