"""Installing and packaging: every file where a user expects it."""

import filecmp
import gzip
import os
import re
import shutil
import subprocess
import tempfile
import unittest
import zipfile

BUILD = os.environ.get("TOLVANE_BUILD_DIR", "build")
CMAKE = os.environ.get("CMAKE", "cmake")
CPACK = os.environ.get("CPACK", "cpack")
WINDOWS_BUILD = os.path.join(BUILD, "windows")
SOURCE = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..")
APP_ID = "example.tolvane.tolvane"
# The native build, then each ARM build made beside it, with its Debian architecture.
DEBIAN_BUILDS = [(BUILD, None)] + [(os.path.join(BUILD, arm), arm) for arm in ("arm64", "armhf")
                                   if os.path.isdir(os.path.join(BUILD, arm))]


def run(*command, **environment):
    done = subprocess.run(command, text=True, stdout=subprocess.PIPE, stderr=subprocess.STDOUT,
                          timeout=300, check=False, env=dict(os.environ, **environment))
    if done.returncode != 0:
        raise AssertionError(f"{command[0]} failed:\n{done.stdout}")
    return done.stdout


def debian_package(build, out):
    """Makes the Debian package of a build, dated as a distribution would date it."""
    run(CPACK, "-G", "DEB", "--config", os.path.join(build, "CPackConfig.cmake"), "-B", out,
        SOURCE_DATE_EPOCH="1765238400")
    [package] = [name for name in os.listdir(out) if name.endswith(".deb")]
    return os.path.join(out, package)


class Install(unittest.TestCase):

    def test_program_manual_page_and_desktop_files_land_in_the_prefix(self):
        with tempfile.TemporaryDirectory() as prefix:
            run(CMAKE, "--install", BUILD, "--prefix", prefix)
            self.assertEqual({os.path.relpath(os.path.join(folder, name), prefix)
                              for folder, _, names in os.walk(prefix) for name in names},
                             {"bin/tolvane", "share/man/man6/tolvane.6.gz",
                              f"share/applications/{APP_ID}.desktop",
                              f"share/metainfo/{APP_ID}.metainfo.xml",
                              f"share/icons/hicolor/scalable/apps/{APP_ID}.svg"})
            program = os.path.join(prefix, "bin", "tolvane")
            self.assertTrue(os.access(program, os.X_OK), "bin/tolvane is not an executable")
            with gzip.open(os.path.join(prefix, "share", "man", "man6", "tolvane.6.gz"), "rt",
                           encoding="ascii") as page:
                roff = page.read()
            self.assertRegex(roff, r"^\.TH TOLVANE 6 ")
            for section in ("NAME", "SYNOPSIS", "DESCRIPTION", "KEYS", "EXIT STATUS"):
                self.assertIn(f"\n.SH {section}\n", roff)
            self.assertNotIn("@", roff, "a placeholder was left in the manual page")


class Packages(unittest.TestCase):

    def test_debian_packages_hold_the_game_where_debian_keeps_games(self):
        with tempfile.TemporaryDirectory() as out:
            package = debian_package(BUILD, out)
            contents = run("dpkg-deb", "--contents", package)
            self.assertRegex(contents, r"-rwxr-xr-x .* \./usr/games/tolvane\n")
            for path in ("man/man6/tolvane.6.gz", "doc/tolvane/copyright",
                         "doc/tolvane/changelog.gz"):
                self.assertIn(f"./usr/share/{path}\n", contents)
            # Each build's package: the same files, built for its processor, needing Debian's libc6.
            for build, architecture in DEBIAN_BUILDS:
                with self.subTest(architecture):
                    other = (debian_package(build, f"{out}/{architecture}") if architecture
                             else package)
                    self.assertEqual(re.findall(r"\./\S*", run("dpkg-deb", "--contents", other)),
                                     re.findall(r"\./\S*", contents))
                    fields = run("dpkg-deb", "-f", other, "Architecture", "Depends", "Section")
                    self.assertRegex(fields, rf"^Architecture: {architecture or '[a-z0-9]+'}\n"
                                             r"Depends: libc6 \(>= 2\.[0-9]+\)\nSection: games\n?$")

    def test_debian_package_is_the_same_from_a_build_in_another_folder(self):
        with tempfile.TemporaryDirectory() as other, tempfile.TemporaryDirectory() as out:
            run(CMAKE, "-S", SOURCE, "-B", other, "-DBUILD_TESTING=OFF")
            run(CMAKE, "--build", other, "--parallel")
            self.assertTrue(filecmp.cmp(debian_package(BUILD, os.path.join(out, "here")),
                                        debian_package(other, os.path.join(out, "there")),
                                        shallow=False))

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
            self.assertEqual(sorted(names), ["LICENSE.txt", "README.txt", "tolvane.exe"])


class Validators(unittest.TestCase):
    """Debian's and the desktops' own checkers find nothing to report in the package."""

    def test_lintian_and_the_desktop_validators_accept_the_debian_package(self):
        with tempfile.TemporaryDirectory() as out:
            package = debian_package(BUILD, out)
            run("dpkg-deb", "--extract", package, out)
            share = os.path.join(out, "usr", "share")
            others = [debian_package(build, f"{out}/{arm}") for build, arm in DEBIAN_BUILDS[1:]]
            for command in (["lintian", "--fail-on", "error,warning", package, *others],
                            ["desktop-file-validate", f"{share}/applications/{APP_ID}.desktop"],
                            ["appstreamcli", "validate", "--no-net",
                             f"{share}/metainfo/{APP_ID}.metainfo.xml"]):
                with self.subTest(command[0]):
                    if not shutil.which(command[0]):
                        self.skipTest(f"{command[0]} is not installed")
                    run(*command)


if __name__ == "__main__":
    unittest.main()
