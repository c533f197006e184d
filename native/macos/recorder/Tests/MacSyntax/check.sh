#!/usr/bin/env bash
# Compiles every file of the macOS desktop (Sources/Desktop/macos) for syntax
# only, against the seam's headers and the Apple declarations beside this
# script, as C++20 and as Objective-C++ with ARC, with warnings as errors. It
# runs where no Mac is, so that a change to the seam that the macOS
# implementation no longer fits fails here and not first on a Mac.
#
#   check.sh <clang++> <Sources directory>
set -euo pipefail

if (($# != 2)); then
    echo "usage: $0 <clang++> <Sources directory>" >&2
    exit 2
fi
compiler=$1
sources=$(cd "$2" && pwd)
declarations=$(cd "$(dirname "$0")/AppleDeclarations" && pwd)
implementation=$sources/Desktop/macos

if ! command -v "$compiler" >/dev/null 2>&1; then
    echo "no C++ compiler at '$compiler' (clang is needed for Objective-C++)" >&2
    exit 1
fi

common=(-fsyntax-only -std=c++20 -Wall -Wextra -Wpedantic -Wshadow -Werror
    -isystem "$declarations" -I "$sources")
objectiveCxx=(-x objective-c++ -fobjc-arc -fobjc-runtime=macosx -fblocks)

# An Apple header found anywhere but in the declarations folder (a libdispatch
# or GNUstep install, say) would check the code against the wrong interface.
apple='(^|/)(dispatch|os|objc|Block\.h|CoreFoundation|CoreGraphics|CoreAudio|ApplicationServices|AppKit|Foundation|AVFAudio|AVFoundation)(/|$)'

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

failures=0
checked=0
while IFS= read -r -d '' file; do
    case $file in
        *.mm) language=("${objectiveCxx[@]}") ;;
        *.cpp) language=(-x c++) ;;
        *.hpp | *.h) language=(-x c++ -Wno-pragma-once-outside-header) ;;
        *) continue ;;
    esac
    checked=$((checked + 1))
    depfile=$scratch/deps
    if ! "$compiler" "${common[@]}" "${language[@]}" -MD -MF "$depfile" "$file"; then
        echo "FAILED: ${file#"$sources"/}" >&2
        failures=$((failures + 1))
        continue
    fi
    stray=$(tr ' \\' '\n\n' <"$depfile" | grep -v ':$' | grep -v "^$declarations/" | grep -E "$apple" || true)
    if [[ -n $stray ]]; then
        echo "FAILED: ${file#"$sources"/} read Apple headers from outside the declarations:" >&2
        echo "$stray" >&2
        failures=$((failures + 1))
    fi
done < <(find "$implementation" -type f \( -name '*.cpp' -o -name '*.mm' -o -name '*.hpp' -o -name '*.h' \) -print0 | sort -z)

if ((checked == 0)); then
    echo "nothing to check in $implementation" >&2
    exit 1
fi
if ((failures > 0)); then
    echo "$failures of $checked files failed the macOS syntax check" >&2
    exit 1
fi
echo "macOS syntax check: $checked files"
