"""Bad input and failing streams: bad input ends a run normally, lost output ends it at once."""

import os
import random
import signal
import subprocess
import sys
import tempfile
import time
import unittest

from tolvane import (OUTPUT_LIMIT, PROGRAM, QUESTION, SECONDS, answer_model, expected_piped,
                     mask_dice, read_until, run_piped)

ESCAPES = [b"\x1b[A", b"\x1b[B", b"\x1bOP", b"\x1b[2~", b"\x1b"]


def random_stream(generator):
    """A stream of bytes of any kind: white space, answers, escapes, NULs, high bytes."""
    kinds = [lambda: bytes(generator.randrange(256) for _ in range(generator.randrange(1, 8))),
             lambda: b"y" * generator.randrange(1, 6),
             lambda: bytes(generator.choice(b" \t\r\n\v\f") for _ in range(generator.randrange(1, 9))),
             lambda: generator.choice(ESCAPES),
             lambda: generator.choice([b"\x00", b"\x80", b"\xff", b"Y", b"\r\n", b"y\r\n"]),
             lambda: b" " * generator.randrange(0, 5000)]
    return b"".join(kinds[generator.randrange(6)]() for _ in range(generator.randrange(0, 40)))


def run_with_rusage(command, stdin_path):
    """Runs with output discarded; returns the exit status and the peak memory in KiB."""
    deadline = time.monotonic() + SECONDS
    with open(stdin_path, "rb") as stdin:
        game = subprocess.Popen(command, stdin=stdin, stdout=subprocess.DEVNULL)
    while not (ended := os.wait4(game.pid, os.WNOHANG))[0]:
        if time.monotonic() > deadline:
            game.kill()
            raise AssertionError(f"the run took more than {SECONDS} s")
        time.sleep(0.01)
    return os.waitstatus_to_exitcode(ended[1]), ended[2].ru_maxrss


def shell_run(redirections, stdin_bytes=None, output_limit=OUTPUT_LIMIT):
    """Runs the game from sh, as redirected, with endless "y" lines for input unless given."""
    feed = "yes | " if stdin_bytes is None else ""
    command = ["sh", "-c", f'{feed}"$0" {redirections}', PROGRAM]
    return run_piped(stdin_bytes or b"", command=command, output_limit=output_limit)


class RandomInput(unittest.TestCase):

    def test_random_byte_streams_follow_the_answer_rules(self):
        generator = random.Random(20261208)
        for case in range(300):
            stdin_bytes = random_stream(generator)
            with self.subTest(case=case, stdin=stdin_bytes[:80]):
                run = run_piped(stdin_bytes)
                self.assertEqual(run.returncode, 0)
                self.assertEqual(run.stderr, b"")
                self.assertEqual(mask_dice(run.stdout), expected_piped(*answer_model(stdin_bytes)))


class HugeInput(unittest.TestCase):
    """However long a line, the game holds only what one answer needs."""

    def peak_memory(self, stdin_bytes):
        with tempfile.NamedTemporaryFile() as stdin:
            stdin.write(stdin_bytes)
            stdin.flush()
            status, peak = run_with_rusage([PROGRAM], stdin.name)
        self.assertEqual(status, 0)
        return peak

    def test_long_lines_need_no_more_memory_than_a_short_game(self):
        baseline = self.peak_memory(b"\nn\n")
        for name, stdin_bytes in (("300,000 answers on one line", b"\n" + b"y" * 300_000 + b"n\n"),
                                  ("20 million blanks", b"\n" + b" " * 20_000_000 + b"n\n")):
            with self.subTest(name):
                self.assertLess(self.peak_memory(stdin_bytes), baseline + 2048)

    def test_every_answer_on_a_long_line_plays_its_turn(self):
        run = run_piped(b"\n" + b"y" * 300_000 + b"n\n")
        self.assertEqual(run.returncode, 0)
        self.assertEqual(run.stdout.count(QUESTION), 300_001)
        self.assertTrue(run.stdout.endswith(QUESTION))


class BrokenStreams(unittest.TestCase):

    def test_closed_or_unreadable_input_plays_one_turn(self):
        for redirections in ("<&-", "0>/dev/null", "</"):
            with self.subTest(redirections):
                run = shell_run(redirections)
                self.assertEqual(run.returncode, 0)
                self.assertEqual(run.stderr, b"")
                self.assertEqual(mask_dice(run.stdout), expected_piped(1, True))

    def test_output_that_cannot_be_written_ends_the_run_at_once_and_says_why(self):
        turn_end = len(expected_piped(1, False))
        for redirections, stdin_bytes, limit, error in (
                (">&-", None, OUTPUT_LIMIT, b"Bad file descriptor"),
                (">/dev/full", None, OUTPUT_LIMIT, b"No space left on device"),
                ("--help >/dev/full", None, OUTPUT_LIMIT, b"No space left on device"),
                ("--version >/dev/full", None, OUTPUT_LIMIT, b"No space left on device"),
                ("<&- >&-", None, OUTPUT_LIMIT, b"Bad file descriptor"),
                # Output that fails at the question, or at the line end when input ends.
                ("", b"\nn\n", turn_end - len(QUESTION), b"File too large"),
                ("", b"\n", turn_end, b"File too large")):
            with self.subTest(redirections=redirections, stdin=stdin_bytes, limit=limit):
                run = shell_run(redirections, stdin_bytes, limit)
                self.assertEqual(run.returncode, 1)
                self.assertEqual(run.stderr, b"tolvane: write error: " + error + b"\n")

    def test_reader_going_away_ends_the_run_as_it_ends_a_filter(self):
        for sigpipe, status in (("default", -signal.SIGPIPE), ("ignored", 1)):
            with self.subTest(sigpipe=sigpipe), \
                 subprocess.Popen(["yes"], stdout=subprocess.PIPE) as answers, \
                 subprocess.Popen([PROGRAM], stdin=answers.stdout, stdout=subprocess.PIPE,
                                  stderr=subprocess.PIPE,
                                  restore_signals=sigpipe == "default") as game:
                try:
                    read_until(game.stdout, lambda output: len(output) >= 10)
                    game.stdout.close()
                    self.assertEqual(game.wait(timeout=SECONDS), status)
                    self.assertEqual(game.stderr.read(), b"")
                finally:  # or leaving the with statement waits for ever
                    game.kill()
                    answers.kill()


class Runner(unittest.TestCase):

    def test_a_group_with_a_skipped_case_is_skipped_or_with_ci_true_fails(self):
        group = ["run.py", "test_windows.SelfContainedExe", "test_pipes.AnswerRules"]
        for ci, status in (("true", 1), ("", 77)):
            run = subprocess.run([sys.executable, "-B", *group], capture_output=True, check=False,
                                 cwd=os.path.dirname(__file__), timeout=SECONDS,
                                 env=dict(os.environ, CI=ci, TOLVANE_EXE=""))
            self.assertEqual(run.returncode, status, run.stderr[-300:])


if __name__ == "__main__":
    unittest.main()
