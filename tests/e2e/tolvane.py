"""Runs the built tolvane as a player would, and knows its texts."""

import os
import re
import subprocess

PROGRAM = os.environ.get("TOLVANE", "tolvane")

FRAME = b"*" * 64 + b"\n"
WELCOME = (FRAME +
           b"Welcome to Single Roll Tolvane!\n\n"
           b"Players alternate turns by rolling the dice once. \n"
           b"If it is near the end of the game, and a roll results in not\n"
           b"being able to fill in any square, a square must be crossed out.\n"
           b"The player with the highest score wins!\n"
           b"Good luck...\n" +
           FRAME + b"\n")
PAUSE = b"Press any key to continue . . . \n"
TURN_START = b"A new turn has begun.\n"
QUESTION = b"\nAre there any dice-rolls remaining? (y/n): "
LABELS = (b"First", b"Second", b"Third", b"Fourth", b"Fifth")
MASKED_REPORT = b"".join(b"\n" + label + b" die: #" for label in LABELS) + b"\n"
MASKED_TURN = TURN_START + MASKED_REPORT + QUESTION

_DIE = re.compile(rb"(First|Second|Third|Fourth|Fifth) die: ([0-9]+)\n")


def mask_dice(output):
    """Replaces each die value from 1 to 6 with '#'; any other value stays, to show up in a diff."""
    def mask(match):
        return match.group(1) + b" die: #\n" if b"1" <= match.group(2) <= b"6" else match.group(0)
    return _DIE.sub(mask, output)


def dice_of(output):
    """The thrown values, turn after turn, as one list."""
    return [int(match.group(2)) for match in _DIE.finditer(output)]


def expected_piped(turns, input_ended):
    """The whole transcript of a piped run that plays `turns` turns."""
    return WELCOME + PAUSE + MASKED_TURN * turns + (b"\n" if input_ended else b"")


def run_piped(stdin_bytes, args=(), **options):
    """Plays a run with standard input and output on pipes; returns the completed process."""
    return subprocess.run([PROGRAM, *args], input=stdin_bytes, stdout=subprocess.PIPE,
                          stderr=subprocess.PIPE, timeout=60, check=False, **options)


def answer_model(stdin_bytes):
    """How many turns a piped input plays, and whether the run ends for want of input.

    The pause takes the first byte; each question then skips white space and
    takes one byte, and only a lowercase y plays on.
    """
    position = 1
    turns = 0
    while True:
        turns += 1
        while position < len(stdin_bytes) and stdin_bytes[position] in b" \t\n\v\f\r":
            position += 1
        if position >= len(stdin_bytes):
            return turns, True
        answer = stdin_bytes[position]
        position += 1
        if answer != ord("y"):
            return turns, False
