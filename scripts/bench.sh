#!/usr/bin/env bash
# Builds the benchmarks optimised and without sanitizers, and runs them.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake --preset bench >/dev/null
cmake --build --preset bench -j"$(nproc 2>/dev/null || echo 2)" --target tray_bench >/dev/null
build/bench/tray_bench
