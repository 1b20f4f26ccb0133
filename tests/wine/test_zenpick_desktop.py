"""Zenpick.exe changing the display mode under Wine, in a virtual desktop: there Wine offers
nine sizes at 8, 16 and 32 bits per pixel and really changes the desktop's size.

Wine's virtual desktop rewrites the device map for every program it starts, so the board's
driver is not seen here: the labels carry the refresh rate and no board feature is listed.

Wine stores every mode whatever the user's rights; nostore.dll, loaded into Zenpick by `probe
inject`, refuses to store one as Windows NT refuses a user who may not, and logs each change.
"""
import os
import re
import time
import unittest

from winelab import BUILD, WineLab, parse_window

ZENPICK = os.path.join(BUILD, "Zenpick.exe")
TITLE = "orvel Zenpick"
WM_CLOSE, WM_COMMAND = 16, 273
ALERT = "Zenpick Alert"
# As a relay trace writes it: the line feed as \n.
SESSION_TEXT = r"This mode stays until Windows NT restarts.\nOnly an administrator can make it the default."

lab = None


def setUpModule():
    global lab
    lab = WineLab(virtual_desktop=True)
    lab.start()


def tearDownModule():
    lab.stop()


def mode_ids(menu):
    """{(depth name, label): id} of the mode items in the depth submenus."""
    ids, depth = {}, None
    for line in menu:
        head = re.match(r"^  (\S.*) >( checked)?$", line)
        if head:
            depth = head.group(1)
        match = re.match(r"^    (.+ Hz) #(\d+)( checked)?$", line)
        if match and depth:
            ids[(depth, match.group(1).strip())] = int(match.group(2))
    return ids


class ZenpickModeTest(unittest.TestCase):
    def screen(self):
        return lab.probe("screen")[1].strip()

    def start(self, trace=None):
        """Starts Zenpick and waits for its main window; returns (process, main window)."""
        proc = lab.start_program(ZENPICK, trace=trace)
        self.addCleanup(lambda: proc.poll() is None and (proc.kill(), proc.wait()))
        deadline = time.time() + 20
        while lab.window_count(TITLE) == 0:
            self.assertLess(time.time(), deadline, "no main window")
            time.sleep(0.1)
        return proc, parse_window(lab.probe("info", TITLE)[1])

    def choose(self, window, command, size):
        """Posts the mode's command and waits up to 15 s for the desktop to be `size`."""
        lab.probe("post", window["hwnd"], str(WM_COMMAND), str(command), "0")
        deadline = time.time() + 15
        while not self.screen().startswith(size) and time.time() < deadline:
            time.sleep(0.3)
        self.assertTrue(self.screen().startswith(size), self.screen())

    def test_choosing_modes_through_menu_commands_changes_the_desktop(self):
        proc, window = self.start()
        menu = lab.menu(TITLE)
        self.assertIsNotNone(menu)
        self.assertIn("  True Color > checked", menu)
        self.assertIn("  1024 x  768 at 60 Hz #32904 checked", menu, "the mode in force, at the top")
        ids = mode_ids(menu)
        self.assertEqual(len(ids), 27, "nine sizes in each of three depths")
        self.assertEqual(sorted(ids.values()), list(range(32878, 32878 + 27)))
        self.assertIn("  Display Settings Menu #32905", menu)

        target = ids[("256 Colors", "800 x  600 at 60 Hz")]
        self.choose(window, target, "800x600")
        deadline = time.time() + 10
        while time.time() < deadline:
            menu = lab.menu(TITLE)
            if menu and "  256 Colors > checked" in menu:
                break
            time.sleep(0.3)
        self.assertIn("  256 Colors > checked", menu)
        self.assertIn("     800 x  600 at 60 Hz #%d checked" % target, menu)
        self.assertIn("   800 x  600 at 60 Hz #%d checked" % target, menu, "and at the top")

        self.choose(window, ids[("True Color", "1024 x  768 at 60 Hz")], "1024x768")

        lab.probe("post", window["hwnd"], str(WM_CLOSE), "0", "0")
        self.assertEqual(proc.wait(timeout=15), 0)

    def test_modes_that_cannot_be_stored_hold_for_the_session_and_are_told_once(self):
        stand_in = os.path.join(lab.prefix, "drive_c", "nostore.log")
        if os.path.exists(stand_in):
            os.remove(stand_in)
        lab.regedit([(r"HKEY_CURRENT_USER\Software\Wine\Debug", {"RelayInclude": "user32.MessageBoxA"})])
        trace = os.path.join(lab.dir, "zenpick-boxes.txt")
        proc, window = self.start(trace)
        ids = mode_ids(lab.menu(TITLE))
        self.assertEqual(lab.probe("inject", TITLE, "nostore.dll", "10000")[0], 0, "no stand-in")

        def changes(mode):  # the test, the refused store, the change for the session
            return ["flags=%d mode=%s answer=%d" % (f, mode, a) for f, a in ((2, 0), (1, -3), (0, 0))]

        def stand_in_log():
            with open(stand_in) as f:
                return f.read().splitlines()

        self.choose(window, ids[("256 Colors", "800 x  600 at 60 Hz")], "800x600")
        code, out = lab.probe("find", ALERT, "10000")
        self.assertEqual(code, 0, "no message box")
        box = parse_window(out)
        self.assertEqual([(c["id"], c["text"]) for c in box["children"] if c["class"] == "Button"],
                         [("1", "OK")])
        # Owner, text, caption and style as the call gave them (Wine marks no box topmost).
        self.assertEqual(self.boxes(trace), [(int(window["hwnd"]), SESSION_TEXT, ALERT, 0x40040)])
        self.assertEqual(lab.window_count(ALERT), 1)
        self.assertEqual(stand_in_log(), changes("800x600x8"))
        self.assertEqual(lab.probe("click", ALERT, "1")[0], 0)
        self.assertEqual(lab.probe("closed", box["hwnd"], "10000")[0], 0)

        # Later modes of the run that cannot be stored either are not told again.
        self.choose(window, ids[("True Color", "640 x  480 at 60 Hz")], "640x480")
        self.assertEqual(lab.probe("find", ALERT, "2000")[0], 1, "a second box")
        self.choose(window, ids[("True Color", "1024 x  768 at 60 Hz")], "1024x768")
        lab.probe("post", window["hwnd"], str(WM_CLOSE), "0", "0")
        self.assertEqual(proc.wait(timeout=15), 0)
        self.assertEqual(stand_in_log(),
                         changes("800x600x8") + changes("640x480x32") + changes("1024x768x32"))
        self.assertEqual(len(self.boxes(trace)), 1)

    @staticmethod
    def boxes(trace):
        """(owner, text, caption, style) of each MessageBoxA in the relay trace."""
        with open(trace, errors="replace") as f:
            calls = re.findall(r'Call user32\.MessageBoxA\(([0-9a-f]+),[0-9a-f]+ "(.*)",[0-9a-f]+ "(.*)",'
                               r"([0-9a-f]+)\)", f.read())
        return [(int(owner, 16), text, caption, int(style, 16)) for owner, text, caption, style in calls]


if __name__ == "__main__":
    unittest.main()
