"""Zenpick.exe end to end under Wine: one copy at a time, the hidden main window with its menu
(read inside the program's process), the About box, the Display properties command, the tray
icon and the end by WM_CLOSE or the About box's EXIT. Mode changes are in
test_zenpick_desktop.py.

Wine's notification area drops the icon of a window that is destroyed, deleted or not, so what
the program itself hands to the shell is read from a relay trace of Shell_NotifyIconA.

Wine's display driver answers no escape, so the board's own switches that need the driver
(hardware zoom, grayscale, the TV state) are absent here; those driven by the registry (video
optimisation, the TV configuration) show as the seeded values say.
"""
import os
import re
import time
import unittest

from winelab import BUILD, SERVICES, WineLab, parse_window

ZENPICK = os.path.join(BUILD, "Zenpick.exe")
TITLE = "orvel Zenpick"
WM_CLOSE, WM_DISPLAYCHANGE, WM_COMMAND = 16, 126, 273
WM_RBUTTONDOWN, TRAY_CALLBACK, TRAY_ICON = 516, 32868, 1006
WS_CAPTION, WS_SYSMENU, WS_MINIMIZEBOX, WS_VISIBLE = 0x00C00000, 0x00080000, 0x00020000, 0x10000000
VK_ESCAPE = 27
NIM_ADD, NIM_MODIFY, NIM_DELETE = 0, 1, 2

# Wine in a plain Xvfb screen offers one mode, 1024 x 768 at 32 bits per pixel: the catalogue
# has one entry (N = 1), the menu starts with that depth's name, and the fixed commands start
# at 32879.
DISPLAY_SETTINGS = 32879
MENU = [
    "&Resolutions >",
    "  True Color #0",
    "  ---",
    "  Resolution: #32877 disabled",
    "  1024 x  768 #32878 checked",
    "  ---",
    "  Display Settings Menu #32879",
    "  ---",
    "  Video Optimization >",
    "    Video Optimization ON #32881 checked",
    "    Video Optimization OFF #32882",
    "    Video Optimization AUTO #32883",
    "  ---",
    "  TV config >",
    "    Flickerfixing on #32884",
    "  TV-Mode on #32885",
    "---",  # the bar's own item 109 without text, which Windows keeps as a separator
    "&Help >",
    "  &About #113",
]


lab = None


def setUpModule():
    global lab
    lab = WineLab()
    lab.start()
    lab.regedit([(r"HKEY_CURRENT_USER\Software\Wine\Debug", {"RelayInclude": "shell32.Shell_NotifyIconA"})])


def tearDownModule():
    lab.stop()


class ZenpickTest(unittest.TestCase):
    def setUp(self):
        lab.regedit([
            ("-" + SERVICES + r"\lumora", None),
            (SERVICES + r"\lumora\Device0", {
                "AvailableTVSet": ("binary", 3), "SelectedTVSet": ("binary", 1),
                "ValidVideoModes": ("binary", 0x80000002)}),
        ])
        lab.pin_device(0, r"lumora\Device0")
        lab.clear_control_log()

    def start(self, traced=False):
        """Starts Zenpick and waits for its main window; returns (process, main window).
        traced: its Shell_NotifyIconA calls are traced, for icon_calls."""
        self.trace = os.path.join(lab.dir, "zenpick-relay.txt") if traced else None
        proc = lab.start_program(ZENPICK, trace=self.trace)
        self.addCleanup(self.end, proc)
        deadline = time.time() + 20
        while lab.window_count(TITLE) == 0:
            self.assertIsNone(proc.poll(), "Zenpick ended at start")
            self.assertLess(time.time(), deadline, "no main window")
            time.sleep(0.1)
        return proc, parse_window(lab.probe("info", TITLE)[1])

    def end(self, proc):
        if proc.poll() is None:
            hwnds = [w["hwnd"] for w in [parse_window(lab.probe("info", TITLE)[1])] if "hwnd" in w]
            for hwnd in hwnds:
                lab.probe("post", hwnd, str(WM_CLOSE), "0", "0")
            try:
                proc.wait(timeout=10)
            except Exception:
                proc.kill()
                proc.wait()

    def icon_calls(self):
        """(action, result) of each Shell_NotifyIconA of the traced copy so far."""
        calls = []
        with open(self.trace, errors="replace") as log:
            for line in log:
                call = re.search(r"Call shell32\.Shell_NotifyIconA\(([0-9a-f]+),", line)
                if call:
                    calls.append([int(call.group(1), 16), None])
                done = re.search(r"Ret  shell32\.Shell_NotifyIconA\(\) retval=([0-9a-f]+)", line)
                if done:
                    calls[-1][1] = int(done.group(1), 16)
        return [tuple(c) for c in calls]

    def icons_within(self, seconds):
        """The number of icons in the notification area once there is one, or after `seconds`."""
        deadline = time.time() + seconds
        while lab.tray_icon_count() == 0 and time.time() < deadline:
            time.sleep(0.2)
        return lab.tray_icon_count()

    def post(self, window, message, wparam=0, lparam=0):
        code, _ = lab.probe("post", window["hwnd"], str(message), str(wparam), str(lparam))
        self.assertEqual(code, 0)

    def menu_when(self, expected, timeout=10):
        """The menu once it equals `expected` (or the last one read when time runs out)."""
        deadline = time.time() + timeout
        while True:
            menu = lab.menu(TITLE)
            if menu == expected or time.time() > deadline:
                return menu
            time.sleep(0.3)

    def about_box(self):
        code, out = lab.probe("find", TITLE, "10000")
        self.assertEqual(code, 0, "no About box")
        box = parse_window(out)
        self.assertNotEqual(box["class"], "#1015")
        return box

    def test_a_second_copy_beeps_and_ends_with_minus_one(self):
        first, _ = self.start()
        code, _ = lab.run(ZENPICK, timeout=30)
        self.assertEqual(code, 255)
        self.assertIsNone(first.poll(), "the first copy goes on")
        self.assertEqual(lab.window_count(TITLE), 1)

    def test_hidden_main_window_with_the_resolutions_menu(self):
        _, window = self.start()
        self.assertEqual(window["class"], "#1015")
        self.assertEqual(window["visible"], "0")
        style = int(window["style"], 16)
        self.assertEqual(style & (WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_VISIBLE),
                         WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX)
        self.assertEqual(lab.menu(TITLE), MENU)

        # Another video optimisation setting and no TV standard, after a display change.
        lab.regedit([(SERVICES + r"\lumora\Device0", {"ValidVideoModes": ("binary", 0x80000004),
                                                       "SelectedTVSet": ("binary", 0)})])
        self.post(window, WM_DISPLAYCHANGE, 32, 768 << 16 | 1024)
        changed = MENU[:9] + ["    Video Optimization ON #32881", "    Video Optimization OFF #32882",
                              "    Video Optimization AUTO #32883 checked", "  ---",
                              "  TV config #32885 grayed"] + MENU[16:]
        self.assertEqual(self.menu_when(changed), changed)

    def test_display_settings_menu_starts_the_control_panel(self):
        _, window = self.start()
        self.post(window, WM_COMMAND, DISPLAY_SETTINGS)
        deadline = time.time() + 10
        while not lab.control_log() and time.time() < deadline:
            time.sleep(0.2)
        self.assertEqual(lab.control_log(), [r'"C:\windows\system32\control.exe" desk.cpl @0,3|5'])
        self.post(window, WM_COMMAND, 32878)  # the mode in force: nothing else is started
        time.sleep(0.5)
        self.assertEqual(len(lab.control_log()), 1)

    def test_about_box_on_a_right_click_and_exit_ends_the_program(self):
        proc, window = self.start(traced=True)
        self.post(window, TRAY_CALLBACK, TRAY_ICON, WM_RBUTTONDOWN)
        box = self.about_box()
        buttons = {c["id"]: c["text"] for c in box["children"] if c["class"] == "Button"}
        self.assertEqual(buttons, {"1": "OK", "1021": "EXIT"})
        texts = [c["text"] for c in box["children"] if c["class"] == "Static"]
        self.assertIn("NT Driver Tools", texts)
        self.assertEqual(int(box["style"], 16) & WS_SYSMENU, 0, "no system menu")

        # A second right click and Escape leave the one box as it is.
        self.post(window, TRAY_CALLBACK, TRAY_ICON, WM_RBUTTONDOWN)
        lab.probe("key", TITLE, str(VK_ESCAPE))
        time.sleep(0.7)
        self.assertEqual(lab.window_count(TITLE), 2)

        # OK only closes the box.
        self.assertEqual(lab.probe("click", TITLE, "1")[0], 0)
        self.assertEqual(lab.probe("closed", box["hwnd"], "10000")[0], 0)
        self.assertIsNone(proc.poll())

        self.post(window, TRAY_CALLBACK, TRAY_ICON, WM_RBUTTONDOWN)
        self.about_box()
        self.assertEqual(lab.probe("click", TITLE, "1021")[0], 0)
        self.assertEqual(proc.wait(timeout=15), 0)
        self.assertEqual(lab.window_count(TITLE), 0)
        self.assertEqual(self.icon_calls()[-1], (NIM_DELETE, 1), "the icon is taken away first")
        self.assertEqual(lab.tray_icon_count(), 0)

    def test_a_lost_icon_comes_back(self):
        proc, window = self.start(traced=True)
        self.assertEqual(lab.tray_icon_count(), 1)
        # The taskbar made anew says so.
        self.assertEqual(lab.probe("unicon", window["hwnd"], "1006")[0], 0)
        self.assertEqual(lab.tray_icon_count(), 0)
        code, number = lab.probe("message", "TaskbarCreated")
        self.assertEqual(code, 0)
        self.post(window, int(number))
        self.assertEqual(self.icons_within(10), 1)

        # Lost without a word: back at the next check of the icon (every 30 s), added once.
        self.assertEqual(lab.probe("unicon", window["hwnd"], "1006")[0], 0)
        self.assertEqual(lab.tray_icon_count(), 0)
        seen = len(self.icon_calls())
        self.assertEqual(self.icons_within(40), 1)
        time.sleep(0.5)  # the trace's line of the add that returned
        self.assertEqual([c for c in self.icon_calls()[seen:] if c[0] == NIM_ADD], [(NIM_ADD, 1)])
        self.assertIsNone(proc.poll())

    def test_wm_close_from_outside_ends_the_program_and_removes_the_icon(self):
        proc, window = self.start(traced=True)
        self.assertEqual(lab.tray_icon_count(), 1)
        self.post(window, WM_CLOSE)
        self.assertEqual(proc.wait(timeout=15), 0)
        self.assertEqual(lab.window_count(TITLE), 0)
        self.assertEqual(self.icon_calls()[-1], (NIM_DELETE, 1))
        self.assertEqual(lab.tray_icon_count(), 0)


if __name__ == "__main__":
    unittest.main()
