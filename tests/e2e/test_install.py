"""Installing and packaging: every file where a user expects it."""

import filecmp
import glob
import gzip
import os
import pathlib
import re
import shlex
import shutil
import signal
import subprocess
import tarfile
import tempfile
import unittest
import zipfile
from xml.etree import ElementTree

from tolvane import VERSION, expected_piped, mask_dice, run_piped

BUILD = os.environ.get("TOLVANE_BUILD_DIR", "build")
CMAKE = os.environ.get("CMAKE", "cmake")
CPACK = os.environ.get("CPACK", "cpack")
WINDOWS_BUILD = os.path.join(BUILD, "windows")
SOURCE = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..")
APP_ID = "example.tolvane.tolvane"
RPMBUILD = shutil.which("rpmbuild")
# The native build, then each ARM build made beside it, with its Debian and RPM architectures.
DEBIAN_BUILDS = [(BUILD, None, "x86_64")] + [
    (os.path.join(BUILD, arm), arm, rpm) for arm, rpm in (("arm64", "aarch64"), ("armhf", "armv7hl"))
    if os.path.isfile(os.path.join(BUILD, arm, "CPackConfig.cmake"))]
# What an install puts in its prefix.
INSTALLED = {"bin/tolvane", "share/man/man6/tolvane.6.gz", f"share/applications/{APP_ID}.desktop",
             f"share/metainfo/{APP_ID}.metainfo.xml",
             f"share/icons/hicolor/scalable/apps/{APP_ID}.svg"}
# The folders of an RPM system that its filesystem and hicolor-icon-theme packages own.
SYSTEM_FOLDERS = {"usr", "usr/bin", "usr/share", *(f"usr/share/{folder}" for folder in (
    "applications", "licenses", "man", "man/man6", "metainfo", "icons", "icons/hicolor",
    "icons/hicolor/scalable", "icons/hicolor/scalable/apps"))}


def setUpModule():
    """An install adds to the build's install manifest, which the README's uninstall reads: the
    user's are set aside, so that the group's uninstall takes none of the user's files, and put
    back once the group is done."""
    manifests = os.path.join(BUILD, "install_manifest*.txt")
    kept = {path: pathlib.Path(path).read_bytes() for path in glob.glob(manifests)}
    for path in kept:
        os.remove(path)
    unittest.addModuleCleanup(lambda: [pathlib.Path(p).write_bytes(t) for p, t in kept.items()])
    unittest.addModuleCleanup(lambda: [os.remove(path) for path in glob.glob(manifests)])


def run(*command, **environment):
    done = subprocess.run(command, text=True, stdout=subprocess.PIPE, stderr=subprocess.STDOUT,
                          timeout=300, check=False, env=dict(os.environ, **environment))
    if done.returncode != 0:
        raise AssertionError(f"{command[0]} failed:\n{done.stdout}")
    return done.stdout


def make_package(build, out, generator="DEB"):
    """Makes the Debian (or RPM) package of a build, dated as a distribution would date it."""
    run(CPACK, "-G", generator, "--config", os.path.join(build, "CPackConfig.cmake"), "-B", out,
        SOURCE_DATE_EPOCH="1765238400")
    [package] = [name for name in os.listdir(out) if name.endswith("." + generator.lower())]
    return os.path.join(out, package)


def files_in(folder, folders=False):
    """The files in a folder, and with folders=True the folders too, less rpm's database."""
    return {os.path.relpath(os.path.join(path, name), folder) for path, subfolders, names
            in os.walk(folder) for name in names + (subfolders if folders else [])
            if "/.rpm" not in os.path.join(path, name)}


def version(text):
    return tuple(map(int, text.split(".")))


def menu_program(entry):
    """The program that a desktop starts from a menu entry; a console program needs a terminal."""
    fields = dict(re.findall(r"^(\w+)=(.*)$", pathlib.Path(entry).read_text(), re.MULTILINE))
    assert fields["Terminal"] == "true", "the game would start with no terminal"
    # The file's own escapes first, then the quoting of Exec, where \$ and \` stand for $ and `.
    command = re.sub(r"\\([sntr\\])", lambda m: " \n\t\r\\"["sntr\\".index(m[1])], fields["Exec"])
    return shlex.split(re.sub(r"\\([$`])", r"\1", command))[0]


class Install(unittest.TestCase):

    def test_program_manual_page_and_desktop_files_land_in_the_prefix(self):
        with tempfile.TemporaryDirectory(suffix=" $`'\"é[x]*?prefix") as folder:
            # A prefix with a user's empty bin and another program's menu entry, installed into
            # twice; a prefix that the install makes; one and a DESTDIR that it refuses.
            prefix, stage = f"{folder}/.local", f"{folder}/stage"
            for path in (".local/bin/", ".local/share/applications/other.desktop"):
                os.makedirs(os.path.dirname(f"{folder}/{path}"), exist_ok=True)
                pathlib.Path(folder, path).touch()
            before = files_in(folder, folders=True)
            for target, destdir in ((f"{folder}/a;b", ""), (prefix, f"{stage}\nx")):
                with self.assertRaisesRegex(AssertionError, r"semicolon\s+or\s+a\s+line\s+break"):
                    run(CMAKE, "--install", BUILD, "--prefix", target, DESTDIR=destdir)
            for target in (prefix, f"{folder}/new/prefix", prefix):
                run(CMAKE, "--install", BUILD, "--prefix", target)
            if shutil.which("desktop-file-validate"):  # else the validators' group fails or skips
                run("desktop-file-validate", f"{prefix}/share/applications/{APP_ID}.desktop")
            self.assertEqual(files_in(prefix), INSTALLED | {"share/applications/other.desktop"})
            program = os.path.join(prefix, "bin", "tolvane")
            self.assertEqual(menu_program(f"{prefix}/share/applications/{APP_ID}.desktop"), program)
            self.assertEqual(run(program, "--version"), f"tolvane {VERSION}\n")
            page = pathlib.Path(prefix, "share/man/man6/tolvane.6.gz")
            roff = gzip.decompress(page.read_bytes()).decode("ascii")
            self.assertRegex(roff, r"^\.TH TOLVANE 6 ")
            for section in ("NAME", "SYNOPSIS", "DESCRIPTION", "OPTIONS", "KEYS", "EXIT STATUS"):
                self.assertIn(f"\n.SH {section}\n", roff)
            self.assertNotIn("@", roff, "a placeholder was left in the manual page")
            pathlib.Path(prefix, "share/man/man6/other.6").touch()  # in a folder the install made
            run(CMAKE, "--build", BUILD, "--target", "uninstall")
            self.assertEqual(files_in(folder, folders=True), before | {
                ".local/share/man", ".local/share/man/man6", ".local/share/man/man6/other.6"})
            # A staged install is removed with its DESTDIR, and kept by an uninstall without it.
            run(CMAKE, "--install", BUILD, "--prefix", prefix, DESTDIR=stage)
            with self.assertRaisesRegex(AssertionError, r"removed\s+with\s+the\s+same\s+DESTDIR"):
                run(CMAKE, "--build", BUILD, "--target", "uninstall")
            run(CMAKE, "--build", BUILD, "--target", "uninstall", DESTDIR=stage)
            self.assertFalse(os.path.exists(stage), "the uninstall left the staged install")


class Packages(unittest.TestCase):

    def test_debian_packages_hold_the_game_where_debian_keeps_games(self):
        with tempfile.TemporaryDirectory() as out:
            package = make_package(BUILD, out)
            contents = run("dpkg-deb", "--contents", package)
            self.assertRegex(contents, r"-rwxr-xr-x .* \./usr/games/tolvane\n")
            for path in ("man/man6/tolvane.6.gz", "doc/tolvane/copyright",
                         "doc/tolvane/changelog.gz"):
                self.assertIn(f"./usr/share/{path}\n", contents)
            # Each build's package: the same files, built for its processor, needing Debian's libc6.
            for build, architecture, _ in DEBIAN_BUILDS:
                with self.subTest(architecture):
                    other = (make_package(build, f"{out}/{architecture}") if architecture
                             else package)
                    self.assertEqual(re.findall(r"\./\S*", run("dpkg-deb", "--contents", other)),
                                     re.findall(r"\./\S*", contents))
                    fields = run("dpkg-deb", "-f", other, "Architecture", "Depends", "Section")
                    self.assertRegex(fields, rf"^Architecture: {architecture or '[a-z0-9]+'}\n"
                                             r"Depends: libc6 \(>= 2\.[0-9]+\)\nSection: games\n?$")
                    # No older C library than the newest symbol version the program needs.
                    run("dpkg-deb", "--extract", other, f"{out}/{architecture}")
                    program = f"{out}/{architecture}/usr/games/tolvane"
                    elf = run("readelf", "-VW", "--dyn-syms", program)
                    self.assertTrue(" __stack_chk_fail@" in elf, "no stack protector")
                    needed = re.findall(r"Name: GLIBC_([0-9.]+)", elf)
                    self.assertGreaterEqual(version(re.search(r"libc6 \(>= ([0-9.]+)", fields)[1]),
                                            max(map(version, needed)))
                    self.assertLessEqual(max(map(version, needed)), (2, 34), "too new a C library")

    def test_depends_rule_refuses_a_program_that_needs_another_library(self):
        with tempfile.TemporaryDirectory() as staged:
            shutil.copy(shutil.which("tmux"), staged)
            with self.assertRaisesRegex(AssertionError, "needs more than the C library"):
                run(CMAKE, f"-DCPACK_TEMPORARY_DIRECTORY={staged}", "-DCPACK_READELF_EXECUTABLE="
                    "readelf", "-P", os.path.join(SOURCE, "packaging", "debian", "libc-depends.cmake"))

    @unittest.skipUnless(RPMBUILD, "rpm is not installed")
    def test_rpm_packages_install_where_fedora_keeps_games_and_remove_cleanly(self):
        with tempfile.TemporaryDirectory() as out:
            for build, _, architecture in DEBIAN_BUILDS:
                with self.subTest(architecture):
                    package = make_package(build, f"{out}/{architecture}", "RPM")
                    self.assertTrue(package.endswith(f"/tolvane-{VERSION}-1.{architecture}.rpm"))
                    requires = run("rpm", "-qp", "--requires", package)
                    self.assertLessEqual(max(map(version, re.findall(r"GLIBC_([0-9.]+)", requires))),
                                         (2, 34), "requires too new a C library")
                    self.assertIn("hicolor-icon-theme\n", requires)
                    host, licences = run("rpm", "-qp", "--qf", "%{BUILDHOST}\n", "--licensefiles",
                                         package).split("\n", 1)
                    self.assertNotEqual(host, os.uname().nodename, "the package names this machine")
                    self.assertEqual(licences, "/usr/share/licenses/tolvane/LICENSE\n")
                    # An empty root lacks the C library, so its Requires are not looked for there.
                    root = f"{out}/root"  # with rpm's database at its top, out of the way
                    rpm = ["rpm", "--force-debian", "--nodeps", "--root", root, "--dbpath", "/.rpm"]
                    with self.assertRaisesRegex(AssertionError, "is not relocatable"):
                        run(*rpm, "--ignorearch", "--prefix", "/opt/tolvane", "-i", package)
                    for folder in SYSTEM_FOLDERS:  # as the packages that own them make them
                        os.makedirs(f"{root}/{folder}", exist_ok=True)
                    run(*rpm, "--ignorearch", "-i", package)
                    self.assertEqual(files_in(root), {f"usr/{path}" for path in INSTALLED}
                                     | {"usr/share/licenses/tolvane/LICENSE"})
                    program = menu_program(f"{root}/usr/share/applications/{APP_ID}.desktop")
                    self.assertEqual(program, "/usr/bin/tolvane")
                    if not architecture.startswith("a"):  # the native one plays
                        game = run_piped(b"\ny\nn\n", command=[root + program])
                        self.assertEqual(mask_dice(game.stdout), expected_piped(2, False))
                    run(*rpm, "-e", "tolvane")
                    self.assertEqual(files_in(root, folders=True), SYSTEM_FOLDERS)

    def test_packages_are_the_same_from_a_build_in_another_folder(self):
        with tempfile.TemporaryDirectory() as other, tempfile.TemporaryDirectory() as out:
            run(CMAKE, "-S", SOURCE, "-B", other, "-DBUILD_TESTING=OFF")
            run(CMAKE, "--build", other, "--target", "tolvane")  # the README's play command
            with self.assertRaisesRegex(AssertionError, r"not built yet: build them with \"cmake\s+"
                                                        r"--build(?s:.*)/man/tolvane\.6\.gz\n"):
                run(CMAKE, "--install", other, "--prefix", f"{out}/prefix")
            self.assertEqual(os.listdir(out), [], "the install placed files, then failed")
            run(CMAKE, "--build", other, "--parallel")
            for generator in ("DEB", "RPM") if RPMBUILD else ("DEB",):
                self.assertTrue(filecmp.cmp(make_package(BUILD, f"{out}/here", generator),
                                            make_package(other, f"{out}/there", generator),
                                            shallow=False), generator)

    def test_windows_and_web_zips_hold_the_game_and_its_licence(self):
        site = os.path.join(BUILD, "web", "site")  # what a web host serves, all of it in the ZIP
        for build, game in ((WINDOWS_BUILD, {"README.txt", "tolvane.exe"}),
                            (os.path.dirname(site), files_in(site))):
            with self.subTest(build), tempfile.TemporaryDirectory() as out:
                if not os.path.isfile(os.path.join(build, "CPackConfig.cmake")):
                    self.skipTest("MinGW-w64 or Emscripten is not installed: no such build")
                run(CPACK, "-G", "ZIP", "--config", os.path.join(build, "CPackConfig.cmake"),
                    "-B", out)
                [package] = [name for name in os.listdir(out) if name.endswith(".zip")]
                with zipfile.ZipFile(os.path.join(out, package)) as archive:
                    names = [name.split("/", 1)[1] for name in archive.namelist()
                             if not name.endswith("/")]
                self.assertEqual(sorted(names), sorted(game | {"LICENSE.txt"}))


def earlier_release(folder):
    """A folder as an earlier release leaves it: its artifacts, and their sums."""
    run("sh", "-c", 'mkdir -p "$0" && cd "$0" && echo 0.9 > tolvane-0.9.0.tar.gz && '
        'sha256sum * > SHA256SUMS', folder)


def commit_of_the_working_tree(clone):
    """A clone whose commit holds the working tree's changes too, since a release takes a commit."""
    run("git", "clone", "-q", SOURCE, clone)
    run("sh", "-c", 'git -C "$0" diff --binary HEAD | git -C "$1" apply --index --allow-empty && '
        'git -C "$1" -c user.name=test -c user.email=test@tolvane.example -c commit.gpgSign=false '
        'commit -qm test --allow-empty', SOURCE, clone, GIT_COMMITTER_DATE="1765238400 +0000")
    return clone


class Release(unittest.TestCase):

    def test_release_holds_every_artifact_and_the_sums_of_them(self):
        os.environ.pop("SOURCE_DATE_EPOCH", None)  # the release is dated by the commit
        with tempfile.TemporaryDirectory() as folder:
            clone = commit_of_the_working_tree(f"{folder}/clone")

            def release(out):
                return [CMAKE, f"-DRELEASE_DIR={folder}/{out}", "-P", f"{clone}/cmake/release.cmake"]
            # A release killed once it has begun leaves its work folder, which the next one clears;
            # a second one into its folder meanwhile stops at once.
            with subprocess.Popen(release("out"), stdout=subprocess.PIPE,
                                  start_new_session=True) as cut:
                cut.stdout.readline()  # its first step
                with self.assertRaisesRegex(AssertionError, "Another release is being made into"):
                    run(*release("out"))
                os.killpg(cut.pid, signal.SIGKILL)
            run(*release("out"))
            # Another maintainer's: another user (where this is root), umask, time zone, language,
            # HOME, one processor, the clock two years on, and a deeper folder of a desktop's name.
            again, user = "deeper/My releases [1] $é*", []
            earlier_release(f"{folder}/{again}")  # which this release replaces
            if os.getuid() == 0:
                os.chmod(folder, 0o755)
                run("chown", "-R", "nobody:nogroup", f"{folder}/deeper")
                user = ["setpriv", "--reuid=nobody", "--regid=nogroup", "--clear-groups"]
            run("sh", "-c", 'umask 077 && exec "$@"', "-", *user, "taskset", "-c", "0", "faketime",
                "-f", "+2y", *release(again), TZ="Pacific/Chatham", LC_ALL="C",
                HOME=f"{folder}/deeper", GIT_CONFIG_COUNT="1", GIT_CONFIG_KEY_0="safe.directory",
                GIT_CONFIG_VALUE_0="*")
            self.assertEqual(sorted(os.listdir(folder) + os.listdir(f"{folder}/deeper")),
                             ["My releases [1] $é*", "clone", "deeper", "out"])
            name = f"tolvane-{VERSION}"
            artifacts = sorted(["SHA256SUMS", f"{name}-windows-x86_64.msi", f"{name}.tar.gz",
                                f"{name}-windows-x86_64.zip", *(f"tolvane_{VERSION}_{a}.deb" for a in
                                ("amd64", "arm64", "armhf")), *(f"{name}-1.{a}.rpm" for a in
                                ("x86_64", "aarch64", "armv7hl")), f"{name}-web.zip"])
            for out in ("out", again):
                self.assertEqual(sorted(os.listdir(f"{folder}/{out}")), artifacts)
            self.assertEqual(filecmp.cmpfiles(f"{folder}/out", f"{folder}/{again}", artifacts,
                                              shallow=False)[0], artifacts)
            shutil.move(f"{folder}/{again}", f"{folder}/downloads")  # wherever a user keeps them
            self.assertEqual(run("sh", "-c", 'cd "$0" && sha256sum -c SHA256SUMS',
                                 f"{folder}/downloads").count(": OK\n"), len(artifacts) - 1)
            date = run("git", "-C", clone, "log", "-1", "--date=format-local:%F %R", "--format=%cd")
            self.assertEqual(set(re.findall(r"\d{4}-\d\d-\d\d \d\d:\d\d", run(
                "dpkg-deb", "-c", f"{folder}/out/tolvane_{VERSION}_amd64.deb"))), {date.strip()})
            with tarfile.open(f"{folder}/out/{name}.tar.gz") as archive:  # the commit's files alone
                tracked = run("git", "-C", clone, "ls-files").split()
                self.assertEqual(sorted(f"{name}/{path}" for path in tracked),
                                 sorted(entry.name for entry in archive if entry.isfile()))

    def test_release_stops_at_once_and_keeps_the_earlier_release_unless_it_is_of_a_commit(self):
        with tempfile.TemporaryDirectory() as folder:
            for breaking, sentence, settings in (
                    ("echo >> README.md", "tracked files differ from it", {}),
                    ("echo >> README.md && git add README.md", "tracked files differ from it", {}),
                    ("sed -i 's/tolvane VERSION [0-9.]*/tolvane VERSION 9.9.9/' CMakeLists.txt",
                     "CHANGELOG.md has no entry for 9.9.9", {}),
                    ("echo '## 9.9.9 - 2099-01-01\n\n- Later.' >> CHANGELOG.md", "comes first", {}),
                    ("echo '## 0.0.1 - 2000-01-01\n\n- ' >> CHANGELOG.md", "items with text", {}),
                    ("echo '## 0.0.1 - 2000-01-01\n* Item.' >> CHANGELOG.md", r'"\* Item\."', {}),
                    (f"printf '\n## 0.9.1 - 2026-12-09\n\n- On its day.\n\n## 0.9.0 - 2024-02-29"
                     f"\n\n- {'é' * 74}\n\n## 0.8.0 - 2023-12-31\n\n- {'x' * 75}\n' >>CHANGELOG.md",
                     f'"- {"x" * 75}" is longer than 76 characters', {}),
                    ("sed -i 's/-[0-9-]*$/-02-29/' CHANGELOG.md", "no day of the calendar", {}),
                    ("rm -rf .git", "is made from a git clone", {}),
                    ("true", r"needs git \(Debian: git\)", {"PATH": f"{folder}/no tools"}),
                    ("mkdir 'my [1] $*' && touch 'my [1] $*/keep.txt'", "holds keep.txt",
                     {"RELEASE_DIR": "my [1] $*"}),
                    ("touch my", "my is a file", {"RELEASE_DIR": "my"}),
                    ("true", "holds a ; or a line break", {"RELEASE_DIR": "my;releases"}),
                    ("true", "which holds the clone", {"RELEASE_DIR": "."}),
                    ("true", "in the clone's git folder", {"RELEASE_DIR": ".git/refs/tags"}),
                    ("mkdir release-work && touch release-work/mine", "no release made it", {}),
                    ("true", "The release failed at this step", {"CXXFLAGS": "--not-a-flag"}),
                    ("mkdir release-work && mv release release-work/earlier && touch release-work/"
                     "made-by-a-release", "failed at this step", {"CXXFLAGS": "--not-a-flag"})):
                with self.subTest(breaking, **settings):
                    clone = commit_of_the_working_tree(f"{folder}/{len(os.listdir(folder))}")
                    earlier_release(f"{clone}/release")
                    run("sh", "-c", f'cd "$0" && {breaking}', clone)
                    # What a release killed between its two renames left is the earlier one.
                    kept = {path.replace("release-work/earlier/", "release/") for path in
                            files_in(clone) if path != "release-work/made-by-a-release"}
                    settings = {"RELEASE_DIR": "release", **settings}
                    with self.assertRaises(AssertionError) as refused:
                        run(CMAKE, f"-DRELEASE_DIR={clone}/{settings.pop('RELEASE_DIR')}", "-P",
                            f"{clone}/cmake/release.cmake", **settings)
                    self.assertRegex(" ".join(str(refused.exception).split()), sentence)
                    self.assertEqual(files_in(clone), kept)  # nothing made or lost, nor altered:
                    run("sh", "-c", 'cd "$0" && sha256sum -c SHA256SUMS', f"{clone}/release")


class Validators(unittest.TestCase):
    """Debian's and the desktops' own checkers find nothing to report in the package."""

    def test_lintian_and_the_desktop_validators_accept_the_debian_and_rpm_packages(self):
        with tempfile.TemporaryDirectory() as out:
            package = make_package(BUILD, out)
            run("dpkg-deb", "--extract", package, out)
            share = os.path.join(out, "usr", "share")
            others = [make_package(build, f"{out}/{arm}") for build, arm, _ in DEBIAN_BUILDS[1:]]
            rpms = [make_package(build, f"{out}/{rpm}", "RPM") for build, _, rpm in DEBIAN_BUILDS
                    if RPMBUILD]
            for command in (["lintian", "--fail-on", "error,warning,info,pedantic", "-I",
                             "--pedantic", package, *others],
                            ["desktop-file-validate", f"{share}/applications/{APP_ID}.desktop"],
                            ["appstreamcli", "validate", "--no-net",
                             f"{share}/metainfo/{APP_ID}.metainfo.xml"],
                            ["rpmlint", "--strict", "-r", f"{SOURCE}/packaging/rpm/tolvane.rpmlintrc",
                             *rpms]):
                with self.subTest(command[0]):
                    if not shutil.which(command[0]) or command[0] == "rpmlint" and not rpms:
                        self.skipTest(f"{command[0]} (and rpm, for rpmlint) is not installed")
                    run(*command)
            # The menu entry starts the packaged game; software centres find it by the metainfo.
            self.assertEqual(run(out + menu_program(f"{share}/applications/{APP_ID}.desktop"),
                                 "--version"), f"tolvane {VERSION}\n")
            metainfo = ElementTree.parse(f"{share}/metainfo/{APP_ID}.metainfo.xml")
            notes = pathlib.Path(SOURCE, "CHANGELOG.md").read_text()  # releases' dates and notes
            page = run("zcat", f"{share}/man/man6/tolvane.6.gz")
            self.assertIn(f" 6 {re.search(f'## {VERSION} - (.*)', notes)[1]} ", page)
            for changelog in (run("zcat", f"{share}/doc/tolvane/changelog.gz"),
                              *(run("rpm", "-qp", "--changelog", rpm) for rpm in rpms)):
                self.assertLessEqual(set(re.findall(r"^(?:- |  )(.*)", notes, re.MULTILINE)),
                                     {line.lstrip("-* ") for line in changelog.splitlines()})
            for path in (f"{share}/applications/{metainfo.findtext('launchable')}",
                         f"{out}/usr/games/{metainfo.findtext('provides/binary')}"):
                self.assertTrue(os.path.isfile(path), f"the metainfo names {path}, not packaged")


if __name__ == "__main__":
    unittest.main()
