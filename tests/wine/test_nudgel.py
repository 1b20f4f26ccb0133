"""Nudgel.exe end to end under Wine: the reminders it shows, what it starts and the stage it
leaves in the registry."""
import os
import re
import time
import unittest

from winelab import BUILD, MAKER, SERVICES, WineLab, parse_window

NUDGEL = os.path.join(BUILD, "Nudgel.exe")
TITLE = "orvel Driverinstallation"
MONITOR_TEXT = "No Monitor selected. You are not able to change Resolutions."
TV_TEXT = "No TV Standard Selected. You are not able to use TV out."
WS_SYSMENU, WS_CAPTION, WS_VISIBLE = 0x00080000, 0x00C00000, 0x10000000
WS_EX_TOPMOST = 0x8
VK_ESCAPE, IDCANCEL = 27, 2
KEY_SET_VALUE = 0x2

lab = None


def setUpModule():
    global lab
    lab = WineLab()
    lab.start()
    lab.regedit([(r"HKEY_CURRENT_USER\Software\Wine\Debug", {"RelayInclude": "advapi32.RegOpenKeyExA"})])


def tearDownModule():
    lab.stop()


class NudgelTest(unittest.TestCase):
    def board(self, settings=None, stage=None, device=r"lumora\Device0", software=True):
        """Resets the board's keys, seeds them and pins the first display device."""
        keys = [("-" + SERVICES + r"\lumora", None), ("-" + SERVICES + r"\vgasave", None),
                ("-" + MAKER, None), (SERVICES + "\\" + device, settings or {})]
        self.software = MAKER + "\\" + device
        if software:
            keys.append((self.software, {} if stage is None else {"OrvelIsInstalled": ("dword", stage)}))
        lab.regedit(keys)
        lab.pin_device(0, device)
        self.assertEqual(lab.device_map(), "\\REGISTRY\\Machine\\System\\CurrentControlSet\\Services\\" + device)
        lab.clear_control_log()

    def start(self, traced=False):
        """traced: its RegOpenKeyExA calls are traced, for access_checks."""
        self.trace = os.path.join(lab.dir, "nudgel-relay.txt") if traced else None
        proc = lab.start_program(NUDGEL, trace=self.trace)
        self.addCleanup(lambda: proc.poll() is None and proc.kill())
        return proc

    def access_checks(self):
        """(key, access, result) of each RegOpenKeyExA of the traced copy."""
        calls = []
        with open(self.trace, errors="replace") as log:
            for line in log:
                call = re.search(r'Call advapi32\.RegOpenKeyExA\([0-9a-f]+,[0-9a-f]+ "([^"]*)",'
                                 r"[0-9a-f]+,([0-9a-f]+),", line)
                if call:
                    calls.append([call.group(1).replace("\\\\", "\\"), int(call.group(2), 16), None])
                done = re.search(r"Ret  advapi32\.RegOpenKeyExA\(\) retval=([0-9a-f]+)", line)
                if done and calls:
                    calls[-1][2] = int(done.group(1), 16)
        return [tuple(c) for c in calls]

    def stage(self):
        value = lab.reg_query(self.software, "OrvelIsInstalled")
        if value is None:
            return None
        self.assertEqual(value[0], "REG_DWORD")
        return int(value[1], 16)

    def reminder(self, text):
        """Waits for the reminder dialog, checks its make-up and returns its description."""
        code, out = lab.probe("find", TITLE, "15000")
        self.assertEqual(code, 0, "no reminder dialog appeared")
        window = parse_window(out)
        texts = [c["text"] for c in window["children"] if c["class"] == "Static" and c["id"] == "65535"]
        self.assertIn(text, texts)
        buttons = [c for c in window["children"] if c["id"] == "1"]
        self.assertEqual(len(buttons), 1)
        self.assertEqual(buttons[0]["text"], "Start Monitorselection")
        self.assertTrue(int(buttons[0]["style"], 16) & 1, "the button is the default one")
        self.assertTrue(any(c["id"] == "1021" for c in window["children"]), "icon control 1021")
        style = int(window["style"], 16)
        self.assertEqual(style & WS_CAPTION, WS_CAPTION)
        self.assertFalse(style & WS_SYSMENU, "a reminder has no system menu")
        self.assertEqual(window["owner"], "Nudgel")
        left, top, right, bottom = map(int, window["rect"].split(","))
        self.assertLessEqual(abs((left + right) - lab.width), 3, "centred across the screen")
        self.assertLessEqual(abs((top + bottom) - lab.height), 3, "centred down the screen")
        self.assertEqual(lab.window_count(TITLE), 1)
        return window

    def press(self, window):
        self.assertEqual(lab.probe("click", TITLE, "1")[0], 0)
        self.assertEqual(lab.probe("closed", window["hwnd"], "10000")[0], 0,
                         "the reminder did not close")

    def finish(self, proc):
        self.assertEqual(proc.wait(timeout=30), 0)
        self.assertEqual(lab.window_count(TITLE), 0)

    def test_stage_0_shows_both_reminders_and_advances_the_stage(self):
        self.board({"AvailableTVSet": ("binary", 1)}, stage=0)
        proc = self.start(traced=True)
        window = self.reminder(MONITOR_TEXT)
        # Shown to a user who may set values in the settings key: opened for that, and granted.
        checks = [c for c in self.access_checks() if "lumora" in c[0]]
        self.assertEqual(checks, [(r"SYSTEM\CurrentControlSet\Services\lumora\Device0", KEY_SET_VALUE, 0)])

        owner = parse_window(lab.probe("info", "Nudgel")[1])
        self.assertEqual(owner["class"], "#1015")
        self.assertEqual(owner["visible"], "0")
        self.assertEqual(int(owner["style"], 16) & (WS_CAPTION | WS_VISIBLE), WS_CAPTION)
        self.assertTrue(int(owner["exstyle"], 16) & WS_EX_TOPMOST)

        # Escape, and the IDCANCEL it stands for, leave the reminder open.
        lab.probe("key", TITLE, str(VK_ESCAPE))
        lab.probe("command", TITLE, str(IDCANCEL))
        time.sleep(0.7)
        self.assertEqual(lab.window_count(TITLE), 1)
        self.assertEqual(self.stage(), 0)
        self.assertEqual(lab.control_log(), [])

        self.press(window)
        window = self.reminder(TV_TEXT)
        self.assertEqual(self.stage(), 1)
        self.press(window)
        self.finish(proc)
        self.assertEqual(self.stage(), 2)
        self.assertEqual(lab.control_log(),
                         [r'"C:\windows\system32\control.exe" lumora2.cpl|1'] * 2)

    def test_stage_1_with_a_standard_the_board_does_not_offer(self):
        self.board({"Primary.SelectedMonitor": "Model A", "AvailableTVSet": ("binary", 1),
                    "SelectedTVSet": ("binary", 2)}, stage=1)
        proc = self.start()
        self.press(self.reminder(TV_TEXT))
        self.finish(proc)
        self.assertEqual(self.stage(), 2)
        self.assertEqual(len(lab.control_log()), 1)

    def test_two_heads_need_both_monitor_names(self):
        self.board({"Primary.SelectedMonitor": "Model A"}, stage=0, device=r"lumora\Device2")
        proc = self.start()
        self.press(self.reminder(MONITOR_TEXT))
        self.finish(proc)
        self.assertEqual(self.stage(), 1)

    def test_nothing_due_shows_nothing(self):
        cases = [
            ("stage 2", dict(settings={"AvailableTVSet": ("binary", 1)}, stage=2), 2),
            ("missing stage", dict(settings={"AvailableTVSet": ("binary", 1)}), None),
            ("missing software key", dict(settings={"AvailableTVSet": ("binary", 1)}, software=False), None),
            ("choices made", dict(settings={"Primary.SelectedMonitor": "", "AvailableTVSet": ("binary", 3),
                                            "SelectedTVSet": ("binary", 1)}, stage=0), 0),
        ]
        for name, seed, after in cases:
            with self.subTest(name):
                self.board(**seed)
                code, _ = lab.run(NUDGEL)
                self.assertEqual(code, 0)
                self.assertEqual(lab.window_count(TITLE), 0)
                self.assertEqual(self.stage(), after)
                self.assertEqual(lab.control_log(), [])
                if not seed.get("software", True):
                    self.assertFalse(lab.key_exists(MAKER), "the software key is never created")

    def test_another_driver_ends_silently(self):
        self.board({"AvailableTVSet": ("binary", 1)}, stage=0, device=r"vgasave\Device0")
        code, _ = lab.run(NUDGEL)
        self.assertEqual(code, 0)
        self.assertEqual(lab.window_count(TITLE), 0)
        self.assertEqual(self.stage(), 0)

    def test_a_second_copy_ends_silently(self):
        self.board({"AvailableTVSet": ("binary", 1)}, stage=0)
        first = self.start()
        window = self.reminder(MONITOR_TEXT)
        code, _ = lab.run(NUDGEL, timeout=30)
        self.assertEqual(code, 0)
        self.assertEqual(lab.window_count(TITLE), 1)
        self.assertIsNone(first.poll(), "the first copy goes on")
        self.press(window)
        self.press(self.reminder(TV_TEXT))
        self.finish(first)
        self.assertEqual(self.stage(), 2)


if __name__ == "__main__":
    unittest.main()
