"""The game in a real terminal: what the players see, and the terminal it leaves behind."""

import os
import re
import signal
import unittest

from terminal import Terminal, have_tmux
from tolvane import FRAME

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

    def start_game(self):
        self.terminal.type("echo earlier output")
        self.terminal.press("Enter")
        self.terminal.wait_for_line("earlier output")
        self.terminal.run_game()
        return self.terminal.wait_for_line(PROMPT)

    def assert_turn_alone_on_screen(self):
        screen = self.terminal.wait_for(lambda lines: lines[0] == "A new turn has begun.",
                                        "a turn at the top of the screen")
        screen = self.terminal.wait_for(lambda lines: QUESTION in lines, "the question")
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

        # An arrow key sends several bytes; none of them may answer the question.
        self.terminal.press("Up")
        self.assert_turn_alone_on_screen()

        self.terminal.type("y")
        self.terminal.press("Enter")
        self.terminal.wait_for(lambda lines: QUESTION in lines, "the second turn")
        self.assert_turn_alone_on_screen()

        self.terminal.type("n")
        self.terminal.press("Enter")
        screen = self.terminal.wait_for_line("$")
        self.assertEqual(screen[8], QUESTION + " n")
        self.assertEqual(self.terminal.last_status(), 0)
        self.assertEqual(self.terminal.settings(), self.settings_before)

    def assert_dies_at_the_pause(self, signal_number, send):
        self.start_game()
        send()
        self.terminal.wait_for_line("$")
        self.assertEqual(self.terminal.last_status(), 128 + signal_number)
        self.assertEqual(self.terminal.settings(), self.settings_before)

    def test_ctrl_c_at_the_pause_leaves_the_terminal_as_it_was(self):
        self.assert_dies_at_the_pause(signal.SIGINT, lambda: self.terminal.press("C-c"))

    def test_signals_at_the_pause_leave_the_terminal_as_it_was(self):
        for signal_number in (signal.SIGTERM, signal.SIGHUP, signal.SIGQUIT):
            with self.subTest(signal=signal_number.name):
                self.terminal.close()
                self.terminal = Terminal()
                self.settings_before = self.terminal.settings()
                self.assert_dies_at_the_pause(
                    signal_number, lambda: os.kill(self.terminal.game_pid(), signal_number))


if __name__ == "__main__":
    unittest.main()
