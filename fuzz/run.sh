#!/usr/bin/env bash
# Runs one fuzz target on its seed corpus for a bounded time.
#   fuzz/run.sh BINARY SECONDS [libFuzzer options...]
# e.g. fuzz/run.sh build/fuzz/bin/store_fuzz 3600
# New inputs go to a working corpus beside the build (build/fuzz/fuzz-corpus/NAME), which later
# runs start from; the seeds in fuzz/corpus/NAME are only read. An input that fails is written
# to build/fuzz/fuzz-findings/ and the run ends with a non-zero status.
set -euo pipefail

binary=$(realpath "$1")
seconds=$2
shift 2
name=$(basename "$binary")
name=${name%_fuzz}
source_dir=$(cd "$(dirname "$0")" && pwd)
build_dir=$(dirname "$(dirname "$binary")")
work="$build_dir/fuzz-corpus/$name"
findings="$build_dir/fuzz-findings"
mkdir -p "$work" "$findings"

# Inputs as long as the longest seed (at least 4096 bytes) from the start: each input is a
# sequence of changes, and the targets run too few inputs a second for libFuzzer's slow growth.
options=(-max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -len_control=0
         -print_final_stats=1 -artifact_prefix="$findings/$name-")
if [ -f "$source_dir/$name.dict" ]; then options+=(-dict="$source_dir/$name.dict"); fi
# Leaks are findings too. Allocation stacks are kept shorter than AddressSanitizer's default:
# recording them is a tenth of a run's time.
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:malloc_context_size=8}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1}
exec "$binary" "${options[@]}" "$@" "$work" "$source_dir/corpus/$name"
