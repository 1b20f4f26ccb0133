#!/usr/bin/env bash
# Long runs under Wine that show whether the programs' USER objects, GDI objects and handles
# grow (soak/soak.py): Zenpick.exe, lumora2.cpl in a host playing the Control Panel, and
# Keldhook.dll in a program that receives placement messages. About two and a half minutes.
# Prints one line per program and exits non-zero when a count grew or a run failed.
#
#   bash scripts/soak.sh            the soak
#   bash scripts/soak.sh --quick    a tenth of each count, to check the runs themselves
set -uo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh >/dev/null || exit 1
. scripts/wine_standin.sh
echo "$DT_WINE_RUNS"
start=$SECONDS
{ cmake --preset "$DT_WINE_PRESET" >/dev/null &&
  cmake --build --preset "$DT_WINE_PRESET" -j"$(nproc 2>/dev/null || echo 2)" >/dev/null; } || exit 1
DT_WIN32_BUILD="$PWD/build/$DT_WINE_PRESET" python3 soak/soak.py "$@"
status=$?
echo "soak: $((SECONDS - start)) s in all"
exit "$status"
