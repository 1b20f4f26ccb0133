#!/usr/bin/env bash
# Runs the system under Wine against a simulated board; screenshots go to out/.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
cmake --preset win32 >/dev/null
cmake --build --preset win32 -j"$(nproc 2>/dev/null || echo 2)" >/dev/null
python3 scripts/demo.py
