"""The web page (build/web/site) played in Chromium and in WebKitGTK's MiniBrowser, as a player
would: keys, taps, the clear, a new game; from a file, and from a web host that has gone away."""

import functools
import glob
import http.server
import os
import pathlib
import shutil
import subprocess
import tempfile
import threading
import unittest

from run import skip_group
from tolvane import (MASKED_TURN, PAUSE, SCRIPTS, SECONDS, WELCOME, answer_model, expected_piped,
                     mask_dice)

try:
    from selenium import webdriver
    from selenium.webdriver.common.action_chains import ActionChains
    from selenium.webdriver.common.by import By
    from selenium.webdriver.common.keys import Keys
    from selenium.webdriver.support.ui import WebDriverWait
except ImportError:
    skip_group("selenium is not installed (Debian: python3-selenium)")

PAGE = os.environ.get("TOLVANE_PAGE", "")
if not os.path.isfile(PAGE):
    skip_group("the web build was not made (no emscripten)")
MINIBROWSER = glob.glob("/usr/lib/*/webkit2gtk-4.1/MiniBrowser")
# No sandbox as root; nothing that would reach for the network.
CHROMIUM_FLAGS = ("--headless=new", "--no-sandbox", "--disable-gpu", "--no-first-run",
                  "--disable-sync", "--disable-background-networking", "--disable-component-update")


class Playing:
    """What a player does in either browser; self.driver is the browser."""

    def wait_for(self, *states):
        WebDriverWait(self.driver, SECONDS).until(
            lambda driver: driver.execute_script("return document.body.dataset.state") in states)

    def typing(self, *keys):  # "\n" as the Enter key, which WebKit's driver would not make it
        keys = (key.replace("\n", Keys.ENTER) for key in keys)
        ActionChains(self.driver).send_keys(*keys).perform()

    def text(self, element="output"):
        shown = self.driver.find_element(By.ID, element).get_property("textContent")
        return mask_dice(shown.encode())

    def assert_played(self, turns, input_ended):
        """The page wrote what the program writes through a pipe, and shows the last turn alone."""
        self.wait_for("ended")
        transcript = self.driver.execute_script("return tolvane.transcript").encode("latin-1")
        self.assertEqual(mask_dice(transcript), expected_piped(turns, input_ended))
        self.assertTrue(self.text().startswith(MASKED_TURN), self.text())

    def test_transcripts_of_the_answer_rules(self):
        for script in SCRIPTS:
            with self.subTest(stdin=script):
                self.driver.get(f"file://{os.path.abspath(PAGE)}")
                self.wait_for("key")
                self.assertEqual(self.text(), WELCOME + PAUSE[:-1])
                self.typing(script[:1].decode() or "x", script[1:].decode())
                for _ in range(2):  # Ctrl-D ends a partial line, then the input
                    self.wait_for("byte", "ended")
                    ActionChains(self.driver).key_down(Keys.CONTROL).send_keys("d").key_up(
                        Keys.CONTROL).perform()
                self.assert_played(*answer_model(script))

    def test_a_tap_at_the_pause_the_answer_keys_backspace_and_a_new_game(self):
        self.driver.get(f"file://{os.path.abspath(PAGE)}")
        for _ in range(2):
            self.wait_for("key")
            self.assertEqual(self.text(), WELCOME + PAUSE[:-1])
            self.driver.find_element(By.ID, "screen").click()
            self.wait_for("byte")  # the click alone goes on from the pause
            field = self.driver.switch_to.active_element  # on a phone, neither "Y" nor corrected
            self.assertIn(field.get_dom_attribute("autocapitalize"), ("none", "off"))
            self.assertEqual(field.get_dom_attribute("autocorrect"), "off")
            self.typing("n", Keys.BACKSPACE)
            for key in "yn":  # each key sends a whole line
                self.driver.find_element(By.CSS_SELECTOR, f"[data-line={key}]").click()
                self.wait_for("byte", "ended")
            self.assert_played(2, False)
            self.assertEqual(self.text(), MASKED_TURN + b"n\n")
            self.driver.find_element(By.ID, "new-game").click()


class Chromium(Playing, unittest.TestCase):

    def setUp(self):
        if not shutil.which("chromedriver"):
            self.skipTest("chromium-driver is not installed")
        options = webdriver.ChromeOptions()
        profile = self.enterContext(tempfile.TemporaryDirectory())
        for flag in (*CHROMIUM_FLAGS, f"--user-data-dir={profile}"):
            options.add_argument(flag)
        options.set_capability("goog:loggingPrefs", {"browser": "SEVERE"})  # such as a blocked request
        self.driver = webdriver.Chrome(options=options)
        self.addCleanup(self.driver.quit)
        self.addCleanup(lambda: self.assertEqual(self.driver.get_log("browser"), []))

    def test_served_folder_is_installable_and_plays_offline(self):
        root = self.enterContext(tempfile.TemporaryDirectory())  # the folder below a host's root
        page = pathlib.Path(shutil.copytree(os.path.dirname(PAGE), f"{root}/game"), "tolvane.html")
        os.utime(page, (0, 0))  # so that the host sees the new version below as newer, however soon
        handler = functools.partial(http.server.SimpleHTTPRequestHandler, directory=root)
        server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), handler)
        threading.Thread(target=server.serve_forever, daemon=True).start()
        self.driver.get(f"http://127.0.0.1:{server.server_address[1]}/game/")
        self.wait_for("key")
        self.driver.execute_async_script("navigator.serviceWorker.ready.then(arguments[0])")
        self.assertEqual(self.driver.execute_cdp_cmd("Page.getInstallabilityErrors", {}),
                         {"installabilityErrors": []})
        page.write_bytes(page.read_bytes().replace(b"<title>", b"<title>New: ", 1))  # a new version
        self.driver.refresh()
        self.wait_for("key")
        self.assertTrue(self.driver.title.startswith("New: "), self.driver.title)
        start = self.driver.execute_cdp_cmd("Page.getAppManifest", {})["manifest"]["startUrl"]
        server.shutdown()
        server.server_close()
        self.driver.get(start)  # the installed app, started offline
        self.wait_for("key")
        self.typing("\nyy\nn\n")
        self.assert_played(*answer_model(b"\nyy\nn\n"))


@unittest.skipUnless(MINIBROWSER and shutil.which("WebKitWebDriver") and shutil.which("Xvfb"),
                     "webkit2gtk-driver or xvfb is not installed")
class WebKit(Playing, unittest.TestCase):
    """The engine of every browser on an iPhone: the same cases in WebKitGTK, under Xvfb."""

    def setUp(self):
        xvfb = subprocess.Popen(["Xvfb", "-displayfd", "1", "-nolisten", "tcp"],
                                stdout=subprocess.PIPE)
        self.addCleanup(xvfb.wait)
        self.addCleanup(xvfb.kill)
        os.environ["DISPLAY"] = f":{xvfb.stdout.readline().decode().strip()}"
        options = webdriver.WebKitGTKOptions()
        options.binary_location = MINIBROWSER[0]
        options.add_argument("--automation")
        self.driver = webdriver.WebKitGTK(options=options)
        self.addCleanup(self.driver.quit)


if __name__ == "__main__":
    unittest.main()
