#!/usr/bin/env bash
# Builds the benchmarks optimised and without sanitizers, and runs them.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake --preset bench >/dev/null
cmake --build --preset bench -j"$(nproc 2>/dev/null || echo 2)" --target tray_bench >/dev/null
build/bench/tray_bench

# The alignment hook, cross-compiled and run under Wine on the real calls.
bash scripts/setup.sh >/dev/null
cmake --preset win32 >/dev/null
cmake --build --preset win32 -j"$(nproc 2>/dev/null || echo 2)" --target hook_bench Keldhook >/dev/null
python3 bench/run_hook_bench.py
