"""Zenpick.exe changing the display mode under Wine, in a virtual desktop: there Wine offers
nine sizes at 8, 16 and 32 bits per pixel and really changes the desktop's size.

Wine's virtual desktop rewrites the device map for every program it starts, so the board's
driver is not seen here: the labels carry the refresh rate and no board feature is listed.
"""
import os
import re
import time
import unittest

from winelab import BUILD, WineLab, parse_window

ZENPICK = os.path.join(BUILD, "Zenpick.exe")
TITLE = "orvel Zenpick"
WM_CLOSE, WM_COMMAND = 16, 273

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

    def test_choosing_modes_through_menu_commands_changes_the_desktop(self):
        proc = lab.start_program(ZENPICK)
        deadline = time.time() + 20
        while lab.window_count(TITLE) == 0:
            self.assertLess(time.time(), deadline, "no main window")
            time.sleep(0.1)
        window = parse_window(lab.probe("info", TITLE)[1])
        menu = lab.menu(TITLE)
        self.assertIsNotNone(menu)
        self.assertIn("  True Color > checked", menu)
        self.assertIn("  1024 x  768 at 60 Hz #32904 checked", menu, "the mode in force, at the top")
        ids = mode_ids(menu)
        self.assertEqual(len(ids), 27, "nine sizes in each of three depths")
        self.assertEqual(sorted(ids.values()), list(range(32878, 32878 + 27)))
        self.assertIn("  Display Settings Menu #32905", menu)

        target = ids[("256 Colors", "800 x  600 at 60 Hz")]
        lab.probe("post", window["hwnd"], str(WM_COMMAND), str(target), "0")
        deadline = time.time() + 15
        while not self.screen().startswith("800x600") and time.time() < deadline:
            time.sleep(0.3)
        self.assertTrue(self.screen().startswith("800x600"), self.screen())
        deadline = time.time() + 10
        while time.time() < deadline:
            menu = lab.menu(TITLE)
            if menu and "  256 Colors > checked" in menu:
                break
            time.sleep(0.3)
        self.assertIn("  256 Colors > checked", menu)
        self.assertIn("     800 x  600 at 60 Hz #%d checked" % target, menu)
        self.assertIn("   800 x  600 at 60 Hz #%d checked" % target, menu, "and at the top")

        back = ids[("True Color", "1024 x  768 at 60 Hz")]
        lab.probe("post", window["hwnd"], str(WM_COMMAND), str(back), "0")
        deadline = time.time() + 15
        while not self.screen().startswith("1024x768") and time.time() < deadline:
            time.sleep(0.3)
        self.assertTrue(self.screen().startswith("1024x768"), self.screen())

        lab.probe("post", window["hwnd"], str(WM_CLOSE), "0", "0")
        self.assertEqual(proc.wait(timeout=15), 0)


if __name__ == "__main__":
    unittest.main()
