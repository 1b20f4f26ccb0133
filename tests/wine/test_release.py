"""The release archive (dist/lumora-tools-<version>-nt4-x86.zip) end to end under Wine: its
files and checksums; install.cmd run by Wine's cmd in a fresh prefix, the installed programs
used from their places, install.cmd run again, and uninstall.cmd; the entry in Wine's own
Add/Remove Programs (`uninstaller`) and removal through it; the two scripts' refusals.

The archive holds the i686 programs: under the 64-bit stand-in (tests/wine/README.md) the
scripts still run, but the programs are not started, and the test says so.
"""
import configparser
import hashlib
import os
import re
import shutil
import subprocess
import time
import unittest
import zipfile

from test_lumora2 import Run
from winelab import HELPERS, MAKER, ROOT, SERVICES, WINE, WINEARCH, WineLab, parse_window

RUN_KEY = r"HKEY_LOCAL_MACHINE\Software\Microsoft\Windows\CurrentVersion\Run"
UNINSTALL_KEY = r"HKEY_LOCAL_MACHINE\Software\Microsoft\Windows\CurrentVersion\Uninstall"
DEVICE0 = SERVICES + r"\lumora\Device0"
# The archive's programs; install.cmd puts each at the same path under the system root.
INSTALLED = ["system32/lumora2.cpl"] + ["system32/drivers/orvel/tools/" + name for name in
                                        ("Zenpick.exe", "Nudgel.exe", "Keldor.exe", "Keldhook.dll")]
DATABASE = ("system32", "drivers", "orvel", "timing")
TOOLS = ("system32", "drivers", "orvel", "tools")
SYSTEM_TOOLS = r"C:\windows\system32\drivers\orvel\tools"  # Wine's system root is C:\windows
UNINSTALL_STRING = r'C:\windows\system32\cmd.exe /c "%s\uninstall.cmd"' % SYSTEM_TOOLS
REMINDER = "orvel Driverinstallation"
SELECT = "orvel Monitor Select"
UNPACKED = r"C:\lumora-tools"


with open(os.path.join(ROOT, "CMakeLists.txt")) as f:
    VERSION = re.search(r"project\(DisplayTools VERSION ([0-9.]+)", f.read()).group(1)
ARCHIVE = os.path.join(ROOT, "dist", "lumora-tools-%s-nt4-x86.zip" % VERSION)
lab = None
archive = {}


def setUpModule():
    global lab
    with zipfile.ZipFile(ARCHIVE) as z:
        archive.update({i.filename: z.read(i) for i in z.infolist() if not i.filename.endswith("/")})
    lab = WineLab()
    lab.start()
    for name, data in archive.items():
        path = os.path.join(lab.prefix, "drive_c", "lumora-tools", *name.split("/"))
        os.makedirs(os.path.dirname(path), exist_ok=True)
        with open(path, "wb") as f:
            f.write(data)


def tearDownModule():
    lab.stop()


def sample():
    """The archive's sample timing database, its names as they stand."""
    parser = configparser.ConfigParser(interpolation=None)
    parser.optionxform = str
    parser.read_string(archive["samples/monitor.ini"].decode("ascii"))
    return parser


def sha256(data):
    return hashlib.sha256(data).hexdigest()


def tree(*parts):
    """{relative path: sha256} of every file under the prefix's windows folder PARTS."""
    top = lab.windows_path(*parts)
    found = {}
    for folder, _, files in os.walk(top):
        for name in files:
            path = os.path.join(folder, name)
            with open(path, "rb") as f:
                found[os.path.relpath(path, top)] = sha256(f.read())
    return found


def changed(before, after):
    """The paths whose file appeared, went or differs between two `tree`s."""
    return sorted(path for path in before.keys() | after.keys() if before.get(path) != after.get(path))


def query(key):
    """`reg query KEY /s` as text, or None when the key is missing."""
    proc = subprocess.run([WINE, "reg", "query", key, "/s"], env=lab.env, capture_output=True,
                          text=True, errors="replace", timeout=60)
    return proc.stdout.replace("\r\n", "\n") if proc.returncode == 0 else None


def folder_gone(*parts, seconds=20):
    """Waits for the prefix's windows folder PARTS to go; whether it went."""
    deadline = time.monotonic() + seconds
    while os.path.exists(lab.windows_path(*parts)) and time.monotonic() < deadline:
        time.sleep(0.2)
    return not os.path.exists(lab.windows_path(*parts))


def script(name, before=""):
    """Runs the unpacked NAME with Wine's cmd from the archive's folder (after BEFORE, a cmd
    command): (exit code, output)."""
    line = r"cd /d %s && %s%s\%s" % (UNPACKED, before + "&& " if before else "", UNPACKED, name)
    return lab.run("cmd", "/c", line, timeout=120)


def short_name(folder, name):
    """The 8.3 name that Wine gives the file NAME in FOLDER."""
    listing = lab.run("cmd", "/c", r"dir /x %s\%s" % (folder, name))[1]
    return re.search(r"(\S+) +%s$" % re.escape(name), listing, re.M).group(1)


def hold(path):
    """Another process that keeps PATH open (as its error output) until its input is closed."""
    return subprocess.Popen([WINE, "cmd", "/c", r'C:\windows\system32\find.exe "x" > nul 2>> ' + path],
                            stdin=subprocess.PIPE, env=lab.env)


class ReleaseTest(unittest.TestCase):
    def test_archive_holds_the_release_and_its_checksums(self):
        self.assertEqual(sorted(archive), sorted(INSTALLED + [
            "samples/monitor.ini", "install.cmd", "uninstall.cmd", "README.TXT", "SHA256SUMS"]))
        sums = archive["SHA256SUMS"].decode("ascii")
        self.assertTrue(sums.endswith("\r\n"))
        listed = dict(reversed(line.split("  ", 1)) for line in sums.split("\r\n") if line)
        self.assertEqual(listed, {name: sha256(data) for name, data in archive.items()
                                  if name != "SHA256SUMS"})
        for text in ("install.cmd", "uninstall.cmd", "README.TXT", "samples/monitor.ini"):
            data = archive[text]
            self.assertEqual(data.count(b"\n"), data.count(b"\r\n"), text + ": Windows line ends")
        self.assertIn(b"Version " + VERSION.encode(), archive["README.TXT"])

        # The sample database: a dozen models, the first one the default, some for two screens
        # only, each with both sizes.
        database = sample()
        models = list(database["MONITOR"])
        self.assertEqual(len(models), 12)
        self.assertEqual([m for m in models if m.lower().startswith("31khz")], models[:1])
        self.assertTrue(any("single" in m for m in models) and any("SINGLE" in m for m in models))
        for model in models:
            self.assertLessEqual(len(model), 39)
            self.assertRegex(database[model]["X_SIZE"] + " " + database[model]["Y_SIZE"], r"^\d+ \d+$")

    def test_install_use_install_again_and_uninstall(self):
        lab.regedit([("-" + SERVICES + r"\lumora", None), ("-" + MAKER, None),
                     (DEVICE0, {"AvailableTVSet": ("binary", 1), "Primary.BoardID": ("binary", 7),
                                "LastMonMode": ("hex", bytes(range(24)), 3)}),
                     (MAKER + r"\lumora\Device0", {"OrvelIsInstalled": ("dword", 0)}),
                     (RUN_KEY, {"Other": r"C:\other.exe"})])
        lab.pin_device(0, r"lumora\Device0")
        lab.clear_control_log()
        system_before, run_before, entries_before = tree("system32"), query(RUN_KEY), query(UNINSTALL_KEY)

        code, out = script("install.cmd")
        self.assertEqual(code, 0, out)
        self.installed()
        self.assertEqual(tree(*DATABASE), {"monitor.ini": sha256(archive["samples/monitor.ini"])},
                         "the sample goes where no database was")

        if WINEARCH == "win32":
            self.use_the_installed_programs()
        else:
            print("STAND-IN: the archive's i686 programs were installed but not started", flush=True)

        system_installed, driver_keys = tree("system32"), (query(SERVICES + r"\lumora"), query(MAKER))
        code, out = script("install.cmd")
        self.assertEqual(code, 0, out)
        self.assertEqual(changed(system_installed, tree("system32")), [], "a second install changes nothing")
        self.installed()

        for run in range(2):  # the second run has nothing left to do
            code, out = script("uninstall.cmd")
            self.assertEqual(code, 0, out)
            self.assertTrue(folder_gone("system32", "drivers", "orvel"), "the tools folder stays")
            self.assertEqual(changed(system_before, tree("system32")), [], "every installed file is gone")
            self.assertEqual(query(RUN_KEY), run_before, "only the logon entries are gone")
            self.assertEqual(query(UNINSTALL_KEY), entries_before)
            self.assertEqual((query(SERVICES + r"\lumora"), query(MAKER)), driver_keys,
                             "the driver's values are left as they were")

    def test_add_remove_programs_lists_the_tools_once_and_removes_them(self):
        """Wine's own Add/Remove Programs lists one entry after installs of two versions, and its
        removal, as the removal from a prompt in the tools folder, by the installed script's 8.3
        name or from the archive's folder, leaves nothing behind. Programs of the same names as
        those the scripts call, put into the system root (which every user may change on Windows
        NT 4.0, and which the removal makes its current folder), never run."""
        older = archive["install.cmd"].replace(VERSION.encode(), b"0.9.0")
        with open(os.path.join(lab.prefix, "drive_c", "lumora-tools", "older.cmd"), "wb") as f:
            f.write(older)
        for name in ("install.cmd", "uninstall.cmd"):
            self.assertNotRegex(archive[name].decode("ascii"), r"(?i)%(TEMP|TMP)%", name)
        planted = os.path.join(lab.prefix, "drive_c", "planted.txt")
        for name in ("find", "ping", "regedit", "cmd"):
            with open(lab.windows_path(name + ".bat"), "w", newline="\r\n") as f:
                f.write("@echo %s ran>> C:\\planted.txt\n" % name)
            self.addCleanup(os.remove, lab.windows_path(name + ".bat"))
        lab.regedit([(RUN_KEY, {"Other": r"C:\other.exe"})])
        system_before, run_before, entries_before = tree("system32"), query(RUN_KEY), query(UNINSTALL_KEY)
        removals = {"uninstaller": lambda: ("uninstaller", "--remove", "lumora-tools"),
                    "tools folder": lambda: ("cmd", "/c", r"cd /d %s && uninstall.cmd" % SYSTEM_TOOLS),
                    "8.3 name": lambda: ("cmd", "/c", SYSTEM_TOOLS + "\\" + short_name(SYSTEM_TOOLS, "uninstall.cmd")),
                    "archive folder": lambda: ("cmd", "/c", r"cd /d %s && uninstall.cmd" % UNPACKED)}
        for how, removal in removals.items():
            with self.subTest(removal=how):
                for name in ("older.cmd", "install.cmd"):
                    code, out = script(name)
                    self.assertEqual(code, 0, out)
                self.installed()
                listed = [line for line in lab.run("uninstaller", "--list")[1].splitlines() if "lumora" in line]
                self.assertEqual(listed, ["lumora-tools|||lumora display tools " + VERSION])
                driver_keys = query(SERVICES + r"\lumora"), query(MAKER)

                code, out = lab.run(*removal())
                self.assertEqual(code, 0, out)
                self.assertIn("The lumora display tools are removed.", out)
                self.assertTrue(folder_gone("system32", "drivers", "orvel"), "the tools folder stays")
                self.assertEqual(changed(system_before, tree("system32")), [])
                self.assertEqual(query(RUN_KEY), run_before)
                self.assertEqual(query(UNINSTALL_KEY), entries_before)
                self.assertEqual((query(SERVICES + r"\lumora"), query(MAKER)), driver_keys)
                self.assertFalse(os.path.exists(planted), "a program planted in the system root ran")

    def test_a_registry_left_unchanged_is_reported_and_stops_the_removal(self):
        """With a regedit.exe that imports and exports nothing, install.cmd says which entries are
        missing and uninstall.cmd removes no file: both end with exit code 1."""
        regedit = lab.windows_path("regedit.exe")
        with open(regedit, "rb") as f:
            real = f.read()

        def put_back():
            with open(regedit, "wb") as f:
                f.write(real)
        self.addCleanup(lambda: (put_back(), script("uninstall.cmd"), folder_gone("system32", "drivers", "orvel")))
        shutil.copy(os.path.join(HELPERS, "fakecontrol.exe"), regedit)
        code, out = script("install.cmd")
        self.assertEqual(code, 1, out)
        for name in ("Zenpick", "Nudgel", "Keldor"):
            self.assertIn('Missing: the logon entry "%s", in %s.' % (name, RUN_KEY), out)
        self.assertIn('Missing: the entry "lumora-tools" of Add/Remove Programs', out)
        self.assertNotIn("are installed.", out)

        put_back()
        self.assertEqual(script("install.cmd")[0], 0)
        shutil.copy(os.path.join(HELPERS, "fakecontrol.exe"), regedit)
        system_installed = tree("system32")
        code, out = script("uninstall.cmd")
        self.assertEqual(code, 1, out)
        self.assertNotIn("are removed.", out)
        self.assertEqual(changed(system_installed, tree("system32")), [])

    def test_a_file_in_use_keeps_the_entry_and_the_script_it_runs(self):
        system_before, entries_before = tree("system32"), query(UNINSTALL_KEY)
        self.assertEqual(script("install.cmd")[0], 0)
        holder = hold(SYSTEM_TOOLS + r"\Keldhook.dll")
        self.addCleanup(lambda: holder.poll() is None and holder.communicate(timeout=30))
        code, out = script("uninstall.cmd")
        self.assertEqual(code, 1, out)
        self.assertIn("Could not remove", out)
        entry = UNINSTALL_KEY + r"\lumora-tools"
        self.assertEqual(lab.reg_query(entry, "UninstallString"), ("REG_SZ", UNINSTALL_STRING))
        time.sleep(2)  # what a second interpreter would remove, it has by now
        self.assertTrue(os.path.exists(lab.windows_path(*TOOLS, "uninstall.cmd")))

        holder.communicate(timeout=30)
        code, out = lab.run("uninstaller", "--remove", "lumora-tools")
        self.assertEqual(code, 0, out)
        self.assertTrue(folder_gone("system32", "drivers", "orvel"), "the tools folder stays")
        self.assertEqual(changed(system_before, tree("system32")), [])
        self.assertEqual(query(UNINSTALL_KEY), entries_before)

    def installed(self):
        self.assertEqual(sorted(os.listdir(lab.windows_path(*TOOLS))),
                         ["Keldhook.dll", "Keldor.exe", "Nudgel.exe", "Zenpick.exe", "uninstall.cmd"],
                         "the scripts' own files are gone")
        for name in INSTALLED + ["uninstall.cmd"]:
            path = name if "/" in name else "system32/drivers/orvel/tools/" + name
            with open(lab.windows_path(*path.split("/")), "rb") as f:
                self.assertEqual(f.read(), archive[name], name)
        entry = UNINSTALL_KEY + r"\lumora-tools"
        self.assertEqual(lab.reg_query(entry, "DisplayName"), ("REG_SZ", "lumora display tools " + VERSION))
        self.assertEqual(lab.reg_query(entry, "UninstallString"), ("REG_SZ", UNINSTALL_STRING))
        for name in ("Zenpick", "Nudgel", "Keldor"):
            self.assertEqual(lab.reg_query(RUN_KEY, name), ("REG_SZ", r"%s\%s.exe" % (SYSTEM_TOOLS, name)))
        self.assertEqual(lab.reg_query(RUN_KEY, "Other"), ("REG_SZ", r"C:\other.exe"))

    def use_the_installed_programs(self):
        # Nudgel from its place: both reminders are due, each button starts the applet.
        nudgel = lab.start_program(SYSTEM_TOOLS + r"\Nudgel.exe")
        self.addCleanup(lambda: nudgel.poll() is None and nudgel.kill())
        for _ in range(2):
            code, out = lab.probe("find", REMINDER, "15000")
            self.assertEqual(code, 0, "no reminder appeared")
            self.assertEqual(lab.probe("click", REMINDER, "1")[0], 0)
            self.assertEqual(lab.probe("closed", parse_window(out)["hwnd"], "10000")[0], 0)
        self.assertEqual(nudgel.wait(timeout=30), 0)
        self.assertEqual(lab.control_log(), [r'"C:\windows\system32\control.exe" lumora2.cpl|1'] * 2)
        self.assertEqual(lab.reg_query(MAKER + r"\lumora\Device0", "OrvelIsInstalled"),
                         ("REG_DWORD", "0x2"))

        # The installed applet, loaded from the system directory as the Control Panel loads it,
        # lists the sample's models: without the two-screen ones on a board with one screen.
        models = list(sample()["MONITOR"])
        proc = subprocess.run([WINE, os.path.join(HELPERS, "cplhost.exe"), "open", "lumora2.cpl", "0",
                               "wait=" + SELECT, "dump", "esc", "closed"], env=lab.env,
                              capture_output=True, text=True, errors="replace", timeout=60)
        run = Run(proc.returncode, proc.stdout.replace("\r\n", "\n"), proc.stderr)
        self.assertEqual(run.code, 0, run.facts)
        dialog = run.windows[0]
        self.assertEqual(dialog.entries[1002], [m for m in models if "single" not in m and "SINGLE" not in m])
        self.assertEqual(dialog.selection[1002], "31kHz Standard VGA")

    def test_existing_database_is_neither_replaced_nor_removed(self):
        timing, ours = lab.windows_path(*DATABASE), b"[MONITOR]\r\nDriver Model=x\r\n"
        os.makedirs(timing)
        self.addCleanup(shutil.rmtree, lab.windows_path("system32", "drivers", "orvel"))
        with open(os.path.join(timing, "monitor.ini"), "wb") as f:
            f.write(ours)
        for name in ("install.cmd", "uninstall.cmd"):
            code, out = script(name)
            self.assertEqual(code, 0, out)
            self.assertEqual(tree(*DATABASE), {"monitor.ini": sha256(ours)})
        self.assertTrue(folder_gone("system32", "drivers", "orvel", "tools"))

    def test_scripts_refuse_off_windows_nt_and_without_rights_to_the_system_directory(self):
        # Without the rights to the system directory: the rights check's file, left there
        # read-only, can be neither deleted nor written, as by a user who is no administrator.
        leftover = lab.windows_path("system32", "lumora-tools.tmp")
        cases = [("set OS=Windows_95", "need Windows NT"),
                 ("", r"You need the rights to write C:\windows\system32")]
        system_before, run_before = tree("system32"), query(RUN_KEY)
        open(leftover, "w").close()
        os.chmod(leftover, 0o444)
        self.addCleanup(os.remove, leftover)
        for name in ("install.cmd", "uninstall.cmd"):
            for before, message in cases:
                with self.subTest(name=name, case=before):
                    code, out = script(name, before)
                    self.assertIn(message, out)
                    self.assertEqual(code, 1)
                    self.assertEqual(changed(system_before, tree("system32")), ["lumora-tools.tmp"])
                    self.assertEqual(query(RUN_KEY), run_before)


if __name__ == "__main__":
    unittest.main()
