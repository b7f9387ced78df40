#!/usr/bin/env bash
# Builds the libFuzzer targets of fuzz/ with clang, AddressSanitizer and
# UndefinedBehaviorSanitizer, and runs them from their stored corpus.
#
#   scripts/fuzz.sh run [TARGET|all] [SECONDS]   fuzz each target for SECONDS (default 60)
#   scripts/fuzz.sh ci                           every target for 30 seconds, as CI does
#   scripts/fuzz.sh seed [TARGET|all]            fold the fixtures of tests/data (and fuzz/seeds)
#                                                into the stored corpus, minimized
#   scripts/fuzz.sh merge [TARGET|all]           fold what runs found into the stored corpus
#
# Targets: import, workbook, settings, humboldt_prepare. A run reads fuzz/corpus/TARGET and
# fuzz/regressions/TARGET (but for the inputs listed in fuzz/regressions/PENDING.md) and writes
# what it finds to build/fuzz/work/TARGET; a finding (crash,
# sanitizer report, failed check, hang over 10 s) is saved in build/fuzz/findings/TARGET/ and
# fails the script. Logs: build/fuzz/logs/TARGET.log. FUZZ_JOBS=N runs N processes per target.
# Long runs: see README.md, "Fuzzing".
set -euo pipefail
cd "$(dirname "$0")/.."

all_targets=(import workbook settings humboldt_prepare)
build=build/fuzz

install_clang() {
    scripts/install-deps.sh
    local missing=()
    for p in clang libclang-rt-14-dev; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    local sudo=""
    [ "$(id -u)" -ne 0 ] && sudo="sudo"
    echo "Installing: ${missing[*]}" >&2
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

build_targets() {
    install_clang
    local launcher=()
    command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
    CC=clang CXX=clang++ cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DPLOVIX_FUZZ=ON -DPLOVIX_BUILD_TESTS=OFF -DPLOVIX_BUILD_GUI=OFF -DPLOVIX_WERROR=ON "${launcher[@]}" >/dev/null
    local targets=()
    for t in "${all_targets[@]}"; do targets+=(--target "fuzz_$t"); done
    cmake --build "$build" -j"$(nproc)" "${targets[@]}"
}

# libGSF leaks on a damaged OLE2 directory are the library's; nothing else is suppressed.
export LSAN_OPTIONS="suppressions=$PWD/fuzz/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"

# The suppression names a libGSF function, which only a full unwind of each allocation finds
# (GLib and libGSF keep no frame pointers): the workbook target pays that, the others do not.
asan_options() {
    local options="detect_leaks=1"
    [ "$1" = workbook ] && options+=":fast_unwind_on_malloc=0"
    echo "$options"
}

targets_of() {
    if [ "${1:-all}" = all ]; then
        echo "${all_targets[@]}"
    elif [[ " ${all_targets[*]} " == *" $1 "* ]]; then
        echo "$1"
    else
        echo "unknown fuzz target: $1 (targets: ${all_targets[*]})" >&2
        exit 1
    fi
}

run_target() {
    local t=$1 seconds=$2
    local work=$build/work/$t findings=$build/findings/$t log=$build/logs/$t.log
    mkdir -p "$work" "$findings" "$build/logs"
    local options=(-max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1
        -artifact_prefix="$findings/")
    [ -f "fuzz/$t.dict" ] && options+=(-dict="fuzz/$t.dict")
    [ "${FUZZ_JOBS:-1}" -gt 1 ] && options+=(-fork="$FUZZ_JOBS")
    # The regression inputs seed the run too, but for those of findings not fixed yet.
    local regressions=$build/regressions/$t
    rm -rf "$regressions"
    mkdir -p "$regressions"
    for f in fuzz/regressions/"$t"/*; do
        [ -f "$f" ] || continue
        grep -qF "\`$t/$(basename "$f")\`" fuzz/regressions/PENDING.md || cp "$f" "$regressions/"
    done
    echo "fuzzing $t for $seconds s (log: $log)" >&2
    if ! env ASAN_OPTIONS="$(asan_options "$t")" "$build/fuzz/fuzz_$t" "${options[@]}" \
        "$work" "fuzz/corpus/$t" "$regressions" >"$log" 2>&1; then
        tail -n 60 "$log" >&2
        echo "fuzz target $t found a problem: see $findings/ and $log" >&2
        return 1
    fi
    grep -E '^#[0-9]+' "$log" | tail -n 1 >&2
}

# Replaces fuzz/corpus/TARGET with the smallest set of its inputs and of the folders given
# that reaches every edge they reach (hit counts are not kept apart: the corpus stays small).
merge_into_corpus() {
    local t=$1
    shift
    local merged=$build/merged/$t
    rm -rf "$merged"
    mkdir -p "$merged"
    ASAN_OPTIONS="$(asan_options "$t")" "$build/fuzz/fuzz_$t" -merge=1 -use_counters=0 \
        -timeout=10 "$merged" "fuzz/corpus/$t" "$@" >"$build/logs/$t.merge.log" 2>&1
    rm -rf "fuzz/corpus/$t"
    mv "$merged" "fuzz/corpus/$t"
    echo "$t: $(find "fuzz/corpus/$t" -type f | wc -l) inputs," \
        "$(find "fuzz/corpus/$t" -type f -exec cat {} + | wc -c) bytes" >&2
}

# The fixtures of tests/data as inputs of each target: control bytes, then the file.
# shellcheck disable=SC2059  # the format is the bytes, written as \xNN escapes
control() { printf "$(printf '\\x%02x' "$@")"; }

make_seeds() {
    local t=$1 out=$2
    mkdir -p "$out"
    case $t in
        import)
            local -A source=([geomatic]=1 [geotest]=2 [proprietary]=3 [durham]=4 [geotac]=5
                [humboldt]=6 [enkay]=7 [ele]=8 [norvo]=3)
            for f in tests/data/*/*; do
                local dir flags=0 file=0 name
                dir=$(basename "$(dirname "$f")")
                name=$(basename "$f")
                case $name in
                    workbook_direct_shear.1.expected.TXT) file=$((0x80 | 3 << 2)) ;;
                    *.expected.* | *.md | *.py | *.xls | *.xlsx) continue ;;
                    *four_column*) flags=1 ;;
                    *.geo) file=$((2 << 2)) ;;
                    NAMED1.SDF) file=$((1 << 2)) ;;
                esac
                for test in 0 1 2 3 4 5; do
                    { control $((source[$dir] - 1)) "$test" "$flags" 0 0 "$file" 0 0; cat "$f"; } \
                        >"$out/$name.$test"
                done
            done
            ;;
        workbook)
            for f in tests/data/humboldt/*.xls tests/data/humboldt/*.xlsx; do
                for test in 0 1 2; do
                    { control $((test | 0x10)); cat "$f"; } >"$out/$(basename "$f").$test"
                done
            done
            ;;
        settings)
            cp fuzz/seeds/settings/* data/examples/example.ini "$out/"
            ;;
        humboldt_prepare)
            for f in tests/data/humboldt/prepare*.TXT; do
                for c in 0 2 3 8; do
                    { control "$c"; cat "$f"; } >"$out/$(basename "$f").$c"
                done
            done
            ;;
    esac
}

command=${1:-run}
case $command in
    run)
        seconds=${3:-60}
        build_targets
        status=0
        for t in $(targets_of "${2:-all}"); do run_target "$t" "$seconds" || status=1; done
        exit $status
        ;;
    ci)
        build_targets
        status=0
        for t in "${all_targets[@]}"; do run_target "$t" 30 || status=1; done
        exit $status
        ;;
    seed)
        build_targets
        for t in $(targets_of "${2:-all}"); do
            rm -rf "$build/seeds/$t"
            make_seeds "$t" "$build/seeds/$t"
            mkdir -p "$build/logs"
            merge_into_corpus "$t" "$build/seeds/$t"
        done
        ;;
    merge)
        build_targets
        for t in $(targets_of "${2:-all}"); do
            mkdir -p "$build/work/$t" "$build/logs"
            merge_into_corpus "$t" "$build/work/$t"
        done
        ;;
    *)
        sed -n '2,15p' "$0" >&2
        exit 1
        ;;
esac
