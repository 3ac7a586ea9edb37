"""The web page (build/web/site) played in Chromium and in WebKitGTK's MiniBrowser, as a player
would: keys, taps, the clear, a new game; from a file, and from a web host that has gone away."""

import functools
import glob
import http.server
import json
import os
import pathlib
import shutil
import struct
import subprocess
import tempfile
import threading
import unittest
import urllib.request
from urllib.parse import urljoin

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
# axe-core, a test tool from npm (tests/package.json): "npm ci --prefix tests" installs it.
AXE = os.path.join(os.path.dirname(__file__), "..", "node_modules", "axe-core", "axe.min.js")
# Windows (CSS px) with the least height of a die's line there, and the browser's text size; from
# 1000 px wide, a computer's, with its scroll bars.
WINDOWS = [((320, 568), 18, 16), ((360, 740), 20, 16), ((390, 844), 20, 16), ((740, 360), 18, 16),
           ((1280, 800), 32, 16), ((1440, 900), 48, 16), ((1920, 1080), 64, 16),
           ((360, 740), 20, 24), ((360, 740), 38, 32)]
# Stands in for the browser's Screen Wake Lock API: the locks asked for, and which are let go.
WAKE_LOCK = """const wakeLocks = window.wakeLocks = [];
Object.defineProperty(navigator, 'wakeLock', {value: {request: async () => {
    const lock = {release: async () => { lock.released = true; }};
    return wakeLocks[wakeLocks.push(lock) - 1]; }}});"""
# Per screen, two frames after it was shown again (as after a hidden page): its words that take two
# lines, whether it scrolls down, whether it or the page scrolls sideways, the height of a die's
# line, the text's and the field's sizes, the keys' heights and whether each looks and is announced
# enabled, and which wake locks are held.
MEASURE = """document.dispatchEvent(new Event('visibilitychange'));
requestAnimationFrame(() => requestAnimationFrame(() => arguments[0](measure())));
function measure() {
const [screen, output, typed] = ['screen', 'output', 'typed'].map((id) =>
    document.getElementById(id)), page = document.documentElement;
const walker = document.createTreeWalker(output, NodeFilter.SHOW_TEXT), range = new Range();
const seen = {broken: [], die: 0, down: screen.scrollHeight > screen.clientHeight, sideways:
    screen.scrollWidth > screen.clientWidth || page.scrollWidth > page.clientWidth,
    sizes: [output, typed].map((element) => parseFloat(getComputedStyle(element).fontSize)),
    keys: [...document.querySelectorAll('#keys button')].flatMap((key) => key.offsetHeight || []),
    lit: [...document.querySelectorAll('.answer')].map((key) => key.ariaDisabled === 'false'
        && getComputedStyle(key).borderStyle === 'solid'),
    awake: wakeLocks.map((lock) => !lock.released)};
while (walker.nextNode()) {
    for (const word of walker.currentNode.data.matchAll(/[^\\s-]+/g)) {
        range.setStart(walker.currentNode, word.index);
        range.setEnd(walker.currentNode, word.index + word[0].length);
        if (range.getClientRects().length !== 1) seen.broken.push(word[0]);
        if (word[0] === 'First') seen.die = range.getBoundingClientRect().height;
    }
}
return seen;
}"""
# A tap on n a tenth of a second after the next question shows, before anyone could read the turn.
HASTY_TAP = """const n = document.querySelector('[data-line=n]');
new MutationObserver((changes, observer) => {
    if (document.body.dataset.state !== tolvane.states.byte) return;
    observer.disconnect();
    setTimeout(() => n.dispatchEvent(new MouseEvent('click', {bubbles: true, detail: 1})), 100);
}).observe(document.body, {attributeFilter: ['data-state']});"""


class Playing:
    """What a player does in either browser; self.driver is the browser."""

    def wait_for(self, *states):  # by the page's names for them; a question, once its keys are lit
        WebDriverWait(self.driver, SECONDS, 0.05).until(lambda driver: driver.execute_script(
            "const state = document.body.dataset.state, names = tolvane.states; return arguments[0]"
            ".some((name) => names[name] === state) && !(state === names.byte && document."
            "querySelector('[aria-disabled=true]'))", states))

    def typing(self, *keys):  # "\n" as the Enter key, which WebKit's driver would not make it
        # Tab moves the focus, as on any page: a blank, skipped alike by the answer rules, for it.
        keys = (key.replace("\n", Keys.ENTER).replace("\t", " ") for key in keys)
        ActionChains(self.driver).send_keys(*keys).perform()

    def focused(self):  # the focused element (its id or answer key) and its focus ring's style
        return self.driver.execute_script("const e = document.activeElement; return [e.id || "
                                          "e.dataset.line, getComputedStyle(e).outlineStyle]")

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
        for tapped in ("[data-line=n]", "#screen"):  # at the pause, a tap on a key goes on too
            self.wait_for("key")
            self.assertEqual(self.text(), WELCOME + PAUSE[:-1])
            self.driver.find_element(By.CSS_SELECTOR, tapped).click()
            self.wait_for("byte")  # the click alone goes on from the pause
            field = self.driver.find_element(By.ID, "typed")  # on a phone, neither "Y" nor corrected
            self.assertIn(field.get_dom_attribute("autocapitalize"), ("none", "off"))
            self.assertEqual(field.get_dom_attribute("autocorrect"), "off")
            self.typing("n", Keys.BACKSPACE)
            y_key = self.driver.find_element(By.CSS_SELECTOR, "[data-line=y]")
            self.driver.execute_script(HASTY_TAP)
            ActionChains(self.driver).double_click(y_key).perform()  # answers once
            self.wait_for("byte")
            tapped_at = self.driver.execute_script("return performance.now()")
            WebDriverWait(self.driver, SECONDS).until(lambda driver: driver.execute_script(
                "return performance.now()") > tapped_at + 1000)
            y_key.click()  # a second after a double tap, a tap answers
            self.wait_for("byte")
            self.typing(Keys.TAB)
            self.assertEqual(self.focused(), ["y", "solid"])
            self.typing("\n" if tapped == "#screen" else " ")  # the focused key answers
            self.wait_for("byte")
            ActionChains(self.driver).key_down(Keys.SHIFT).send_keys(Keys.TAB).key_up(
                Keys.SHIFT).perform()
            self.assertEqual(self.focused(), ["typed", "solid"])
            if tapped == "#screen":  # the n key sends a whole line, as the y key does
                self.driver.find_element(By.CSS_SELECTOR, "[data-line=n]").click()
            else:  # typed with the focus on the page, as a click beside the console leaves it
                self.driver.execute_script("document.activeElement.blur()")
                self.typing("n\n")
            self.assert_played(4, False)
            self.assertEqual(self.text(), MASKED_TURN + b"n\n")
            self.assertEqual(self.focused()[0], "new-game")
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

    def test_each_screen_fits_its_window_and_axe_finds_nothing(self):
        if not os.path.isfile(AXE):
            self.skipTest("axe-core is not installed: npm ci --prefix tests")
        self.driver.execute_cdp_cmd("Page.enable", {})
        self.driver.execute_cdp_cmd("Page.addScriptToEvaluateOnNewDocument", {"source": WAKE_LOCK})
        for (width, height), die, text_size in WINDOWS:
            self.driver.execute_cdp_cmd("Page.setFontSizes", {"fontSizes": {"standard": text_size}})
            self.driver.get(f"file://{os.path.abspath(PAGE)}")  # in the last window, then this one
            self.driver.execute_cdp_cmd("Emulation.setDeviceMetricsOverride", {
                "width": width, "height": height, "deviceScaleFactor": 1, "mobile": width < 1000})
            # The welcome, a turn, the next with a long answer typed (blanks, which the answer
            # rules skip), the end.
            for moment, answer in (("key", "x"), ("byte", "y\n" + " " * 40), ("byte", "n\n"),
                                   ("ended", None)):
                with self.subTest(window=(width, height), text_size=text_size, screen=moment):
                    self.wait_for(moment)
                    seen = self.driver.execute_async_script(MEASURE)
                    self.assertEqual(seen["broken"], [])
                    self.assertFalse(seen["sideways"])
                    # Each screen stands whole; at a larger text size, a turn still does.
                    self.assertFalse(seen["down"] and (text_size == 16 or moment == "byte"))
                    self.assertGreaterEqual(min(seen["sizes"]), text_size)
                    self.assertGreaterEqual(min(seen["keys"]), 56)
                    self.assertEqual(seen["lit"], [moment == "byte"] * 2)
                    # Kept awake while the game is on, asked anew when the page is shown again.
                    self.assertEqual(sum(seen["awake"]), moment != "ended")
                    self.assertGreater(len(seen["awake"]), 1)
                    nodes = self.driver.execute_cdp_cmd("Accessibility.getFullAXTree", {})["nodes"]
                    heard = [(node["role"]["value"], node.get("name", {}).get("value", ""))
                             for node in nodes if not node["ignored"]]
                    self.assertIn("status", [role for role, _ in heard])  # where the end is told
                    self.assertNotIn("*", "".join(name for _, name in heard))  # frames unheard
                    if moment == "byte":
                        self.assertGreaterEqual(seen["die"], die)
                    if width in (320, 360, 1280) and text_size == 16:  # axe at these widths
                        self.driver.execute_script(open(AXE, encoding="utf-8").read())
                        found = self.driver.execute_async_script(
                            "axe.run().then((result) => arguments[0](result.violations))")
                        self.assertEqual(found, [], json.dumps(found, indent=1))
                if answer:
                    self.typing(answer)
        # A browser without WebAssembly (a page script takes it away) is told what to do instead.
        self.driver.execute_cdp_cmd("Page.addScriptToEvaluateOnNewDocument",
                                    {"source": "delete window.WebAssembly"})
        self.driver.get(f"file://{os.path.abspath(PAGE)}")
        self.wait_for("failed")
        self.assertRegex(self.text("status"), rb"^[^.]+ browser[^.]*\.$")  # in one sentence

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
        # The PNG icons a home screen takes: the manifest's, a maskable one among them, an iPhone's.
        manifest, apple_icon = self.driver.execute_script(
            "return ['manifest', 'apple-touch-icon'].map((rel) => "
            "document.querySelector(`link[rel=${rel}]`).href)")
        with urllib.request.urlopen(manifest) as served:
            icons = json.load(served)["icons"] + [
                {"src": apple_icon, "sizes": "180x180", "type": "image/png"}]
        self.assertIn("maskable", [icon.get("purpose") for icon in icons])
        for icon in (icon for icon in icons if icon["type"] == "image/png"):
            with urllib.request.urlopen(urljoin(manifest, icon["src"])) as png:
                self.assertEqual("%dx%d" % struct.unpack(">16xII", png.read(24)), icon["sizes"])
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
