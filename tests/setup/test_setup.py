#!/usr/bin/env python3
"""scripts/setup.sh's choice of Wine, run from a copy with stand-ins first on PATH: dpkg answers
from a list of installed packages, apt-get "installs" into it or fails an install that names an
i386 package (a mirror out of step), aptitude installs, fails or settles by installing nothing,
and as/ld make the kernel probe's program run or be refused. Installs nothing, needs no network.
"""
import os
import pathlib
import shutil
import subprocess
import tempfile
import unittest

SCRIPTS = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "scripts")
BREAKS = "E: Error, pkgProblemResolver::Resolve generated breaks, this may be caused by held packages."
STUBS = {
    "dpkg": """case "$1" in
  --print-foreign-architectures) cat "$T/arch" 2>/dev/null ;;
  --add-architecture) echo "$2" >>"$T/arch" ;;
  -s) shift; for p; do grep -qx "$p" "$T/installed" || exit 1; done ;;
esac""",
    "apt-get": """[ "$1" = install ] || exit 0
case "$APT_I386 $*" in fail*:i386*) echo "W: some warning"; echo "$BREAKS"; exit 100 ;; esac
for p; do case "$p" in -*|install) ;; *) echo "$p" >>"$T/installed" ;; esac; done""",
    "aptitude": """case "$APTITUDE" in
  installs) printf 'wine32:i386\\nlibxrandr2:i386\\n' >>"$T/installed" ;;
  fails) echo "E: Unable to resolve dependencies"; exit 1 ;;
esac""",
    "sudo": 'exec "$@"',
    "as": 'for a; do [ "$o" = 1 ] && : >"$a"; [ "$a" = -o ] && o=1 || o=0; done',
    "ld": 'for a; do [ "$o" = 1 ] && printf "#!/bin/sh\\nexit $KERNEL\\n" >"$a" && chmod +x "$a";'
          ' [ "$a" = -o ] && o=1 || o=0; done',
}
WHY = "wine32:i386 could not be installed (" + BREAKS + ")"
# name, the probe's exit code (42: the kernel runs it), apt-get on i386 packages, aptitude;
# then: aptitude asked, the stand-in chosen, words of setup's output, words of the choice's line.
ROWS = [
    ("apt-get installs", 42, "ok", "fails", False, "0", "installed with apt-get", "under wine32"),
    ("aptitude after apt-get", 42, "fail", "installs", True, "0", "with aptitude's resolver", ""),
    ("aptitude fails", 42, "fail", "fails", True, "1", "by apt-get (" + BREAKS + ") nor by", WHY),
    ("aptitude settles without wine32", 42, "fail", "keeps", True, "1", "x86_64 stand-in", WHY),
    ("kernel refuses 32-bit code", 126, "ok", "installs", False, "1", "", "kernel does not run"),
]


class SetupChoiceTest(unittest.TestCase):
    def test_rows(self):
        for name, kernel, apt, aptitude, asked, standin, said, why in ROWS:
            with self.subTest(name), tempfile.TemporaryDirectory() as t:
                for folder in ("scripts", "bin"):
                    os.makedirs(os.path.join(t, folder))
                for script in ("setup.sh", "wine_standin.sh"):
                    shutil.copy(os.path.join(SCRIPTS, script), f"{t}/scripts")
                for stub, body in STUBS.items():
                    pathlib.Path(f"{t}/bin/{stub}").write_text(
                        f'#!/bin/sh\necho "{stub} $*" >>"$T/calls"\n{body}\n')
                    os.chmod(f"{t}/bin/{stub}", 0o755)
                pathlib.Path(f"{t}/installed").touch()
                env = dict(os.environ, T=t, KERNEL=str(kernel), APT_I386=apt, APTITUDE=aptitude,
                           BREAKS=BREAKS, PATH=f"{t}/bin:{os.environ['PATH']}")
                env.pop("DT_WINE_STANDIN", None)
                run = subprocess.run(["bash", f"{t}/scripts/setup.sh"], env=env, text=True,
                                     capture_output=True)
                self.assertEqual(run.returncode, 0, run.stdout + run.stderr)
                self.assertIn(said, run.stdout)
                calls = pathlib.Path(f"{t}/calls").read_text().splitlines()
                ask = [c for c in calls if c.startswith("aptitude ")]
                self.assertEqual(bool(ask), asked, calls)
                for c in ask:
                    self.assertRegex(c, "-y .*--without-recommends .* install wine32:i386 libxrandr2:i386$")
                if kernel != 42:
                    self.assertFalse([c for c in calls if ":i386" in c], calls)
                self.assertEqual(any("apt-get install" in c and "wine64" in c for c in calls), standin == "1")
                choice = subprocess.run(["bash", "-c", '. scripts/wine_standin.sh; echo "$DT_WINE_STANDIN $DT_WINE_RUNS"'],
                                        cwd=t, env=env, text=True, capture_output=True).stdout
                self.assertTrue(choice.startswith(standin + " Wine steps: "), choice)
                self.assertIn(why, choice)


if __name__ == "__main__":
    unittest.main()
