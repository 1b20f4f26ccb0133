#!/usr/bin/env python3
"""Runs bench/hook_bench.cpp (build/win32/bench/hook_bench.exe) under Wine in Xvfb, with the
registry of a dual setup: two 1024-pixel areas side by side and both alignment features on."""
import os
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "wine"))
from winelab import BUILD, SERVICES, WineLab  # noqa: E402

with WineLab(2048, 768) as lab:
    lab.regedit([
        (SERVICES + r"\lumora2\Device0", {
            "LeftAdapterVisualXRes": ("binary", 1024), "LeftAdapterVisualYRes": ("binary", 768),
            "RightAdapterVisualXRes": ("binary", 1024), "RightAdapterVisualYRes": ("binary", 768)}),
        (r"HKEY_CURRENT_USER\Software\Orvelcom\ZYNTRA", {"TwinControlFlag": ("dword", 3)}),
    ])
    lab.pin_device(0, r"lumora2\Device0")
    code, out = lab.run(os.path.join(BUILD, "bench", "hook_bench.exe"), timeout=300)
    print(out, end="")
    sys.exit(code)
