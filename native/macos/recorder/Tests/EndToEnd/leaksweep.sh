#!/usr/bin/env bash
# Runs each program on every scene in a sanitizer build and fails on any leak or
# sanitizer report. The scenes' own runs compare what the programs print; this
# sweep also covers the programs a scene's runs do not name.
#   leaksweep.sh BIN_DIR SCENES_DIR
set -uo pipefail
bin=$1
scenes=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export LSAN_OPTIONS=exitcode=23
report='LeakSanitizer|AddressSanitizer|runtime error:'

if "$bin/LeakProbe" >/dev/null 2>"$work/probe"; then
    echo "the leak check is not active: a deliberate leak went unreported" >&2
    exit 1
fi
if ! grep -q 'LeakSanitizer: detected memory leaks' "$work/probe"; then
    echo "the leak check did not report a deliberate leak:" >&2
    cat "$work/probe" >&2
    exit 1
fi

runs=(
    "callsense"
    "callsense --focus-point"
    "roomcode"
    "noticeplay play-speakers --file Media/noticeplay-notice.wav"
    "scenecapture"
    "scenecapture --redact"
)
failures=0
count=0
for scene in "$scenes"/*.json; do
    for run in "${runs[@]}"; do
        read -r -a command <<<"$run"
        tool=${command[0]}
        [[ -x "$bin/$tool" ]] || continue
        count=$((count + 1))
        (cd "$scenes" && DESKTOP_SCENE="$scene" DESKTOP_JOURNAL="$work/journal" \
            "$bin/$tool" "${command[@]:1}" >"$work/out" 2>"$work/err")
        status=$?
        if ((status == 23)) || grep -Eq "$report" "$work/err"; then
            echo "== $(basename "$scene"): $run (exit $status)" >&2
            head -n 40 "$work/err" >&2
            failures=$((failures + 1))
        fi
        rm -f "$work/journal"
    done
done
echo "$count runs, $failures with a sanitizer report"
((failures == 0))
