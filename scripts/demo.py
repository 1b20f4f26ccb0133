#!/usr/bin/env python3
"""Runs the system under Wine against a simulated board and saves screenshots under out/.

The board is a freshly installed one: its driver drives the first display device, it offers a
TV output (PAL and NTSC), and no monitor model or TV standard has been chosen yet. Nudgel then
shows both of its reminders, one after the other.
"""
import os
import sys

ROOT = os.path.abspath(os.path.join(os.path.dirname(__file__), ".."))
sys.path.insert(0, os.path.join(ROOT, "tests", "wine"))
from winelab import BUILD, MAKER, SERVICES, WineLab, parse_window  # noqa: E402

OUT = os.path.join(ROOT, "out")
TITLE = "orvel Driverinstallation"
BOARD = [
    ("-" + SERVICES + r"\lumora", None),
    ("-" + MAKER, None),
    (SERVICES + r"\lumora\Device0", {"AvailableTVSet": ("binary", 3)}),
    (MAKER + r"\lumora\Device0", {"OrvelIsInstalled": ("dword", 0)}),
]


def show(lab, shot):
    code, out = lab.probe("find", TITLE, "15000")
    if code != 0:
        sys.exit("demo: no reminder appeared")
    window = parse_window(out)
    texts = [c["text"] for c in window["children"] if c["class"] == "Static" and c["id"] != "1021"]
    path = os.path.join(OUT, shot)
    lab.screenshot(path)
    print("  %s: %s" % (window["title"], " / ".join(texts)))
    print("  screenshot: %s" % os.path.relpath(path, ROOT))
    return window


def main():
    os.makedirs(OUT, exist_ok=True)
    with WineLab() as lab:
        lab.regedit(BOARD)
        lab.pin_device(0, r"lumora\Device0")
        print("board: %s, TV output offered, nothing chosen, stage 0" % lab.device_map())
        nudgel = lab.start_program(os.path.join(BUILD, "Nudgel.exe"))
        for shot in ("nudgel-monitor-reminder.png", "nudgel-tv-reminder.png"):
            window = show(lab, shot)
            lab.probe("click", TITLE, "1")  # "Start Monitorselection"
            lab.probe("closed", window["hwnd"], "10000")
        code = nudgel.wait(timeout=30)
        stage = lab.reg_query(MAKER + r"\lumora\Device0", "OrvelIsInstalled")
        print("Nudgel ended with %d; stage now %s" % (code, stage[1] if stage else "missing"))
        for line in lab.control_log():
            print("  started: %s" % line.split("|")[0])


if __name__ == "__main__":
    main()
