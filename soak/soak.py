#!/usr/bin/env python3
"""Long runs under Wine that show whether the programs' objects grow (scripts/soak.sh).

One Wine lab, whose screen is a desktop of two areas side by side, 1024 x 768 and 640 x 480
(1664 x 768: an unequal two-screen mode, so Zenpick keeps its pan-stop button up), runs:
  - the check that the counts see growth (soak/soak.c, `soak selfcheck`);
  - Zenpick.exe: 2,000 WM_DISPLAYCHANGE, its popup menu opened and closed 500 times, its About
    box opened and closed 200 times (`soak zenpick`), counted inside its process by
    soak/soakspy.c; the About box's EXIT ends it;
  - lumora2.cpl in tests/wine/helpers/cplhost.c playing the Control Panel, on a board with two adapters:
    200 times the dual-adapter and single-adapter selection dialogs and the alignment options,
    each changed and confirmed (`cplhost soak`);
  - Keldhook.dll, installed by Keldor.exe on a two-head board with "TwinControlFlag" set, in a
    program whose window receives 100,000 placement messages (`soak hook`): the hook reads its
    settings on each one.

Each run prints one line, "soak NAME: USER a -> b, GDI c -> d, handles e -> f, S s", with the
parts of the counts above it. Exits non-zero when a count grew or a run failed.

    python3 soak/soak.py [--quick] [--only selfcheck|zenpick|applet|hook]

--quick runs a tenth of each count: a check of the runs themselves, not a soak.
"""
import argparse
import os
import shutil
import subprocess
import sys
import threading
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "wine"))
from winelab import BUILD, HELPERS, MAKER, SERVICES, WINE, WineLab, parse_window  # noqa: E402

ALIGNMENT = r"HKEY_CURRENT_USER\Software\Orvelcom\ZYNTRA"
ZENPICK_TITLE = "orvel Zenpick"
KELDOR_TITLE = "orvelZYNTRA control"
WM_CLOSE = 0x10
# Three models: the applet's soak chooses another one at each confirmation.
MONITOR_INI = """[MONITOR]
Arden 15 Office=A15
31kHz VGA Standard=VGA
Dalton 19 Single=D19

[Arden 15 Office]
X_SIZE=280
Y_SIZE=210

[31kHz VGA Standard]
X_SIZE=320
Y_SIZE=240

[Dalton 19 Single]
X_SIZE=360
Y_SIZE=270
"""


def soak(lab, helper, *args, timeout=1800):
    """Runs a soak helper and passes its lines on as they come; returns its exit code."""
    proc = subprocess.Popen([WINE, os.path.join(HELPERS, helper + ".exe")] + [str(a) for a in args],
                            env=lab.env, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL,
                            text=True, errors="replace")
    watchdog = threading.Timer(timeout, proc.kill)
    watchdog.start()
    try:
        for line in proc.stdout:
            print(line.rstrip("\r\n"), flush=True)
        code = proc.wait()
    finally:
        watchdog.cancel()
    if code < 0:
        print("soak: %s %s was ended after %d s" % (helper, args[0], timeout))
    return code


def seed(lab, keys, devices):
    """Resets the keys the runs use, seeds `keys` and pins the device map to `devices`."""
    lab.regedit([("-" + SERVICES + r"\lumora", None), ("-" + SERVICES + r"\lumora2", None),
                 ("-" + MAKER, None), ("-" + ALIGNMENT, None)] + keys)
    for index, device in enumerate(devices):
        lab.pin_device(index, device)


def started(lab, exe, title):
    """Starts a program and waits for its window titled `title`; returns the process."""
    proc = lab.start_program(os.path.join(BUILD, exe))
    deadline = time.time() + 20
    while lab.window_count(title) == 0:
        if proc.poll() is not None or time.time() > deadline:
            raise RuntimeError("%s has no window titled %s" % (exe, title))
        time.sleep(0.1)
    return proc


def ended(proc, timeout=15):
    try:
        proc.wait(timeout=timeout)
    except subprocess.TimeoutExpired:
        proc.kill()
        proc.wait()


def zenpick(lab, scale):
    seed(lab, [(SERVICES + r"\lumora\Device0", {
        "AvailableTVSet": ("binary", 3), "SelectedTVSet": ("binary", 1),
        "ValidVideoModes": ("binary", 0x80000002)})], [r"lumora\Device0"])
    proc = started(lab, "Zenpick.exe", ZENPICK_TITLE)
    try:
        return soak(lab, "soak", "zenpick", ZENPICK_TITLE, 2000 // scale, 500 // scale,
                    200 // scale)
    finally:
        if proc.poll() is None:
            proc.kill()
        ended(proc)


def applet(lab, scale):
    shutil.copy(os.path.join(BUILD, "lumora2.cpl"), lab.windows_path("system32", "lumora2.cpl"))
    orvel = lab.windows_path("system32", "drivers", "orvel")
    for folder in ("timing", "tools"):
        os.makedirs(os.path.join(orvel, folder), exist_ok=True)
    with open(os.path.join(orvel, "timing", "monitor.ini"), "w", newline="") as f:
        f.write(MONITOR_INI.replace("\n", "\r\n"))
    with open(os.path.join(orvel, "tools", "nudgel.exe"), "wb") as f:
        f.write(b"MZ")
    # Two adapters: both selection dialogs and the alignment options are on offer; the board
    # offers PAL, and the boot side is stored, so the dual-adapter dialog opens with its lists.
    seed(lab, [
        (SERVICES + r"\lumora\Device0", {
            "Primary.BoardID": ("binary", 1), "Primary.SelectedMonitor": "Arden 15 Office",
            "Primary.IsLeft": ("dword", 1), "AvailableTVSet": ("binary", 1)}),
        (SERVICES + r"\lumora\Device1", {"Primary.SelectedMonitor": "Arden 15 Office"}),
        (MAKER + r"\lumora\Device0", {"OrvelIsInstalled": ("dword", 1)}),
        (ALIGNMENT, {"TwinControlFlag": ("dword", 1)}),
    ], [r"lumora\Device0", r"lumora\Device1"])
    return soak(lab, "cplhost", "soak", "lumora2.cpl", 200 // scale)


def hook(lab, scale):
    # One board with two heads (a "2" in its device path), as large as the screen's two areas.
    seed(lab, [
        (SERVICES + r"\lumora2\Device0", {
            "LeftAdapterVisualXRes": ("binary", 1024), "LeftAdapterVisualYRes": ("binary", 768),
            "RightAdapterVisualXRes": ("binary", 640), "RightAdapterVisualYRes": ("binary", 480)}),
        (ALIGNMENT, {"TwinControlFlag": ("dword", 3)}),
    ], [r"lumora2\Device0"])
    proc = started(lab, "Keldor.exe", KELDOR_TITLE)
    try:
        # The pointer on the right area: the hook changes every one of the messages.
        return soak(lab, "soak", "hook", 100000 // scale, 1300, 300)
    finally:
        # Ended with WM_CLOSE: a controller that is killed leaves its hook installed.
        window = parse_window(lab.probe("info", KELDOR_TITLE)[1])
        if "hwnd" in window:
            lab.probe("post", window["hwnd"], WM_CLOSE, 0, 0)
        ended(proc)


RUNS = [
    ("selfcheck", lambda lab, scale: soak(lab, "soak", "selfcheck")),
    ("zenpick", zenpick),
    ("applet", applet),
    ("hook", hook),
]


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("--quick", action="store_true", help="a tenth of each count")
    parser.add_argument("--only", choices=[name for name, _ in RUNS])
    args = parser.parse_args()
    scale = 10 if args.quick else 1
    failed = []
    with WineLab(1664, 768) as lab:
        for name, run in RUNS:
            if args.only in (None, name) and run(lab, scale) != 0:
                failed.append(name)
    print("soak: " + ("failed: " + ", ".join(failed) if failed else "no count grew"))
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
