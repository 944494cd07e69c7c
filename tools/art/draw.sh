#!/bin/bash
# Builds the drawing tool and redraws every picture of both programs into
# classroom/resources and exam/resources, with their pictures.qrc files.
set -euo pipefail
top=$(cd "$(dirname "$0")/../.." && pwd)
build=${ART_BUILD_DIR:-$top/build-art}
gen=()
command -v ninja >/dev/null && gen=(-G Ninja)
if [[ ! -f "$build/CMakeCache.txt" ]]; then
  cmake -S "$top/tools/art" -B "$build" "${gen[@]}" -DCMAKE_BUILD_TYPE=Release
fi
cmake --build "$build" --parallel 4
QT_QPA_PLATFORM=offscreen "$build/artdraw" "$top"
