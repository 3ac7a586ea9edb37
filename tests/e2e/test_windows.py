"""tolvane.exe: self-contained, and playing under Wine as the native build plays."""

import os
import random
import re
import shutil
import subprocess
import unittest

from tolvane import MASKED_TURN, TURN_START, WELCOME, answer_model, mask_dice, run_piped

EXE = os.environ.get("TOLVANE_EXE", "")
WINE = shutil.which("wine")
MINGW_OBJDUMP = shutil.which("x86_64-w64-mingw32-objdump")
WINDOWS_OWN_DLLS = re.compile(r"(kernel32|msvcrt|ucrtbase|user32|advapi32|api-ms-win-.*)\.dll")
# The pause prompt of Wine's command interpreter, which writes no line end after the key when
# input is not a console; its "cls" writes nothing there.
WINE_PAUSE = b"Press any key to continue... "

# Each input's first byte is the key for the pause.
SCRIPTS = [b"", b"\n", b"\nn\n", b"\nY\n", b"\ny\ny\nn\n", b"\n  \t\n\n  y\n\t n\n", b"\nyes\n",
           b"\nyy\n", b"\ny\n", b"\ny", b"ny\nn\n"]


def have_exe():
    return bool(EXE) and os.path.isfile(EXE)


@unittest.skipUnless(have_exe() and MINGW_OBJDUMP, "MinGW-w64 is not installed")
class SelfContainedExe(unittest.TestCase):

    def test_imports_only_dlls_that_windows_has(self):
        dump = subprocess.run([MINGW_OBJDUMP, "-p", EXE], check=True, text=True,
                              stdout=subprocess.PIPE).stdout
        imports = re.findall(r"DLL Name: (\S+)", dump)
        self.assertIn("KERNEL32.dll", imports)
        for dll in imports:
            self.assertRegex(dll.lower(), WINDOWS_OWN_DLLS, "tolvane.exe needs a DLL of MinGW's")


@unittest.skipUnless(have_exe() and WINE, "MinGW-w64 or Wine is not installed")
class UnderWine(unittest.TestCase):

    @classmethod
    def setUpClass(cls):
        # Wine's first start sets up its prefix; that is not the game's business.
        subprocess.run([WINE, "wineboot", "--init"], timeout=300, check=True)

    def play(self, stdin_bytes):
        """Plays a piped run under Wine; returns the pause prompt and the turns after it."""
        run = run_piped(stdin_bytes, command=[WINE, EXE])
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
                self.assertEqual(prompt, WINE_PAUSE)
                expected_turns, input_ended = answer_model(stdin_bytes)
                self.assertEqual(turns, MASKED_TURN * expected_turns + (b"\n" if input_ended else b""))

    def test_scripted_input_plays_as_many_turns_as_the_native_build(self):
        generator = random.Random(6)
        for _ in range(8):
            script = bytes(generator.choice(b"yyyyn \n\tY") for _ in range(generator.randrange(1, 30)))
            with self.subTest(stdin=script):
                _, windows_turns = self.play(script)
                native = mask_dice(run_piped(script).stdout)
                self.assertEqual(windows_turns.count(TURN_START), native.count(TURN_START))
                self.assertEqual(windows_turns.endswith(b"\n"), native.endswith(b"\n"))


if __name__ == "__main__":
    unittest.main()
