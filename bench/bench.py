#!/usr/bin/env python3
"""Benchmarks tolvane against a C floor and a C peer, side by side, and prints a table; then the
web page in Chromium, if it was built.

Usage: bench/bench.py [path/to/tolvane [path/to/site/tolvane.html]]
       (default: build/tolvane and build/web/site/tolvane.html)
Needs: a C compiler (cc), strace, GNU time (/usr/bin/time) and rolldice; for the page, chromium,
chromium-driver and python3-selenium (which is for Debian's own /usr/bin/python3).
"""

import functools
import gzip
import http.server
import os
import re
import shutil
import statistics
import subprocess
import sys
import tempfile
import threading
import time

TURNS = 100_000
RUNS = 9
STARTS = 300
HERE = os.path.dirname(os.path.abspath(__file__))


def answers(turns):
    """A key for the pause, then enough y's for `turns` turns, then n."""
    return b"\n" + b"y\n" * (turns - 1) + b"n\n"


def piped_seconds(program, input_path):
    """Wall time of a run with its output read through a pipe by another process."""
    with open(input_path, "rb") as stdin:
        start = time.perf_counter()
        game = subprocess.Popen([program], stdin=stdin, stdout=subprocess.PIPE)
        reader = subprocess.Popen(["cat"], stdin=game.stdout, stdout=subprocess.DEVNULL)
        game.stdout.close()
        game.wait()
        reader.wait()
        return time.perf_counter() - start


def start_seconds(command, stdin_bytes):
    start = time.perf_counter()
    subprocess.run(command, input=stdin_bytes, stdout=subprocess.DEVNULL, check=True)
    return time.perf_counter() - start


def interleaved_medians(first, second, runs):
    """Medians of two measurements taken turn about, so both see the same machine."""
    a, b = [], []
    for _ in range(runs):
        a.append(first())
        b.append(second())
    return statistics.median(a), statistics.median(b)


def syscall_count(program, input_path):
    with open(input_path, "rb") as stdin:
        summary = subprocess.run(["strace", "-c", "-o", "/dev/stdout", program], stdin=stdin,
                                 stdout=subprocess.PIPE, check=True, text=True).stdout
    total = re.search(r"^-+.*\n\s*[\d.]+\s+[\d.]+\s+\d+\s+(\d+)\s+.*total$", summary, re.M)
    return int(total.group(1))


def processes_started(program, input_path):
    with open(input_path, "rb") as stdin:
        trace = subprocess.run(["strace", "-f", "-qq", "-e", "trace=process", "-o", "/dev/stdout",
                                program], stdin=stdin, stdout=subprocess.PIPE, check=True,
                               text=True).stdout
    starts = re.findall(r"\b(execve|execveat|fork|vfork|clone|clone3)\(", trace)
    return len(starts) - 1  # the game's own execve


def peak_kib(program, input_path):
    with open(input_path, "rb") as stdin:
        report = subprocess.run(["/usr/bin/time", "-f", "%M", program], stdin=stdin,
                                stdout=subprocess.DEVNULL, stderr=subprocess.PIPE,
                                check=True, text=True).stderr
    return int(report.split()[-1])


# The page's welcome screen is complete once the pause asks for a key: when, after navigation.
WELCOME_SHOWN = """new MutationObserver((changes, observer) => {
    if (document.getElementById('output')?.textContent.endsWith('continue . . . ')) {
        window.welcomeShown = performance.now();
        observer.disconnect();
    }
}).observe(document, {childList: true, subtree: true, characterData: true});"""
# From a tap on the answer key "y" to the next question in the page, ready for the next frame.
ANSWERED = """const done = arguments[0];
const output = document.getElementById('output');
const start = performance.now();
new MutationObserver((changes, observer) => {
    if (output.textContent.endsWith('(y/n): ')) {
        observer.disconnect();
        done(performance.now() - start);
    }
}).observe(output, {childList: true, subtree: true, characterData: true});
document.querySelector('[data-line=y]').click();"""


def page_rows(page):
    """The page served from its folder to headless Chromium: what it loads, how soon it shows."""
    # Imported here: the other measures need no Selenium.
    from selenium import webdriver
    from selenium.webdriver.support.ui import WebDriverWait
    folder, loaded = os.path.dirname(os.path.abspath(page)), set()

    class Handler(http.server.SimpleHTTPRequestHandler):
        def log_message(self, *args):
            loaded.add(self.path.split("?")[0].lstrip("/") or "index.html")

    server = http.server.ThreadingHTTPServer(("127.0.0.1", 0),
                                             functools.partial(Handler, directory=folder))
    threading.Thread(target=server.serve_forever, daemon=True).start()
    options = webdriver.ChromeOptions()
    with tempfile.TemporaryDirectory() as profile:
        for flag in ("--headless=new", "--no-sandbox", "--disable-gpu", "--no-first-run",
                     "--disable-background-networking", "--disable-component-update",
                     "--disable-sync", f"--user-data-dir={profile}"):
            options.add_argument(flag)
        driver = webdriver.Chrome(options=options)
        try:
            driver.execute_cdp_cmd("Page.addScriptToEvaluateOnNewDocument",
                                   {"source": WELCOME_SHOWN})
            shown = []
            for _ in range(7):
                driver.get(f"http://127.0.0.1:{server.server_address[1]}/tolvane.html")
                shown.append(WebDriverWait(driver, 10).until(
                    lambda driver: driver.execute_script("return window.welcomeShown")))
            driver.execute_async_script("navigator.serviceWorker.ready.then(arguments[0])")
            driver.find_element("id", "screen").click()
            answers = []
            for _ in range(21):  # each once the y key takes a tap, a moment after its question
                WebDriverWait(driver, 10).until(lambda driver: driver.execute_script(
                    "return document.querySelector('[data-line=y]').ariaDisabled") == "false")
                answers.append(driver.execute_async_script(ANSWERED))
        finally:
            driver.quit()
            server.shutdown()
    weight = sum(len(gzip.compress(open(os.path.join(folder, path), "rb").read(), 9))
                 for path in loaded)
    return [("page weight, gzip -9, KiB", weight / 1024, None, None, "", "≤ 256"),
            ("page welcome, ms, fastest of 7", min(shown), None, None, "", "≤ 250"),
            ("page answer to question, ms", float(statistics.median(answers)), None, None, "",
             "≤ 16")]


def main():
    game = os.path.abspath(sys.argv[1] if len(sys.argv) > 1 else "build/tolvane")
    for tool in ("cc", "strace", "/usr/bin/time", "cat"):
        if not shutil.which(tool):
            sys.exit(f"bench: needs {tool}")
    rolldice = shutil.which("rolldice") or "/usr/games/rolldice"
    if not os.access(rolldice, os.X_OK):
        sys.exit("bench: needs rolldice (Debian: apt-get install rolldice)")

    with tempfile.TemporaryDirectory() as work:
        floor = os.path.join(work, "floor")
        subprocess.run(["cc", "-O2", "-o", floor, os.path.join(HERE, "floor.c")], check=True)
        inputs = {}
        for turns in (1000, 11_000, TURNS):
            inputs[turns] = os.path.join(work, f"answers-{turns}")
            with open(inputs[turns], "wb") as out:
                out.write(answers(turns))

        game_run, floor_run = interleaved_medians(lambda: piped_seconds(game, inputs[TURNS]),
                                                  lambda: piped_seconds(floor, inputs[TURNS]), RUNS)
        game_start, peer_start = interleaved_medians(
            lambda: start_seconds([game], b"\nn\n"),
            lambda: start_seconds([rolldice, "-s", "5d6"], b""), STARTS)
        per_turn = {program: (syscall_count(program, inputs[11_000]) -
                              syscall_count(program, inputs[1000])) / 10_000
                    for program in (game, floor)}
        rows = [
            ("piped turn, µs", game_run / TURNS * 1e6, floor_run / TURNS * 1e6,
             game_run / floor_run, "floor", "≤ 1.2"),
            ("system calls per turn", per_turn[game], per_turn[floor], None, "floor", "≤ 2"),
            ("processes started in a run", processes_started(game, inputs[1000]),
             processes_started(floor, inputs[1000]), None, "floor", "0"),
            ("start-up, one turn, ms", game_start * 1e3, peer_start * 1e3,
             game_start / peer_start, "rolldice -s 5d6", "≤ 1.0"),
            ("peak memory, 100,000 turns, KiB", peak_kib(game, inputs[TURNS]),
             peak_kib(floor, inputs[TURNS]), None, "floor", "≤ 4096"),
        ]

    page = sys.argv[2] if len(sys.argv) > 2 else "build/web/site/tolvane.html"
    try:
        rows += page_rows(page) if os.path.isfile(page) else []
    except ImportError:
        print("bench: the page needs python3-selenium, with Debian's /usr/bin/python3",
              file=sys.stderr)

    def shown(value, width):
        if value is None:
            return " " * width
        return f"{value:{width}d}" if isinstance(value, int) else f"{value:{width}.2f}"

    print(f"{'measure':34} {'tolvane':>10} {'other':>10} {'ratio':>6}  {'against':16} target")
    for name, ours, theirs, ratio, against, target in rows:
        print(f"{name:34} {shown(ours, 10)} {shown(theirs, 10)} {shown(ratio, 6)}  {against:16} "
              f"{target}")


if __name__ == "__main__":
    main()
