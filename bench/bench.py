#!/usr/bin/env python3
"""Benchmarks tolvane against a C floor and a C peer, side by side, and prints a table.

Usage: bench/bench.py [path/to/tolvane]   (default: build/tolvane)
Needs: a C compiler (cc), strace, GNU time (/usr/bin/time) and rolldice.
"""

import os
import re
import shutil
import statistics
import subprocess
import sys
import tempfile
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

    def shown(value, width):
        return f"{value:{width}d}" if isinstance(value, int) else f"{value:{width}.2f}"

    print(f"{'measure':34} {'tolvane':>10} {'other':>10} {'ratio':>6}  {'against':16} target")
    for name, ours, theirs, ratio, against, target in rows:
        shown_ratio = shown(ratio, 6) if ratio is not None else " " * 6
        print(f"{name:34} {shown(ours, 10)} {shown(theirs, 10)} {shown_ratio}  {against:16} {target}")


if __name__ == "__main__":
    main()
