#!/usr/bin/env bash
# Runs every fuzz target of a fuzz build on its seed corpus.
#   run.sh BUILD_DIR [SECONDS]    (default 20 seconds a target, fixed seed)
# A target may also have a dictionary (dict/<target>.dict); the scene reader
# also starts from every scene of the project.
set -euo pipefail
build=$1
seconds=${2:-20}
here=$(cd "$(dirname "$0")" && pwd)
scenes=$(cd "$here/../../Scenes" && pwd)
status=0
for corpus in "$here"/corpus/*/; do
    name=$(basename "$corpus")
    fuzzer="$build/bin/$name"
    if [[ ! -x "$fuzzer" ]]; then
        echo "$name: not built" >&2
        status=1
        continue
    fi
    options=(-seed=1 -max_total_time="$seconds" -print_final_stats=1 -timeout=25 -rss_limit_mb=4096)
    if [[ -f "$here/dict/$name.dict" ]]; then
        options+=(-dict="$here/dict/$name.dict")
    fi
    seeds=("$corpus")
    if [[ $name == SceneFuzzer ]]; then
        seeds+=("$scenes")
    fi
    work=$(mktemp -d)
    echo "== $name: ${seconds}s"
    if ! "$fuzzer" "${options[@]}" -artifact_prefix="$work/" "$work" "${seeds[@]}" 2>"$work/log"; then
        tail -n 60 "$work/log" >&2
        status=1
    else
        grep -E 'stat::number_of_executed_units|stat::peak_rss_mb' "$work/log" || true
    fi
    rm -rf "$work"
done
exit $status
