"""Runs the built tolvane as a player would, and knows its texts."""

import os
import re
import resource
import select
import shlex
import shutil
import signal
import subprocess
import tempfile
import time

from run import skip_group

PROGRAM = os.environ.get("TOLVANE", "tolvane")
# A build for another processor runs through its emulator: "qemu-arm -L /usr/arm-linux-gnueabihf".
RUNNER = shlex.split(os.environ.get("TOLVANE_RUNNER", ""))
COMMAND = [*RUNNER, PROGRAM]
VERSION = os.environ.get("TOLVANE_VERSION")
if not PROGRAM or RUNNER and not shutil.which(RUNNER[0]):
    skip_group(f"{RUNNER[0]} is not installed" if PROGRAM else
               "the build was not made (no cross compiler)")
# Every run and every wait of a test ends within SECONDS; a run may write up
# to OUTPUT_LIMIT, far above the longest a test plays (300,000 turns).
SECONDS = 10
OUTPUT_LIMIT = 64 << 20

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

# Inputs for the answer rules, each playing as answer_model says; each one's first byte is the key.
SCRIPTS = [b"", b"\n", b"\nn\n", b"\nY\n", b"\ny\ny\nn\n", b"\n  \t\n\n  y\n\t n\n", b"\nyes\n",
           b"\nyy\n", b"\ny\n", b"\ny", b"ny\nn\n"]

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


def run_piped(stdin_bytes, args=(), command=None, output_limit=OUTPUT_LIMIT):
    """Plays a run (or a command line) with input from a pipe and output into files that cannot
    grow past output_limit (a write past it fails); returns the completed process."""
    def limit_output():
        resource.setrlimit(resource.RLIMIT_FSIZE, (output_limit,) * 2)
        signal.signal(signal.SIGXFSZ, signal.SIG_IGN)
    with tempfile.TemporaryFile() as stdout, tempfile.TemporaryFile() as stderr:
        run = subprocess.run(command or [*COMMAND, *args], input=stdin_bytes, stdout=stdout,
                             stderr=stderr, timeout=SECONDS, check=False, preexec_fn=limit_output)
        stdout.seek(0)
        stderr.seek(0)
        run.stdout, run.stderr = stdout.read(), stderr.read()
    return run


def read_until(pipe, done):
    """Reads from a pipe until done(all that was read) holds; fails if that takes SECONDS."""
    output = b""
    deadline = time.monotonic() + SECONDS
    while not done(output):
        ready, _, _ = select.select([pipe], [], [], max(0.0, deadline - time.monotonic()))
        chunk = os.read(pipe.fileno(), 65536) if ready else b""
        if not chunk or len(output) > OUTPUT_LIMIT:
            raise AssertionError(f"the run ended or stalled after writing {output[-300:]!r}")
        output += chunk
    return output


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
