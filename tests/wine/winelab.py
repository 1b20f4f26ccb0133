"""A Wine prefix inside a private Xvfb screen, for running the real programs end to end.

One lab serves a whole test run: the prefix is made once, and each case resets the registry
keys it uses and pins the device map afresh. Every program in it sees Windows NT 4.0.

The build folder is DT_WIN32_BUILD (build/win32 by default); the prefix's architecture follows
the programs in it: a 32-bit prefix for i686 programs, a 64-bit one under wine64 for the x86_64
stand-in build (machines whose kernel runs no 32-bit x86 code).
"""
import os
import shutil
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "pe"))
from peread import MACHINE_AMD64, PE, PEError  # noqa: E402

ROOT = os.path.abspath(os.path.join(os.path.dirname(__file__), "..", ".."))
BUILD = os.environ.get("DT_WIN32_BUILD", os.path.join(ROOT, "build", "win32"))
HELPERS = os.path.join(BUILD, "e2e")


def build_arch(build):
    """"win64" when the build's programs are x86_64 ones (PE machine 0x8664), else "win32"."""
    try:
        machine = PE(os.path.join(build, "e2e", "probe.exe")).machine
    except (OSError, PEError):
        return "win32"
    return "win64" if machine == MACHINE_AMD64 else "win32"


WINEARCH = build_arch(BUILD)
# Debian's `wine` starts the 32-bit loader whenever wine32 is installed, and a kernel without
# 32-bit support cannot run it: 64-bit programs are started with the 64-bit loader itself.
WINE = "wine" if WINEARCH == "win32" else shutil.which("wine64") or "/usr/lib/wine/wine64"
# What GetVersionExA reports with HKCU\Software\Wine Version=nt40 (`probe version`).
NT40 = "4.0.1381 2 Service Pack 6a"

SERVICES = r"HKEY_LOCAL_MACHINE\System\CurrentControlSet\Services"
MAKER = r"HKEY_LOCAL_MACHINE\Software\Orvelcom"


def reg_text(keys):
    """A REGEDIT4 file. keys: list of (key, {name: value}); a key starting with '-' is deleted.
    Values: str -> REG_SZ, ('dword', n), ('binary', n) -> 4 little-endian bytes,
    ('hex', bytes, type) -> raw."""
    lines = ["REGEDIT4", ""]
    for key, values in keys:
        lines.append("[%s]" % key)
        for name, value in (values or {}).items():
            quoted = '"%s"' % name.replace("\\", "\\\\")
            if isinstance(value, str):
                lines.append('%s="%s"' % (quoted, value.replace("\\", "\\\\")))
            elif value[0] == "dword":
                lines.append("%s=dword:%08x" % (quoted, value[1] & 0xFFFFFFFF))
            elif value[0] == "binary":
                data = (value[1] & 0xFFFFFFFF).to_bytes(4, "little")
                lines.append("%s=hex:%s" % (quoted, ",".join("%02x" % b for b in data)))
            else:
                lines.append("%s=hex(%x):%s" % (quoted, value[2], ",".join("%02x" % b for b in value[1])))
        lines.append("")
    return "\r\n".join(lines) + "\r\n"


class WineLab:
    def __init__(self, width=1024, height=768, virtual_desktop=False):
        """virtual_desktop: run every program inside a Wine virtual desktop of the screen's size,
        where Wine offers 27 modes and size changes apply (it has a taskbar with the tray)."""
        self.width, self.height = width, height
        self.virtual_desktop = virtual_desktop
        self.dir = tempfile.mkdtemp(prefix="dt-wine-")
        self.prefix = os.path.join(self.dir, "prefix")
        self.env = dict(os.environ)
        self.env.update({
            "WINEPREFIX": self.prefix,
            "WINEARCH": WINEARCH,
            "WINEDEBUG": "-all",
            "WINEDLLOVERRIDES": "mscoree,mshtml=;winemenubuilder.exe=d;control.exe=n",
            "HOME": os.path.join(self.dir, "home"),
            "XDG_RUNTIME_DIR": os.path.join(self.dir, "home"),
        })
        if WINEARCH == "win64":
            self.env["WINELOADER"] = WINE  # for the programs that Wine itself starts
        os.makedirs(self.env["HOME"], exist_ok=True)
        self.xvfb = None
        self.anchor = None

    # --- set-up and teardown -------------------------------------------------------------
    def __enter__(self):
        self.start()
        return self

    def __exit__(self, *exc):
        self.stop()

    def start(self):
        display = self._free_display()
        self.env["DISPLAY"] = ":%d" % display
        self.xvfb = subprocess.Popen(
            ["Xvfb", ":%d" % display, "-screen", "0", "%dx%dx24" % (self.width, self.height),
             "-nolisten", "tcp"], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        deadline = time.time() + 20
        while subprocess.call(["xdpyinfo"], env=self.env, stdout=subprocess.DEVNULL,
                              stderr=subprocess.DEVNULL) != 0:
            if time.time() > deadline:
                raise RuntimeError("Xvfb did not start")
            time.sleep(0.1)
        self._make_prefix()
        subprocess.call(["wineserver", "-p"], env=self.env, stderr=subprocess.DEVNULL)
        settings = [
            (r"HKEY_CURRENT_USER\Software\Wine", {"Version": "nt40"}),
            # One display mode on the plain screen, the one in force, whichever X libraries
            # this Wine finds (with libXrandr it would offer Xvfb's three depths).
            (r"HKEY_CURRENT_USER\Software\Wine\X11 Driver",
             {"Managed": "N", "UseXRandR": "N", "UseXVidMode": "N"}),
            (r"HKEY_CURRENT_USER\Software\Wine\WineDbg", {"ShowCrashDialog": ("dword", 0)}),
        ]
        if self.virtual_desktop:
            settings += [
                (r"HKEY_CURRENT_USER\Software\Wine\Explorer", {"Desktop": "Default"}),
                (r"HKEY_CURRENT_USER\Software\Wine\Explorer\Desktops",
                 {"Default": "%dx%d" % (self.width, self.height)}),
            ]
        self.regedit(settings)
        # The desktop that wineboot made has listed the display modes without these settings
        # (and is a plain one): start the server afresh.
        self._stop_server()
        subprocess.call(["wineserver", "-p"], env=self.env, stderr=subprocess.DEVNULL)
        # Launches of the Control Panel are recorded by a stand-in control.exe.
        shutil.copy(os.path.join(HELPERS, "fakecontrol.exe"), self.windows_path("system32", "control.exe"))
        self.anchor = self.start_program(os.path.join(HELPERS, "anchor.exe"))
        # A virtual desktop takes a few seconds to come up; a program started earlier hangs.
        time.sleep(3 if self.virtual_desktop else 0.5)
        code, seen = self.probe("version")
        if code != 0 or seen.strip() != NT40:
            raise RuntimeError("the prefix does not report Windows NT 4.0 (%s): %r" % (NT40, seen))

    def _make_prefix(self):
        """wineboot -i, tried a second time from a stopped wineserver: 64-bit Wine's first
        prefix of a run has failed once here with exit code 1 and worked on the next try."""
        for _ in range(2):
            done = subprocess.run([WINE, "wineboot", "-i"], env=self.env, timeout=180,
                                  stdout=subprocess.DEVNULL, stderr=subprocess.PIPE,
                                  errors="replace")
            if done.returncode == 0:
                return
            self._stop_server()
        raise RuntimeError("wineboot -i failed twice (%d): %s" % (done.returncode,
                                                                  done.stderr[-2000:]))

    def _stop_server(self):
        subprocess.call(["wineserver", "-k"], env=self.env, stderr=subprocess.DEVNULL)
        subprocess.call(["wineserver", "-w"], env=self.env, stderr=subprocess.DEVNULL)

    def stop(self):
        self._stop_server()
        if self.anchor and self.anchor.poll() is None:
            self.anchor.kill()
            self.anchor.wait()
        if self.xvfb and self.xvfb.poll() is None:
            # Asked to end, Xvfb removes its lock file and socket; killed, it leaves them.
            self.xvfb.terminate()
            try:
                self.xvfb.wait(timeout=10)
            except subprocess.TimeoutExpired:
                self.xvfb.kill()
                self.xvfb.wait()
        shutil.rmtree(self.dir, ignore_errors=True)

    @staticmethod
    def _free_display():
        """A display number no live X server holds. The lock file and socket of a server that
        is gone (one that was killed leaves them) are removed and its number is taken."""
        for n in range(90, 190):
            lock, socket = "/tmp/.X%d-lock" % n, "/tmp/.X11-unix/X%d" % n
            if os.path.exists(lock):
                try:
                    with open(lock) as f:
                        os.kill(int(f.read().strip()), 0)
                    continue  # its server runs
                except ProcessLookupError:
                    pass  # its server is gone
                except (OSError, ValueError):
                    continue  # unreadable: leave it alone
                for stale in (lock, socket):
                    if os.path.exists(stale):
                        os.remove(stale)
            if not os.path.exists(socket):
                return n
        raise RuntimeError("no free X display")

    # --- running things -----------------------------------------------------------------
    def windows_path(self, *parts):
        return os.path.join(self.prefix, "drive_c", "windows", *parts)

    def start_program(self, exe, *args, trace=None):
        """trace: a file for the program's relay trace (the calls RelayInclude names)."""
        if trace is None:
            return subprocess.Popen([WINE, exe] + list(args), env=self.env,
                                    stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        with open(trace, "w") as log:
            return subprocess.Popen([WINE, exe] + list(args), env=dict(self.env, WINEDEBUG="+relay"),
                                    stdout=subprocess.DEVNULL, stderr=log)

    def run(self, exe, *args, timeout=60):
        proc = subprocess.run([WINE, exe] + [str(a) for a in args], env=self.env, capture_output=True,
                              text=True, errors="replace", timeout=timeout)
        return proc.returncode, proc.stdout.replace("\r\n", "\n")

    def helper(self, name, *args, timeout=60):
        return self.run(os.path.join(HELPERS, name + ".exe"), *args, timeout=timeout)

    def regedit(self, keys):
        path = os.path.join(self.dir, "seed.reg")
        with open(path, "w", newline="") as f:
            f.write(reg_text(keys))
        subprocess.run([WINE, "regedit", "/S", path], env=self.env, check=True, timeout=60,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)

    def reg_query(self, key, name):
        """(type, data text) of a value as `reg query` prints it, or None when missing."""
        proc = subprocess.run([WINE, "reg", "query", key, "/v", name], env=self.env,
                              capture_output=True, text=True, timeout=60)
        if proc.returncode != 0:
            return None
        for line in proc.stdout.replace("\r", "").splitlines():
            parts = line.split(None, 2)
            if len(parts) >= 2 and parts[0].lower() == name.lower() and parts[1].startswith("REG_"):
                return parts[1], parts[2] if len(parts) > 2 else ""
        return None

    def key_exists(self, key):
        return subprocess.run([WINE, "reg", "query", key], env=self.env, capture_output=True,
                              timeout=60).returncode == 0

    def pin_device(self, index, device):
        """Makes "\\Device\\Video<index>" name SERVICE\\DEVICE (whose settings key must exist)."""
        code, _ = self.helper("pinmap", str(index), device)
        if code != 0:
            raise RuntimeError("pinmap failed for " + device)

    def device_map(self, index=0):
        code, out = self.helper("pinmap", "show", str(index))
        return out.strip() if code == 0 else None

    def probe(self, *args, timeout=60):
        return self.helper("probe", *args, timeout=timeout)

    def window_count(self, title):
        """How many top-level windows carry `title`, shown or not."""
        return int(self.probe("count", title)[1])

    def menu(self, title, wait_ms=5000):
        """The menu bar of the top-level window titled `title`, read inside its process by
        menudump: one str per item (see helpers/menuspy.c for the lines), or None when there is
        no such window, it has no menu bar or the dump failed."""
        path = os.path.join(self.prefix, "drive_c", "menu-dump.txt")
        code, _ = self.helper("menudump", title, r"C:\menu-dump.txt", str(wait_ms))
        if code != 0 or not os.path.exists(path):
            return None
        with open(path, encoding="cp1252", errors="replace", newline="") as f:
            return f.read().split("\n")[:-1]  # every line ends with "\n"

    def tray_icon_count(self):
        """Icons in Wine's own notification area (the window it shows when no tray manager runs;
        hidden while it holds no icon)."""
        code, out = self.probe("info", "Wine System Tray")
        if code != 0:
            return 0
        tray = parse_window(out)
        if tray["visible"] != "1":
            return 0
        return sum(1 for c in tray["children"] if c["class"] == "__winex11_tray_icon")

    def screenshot(self, path):
        subprocess.run(["import", "-window", "root", path], env=self.env, check=True, timeout=60)

    @property
    def _control_log_path(self):
        return os.path.join(self.prefix, "drive_c", "control-log.txt")

    def control_log(self):
        """The command lines (with "|show") that the stand-in control.exe was started with."""
        if not os.path.exists(self._control_log_path):
            return []
        with open(self._control_log_path, errors="replace") as f:
            return [line.rstrip("\r\n") for line in f if line.strip()]

    def clear_control_log(self):
        if os.path.exists(self._control_log_path):
            os.remove(self._control_log_path)


def parse_window(text):
    """The description printed by `probe find` / `probe info`: fields and a list of children."""
    fields, children = {}, []
    for line in text.splitlines():
        if line.startswith("child "):
            child = {}
            rest = line[len("child "):]
            head, _, child["text"] = rest.partition(" text=")
            for part in head.split():
                k, _, v = part.partition("=")
                child[k] = v
            children.append(child)
        elif "=" in line:
            k, _, v = line.partition("=")
            fields[k] = v
    fields["children"] = children
    return fields
