"""tolvane.exe: self-contained, and playing under Wine as the native build plays."""

import os
import pathlib
import random
import re
import shutil
import subprocess
import tempfile
import unittest

from tolvane import (MASKED_TURN, SCRIPTS, SECONDS, TURN_START, VERSION, WELCOME, answer_model,
                     mask_dice, run_piped)

EXE = os.environ.get("TOLVANE_EXE", "")
HAVE_EXE = bool(EXE) and os.path.isfile(EXE)
WINE = shutil.which("wine")
WIXL = shutil.which("wixl")
MSI = os.path.abspath(f"{os.path.dirname(__file__)}/../../packaging/windows/msi.cmake")
UNINSTALL = r"HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall"
PRODUCTS = r"HKLM\Software\Classes\Installer\Products"
MINGW_OBJDUMP = shutil.which("x86_64-w64-mingw32-objdump")
WINDOWS_OWN_DLLS = re.compile(r"(kernel32|msvcrt|ucrtbase|user32|advapi32|api-ms-win-.*)\.dll")
# The pause prompt of Wine's command interpreter, which writes no line end after the key when
# input is not a console; its "cls" writes nothing there.
WINE_PAUSE = b"Press any key to continue... "


@unittest.skipUnless(HAVE_EXE and MINGW_OBJDUMP, "MinGW-w64 is not installed")
class SelfContainedExe(unittest.TestCase):

    def test_imports_only_dlls_that_windows_has_and_shows_its_icon_and_version(self):
        dump = run_piped(b"", command=[MINGW_OBJDUMP, "-p", EXE]).stdout
        imports = re.findall(rb"DLL Name: (\S+)", dump)
        self.assertIn(b"KERNEL32.dll", imports)
        for dll in imports:
            self.assertRegex(dll.decode().lower(), WINDOWS_OWN_DLLS, "tolvane.exe needs MinGW's")
        # What Explorer shows beside the file and in its properties.
        resources = [run_piped(b"", command=["wrestool", "-x", "--raw", f"--type={kind}", EXE])
                     .stdout for kind in (14, 16)]
        self.assertEqual(len(resources[0]), 6 + 14 * 8, "not an icon of eight sizes")
        strings = dict(re.findall(r"(\w+)\x00+([ -~]+)\x00", resources[1].decode("utf-16-le")))
        self.assertEqual([strings.get(key) for key in ("FileDescription", "ProductName",
                                                       "FileVersion", "ProductVersion")],
                         ["Single Roll Tolvane"] * 2 + [VERSION] * 2)


@unittest.skipUnless(HAVE_EXE and WINE, "MinGW-w64 or Wine is not installed")
class UnderWine(unittest.TestCase):

    @classmethod
    def setUpClass(cls):
        # One Wine prefix for the group, outside the build folder, and gone at the end. Wine's
        # first start sets it up, until its server ends; that is not the game's business.
        cls.prefix = tempfile.TemporaryDirectory(prefix="tolvane-wine-")
        os.environ["WINEPREFIX"] = cls.prefix.name
        cls.addClassCleanup(cls.prefix.cleanup)
        cls.addClassCleanup(subprocess.run, ["wineserver", "-k"], check=False)
        for setup in ([WINE, "wineboot", "--init"], ["wineserver", "-w"]):
            subprocess.run(setup, timeout=300, check=True)

    def play(self, stdin_bytes, command=(WINE, EXE)):
        """Plays a piped run under Wine; returns the pause prompt and the turns after it."""
        run = run_piped(stdin_bytes, command=list(command))
        self.assertEqual(run.returncode, 0)
        self.assertEqual(run.stderr, b"")
        output = mask_dice(run.stdout.replace(b"\r\n", b"\n"))
        self.assertTrue(output.startswith(WELCOME), output)
        prompt, _, turns = output[len(WELCOME):].partition(TURN_START)
        return prompt, TURN_START + turns

    def test_transcripts_match_the_answer_rules(self):
        for stdin_bytes in SCRIPTS:
            with self.subTest(stdin=stdin_bytes):
                prompt, turns = self.play(stdin_bytes)
                self.assertEqual(prompt, WINE_PAUSE, turns)  # and what came in its place
                expected_turns, input_ended = answer_model(stdin_bytes)
                self.assertEqual(turns, MASKED_TURN * expected_turns + (b"\n" if input_ended else b""))
        # Output that fails ends the game at once, with no pause waiting for input that never comes.
        with open("/dev/full", "wb") as full, subprocess.Popen(
                [WINE, EXE], stdin=subprocess.PIPE, stdout=full, stderr=subprocess.PIPE) as game:
            try:
                self.assertEqual(game.wait(timeout=SECONDS), 1)
            finally:  # or leaving the with statement waits for ever
                game.kill()
            self.assertEqual(game.stderr.read(),
                             b"tolvane: write error: No space left on device\r\n")

    def test_scripted_input_plays_as_many_turns_as_the_native_build(self):
        generator = random.Random(6)
        for _ in range(8):
            script = bytes(generator.choice(b"yyyyn \n\tY") for _ in range(generator.randrange(1, 30)))
            with self.subTest(stdin=script):
                _, windows_turns = self.play(script)
                native = mask_dice(run_piped(script).stdout)
                self.assertEqual(windows_turns.count(TURN_START), native.count(TURN_START))
                self.assertEqual(windows_turns.endswith(b"\n"), native.endswith(b"\n"))

    @unittest.skipUnless(WIXL, "wixl is not installed")
    def test_installer_installs_upgrades_and_uninstalls(self):
        build, prefix = os.path.dirname(EXE), self.prefix.name
        new, same, again, old, edited = (f"{build}/tolvane-{name}.msi"
                                         for name in ("new", "same", "again", "old", "edited"))
        readme = pathlib.Path(build, "README.txt")  # a rebuild of the version with other contents
        text = readme.read_bytes()
        self.addCleanup(readme.write_bytes, text)
        sources = pathlib.Path(prefix, "sources")  # and one whose tolvane.wxs alone was edited
        for folder in ("cmake", "packaging"):
            shutil.copytree(pathlib.Path(MSI).parents[2] / folder, sources / folder)
        with open(sources / "packaging" / "windows" / "tolvane.wxs", "a", encoding="utf-8") as wxs:
            wxs.write("<!-- edited -->\n")
        for version, msi, added, script in (
                (VERSION, new, b"", MSI), (VERSION, same, b"", MSI), ("0.9.0", old, b"", MSI),
                (VERSION, again, b"rebuilt\r\n", MSI),
                (VERSION, edited, b"", sources / "packaging" / "windows" / "msi.cmake")):
            readme.write_bytes(text + added)
            subprocess.run([os.environ["CMAKE"], "-D", f"VERSION={version}", "-D", f"OUTPUT={msi}",
                            "-P", script], cwd=build, check=True,
                           env=dict(os.environ, SOURCE_DATE_EPOCH="1765238400"))
        self.assertEqual(pathlib.Path(new).read_bytes(), pathlib.Path(same).read_bytes())
        # Windows Installer refuses a product code it has with other contents; the rebuild is
        # another product, whose Upgrade table finds the installed one and removes it first.
        table = lambda msi, name: [row.split("\t") for row in run_piped(b"", command=[
            "msiinfo", "export", msi, name]).stdout.decode().splitlines()[3:]]
        codes = [dict(table(msi, "Property") + table(msi, "_SummaryInformation"))
                 for msi in (new, again, edited)]
        for code in ("ProductCode", "9"):  # and the package code, the summary's revision number
            self.assertNotIn(codes[0][code], (codes[1][code], codes[2][code]))
        number = lambda text, unbounded=(): tuple(map(int, text.split("."))) if text else unbounded
        finds = [code for code, low, high, _, flags, _, _ in table(again, "Upgrade")
                 if not int(flags) & 2  # not only detected, but removed; and in the range:
                 and (number(low), not int(flags) & 256) <= (number(VERSION), 0)
                 <= (number(high, (float("inf"),)), -(not int(flags) & 512))]
        self.assertIn(codes[0]["UpgradeCode"], finds)
        folder = pathlib.Path(prefix, "drive_c", "Program Files", "tolvane")

        def installed():  # Add/Remove Programs entries, files, shortcuts (rglob skips links to ~)
            query = run_piped(b"", command=[WINE, "reg", "query", UNINSTALL, "/s"]).stdout
            icons = re.findall(rb"ProductIcon +REG_SZ +C:([^\r\n]*)", run_piped(
                b"", command=[WINE, "reg", "query", PRODUCTS, "/s"]).stdout)
            return ([re.findall(rb"(DisplayVersion|Publisher) +REG_SZ +([^\r\n]*)", entry)
                     for entry in query.split(b"HKEY_") if b"Single Roll Tolvane" in entry],
                    sorted(os.listdir(folder)) if os.path.isdir(folder) else None,
                    len(list(folder.parents[1].rglob("Programs/Single Roll Tolvane.lnk"))),
                    [os.path.isfile(prefix + "/drive_c" + icon.decode().replace("\\", "/"))
                     for icon in icons])

        # A rebuild of a version replaces the first build; an older version is refused.
        for msi, only in ((old, "0.9.0"), (new, VERSION), (again, VERSION), (old, VERSION)):
            run_piped(b"", command=[WINE, "msiexec", "/i", msi, "/qn"])
            self.assertEqual(installed(), (
                [[(b"DisplayVersion", only.encode()), (b"Publisher", b"The tolvane developers")]],
                ["LICENSE.txt", "README.txt", "tolvane.exe"], 1, [True]))
        self.assertTrue(folder.joinpath("README.txt").read_bytes().endswith(b"rebuilt\r\n"))
        prompt, turns = self.play(b"ny\nn\n", [WINE, f"{folder}/tolvane.exe"])
        self.assertEqual(prompt + turns, WINE_PAUSE + MASKED_TURN * 2)
        run_piped(b"", command=[WINE, "msiexec", "/x", again, "/qn"])
        self.assertEqual(installed(), ([], None, 0, []))


if __name__ == "__main__":
    unittest.main()
