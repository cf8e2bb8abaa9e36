#!/usr/bin/env bash
# Runs each fuzzer for a while on its corpus, seeded from the sample files. The corpora and any
# crash, leak or timeout inputs stay in the build folder: <build>/corpus, <build>/crashes.
# usage: run_fuzzers.sh <fuzz build folder> <seconds each> <fuzzer names...>
set -uo pipefail
cd "$(dirname "$0")/.."
build=$1
seconds=$2
shift 2

corpus=$build/corpus
crashes=$build/crashes
mkdir -p "$crashes"
for name in tps_reader morphosys_reader simple_reader chain_code_reader ntsys_reader \
    xy_list_reader xml_document fit_cluster; do
    mkdir -p "$corpus/$name"
done
cp samples/valves.tps samples/valves_curves.tps "$corpus/tps_reader/"
cp samples/valves.msd "$corpus/morphosys_reader/"
cp samples/valves.txt "$corpus/simple_reader/"
cp samples/valves.chc "$corpus/chain_code_reader/"
cp samples/valves.nts "$corpus/ntsys_reader/"
cp samples/valves_xy.csv samples/valves_measurements.asc "$corpus/xy_list_reader/"
"$build/fuzz/make_fuzz_seeds" samples "$corpus/xml_document/sample.cari" \
    "$corpus/fit_cluster/tps.bin" "$corpus/fit_cluster/msd.bin" || exit 1

failed=()
for name in "$@"; do
    echo "=== fuzz_$name for ${seconds}s"
    if ! "$build/fuzz/fuzz_$name" "$corpus/$name" -max_total_time="$seconds" -timeout=10 \
        -rss_limit_mb=4096 -max_len=65536 -print_final_stats=1 \
        -artifact_prefix="$crashes/$name-" 2>&1 |
        grep -E "DONE|stat::|ERROR|SUMMARY|Test unit written|deadly signal"; then
        failed+=("$name")
    fi
done
if [ ${#failed[@]} -ne 0 ]; then
    echo "Fuzzers that found a fault: ${failed[*]} (inputs in $crashes)"
    exit 1
fi
echo "No fuzzer found a fault."
