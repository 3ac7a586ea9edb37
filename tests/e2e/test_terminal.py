"""The game in a real terminal: what the players see, and the terminal it leaves behind."""

import os
import pathlib
import re
import signal
import tempfile
import time
import unittest

from terminal import Terminal, have_tmux
from tolvane import FRAME, PAUSE, RUNNER, expected_piped, mask_dice

PROMPT = "Press any key to continue . . ."
QUESTION = "Are there any dice-rolls remaining? (y/n):"
WELCOME_SCREEN = [
    FRAME.decode().rstrip("\n"),
    "Welcome to Single Roll Tolvane!",
    "",
    "Players alternate turns by rolling the dice once.",
    "If it is near the end of the game, and a roll results in not",
    "being able to fill in any square, a square must be crossed out.",
    "The player with the highest score wins!",
    "Good luck...",
    FRAME.decode().rstrip("\n"),
    "",
    PROMPT,
]
TURN_SCREEN = re.compile(r"A new turn has begun\.\n\n"
                         r"First die: [1-6]\nSecond die: [1-6]\nThird die: [1-6]\n"
                         r"Fourth die: [1-6]\nFifth die: [1-6]\n\n"
                         + re.escape(QUESTION) + r"(\n)*\Z")


@unittest.skipUnless(have_tmux(), "tmux is not installed")
class InATerminal(unittest.TestCase):

    def setUp(self):
        self.terminal = Terminal()
        self.addCleanup(lambda: self.terminal.close())
        self.settings_before = self.terminal.settings()

    def restart(self, shell="sh"):
        self.terminal.close()
        self.terminal = Terminal(shell)
        self.settings_before = self.terminal.settings()

    def start_game(self, before=""):
        self.terminal.enter("echo earlier output")
        self.terminal.wait_for_line("earlier output")
        self.terminal.run_game(before)
        self.wait_for_key_mode()
        return self.terminal.wait_for_line(PROMPT)

    def wait_for_key_mode(self):
        self.terminal.wait_for(lambda _: self.terminal.settings() != self.settings_before,
                               "the pause to take the terminal")

    def assert_turn_alone_on_screen(self):
        screen = self.terminal.wait_for(lambda lines: lines[0] == "A new turn has begun.",
                                        "a turn at the top of the screen")
        self.terminal.wait_for(lambda lines: QUESTION in lines, "the question")
        time.sleep(0.3)  # time enough for a stray byte of the pause to show or to answer
        screen = self.terminal.screen()
        self.assertRegex("\n".join(screen), TURN_SCREEN)
        self.assertEqual(self.terminal.cursor(), (len(QUESTION) + 1, 8))
        history = self.terminal.history()
        self.assertEqual(history.count("A new turn has begun."), 1, history)
        self.assertNotIn("earlier output", history)

    def test_welcome_below_earlier_output_then_turns_on_a_cleared_screen(self):
        screen = self.start_game()
        self.assertEqual(screen[1], "earlier output")
        self.assertEqual(screen[3:3 + len(WELCOME_SCREEN)], WELCOME_SCREEN)
        self.assertEqual(self.terminal.cursor(), (len(PROMPT) + 1, 3 + len(WELCOME_SCREEN) - 1))

        # An arrow key sends several bytes, on a slow line in pieces; none may answer the question.
        # The game takes pieces less than 100 ms apart as one key, and the test cannot promise that
        # of its own pieces on a machine busy with qemu: there the key comes whole.
        for piece in ["\x1b[A"] if RUNNER else ["\x1b", "[A"]:
            self.terminal.type(piece)
            time.sleep(0.03)
        self.assert_turn_alone_on_screen()

        self.terminal.enter("y")
        self.terminal.wait_for(lambda lines: QUESTION in lines, "the second turn")
        self.assert_turn_alone_on_screen()

        screen = self.end_game()
        self.assertEqual(screen[8], QUESTION + " n")
        self.assertEqual(self.terminal.last_status(), 0)

    def end_game(self):
        self.terminal.enter("n")
        screen = self.terminal.wait_for_line("$")
        self.assertEqual(self.terminal.settings(), self.settings_before)
        return screen

    def test_stops_at_the_pause_lend_the_shell_its_terminal_until_fg(self):
        # Ctrl-Z twice at the same pause, then a stop from outside that the game cannot see.
        stops = [lambda: self.terminal.press("C-z")] * 2 + [
            lambda: os.kill(self.terminal.game_pid(), signal.SIGSTOP)]
        for shell in ("sh", "bash --norc"):
            with self.subTest(shell=shell):
                self.restart(shell)
                self.start_game()
                key_mode = self.terminal.settings()
                for ctrl_z, stop in zip((True, True, False), stops):
                    prompts = self.terminal.history().count(PROMPT)
                    stop()
                    self.terminal.wait_for_line("$")
                    if ctrl_z:
                        self.assertEqual(self.terminal.settings(), self.settings_before)
                    self.terminal.enter("fg")
                    self.terminal.wait_for(lambda _: (shown := self.terminal.history()).rstrip()
                                           .endswith(PROMPT) and shown.count(PROMPT) == prompts + 1,
                                           "the prompt again, once")
                    self.assertEqual(self.terminal.settings(), key_mode)
                self.terminal.type("q" * 300 + "\r")  # a paste, all of it the pause's
                self.assert_turn_alone_on_screen()
                self.end_game()

    def test_without_a_terminal_that_clears_each_turn_follows_below_and_nothing_echoes(self):
        # Ctrl-C at the pause does nothing where the caller ignores SIGINT.
        for term in ("TERM=dumb", "TERM=", "env -u TERM"):
            with self.subTest(term=term):
                self.restart()
                self.start_game(before=f"trap '' INT; {term} ")
                self.terminal.press("C-c")
                self.terminal.type("x")
                screen = self.terminal.wait_for(lambda lines: QUESTION in lines, "the turn")
                self.assertIn(PROMPT, screen, "the pause echoed")
                self.assertEqual(screen[screen.index(PROMPT) + 1], "A new turn has begun.")
                self.end_game()

    def test_output_to_a_file_gets_no_escapes_and_the_prompt_again_after_a_stop(self):
        with tempfile.TemporaryDirectory() as folder:
            output = pathlib.Path(folder, "output")
            self.terminal.run_game(after=f" >{output}")
            self.wait_for_key_mode()
            os.kill(self.terminal.game_pid(), signal.SIGSTOP)
            self.terminal.wait_for_line("$")
            self.terminal.enter("fg")
            self.terminal.wait_for(lambda _: output.read_bytes().count(PAUSE[:-1]) == 2, "a prompt")
            self.terminal.type("x")
            self.terminal.wait_for(lambda _: output.read_bytes().endswith(b"(y/n): "), "a question")
            self.end_game()
            self.assertEqual(mask_dice(output.read_bytes()),
                             expected_piped(1, False).replace(PAUSE, PAUSE[:-1] + PAUSE))

    def test_signals_at_the_pause_or_at_a_question_after_it_leave_the_terminal_as_it_was(self):
        # Ctrl-C or a signal from outside; after the pause, none it held off may stay blocked.
        for signal_number, at_a_question in [(signal.SIGINT, False), (signal.SIGINT, True)] + [
                (number, False) for number in (signal.SIGTERM, signal.SIGHUP, signal.SIGQUIT)]:
            with self.subTest(signal=signal_number.name, at_a_question=at_a_question):
                self.restart()
                self.start_game()
                if at_a_question:
                    self.terminal.type("x")
                    self.terminal.wait_for_line(QUESTION)
                if signal_number == signal.SIGINT:
                    self.terminal.press("C-c")
                else:
                    os.kill(self.terminal.game_pid(), signal_number)
                self.terminal.wait_for_line("$")
                self.assertEqual(self.terminal.last_status(), 128 + signal_number)
                self.assertEqual(self.terminal.settings(), self.settings_before)


if __name__ == "__main__":
    unittest.main()
