"""Whole runs through pipes, byte for byte, with the dice masked."""

import subprocess
import time
import unittest

from tolvane import (COMMAND, QUESTION, SECONDS, VERSION, dice_of, expected_piped, mask_dice,
                     read_until, run_piped)


class AnswerRules(unittest.TestCase):
    """The first byte of input is the key for the pause; answers follow."""

    def assert_run(self, stdin_bytes, turns, input_ended, args=()):
        run = run_piped(stdin_bytes, args)
        self.assertEqual(run.returncode, 0)
        self.assertEqual(run.stderr, b"")
        self.assertEqual(mask_dice(run.stdout), expected_piped(turns, input_ended))

    def test_n_ends_after_one_turn(self):
        self.assert_run(b"\nn\n", 1, False)

    def test_y_plays_another_turn(self):
        self.assert_run(b"\ny\ny\nn\n", 3, False)

    def test_uppercase_y_and_other_characters_end_the_run(self):
        for answer in (b"Y", b"q", b"1", b".", b"\x00", b"\xff"):
            with self.subTest(answer=answer):
                self.assert_run(b"\n" + answer + b"\n", 1, False)

    def test_blanks_tabs_and_empty_lines_are_skipped(self):
        self.assert_run(b"\n  \t\n\n  y\n\t n\n", 2, False)

    def test_rest_of_a_line_answers_the_next_questions(self):
        self.assert_run(b"\nyes\n", 2, False)
        self.assert_run(b"\nyyn\n", 3, False)

    def test_any_byte_serves_as_the_key(self):
        self.assert_run(b"ny\nn\n", 2, False)
        self.assert_run(b"yn", 1, False)

    def test_end_of_input_ends_the_run_on_a_fresh_line(self):
        cases = {b"": 1, b"\n": 1, b"\n\n \n": 1, b"\ny\n": 2, b"\ny": 2, b"\nyy\n": 3}
        for stdin_bytes, turns in cases.items():
            with self.subTest(stdin=stdin_bytes):
                self.assert_run(stdin_bytes, turns, True)

    def test_arguments_make_no_difference_but_help_and_version(self):
        self.assert_run(b"\ny\nn\n", 2, False, args=("-h", "-n", "n", "--helpme"))
        for args, shown in ((["--version", "--help"], f"tolvane {VERSION}\n"),
                            (["-n", "--help"], "Usage: tolvane [--help | --version]\n")):
            run = run_piped(b"\nn\n", args)
            self.assertEqual((run.returncode, run.stderr, run.stdout[:len(shown)],
                              b"Welcome" in run.stdout), (0, b"", shown.encode(), False))


class WaitingForAnswers(unittest.TestCase):

    def test_queued_answer_is_taken_and_the_next_question_waits(self):
        with subprocess.Popen(COMMAND, stdin=subprocess.PIPE, stdout=subprocess.PIPE) as game:
            game.stdin.write(b"\nyy\n")
            game.stdin.flush()
            output = read_until(game.stdout, lambda output: output.count(QUESTION) >= 3)
            self.assertIsNone(game.poll(), "the third question did not wait")
            game.stdin.write(b"n\n")
            game.stdin.close()
            self.assertEqual(game.wait(timeout=SECONDS), 0)
            output += game.stdout.read()
            self.assertEqual(mask_dice(output), expected_piped(3, False))


class Seeding(unittest.TestCase):

    def test_runs_started_in_the_same_second_throw_the_same_dice(self):
        answers = b"\n" + b"y\n" * 20 + b"n\n"
        for _ in range(5):
            # Well inside a second: the runs' time() may read a coarse clock that lags this one by
            # a tick, which just after a second begins still gives the second before.
            time.sleep(1.2 - time.time() % 1)
            second = int(time.time())
            runs = [subprocess.Popen(COMMAND, stdin=subprocess.PIPE, stdout=subprocess.PIPE)
                    for _ in range(2)]
            for run in runs:  # seeded, once it shows the welcome screen
                read_until(run.stdout, lambda output: output.endswith(b". . . "))
            if int(time.time()) == second:
                break
        else:
            self.fail("no two runs started within one second of the clock")
        throws = []
        for run in runs:  # the keys come a second apart
            time.sleep(1.1 * len(throws))
            run.stdin.write(answers)
            run.stdin.flush()
            output = read_until(run.stdout, lambda output: output.count(QUESTION) > 20)
            throws.append(dice_of(output))
            run.communicate(timeout=SECONDS)
        self.assertEqual(len(throws[0]), 105)
        self.assertEqual(throws[0], throws[1])

    def test_runs_in_different_seconds_and_turns_of_a_run_throw_different_dice(self):
        answers = b"\n" + b"y\n" * 20 + b"n\n"
        first = dice_of(run_piped(answers).stdout)
        self.assertGreater(len({tuple(first[turn:turn + 5]) for turn in range(0, 105, 5)}), 1)
        time.sleep(1.1)
        self.assertNotEqual(dice_of(run_piped(answers).stdout), first)


if __name__ == "__main__":
    unittest.main()
