"""Keldor.exe and Keldhook.dll end to end under Wine, on a screen of two 1024-pixel areas side
by side (2048 x 768): the controller runs only on a dual setup, one copy at a time, with its
hidden minimised window; while it runs, Keldhook.dll is loaded into the windows of other
processes and their WM_GETMINMAXINFO and WM_WINDOWPOSCHANGING pass through its hook; WM_CLOSE
removes the hook and ends the controller with 0.

The other process is tests/wine/helpers/hookwatch.c: it sends its own hidden window the two
messages and prints what its window procedure received, after the system-wide hook.
"""
import os
import subprocess
import time
import unittest

from winelab import BUILD, SERVICES, WINE, WineLab, parse_window

KELDOR = os.path.join(BUILD, "Keldor.exe")
TITLE = "orvelZYNTRA control"
ALIGNMENT = r"HKEY_CURRENT_USER\Software\Orvelcom\ZYNTRA"
WM_CLOSE, WM_SYSCOMMAND, SC_RESTORE = 0x10, 0x112, 0xF120
WS_MINIMIZE, WS_SYSMENU, WS_VISIBLE = 0x20000000, 0x00080000, 0x10000000
SWP_NOSIZE, SWP_NOMOVE = 1, 2

lab = None


def setUpModule():
    global lab
    lab = WineLab(2048, 768)
    lab.start()


def tearDownModule():
    lab.stop()


def watch(x, wait_ms=5000):
    """(loaded, minmax as the window saw it, windowpos as the window saw it) for hookwatch's
    window at 900,100 (300 x 200) with the pointer at x, 300. Unaltered, the window sees
    maximised width 2048 at -4 and the window position 0, 0 with SWP_NOMOVE | SWP_NOSIZE."""
    code, out = lab.helper("hookwatch", x, 300, wait_ms)
    lines = dict(line.split(" ", 1) for line in out.splitlines() if " " in line)
    minmax = [int(v) for v in lines["minmax"].split()[4:6]]
    pos = [int(v) for v in lines["windowpos"].split()[5:8]]
    return lines["loaded"] == "1" and code == 0, minmax, pos


class KeldorTest(unittest.TestCase):
    def setUp(self):
        sizes = {"LeftAdapterVisualXRes": ("binary", 1024), "LeftAdapterVisualYRes": ("binary", 768),
                 "RightAdapterVisualXRes": ("binary", 1024),
                 "RightAdapterVisualYRes": ("binary", 768)}
        lab.regedit([
            ("-" + SERVICES + r"\lumora", None),
            ("-" + SERVICES + r"\lumora2", None),
            (SERVICES + r"\lumora\Device0", sizes),
            # A "2" in the first device's path: one board with two heads.
            (SERVICES + r"\lumora2\Device0", sizes),
            (ALIGNMENT, {"TwinControlFlag": ("dword", 3)}),
            (r"-HKEY_CURRENT_USER\Software\Wine\AppDefaults\Keldor.exe", None),
        ])
        lab.pin_device(0, r"lumora2\Device0")

    def start(self):
        """Starts Keldor and waits for its window; returns (process, window)."""
        proc = lab.start_program(KELDOR)
        self.addCleanup(self.end, proc)
        deadline = time.time() + 20
        while lab.window_count(TITLE) == 0:
            self.assertIsNone(proc.poll(), "Keldor ended at start")
            self.assertLess(time.time(), deadline, "no controller window")
            time.sleep(0.1)
        return proc, parse_window(lab.probe("info", TITLE)[1])

    def end(self, proc):
        """Ends Keldor with WM_CLOSE: a killed controller would leave its hook installed."""
        if proc.poll() is None:
            window = parse_window(lab.probe("info", TITLE)[1])
            if "hwnd" in window:
                lab.probe("post", window["hwnd"], str(WM_CLOSE), "0", "0")
            try:
                proc.wait(timeout=10)
            except subprocess.TimeoutExpired:
                proc.kill()
                proc.wait()
                subprocess.call(["wineserver", "-k"], env=lab.env)

    def post(self, window, message, wparam=0, lparam=0):
        code, _ = lab.probe("post", window["hwnd"], str(message), str(wparam), str(lparam))
        self.assertEqual(code, 0)

    def test_ends_at_once_with_zero_unless_the_setup_is_dual(self):
        lab.pin_device(0, r"lumora\Device0")  # one device, one head
        start = time.time()
        code, _ = lab.run(KELDOR, timeout=30)
        self.assertEqual(code, 0)
        self.assertLess(time.time() - start, 15)
        self.assertEqual(lab.window_count(TITLE), 0)
        self.assertFalse(watch(1500, wait_ms=1000)[0], "no hook was installed")

        # A dual setup, but not Windows NT.
        lab.pin_device(0, r"lumora2\Device0")
        lab.regedit([(r"HKEY_CURRENT_USER\Software\Wine\AppDefaults\Keldor.exe",
                      {"Version": "win98"})])
        self.assertEqual(lab.run(KELDOR, timeout=30)[0], 0)
        self.assertEqual(lab.window_count(TITLE), 0)

    def test_hook_reaches_other_processes_while_the_controller_runs(self):
        proc, window = self.start()
        self.assertEqual(window["class"], "Keldor")
        self.assertEqual(window["visible"], "0")
        self.assertEqual(int(window["style"], 16) & (WS_MINIMIZE | WS_SYSMENU | WS_VISIBLE),
                         WS_MINIMIZE | WS_SYSMENU)

        # Pointer on the right area: maximised on the right; the hidden window across the
        # seam moves to 1024 + 10, with its present top and SWP_NOMOVE cleared.
        self.assertEqual(watch(1500), (True, [1024, 1024], [1034, 100, SWP_NOSIZE]))
        # Pointer on the left area: 1024 - 300 - 10.
        self.assertEqual(watch(300), (True, [1024, 0], [714, 100, SWP_NOSIZE]))
        # At the seam: the right side.
        self.assertEqual(watch(1024)[1], [1024, 1024])

        # The features follow the user's flags at the next message.
        lab.regedit([(ALIGNMENT, {"TwinControlFlag": ("dword", 1)})])
        self.assertEqual(watch(1500), (True, [1024, 1024], [0, 0, SWP_NOMOVE | SWP_NOSIZE]))
        lab.regedit([(ALIGNMENT, {"TwinControlFlag": ("dword", 0)})])
        self.assertEqual(watch(1500), (True, [2048, -4], [0, 0, SWP_NOMOVE | SWP_NOSIZE]))
        self.assertIsNone(proc.poll())

        # WM_CLOSE removes the hook and ends the controller with 0.
        self.post(window, WM_CLOSE)
        self.assertEqual(proc.wait(timeout=15), 0)
        self.assertEqual(lab.window_count(TITLE), 0)
        lab.regedit([(ALIGNMENT, {"TwinControlFlag": ("dword", 3)})])
        self.assertEqual(watch(1500, wait_ms=1000), (False, [2048, -4], [0, 0, SWP_NOMOVE | SWP_NOSIZE]))

    def test_a_second_copy_beeps_once_and_ends_with_zero(self):
        first, _ = self.start()
        env = dict(lab.env, WINEDEBUG="+relay")
        second = subprocess.run([WINE, KELDOR], env=env, capture_output=True, text=True,
                                errors="replace", timeout=120)
        self.assertEqual(second.returncode, 0)
        beeps = [line for line in second.stderr.splitlines()
                 if "Call user32.MessageBeep(" in line]
        self.assertEqual(len(beeps), 1, beeps)
        self.assertIn("MessageBeep(00000030)", beeps[0])
        self.assertNotIn("Call user32.CreateWindowExA(", second.stderr)
        self.assertIsNone(first.poll(), "the first copy goes on")
        self.assertEqual(lab.window_count(TITLE), 1)
        self.assertTrue(watch(1500)[0], "the first copy's hook stays")

    def test_restore_command_changes_nothing(self):
        proc, window = self.start()
        self.post(window, WM_SYSCOMMAND, SC_RESTORE)
        time.sleep(0.5)
        after = parse_window(lab.probe("info", TITLE)[1])
        self.assertIsNone(proc.poll())
        self.assertEqual(after["visible"], "0")
        self.assertEqual(after["rect"], window["rect"])
        self.assertTrue(int(after["style"], 16) & WS_MINIMIZE)
        self.assertTrue(watch(1500)[0])


if __name__ == "__main__":
    unittest.main()
