#!/usr/bin/env bash
# Captures a scene through the simulated desktop, replays the capture, and
# requires what the tools print on it to be the same, byte for byte, as on the
# scene itself: callsense in both modes, and roomcode where it presses nothing.
# The capture must change nothing on the desktop it reads.
#
#   roundtrip.sh <bin directory> <scene> [scenecapture options...]
set -euo pipefail

if (($# < 2)); then
    echo "usage: $0 <bin directory> <scene> [scenecapture options...]" >&2
    exit 2
fi
bin=$1
scene=$2
shift 2

# An application that quits after a number of requests shows each client a
# different desktop, depending on how many requests came before; a capture is
# one more client, so what the tools see afterwards cannot be the same.
if grep -q '"quitAfterRequests"' "$scene"; then
    echo "skipped: an application of this scene quits after a number of requests"
    exit 77
fi

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
cd "$(dirname "$scene")"

run() {  # run <scene> <journal> <program> [args...] -> stdout, stderr and status in files
    local on=$1 journal=$2 out=$3
    shift 3
    local status=0
    DESKTOP_SCENE=$on DESKTOP_JOURNAL=$journal "$@" >"$out.stdout" 2>"$out.stderr" || status=$?
    echo "$status" >"$out.status"
}

run "$scene" "$scratch/capture.journal" "$scratch/capture" "$bin/scenecapture" "$@"
if [[ $(cat "$scratch/capture.status") != 0 ]]; then
    echo "scenecapture failed:" >&2
    cat "$scratch/capture.stderr" >&2
    exit 1
fi
if [[ -s $scratch/capture.journal ]]; then
    echo "scenecapture changed the desktop:" >&2
    cat "$scratch/capture.journal" >&2
    exit 1
fi
capture=$scratch/capture.stdout

failures=0
compare() {  # compare <name> <program> [args...]
    local name=$1
    shift
    run "$scene" "$scratch/$name.original.journal" "$scratch/$name.original" "$@"
    if [[ $name == roomcode* && -s $scratch/$name.original.journal ]]; then
        echo "$name: presses on the scene, not compared"
        return
    fi
    run "$capture" "$scratch/$name.replay.journal" "$scratch/$name.replay" "$@"
    local part
    for part in stdout stderr status; do
        if ! cmp -s "$scratch/$name.original.$part" "$scratch/$name.replay.$part"; then
            echo "$name: $part differs on the capture" >&2
            echo "  scene:   $(head -c 2000 "$scratch/$name.original.$part")" >&2
            echo "  capture: $(head -c 2000 "$scratch/$name.replay.$part")" >&2
            failures=$((failures + 1))
        fi
    done
}

compare callsense "$bin/callsense"
compare callsense-focus-point "$bin/callsense" --focus-point
compare roomcode "$bin/roomcode"

if ((failures > 0)); then
    echo "capture kept for a look: $(cp "$capture" "${TMPDIR:-/tmp}/roundtrip-$(basename "$scene")" && echo "${TMPDIR:-/tmp}/roundtrip-$(basename "$scene")")" >&2
    exit 1
fi
echo "round trip: same output on the capture"
