"""lumora2.cpl end to end under Wine, driven as the Windows NT 4.0 Control Panel drives it.

tests/wine/helpers/cplhost.c loads the library from the prefix's system folder, sends the applet
messages, opens an applet owned by a window of its own and works the dialogs that come up from a
second thread (Wine's control.exe speaks another dialect of the applet protocol). What the
applet stores is read back with `reg query`.

The restart of the operating system: Wine's ExitWindowsEx starts the system folder's
wineboot.exe with "--end-session", which would end every program of the prefix. Here the
programs under test see the stand-in control.exe installed as wineboot.exe (with the DLL
override wineboot.exe=native), which only records its command line; a relay trace shows the
privilege and ExitWindowsEx calls themselves, and which registry writes came before the request
(Wine's ExitWindowsEx does not wait for the program it starts).
"""
import os
import re
import shutil
import subprocess
import time
import unittest

from winelab import BUILD, HELPERS, MAKER, SERVICES, WINE, WINEARCH, WineLab

APPLET = os.path.join(BUILD, "lumora2.cpl")
CPL = "lumora2.cpl"
DEVICE0 = SERVICES + r"\lumora\Device0"
DEVICE1 = SERVICES + r"\lumora\Device1"
TWO_HEADS = SERVICES + r"\lumora2\Device0"
OTHER = SERVICES + r"\vgasave\Device0"
SOFTWARE = MAKER + r"\lumora\Device0"
ALIGNMENT = r"HKEY_CURRENT_USER\Software\Orvelcom\ZYNTRA"

SELECT = "orvel Monitor Select"
TWIN = "orvelZYNTRA control"
PROMPT = "Monitor Settings Change"
RIGHTS = "Monitor change - Access rights"
RIGHTS_TEXT = "You must have Administrator Rights to change the monitor selection"
RESTART_REQUEST = r"C:\windows\system32\wineboot.exe --end-session"
WS_SYSMENU, BS_DEFPUSHBUTTON, CBS_DROPDOWNLIST = 0x00080000, 0x1, 0x3
# "&Restart Now" in the restart prompt, and button 2 of the dual dialog while it reads "RESTART NOW".
RESTART_NOW = 1016
# NEWCPLINFOA, byte-packed: 244 bytes, and 252 in the x86_64 stand-in (pointer-sized lData, hIcon).
NEWCPLINFO_SIZE = "244" if WINEARCH == "win32" else "252"
VK_TAB, VK_RETURN, VK_ESCAPE = 9, 13, 27
VK_LEFT, VK_UP, VK_RIGHT, VK_DOWN = 37, 38, 39, 40
ARROWS = (VK_LEFT, VK_UP, VK_RIGHT, VK_DOWN)
# How long the alignment broadcast waits for each window, in milliseconds.
BROADCAST_TIMEOUT_MS = 3000
# After this long without taking a message a program counts as hung, on Windows and in Wine.
HUNG_AFTER_S = 6

# The timing database: 31kHz is not the first model, and the markers "single" and "SINGLE"
# (but not "Single") keep a model out of the single-adapter list.
MODELS = ["Arden 15 Office", "31kHz VGA Standard", "Brisk 17 single head", "Calder 21 SINGLE",
          "Dalton 19 Single"]
SINGLE_MODELS = ["Arden 15 Office", "31kHz VGA Standard", "Dalton 19 Single"]
MONITOR_INI = """[MONITOR]
Arden 15 Office=A15
31kHz VGA Standard=VGA
Brisk 17 single head=B17
Calder 21 SINGLE=C21
Dalton 19 Single=D19

[Arden 15 Office]
X_SIZE=280
Y_SIZE=210

[31kHz VGA Standard]
X_SIZE=320
Y_SIZE=240

[Calder 21 SINGLE]
X_SIZE=400
Y_SIZE=300

[Dalton 19 Single]
X_SIZE=360
"""
RELAY = ["user32.ExitWindowsEx", "advapi32.AdjustTokenPrivileges", "advapi32.LookupPrivilegeValueA",
         "advapi32.OpenProcessToken", "advapi32.RegSetValueExA", "user32.MessageBoxA",
         "user32.MessageBeep"]

lab = None


def setUpModule():
    global lab
    lab = WineLab()
    lab.start()
    shutil.copy(APPLET, lab.windows_path("system32", CPL))
    shutil.copy(os.path.join(HELPERS, "fakecontrol.exe"), lab.windows_path("system32", "wineboot.exe"))
    timing = lab.windows_path("system32", "drivers", "orvel", "timing")
    os.makedirs(timing, exist_ok=True)
    os.makedirs(lab.windows_path("system32", "drivers", "orvel", "tools"), exist_ok=True)
    with open(os.path.join(timing, "monitor.ini"), "w", newline="") as f:
        f.write(MONITOR_INI.replace("\n", "\r\n"))
    lab.regedit([(r"HKEY_CURRENT_USER\Software\Wine\Debug", {"RelayInclude": ";".join(RELAY)})])


def tearDownModule():
    lab.stop()


def unescape(text):
    return re.sub(r"\\(x[0-9a-f]{2}|.)",
                  lambda m: {"n": "\n", "r": "\r", "t": "\t", "\\": "\\"}.get(m.group(1))
                  or chr(int(m.group(1)[1:], 16)), text)


def parse(out):
    """cplhost's lines as (word, {name: value}); "text" takes the rest of its line."""
    facts = []
    for line in out.splitlines():
        word, _, rest = line.partition(" ")
        fields = {}
        while rest:
            if rest.startswith("text="):
                fields["text"] = unescape(rest[5:])
                break
            pair, _, rest = rest.partition(" ")
            name, _, value = pair.partition("=")
            fields[name] = value
        facts.append((word, fields))
    return facts


class Window:
    """One `dump` of cplhost: the window's fields, its controls by id, combo entries and
    selections."""

    def __init__(self, fields):
        self.fields, self.controls, self.entries, self.selection = fields, {}, {}, {}
        self.children = []

    @property
    def title(self):
        return self.fields["text"]

    def text(self, id):
        return self.controls[id]["text"]

    def enabled(self, id):
        return self.controls[id]["enabled"] == "1"

    def checked(self, id):
        return self.controls[id]["checked"] == "1"

    def statics(self):
        return [c["text"] for c in self.children if c["class"] == "Static"]


class Run:
    def __init__(self, code, out, stderr):
        self.code, self.facts, self.stderr = code, parse(out), stderr
        self.windows = []
        for word, fields in self.facts:
            if word == "window":
                self.windows.append(Window(fields))
            elif word == "control":
                self.windows[-1].children.append(fields)
                self.windows[-1].controls.setdefault(int(fields["id"]), fields)
            elif word == "entry":
                self.windows[-1].entries.setdefault(int(fields["id"]), []).append(fields["text"])
            elif word == "selection":
                selected = fields["text"] if fields["index"] != "-1" else None
                self.windows[-1].selection[int(fields["id"])] = selected

    def first(self, word):
        return next(fields for w, fields in self.facts if w == word)

    def all(self, word):
        return [fields for w, fields in self.facts if w == word]

    def created(self):
        """Titles of the top-level dialogs and message boxes that came up."""
        return [f["text"] for f in self.all("created") if f["class"] == "#32770"]

    def relay(self, function):
        return [line for line in self.stderr.splitlines() if "Call %s(" % function in line]


def host(*args, relay=False, timeout=60):
    env = dict(lab.env, WINEDLLOVERRIDES=lab.env["WINEDLLOVERRIDES"] + ";wineboot.exe=n")
    if relay:
        env["WINEDEBUG"] = "+relay"
    proc = subprocess.run([WINE, os.path.join(HELPERS, "cplhost.exe")] + [str(a) for a in args],
                          env=env, capture_output=True, text=True, errors="replace", timeout=timeout)
    return Run(proc.returncode, proc.stdout.replace("\r\n", "\n"), proc.stderr)


def value(key, name):
    """A value as a number (REG_DWORD, or REG_BINARY read as little-endian), a str (REG_SZ),
    or None when missing; the type is checked."""
    found = lab.reg_query(key, name)
    if found is None:
        return None
    kind, data = found
    if kind == "REG_DWORD":
        return ("dword", int(data, 16))
    if kind == "REG_BINARY":
        return ("binary", int.from_bytes(bytes.fromhex(data), "little"))
    return data


class AppletTest(unittest.TestCase):
    def board(self, settings, device=r"lumora\Device0", second=None, stage=0, reminder=b"MZ"):
        """Resets the keys, seeds the first device's settings key (and, with `second`, the
        second adapter's), pins the device map and leaves the reminder program's file as asked
        (None: absent)."""
        keys = [("-" + SERVICES + r"\lumora", None), ("-" + SERVICES + r"\lumora2", None),
                ("-" + SERVICES + r"\vgasave", None), ("-" + MAKER, None), ("-" + ALIGNMENT, None),
                (OTHER, {}), (SERVICES + "\\" + device, settings)]
        if second is not None:
            keys.append((DEVICE1, second))
        self.software = MAKER + "\\" + device
        if stage is not None:
            keys.append((self.software, {"OrvelIsInstalled": ("dword", stage)}))
        lab.regedit(keys)
        lab.pin_device(0, device)
        lab.pin_device(1, r"lumora\Device1" if second is not None else r"vgasave\Device0")
        self.assertEqual(lab.device_map(),
                         "\\REGISTRY\\Machine\\System\\CurrentControlSet\\Services\\" + device)
        path = lab.windows_path("system32", "drivers", "orvel", "tools", "nudgel.exe")
        if reminder is None:
            if os.path.exists(path):
                os.remove(path)
        else:
            with open(path, "wb") as f:
                f.write(reminder)
        lab.clear_control_log()

    def stage(self):
        return value(self.software, "OrvelIsInstalled")

    def open(self, index, *steps, relay=False):
        run = host("open", CPL, index, *steps, relay=relay)
        self.assertEqual(run.code, 0, (run.facts, run.stderr[-3000:]))
        self.assertEqual(run.first("dblclk")["result"], "0")
        return run

    def companion(self, *args):
        """Starts cplhost in another process (listen or hang); returns it and its ready line."""
        proc = subprocess.Popen([WINE, os.path.join(HELPERS, "cplhost.exe")] + list(args),
                                env=lab.env, stdout=subprocess.PIPE, text=True, errors="replace")
        self.addCleanup(lambda: proc.poll() is None and proc.kill())
        ready = parse(proc.stdout.readline())[0]
        self.assertEqual(ready[0], "ready")
        return proc, ready[1]

    def received(self, listener, hwnd):
        """Closes the listener; what it received."""
        self.assertEqual(lab.probe("post", hwnd, 16, 0, 0)[0], 0)  # WM_CLOSE
        out, _ = listener.communicate(timeout=30)
        return [f for w, f in parse(out.replace("\r\n", "\n")) if w == "received"]

    def confirm(self, *steps, later=True):
        """Opens "orvel Monitor Select", runs `steps` on it, presses OK and answers the restart
        prompt; returns the run (its windows: the dialog before OK, then the prompt)."""
        answer = ["click=1"] if later else ["click=%d" % RESTART_NOW]
        run = self.open(0, "wait=" + SELECT, "dump", *steps, "click=1", "wait=" + PROMPT, "dump",
                        *answer, "closed")
        self.assertEqual(run.windows[-1].title, PROMPT)
        return run

    # --- the applet entry -------------------------------------------------------------------
    def test_applet_count_and_descriptions_follow_the_board(self):
        select = ("orvel Monitor Select", "monitor selection.")
        twin = ("orvelZYNTRA control", "configuration of orvelZYNTRA control.")
        cases = [
            ("one adapter", dict(settings={}), [select]),
            ("two heads on one board", dict(settings={}, device=r"lumora2\Device0"), [select, twin]),
            ("second adapter", dict(settings={}, second={}), [select, twin]),
            ("no board", dict(settings={}, device=r"vgasave\Device0"), []),
        ]
        for name, seed, applets in cases:
            with self.subTest(name):
                self.board(**seed)
                run = host("list", CPL)
                self.assertEqual(run.code, 0)
                exports = {e["ordinal"]: e for e in run.all("export")}
                for ordinal, export in (("1", "CPlApplet"), ("2", "DualScreenDlgProc"),
                                        ("3", "SingleScreenDlgProc")):
                    self.assertEqual((exports[ordinal]["name"], exports[ordinal]["same"]), (export, "1"))
                self.assertEqual(run.first("init")["result"], "1")
                self.assertEqual(run.first("count")["result"], str(len(applets)))
                # The older CPL_INQUIRE is not answered and fills nothing.
                self.assertEqual([(i["result"], i["touched"]) for i in run.all("inquire")],
                                 [("0", "0")] * len(applets))
                described = run.all("newinquire")
                self.assertEqual(len(described), len(applets))
                for index, ((title, info), record) in enumerate(zip(applets, described)):
                    self.assertEqual(record["result"], "0")
                    self.assertEqual((record["size"], record["flags"], record["helpcontext"],
                                      record["data"], record["icon"]),
                                     (NEWCPLINFO_SIZE, "0", "0", "0", "1"))
                    self.assertEqual(run.all("newinquire-name")[index]["text"], title)
                    self.assertEqual(run.all("newinquire-info")[index]["text"], info)
                    self.assertEqual(run.all("newinquire-helpfile")[index]["text"], "")
                self.assertEqual(run.first("exit")["result"], "0")
                self.assertEqual(run.first("free")["result"], "1")

    def test_rights_message_and_no_dialog_without_a_binary_board_id(self):
        for name, settings in (("missing", {}), ("REG_DWORD", {"Primary.BoardID": ("dword", 7)})):
            with self.subTest(name):
                self.board(settings)
                run = self.open(0, "wait=" + RIGHTS, "dump", "click=1", "closed", relay=True)
                box = run.windows[0]
                self.assertIn(RIGHTS_TEXT, box.statics())
                self.assertEqual(box.fields["owner"], run.first("host")["hwnd"])
                self.assertEqual(run.created(), [""])  # the message box only, titled later
                # A stop icon, task-modal, topmost; Wine does not mark a message box topmost,
                # so the flags are read from the call.
                calls = run.relay("user32.MessageBoxA")
                self.assertEqual(len(calls), 1, calls)
                self.assertIn("00042010)", calls[0])
                self.assertEqual(value(DEVICE0, "Primary.BoardID"), settings.get("Primary.BoardID"))

    # --- the single-adapter dialog ----------------------------------------------------------
    def test_single_dialog_lists_the_database_and_ok_always_offers_the_restart(self):
        self.board({"Primary.BoardID": ("binary", 0x1234), "Primary.SelectedMonitor": "Model 000",
                    "AvailableTVSet": ("binary", 0), "SelectedTVSet": ("binary", 1),
                    "Primary.IsLeft": ("dword", 0)})
        run = self.confirm(later=True)
        self.assertEqual(run.created(), [SELECT, PROMPT])
        dialog, prompt = run.windows
        self.assertEqual(dialog.fields["owner"], run.first("host")["hwnd"])
        self.assertEqual(dialog.entries[1002], SINGLE_MODELS)
        self.assertEqual(dialog.selection[1002], "31kHz VGA Standard")  # the placeholder: default
        self.assertEqual(int(dialog.controls[1002]["style"], 16) & 3, CBS_DROPDOWNLIST, "no edit field")
        for id in (1011, 1012, 1013, 1014):
            self.assertFalse(dialog.enabled(id), id)
        self.assertFalse(dialog.checked(1014))

        # The restart prompt, owned by the dialog, even though nothing was changed.
        self.assertEqual(prompt.fields["owner"], dialog.fields["hwnd"])
        self.assertEqual(prompt.text(RESTART_NOW), "&Restart Now")
        self.assertTrue(int(prompt.controls[RESTART_NOW]["style"], 16) & BS_DEFPUSHBUTTON)
        self.assertEqual(prompt.text(1), "Restart &Later")
        self.assertNotIn(2, prompt.controls, "Esc and the close box send 2: no button of its own")
        self.assertIn("Your monitor settings have changed.", prompt.statics())

        self.assertEqual(value(DEVICE0, "Primary.SelectedMonitor"), "31kHz VGA Standard")
        self.assertEqual(value(DEVICE0, "Primary.xSize"), ("dword", 320))
        self.assertEqual(value(DEVICE0, "Primary.ySize"), ("dword", 240))
        self.assertEqual(value(DEVICE0, "Primary.IsLeft"), ("dword", 1))
        self.assertIsNone(value(DEVICE0, "SelectedTVSet"))
        self.assertEqual(value(DEVICE0, "Primary.BoardID"), ("binary", 0x1234))
        self.assertEqual(self.stage(), ("dword", 1))
        self.assertEqual(lab.control_log(), [], "Restart Later requests no restart")

        # The stored model is selected at the next opening; a model without "Y_SIZE" stores 999.
        # The list takes a typed letter: "D" selects the model it begins, and OK stores it.
        run = self.confirm("focus=1002", "key=%d" % ord("D"), "sleep=200", "dump")
        self.assertEqual(run.windows[0].selection[1002], "31kHz VGA Standard")
        self.assertEqual(run.windows[1].selection[1002], "Dalton 19 Single")
        self.assertEqual(value(DEVICE0, "Primary.SelectedMonitor"), "Dalton 19 Single")
        self.assertEqual(value(DEVICE0, "Primary.xSize"), ("dword", 360))
        self.assertEqual(value(DEVICE0, "Primary.ySize"), ("dword", 999))

    def test_an_unreadable_database_beeps_and_leaves_the_lists_empty(self):
        database = lab.windows_path("system32", "drivers", "orvel", "timing", "monitor.ini")
        os.rename(database, database + ".away")
        self.addCleanup(os.rename, database + ".away", database)
        self.board({"Primary.BoardID": ("binary", 1), "Primary.SelectedMonitor": "Arden 15 Office"})
        run = host("open", CPL, 0, "wait=" + SELECT, "dump", "click=1", "wait=" + PROMPT,
                   "click=1", "closed", relay=True)
        self.assertEqual(run.code, 0, run.facts)
        self.assertEqual(run.windows[0].entries.get(1002, []), [])
        self.assertIsNone(run.windows[0].selection[1002])
        beeps = run.relay("user32.MessageBeep")
        self.assertEqual(len(beeps), 1, beeps)
        self.assertIn("MessageBeep(00000030)", beeps[0])
        # No list has a selection, so OK saves no monitor.
        self.assertEqual(value(DEVICE0, "Primary.SelectedMonitor"), "Arden 15 Office")
        self.assertIsNone(value(DEVICE0, "Primary.xSize"))

    def test_cancel_writes_nothing(self):
        self.board({"Primary.BoardID": ("binary", 1), "Primary.SelectedMonitor": "Arden 15 Office",
                    "SelectedTVSet": ("binary", 2)})
        run = self.open(0, "wait=" + SELECT, "dump", "select=1002:Dalton 19 Single", "click=2",
                        "closed")
        self.assertEqual(run.windows[0].selection[1002], "Arden 15 Office")
        self.assertEqual(run.created(), [SELECT])
        self.assertEqual(value(DEVICE0, "Primary.SelectedMonitor"), "Arden 15 Office")
        self.assertIsNone(value(DEVICE0, "Primary.IsLeft"))
        self.assertEqual(value(DEVICE0, "SelectedTVSet"), ("binary", 2))
        self.assertEqual(self.stage(), ("dword", 0))

    def test_ticking_tv_with_pal_offered_stores_pal_and_the_last_stage(self):
        self.board({"Primary.BoardID": ("binary", 1), "AvailableTVSet": ("binary", 1)})
        run = self.confirm("click=1014", "sleep=200", "dump")
        before, ticked = run.windows[0], run.windows[1]
        self.assertTrue(before.enabled(1014))
        self.assertFalse(before.checked(1014))
        self.assertFalse(before.enabled(1011))
        self.assertTrue(ticked.checked(1014))
        self.assertTrue(ticked.enabled(1011) and ticked.checked(1011), "PAL chosen at once")
        self.assertFalse(ticked.enabled(1012))
        self.assertTrue(ticked.enabled(1013))
        self.assertEqual(value(DEVICE0, "SelectedTVSet"), ("binary", 1))
        self.assertEqual(self.stage(), ("dword", 2))

    def test_install_stage_depends_on_the_reminder_file(self):
        for name, reminder, stage in (("absent", None, 1), ("present", b"MZ\x90\x00", 1),
                                      ("empty", b"", 0)):
            with self.subTest(name):
                self.board({"Primary.BoardID": ("binary", 1)}, reminder=reminder)
                self.confirm()
                self.assertEqual(self.stage(), ("dword", stage))
        # Without the maker's key nothing is created.
        self.board({"Primary.BoardID": ("binary", 1)}, stage=None)
        self.confirm()
        self.assertFalse(lab.key_exists(SOFTWARE))

    # --- the restart request ----------------------------------------------------------------
    def test_restart_now_requests_the_restart_with_the_shutdown_privilege(self):
        self.board({"Primary.BoardID": ("binary", 1)})
        run = host("open", CPL, 0, "wait=" + SELECT, "click=1", "wait=" + PROMPT,
                   "click=%d" % RESTART_NOW, "closed", relay=True)
        self.assertEqual(run.code, 0, run.facts)
        self.assertEqual(value(DEVICE0, "Primary.IsLeft"), ("dword", 1), "OK stored first")
        self.assertEqual([line.split("|")[0] for line in lab.control_log()], [RESTART_REQUEST])
        self.assertEqual(run.all("queryendsession"), [])
        token = run.relay("advapi32.OpenProcessToken")
        self.assertEqual(len(token), 1, token)
        self.assertIn(",00000028,", token[0])
        privilege = run.relay("advapi32.LookupPrivilegeValueA")
        self.assertEqual(len(privilege), 1)
        self.assertIn('(00000000,', privilege[0])
        self.assertIn('"SeShutdownPrivilege"', privilege[0])
        self.assertEqual(len(run.relay("advapi32.AdjustTokenPrivileges")), 1)
        exits = run.relay("user32.ExitWindowsEx")
        self.assertEqual(len(exits), 1, exits)
        self.assertIn("ExitWindowsEx(00000002,00000000)", exits[0])

        # Esc, the close box and id 2 end the prompt as "Restart Later"; Enter presses the
        # default button, "&Restart Now".
        for name, step, restarts in (("Esc", "key=%d" % VK_ESCAPE, False), ("close box", "close", False),
                                     ("id 2", "esc", False), ("Enter", "key=%d" % VK_RETURN, True)):
            with self.subTest(name):
                lab.clear_control_log()
                self.open(0, "wait=" + SELECT, "click=1", "wait=" + PROMPT, step, "closed")
                self.assertEqual([line.split("|")[0] for line in lab.control_log()],
                                 [RESTART_REQUEST] if restarts else [])

    # --- the dual-adapter dialog ------------------------------------------------------------
    def test_dual_dialog_with_a_second_adapter_writes_both_settings_keys(self):
        self.board({"Primary.BoardID": ("binary", 1), "Primary.SelectedMonitor": "Model 000",
                    "Primary.IsLeft": ("dword", 1), "AvailableTVSet": ("binary", 3)},
                   second={"Primary.SelectedMonitor": "Model 000"})
        run = self.confirm("select=1002:Arden 15 Office", "focus=1005", "key=%d" % ord("C"),
                           "sleep=200")
        dialog = run.windows[0]
        for id in (1002, 1005):
            self.assertEqual(int(dialog.controls[id]["style"], 16) & 3, CBS_DROPDOWNLIST, id)
        self.assertEqual(dialog.entries[1002], MODELS)
        self.assertEqual(dialog.entries[1005], MODELS)
        self.assertEqual(dialog.selection[1002], "31kHz VGA Standard")
        self.assertEqual(dialog.selection[1005], "31kHz VGA Standard")
        self.assertTrue(dialog.checked(1007))
        self.assertFalse(dialog.checked(1008))
        self.assertEqual(dialog.controls[1015]["visible"], "0")
        self.assertEqual(dialog.text(2), "&Cancel")
        self.assertEqual(dialog.text(1013), "TV Standard (available on Boot Side only)")

        for key in (DEVICE0, DEVICE1):
            with self.subTest(key):
                self.assertEqual(value(key, "Primary.SelectedMonitor"), "Arden 15 Office")
                self.assertEqual(value(key, "Primary.xSize"), ("dword", 280))
                self.assertEqual(value(key, "Primary.ySize"), ("dword", 210))
                self.assertEqual(value(key, "Secondary.SelectedMonitor"), "Calder 21 SINGLE")
                self.assertEqual(value(key, "Secondary.xSize"), ("dword", 400))
                self.assertEqual(value(key, "Secondary.ySize"), ("dword", 300))
        self.assertEqual(value(DEVICE0, "Primary.IsLeft"), ("dword", 1))
        self.assertIsNone(value(DEVICE1, "Primary.IsLeft"))
        self.assertIsNone(value(DEVICE1, "SelectedTVSet"))

    def test_dual_dialog_without_a_side_opens_in_restart_mode(self):
        settings = {"Primary.BoardID": ("binary", 1), "Primary.SelectedMonitor": "Model 000",
                    "AvailableTVSet": ("binary", 1)}
        self.board(settings, device=r"lumora2\Device0")
        run = self.open(0, "wait=" + SELECT, "dump", "click=1008", "sleep=200", "dump", "esc",
                        "closed")
        restart, sided = run.windows
        # Button 2 reads "RESTART NOW" under an id of its own: Esc and the close box send 2.
        self.assertEqual(restart.text(RESTART_NOW), "RESTART NOW")
        self.assertNotIn(2, restart.controls)
        for id in (1002, 1005, 1014, 1011, 1012, 1):
            self.assertFalse(restart.enabled(id), id)
        self.assertFalse(restart.checked(1007) or restart.checked(1008))
        # Choosing a side leaves restart mode: the lists and OK come back, button 2 is CANCEL,
        # and it then writes nothing.
        self.assertEqual(sided.text(2), "CANCEL")
        self.assertNotIn(RESTART_NOW, sided.controls)
        for id in (1002, 1005, 1, 1014):
            self.assertTrue(sided.enabled(id), id)
        self.assertTrue(sided.checked(1008))
        self.assertFalse(sided.checked(1007))
        self.assertEqual(lab.control_log(), [])
        self.assertIsNone(value(TWO_HEADS, "Primary.IsLeft"))
        self.assertIsNone(value(TWO_HEADS, "Secondary.SelectedMonitor"))

        # In restart mode Esc, the close box and id 2 leave as Cancel does.
        for name, step in (("Esc", "key=%d" % VK_ESCAPE), ("close box", "close"), ("id 2", "esc")):
            with self.subTest(name):
                self.board(settings, device=r"lumora2\Device0")
                run = self.open(0, "wait=" + SELECT, step, "closed", relay=True)
                self.assertEqual(lab.control_log(), [])
                # Only the rights check at opening writes: the board id, back as it was.
                self.assertEqual([c for c in run.relay("advapi32.RegSetValueExA")
                                  if '"Primary.BoardID"' not in c], [])

        # "RESTART NOW" stores the lists' models that differ from the names read at opening, and
        # only then requests the restart. With no side stored the default model stands in for
        # the placeholder; which role's list shows it is the applet's choice here.
        self.board(settings, device=r"lumora2\Device0")
        run = self.open(0, "wait=" + SELECT, "dump", "click=%d" % RESTART_NOW, "closed", relay=True)
        self.assertIn("31kHz VGA Standard", run.windows[0].selection.values())
        self.assertEqual([line.split("|")[0] for line in lab.control_log()], [RESTART_REQUEST])
        calls = [line for line in run.stderr.splitlines()
                 if "Call advapi32.RegSetValueExA(" in line or "Call user32.ExitWindowsEx(" in line]
        self.assertIn("ExitWindowsEx", calls[-1], "the restart is asked for after every write")
        self.assertTrue([c for c in calls if '.SelectedMonitor"' in c], calls)
        saved = [role for role in ("Primary", "Secondary")
                 if value(TWO_HEADS, role + ".SelectedMonitor") == "31kHz VGA Standard"]
        self.assertTrue(saved, "the default model was saved")
        for role in saved:
            self.assertEqual(value(TWO_HEADS, role + ".xSize"), ("dword", 320))
            self.assertEqual(value(TWO_HEADS, role + ".ySize"), ("dword", 240))
        self.assertIsNone(value(TWO_HEADS, "Primary.IsLeft"))

    # --- the keyboard in the selection dialogs ----------------------------------------------
    def test_arrow_keys_move_within_a_radio_pair_and_tab_reaches_its_checked_button(self):
        # Each row: the control given the focus, the key pressed there, then the control that
        # holds the focus and the buttons checked (box 1014, sides 1007/1008, PAL/NTSC 1011/1012).
        # Both standards are offered and NTSC chosen; the box is ticked first.
        tv = {"Primary.BoardID": ("binary", 1), "AvailableTVSet": ("binary", 3),
              "SelectedTVSet": ("binary", 2)}

        def unmoved(checked, *ids):
            """Every arrow on each of `ids`: the focus stays there and no button changes."""
            return [(id, vk, id, checked) for id in ids for vk in ARROWS]

        cases = [
            ("single", dict(settings=tv), unmoved({1014, 1012}, 1014, 1002) + [
                (1014, VK_TAB, 1012, {1014, 1012}),
                (1012, VK_DOWN, 1011, {1014, 1011}),  # round within the pair
                (1011, VK_UP, 1012, {1014, 1012}),
            ]),
            ("dual", dict(settings=dict(tv, **{"Primary.IsLeft": ("dword", 1)}),
                          device=r"lumora2\Device0"), unmoved({1007, 1014, 1012}, 1014, 1002, 1005) + [
                (1014, VK_TAB, 1012, {1007, 1014, 1012}),
                (1012, VK_DOWN, 1011, {1007, 1014, 1011}),
                (1011, VK_UP, 1012, {1007, 1014, 1012}),
                (1007, VK_DOWN, 1008, {1008, 1014, 1012}),
                (2, VK_TAB, 1008, {1008, 1014, 1012}),  # from the last tab stop round to the first
                (1008, VK_RIGHT, 1007, {1007, 1014, 1012}),
            ]),
        ]
        for name, seed, rows in cases:
            with self.subTest(name):
                self.board(**seed)
                steps = [step for id, vk, _, _ in rows
                         for step in ("focus=%d" % id, "key=%d" % vk, "sleep=200", "dump")]
                run = self.open(0, "wait=" + SELECT, "click=1014", *steps, "click=2", "closed")
                self.assertEqual(len(run.windows), len(rows))
                for (id, vk, focus, checked), window in zip(rows, run.windows):
                    marked = {c for c in (1007, 1008, 1011, 1012, 1014)
                              if c in window.controls and window.checked(c)}
                    self.assertEqual((int(window.fields["focus"]), marked), (focus, checked),
                                     "key %d on %d" % (vk, id))

    # --- the alignment options dialog -------------------------------------------------------
    def test_alignment_dialog_writes_the_flags_and_tells_other_processes(self):
        self.board({"Primary.BoardID": ("binary", 1)}, device=r"lumora2\Device0")
        lab.regedit([(ALIGNMENT, {"TwinControlFlag": ("dword", 0x0D)})])
        listener, ready = self.companion("listen", "60")

        # Unchanged: bit 3 dropped, bit 2 kept, nothing sent. Esc (id 2) does nothing here.
        run = self.open(1, "wait=" + TWIN, "dump", "esc", "sleep=300", "dump", "click=500", "closed")
        opened, after_esc = run.windows
        self.assertTrue(opened.checked(502))
        self.assertFalse(opened.checked(504))
        self.assertFalse(int(opened.fields["style"], 16) & WS_SYSMENU, "no close box")
        self.assertEqual(after_esc.fields["hwnd"], opened.fields["hwnd"])
        self.assertEqual(value(ALIGNMENT, "TwinControlFlag"), ("dword", 5))

        # Dialog alignment ticked: written, then one broadcast that reaches the other process.
        self.open(1, "wait=" + TWIN, "click=504", "click=500", "closed")
        self.assertEqual(value(ALIGNMENT, "TwinControlFlag"), ("dword", 7))

        # Cancel after a change writes and sends nothing.
        run = self.open(1, "wait=" + TWIN, "dump", "click=502", "click=504", "click=501", "closed")
        self.assertTrue(run.windows[0].checked(502) and run.windows[0].checked(504))
        self.assertEqual(value(ALIGNMENT, "TwinControlFlag"), ("dword", 7))

        received = self.received(listener, ready["hwnd"])
        self.assertEqual(len(received), 1, received)
        self.assertEqual(received[0]["message"], ready["message"])
        self.assertEqual((received[0]["wparam"], received[0]["lparam"]), ("0", "0"))

    def test_a_hung_program_does_not_hold_the_alignment_broadcast(self):
        # A program that has taken no message for longer than the system's 5 s counts as hung
        # and is skipped at once; one that answers still has the message, after the write, before
        # OK returns.
        self.board({"Primary.BoardID": ("binary", 1)}, device=r"lumora2\Device0")
        self.companion("hang", "60")
        listener, ready = self.companion("listen", "60")
        time.sleep(HUNG_AFTER_S)
        run = self.open(1, "wait=" + TWIN, "click=502", "click=500", "closed")
        self.assertEqual(value(ALIGNMENT, "TwinControlFlag"), ("dword", 1))
        self.assertLess(int(run.first("closed")["ms"]), BROADCAST_TIMEOUT_MS)
        received = self.received(listener, ready["hwnd"])
        self.assertEqual([f["flag"] for f in received], ["1"])


if __name__ == "__main__":
    unittest.main()
