#!/usr/bin/env python3
"""Runs the system under Wine against a simulated board and saves screenshots under out/; with
--pictures it also makes the README's pictures in docs/ from them.

Nudgel: the board is a freshly installed one: its driver drives the first display device, it
offers a TV output (PAL and NTSC), and no monitor model or TV standard has been chosen yet.
Nudgel then shows both of its reminders, one after the other.

Zenpick: the demo build, whose driver escapes the simulated board answers, runs in a Wine
virtual desktop (27 modes) with the board's values seeded (TV output with PAL chosen, video
optimisation ON). Its menu, a depth submenu, the About box and the pan-stop button in both
pictures are shown and saved.

lumora2.cpl: loaded by tests/wine/helpers/cplhost.c, which plays the Windows NT 4.0 Control
Panel, with a small timing database of invented models. The single-adapter dialog, the
dual-adapter dialog (a second adapter) and the alignment options are opened, saved and closed
with Cancel, so nothing is stored.
"""
import os
import shutil
import subprocess
import sys
import time

ROOT = os.path.abspath(os.path.join(os.path.dirname(__file__), ".."))
sys.path.insert(0, os.path.join(ROOT, "tests", "wine"))
from winelab import BUILD, HELPERS, MAKER, SERVICES, WINE, WineLab, parse_window  # noqa: E402

OUT = os.path.join(ROOT, "out")
DOCS = os.path.join(ROOT, "docs")
# The README's pictures: (screenshot, picture, how it is cut). The dialogs are cut from the black
# screen; the tray menu from the virtual desktop's corner, where it opens above the icon.
PICTURES = [("zenpick-depth-submenu.png", "tray-menu.png", ["-crop", "384x428+640+340"]),
            ("lumora2-dual.png", "applet-dual.png", ["-trim"]),
            ("lumora2-alignment.png", "alignment-options.png", ["-trim"]),
            ("nudgel-monitor-reminder.png", "reminder.png", ["-trim"])]
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


def nudgel():
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


ZENPICK_TITLE = "orvel Zenpick"
ZENPICK_BOARD = [
    ("-" + SERVICES + r"\lumora", None),
    (SERVICES + r"\lumora\Device0", {"AvailableTVSet": ("binary", 3),
                                      "SelectedTVSet": ("binary", 1),
                                      "ValidVideoModes": ("binary", 0x80000002)}),
]
TRAY_ICON_AT = (1013, 757)  # the icon in the virtual desktop's taskbar
TRUE_COLOR_AT = (880, 410)  # "True Color" in the menu that opens there
WM_DISPLAYCHANGE, WM_COMMAND = 126, 273


def xdotool(lab, *args):
    subprocess.run(["xdotool"] + [str(a) for a in args], env=lab.env, check=True, timeout=30)
    time.sleep(0.8)


def shot(lab, name, what):
    path = os.path.join(OUT, name)
    lab.screenshot(path)
    print("  %s: %s" % (what, os.path.relpath(path, ROOT)))


def zenpick():
    with WineLab(virtual_desktop=True) as lab:
        lab.regedit(ZENPICK_BOARD)
        proc = lab.start_program(os.path.join(BUILD, "ZenpickDemo.exe"))
        while lab.window_count(ZENPICK_TITLE) == 0:
            if proc.poll() is not None:
                sys.exit("demo: ZenpickDemo ended at start")
            time.sleep(0.1)
        window = parse_window(lab.probe("info", ZENPICK_TITLE)[1])
        # The virtual desktop named its own adapter when the program started: name the board's
        # again and tell the program the display changed, so that it rebuilds its menu.
        lab.pin_device(0, r"lumora\Device0")
        lab.probe("post", window["hwnd"], WM_DISPLAYCHANGE, 32, 768 << 16 | 1024)
        time.sleep(0.5)
        menu = lab.menu(ZENPICK_TITLE) or []
        print("Zenpick's menu (%d rows; depth submenus folded):" % len(menu))
        for line in menu:
            if not line.startswith("    ") or "Video" in line or "Flicker" in line:
                print("  " + line)

        xdotool(lab, "mousemove", *TRAY_ICON_AT)
        xdotool(lab, "click", 1)
        shot(lab, "zenpick-menu.png", "menu")
        xdotool(lab, "mousemove", TRUE_COLOR_AT[0], TRUE_COLOR_AT[1])  # open by hovering
        time.sleep(1)
        shot(lab, "zenpick-depth-submenu.png", "True Color submenu")
        xdotool(lab, "mousemove", 300, 300)
        xdotool(lab, "click", 1)  # a click beside the menu closes it
        xdotool(lab, "mousemove", *TRAY_ICON_AT)

        xdotool(lab, "click", 3)
        if lab.probe("find", ZENPICK_TITLE, "10000")[0] == 0:
            shot(lab, "zenpick-about.png", "About box")
            lab.probe("click", ZENPICK_TITLE, "1")
        time.sleep(0.5)

        # "Hardware Zoom": the button comes up at the cursor, showing GO; a click on it holds
        # the view (pan stop) and it shows STOP.
        hardware_zoom = next(int(l.split("#")[1]) for l in menu if "Hardware Zoom" in l)
        xdotool(lab, "mousemove", 600, 300)
        lab.probe("post", window["hwnd"], WM_COMMAND, hardware_zoom, 0)
        time.sleep(1)
        shot(lab, "zenpick-zoom-go.png", "pan-stop button, GO")
        xdotool(lab, "mousemove", 620, 320)
        xdotool(lab, "click", 1)
        shot(lab, "zenpick-zoom-stop.png", "pan-stop button, STOP")

        lab.probe("post", window["hwnd"], 16, 0, 0)
        print("ZenpickDemo ended with %d" % proc.wait(timeout=30))


CPL_TITLE = "orvel Monitor Select"
TWIN_TITLE = "orvelZYNTRA control"
MONITOR_INI = """[MONITOR]
Arden 15 Office=A15
31kHz VGA Standard=VGA
Brisk 17 single head=B17
Dalton 19 Studio=D19

[Arden 15 Office]
X_SIZE=280
Y_SIZE=210

[31kHz VGA Standard]
X_SIZE=320
Y_SIZE=240
"""


def applet_dialog(lab, name, index, title, cancel, what):
    """Opens applet `index` through cplhost, saves a screenshot while `title` is up, prints what
    it shows and closes it with `cancel`."""
    host = subprocess.Popen([WINE, os.path.join(HELPERS, "cplhost.exe"), "open", "lumora2.cpl",
                             str(index), "wait=" + title, "dump", "sleep=2500", "click=%d" % cancel,
                             "closed"], env=lab.env, stdout=subprocess.PIPE, text=True,
                            errors="replace")
    lines = []
    for line in host.stdout:  # up to the line that says the dialog is up
        lines.append(line.rstrip("\r\n"))
        if line.startswith("found ") or line.startswith("error "):
            break
    time.sleep(0.8)
    path = os.path.join(OUT, name)
    lab.screenshot(path)
    rest, _ = host.communicate(timeout=60)
    lines += rest.splitlines()
    selected = [l.split(" text=", 1)[1] for l in lines if l.startswith("selection ") and " text=" in l]
    checked = [l.split(" text=", 1)[1] for l in lines
               if l.startswith("control ") and " checked=1" in l and " text=" in l]
    detail = "; ".join(filter(None, ["selected: " + ", ".join(selected) if selected else "",
                                     "ticked: " + ", ".join(checked) if checked else ""]))
    print("  %s (%s): %s%s" % (title, what, os.path.relpath(path, ROOT),
                               " (" + detail + ")" if detail else ""))


def lumora2():
    with WineLab() as lab:
        shutil.copy(os.path.join(BUILD, "lumora2.cpl"), lab.windows_path("system32", "lumora2.cpl"))
        timing = lab.windows_path("system32", "drivers", "orvel", "timing")
        os.makedirs(timing, exist_ok=True)
        with open(os.path.join(timing, "monitor.ini"), "w", newline="") as f:
            f.write(MONITOR_INI.replace("\n", "\r\n"))
        settings = {"Primary.BoardID": ("binary", 1), "AvailableTVSet": ("binary", 3),
                    "Primary.SelectedMonitor": "Arden 15 Office", "Primary.IsLeft": ("dword", 1),
                    "Secondary.SelectedMonitor": "Dalton 19 Studio"}
        lab.regedit([
            ("-" + SERVICES + r"\lumora", None),
            (SERVICES + r"\vgasave\Device0", {}),
            (SERVICES + r"\lumora\Device0", settings),
            (SERVICES + r"\lumora\Device1", {"Primary.SelectedMonitor": "Arden 15 Office",
                                              "Secondary.SelectedMonitor": "Dalton 19 Studio"}),
            (r"HKEY_CURRENT_USER\Software\Orvelcom\ZYNTRA", {"TwinControlFlag": ("dword", 1)}),
        ])
        print("lumora2.cpl, driven as the Control Panel drives it:")
        lab.pin_device(0, r"lumora\Device0")
        lab.pin_device(1, r"vgasave\Device0")
        applet_dialog(lab, "lumora2-single.png", 0, CPL_TITLE, 2, "one adapter")
        lab.pin_device(1, r"lumora\Device1")
        applet_dialog(lab, "lumora2-dual.png", 0, CPL_TITLE, 2, "a second adapter")
        applet_dialog(lab, "lumora2-alignment.png", 1, TWIN_TITLE, 501, "alignment options")


def pictures():
    """Small palette PNGs without time stamps, so that the same screens give the same files."""
    for shot, picture, cut in PICTURES:
        path = os.path.join(DOCS, picture)
        subprocess.run(["convert", os.path.join(OUT, shot)] + cut +
                       ["+repage", "-colors", "32", "-strip", "-define", "png:exclude-chunks=date,time",
                        "PNG8:" + path], check=True, timeout=60)
        print("  picture: %s" % os.path.relpath(path, ROOT))


def main():
    os.makedirs(OUT, exist_ok=True)
    nudgel()
    zenpick()
    lumora2()
    if "--pictures" in sys.argv[1:]:
        pictures()


if __name__ == "__main__":
    main()
