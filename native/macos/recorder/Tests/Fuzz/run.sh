#!/usr/bin/env bash
# Runs every fuzz target of a fuzz build on its seed corpus.
#   run.sh BUILD_DIR [SECONDS]    (default 20 seconds a target, fixed seed)
set -euo pipefail
build=$1
seconds=${2:-20}
here=$(cd "$(dirname "$0")" && pwd)
status=0
for corpus in "$here"/corpus/*/; do
    name=$(basename "$corpus")
    fuzzer="$build/bin/$name"
    if [[ ! -x "$fuzzer" ]]; then
        echo "$name: not built" >&2
        status=1
        continue
    fi
    work=$(mktemp -d)
    echo "== $name: ${seconds}s"
    if ! "$fuzzer" -seed=1 -max_total_time="$seconds" -print_final_stats=1 -artifact_prefix="$work/" \
        "$work" "$corpus" 2>"$work/log"; then
        tail -n 60 "$work/log" >&2
        status=1
    else
        grep -E 'stat::number_of_executed_units|stat::peak_rss_mb' "$work/log" || true
    fi
    rm -rf "$work"
done
exit $status
