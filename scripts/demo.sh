#!/usr/bin/env bash
# Runs the system under Wine against a simulated board; screenshots go to out/. With
# --pictures it also makes the README's pictures in docs/ from them.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
# The 32-bit build; the x86_64 one under wine64 where 32-bit code cannot run (or with
# DT_WINE_STANDIN=1), see scripts/wine_standin.sh.
. scripts/wine_standin.sh
echo "$DT_WINE_RUNS"
cmake --preset "$DT_WINE_PRESET" >/dev/null
cmake --build --preset "$DT_WINE_PRESET" -j"$(nproc 2>/dev/null || echo 2)" >/dev/null
DT_WIN32_BUILD="$PWD/build/$DT_WINE_PRESET" python3 scripts/demo.py "$@"
