"""Installing and packaging: every file where a user expects it."""

import os
import subprocess
import tempfile
import unittest
import zipfile

BUILD = os.environ.get("TOLVANE_BUILD_DIR", "build")
CMAKE = os.environ.get("CMAKE", "cmake")
CPACK = os.environ.get("CPACK", "cpack")
WINDOWS_BUILD = os.path.join(BUILD, "windows")


def run(*command):
    return subprocess.run(command, check=True, text=True, stdout=subprocess.PIPE,
                          stderr=subprocess.STDOUT, timeout=300).stdout


class Install(unittest.TestCase):

    def test_program_and_manual_page_land_in_the_prefix(self):
        with tempfile.TemporaryDirectory() as prefix:
            run(CMAKE, "--install", BUILD, "--prefix", prefix)
            program = os.path.join(prefix, "bin", "tolvane")
            self.assertTrue(os.access(program, os.X_OK), "bin/tolvane is not an executable")
            with open(os.path.join(prefix, "share", "man", "man6", "tolvane.6"),
                      encoding="ascii") as page:
                roff = page.read()
            self.assertRegex(roff, r"^\.TH TOLVANE 6 ")
            for section in ("NAME", "SYNOPSIS", "DESCRIPTION", "KEYS", "EXIT STATUS"):
                self.assertIn(f"\n.SH {section}\n", roff)
            self.assertNotIn("@", roff, "a placeholder was left in the manual page")


class Packages(unittest.TestCase):

    def test_debian_package_holds_program_and_manual_page(self):
        with tempfile.TemporaryDirectory() as out:
            run(CPACK, "-G", "DEB", "--config", os.path.join(BUILD, "CPackConfig.cmake"), "-B", out)
            [package] = [name for name in os.listdir(out) if name.endswith(".deb")]
            contents = run("dpkg-deb", "--contents", os.path.join(out, package))
            self.assertRegex(contents, r"-rwxr-xr-x .* \./usr/bin/tolvane\n")
            self.assertIn("./usr/share/man/man6/tolvane.6\n", contents)
            self.assertIn("Section: games", run("dpkg-deb", "--info", os.path.join(out, package)))

    @unittest.skipUnless(os.path.isfile(os.path.join(WINDOWS_BUILD, "CPackConfig.cmake")),
                         "MinGW-w64 is not installed: no Windows build")
    def test_windows_zip_holds_the_exe(self):
        with tempfile.TemporaryDirectory() as out:
            run(CPACK, "-G", "ZIP", "--config", os.path.join(WINDOWS_BUILD, "CPackConfig.cmake"),
                "-B", out)
            [package] = [name for name in os.listdir(out) if name.endswith(".zip")]
            with zipfile.ZipFile(os.path.join(out, package)) as archive:
                names = [name.split("/", 1)[1] for name in archive.namelist()
                         if not name.endswith("/")]
            self.assertEqual(names, ["bin/tolvane.exe"])


if __name__ == "__main__":
    unittest.main()
