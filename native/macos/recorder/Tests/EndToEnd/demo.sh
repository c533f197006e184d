#!/usr/bin/env bash
# Runs each built program on each bundled scene and prints the command line and
# what the program printed. Until the programs exist, it says which are missing.
set -uo pipefail
build=$1
scenes=$2
ran=0
for tool in callsense roomcode noticeplay; do
    if [[ ! -x "$build/bin/$tool" ]]; then
        echo "($tool is not built yet)"
    fi
done
if [[ -x "$build/bin/scenerun" ]]; then
    exec "$build/bin/scenerun" --demo --bin "$build/bin" --scenes "$scenes"
fi
for tool in callsense roomcode noticeplay; do
    [[ -x "$build/bin/$tool" ]] || continue
    for scene in "$scenes"/*.json; do
        [[ -e "$scene" ]] || continue
        echo "\$ DESKTOP_SCENE=$scene $tool"
        DESKTOP_SCENE=$scene "$build/bin/$tool"
        echo "(exit status $?)"
        ran=1
    done
done
if [[ $ran -eq 0 ]]; then
    echo "Nothing to run yet: the text library and its tests are built; run ./dev test to test them."
fi
