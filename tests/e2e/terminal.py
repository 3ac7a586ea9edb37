"""A real terminal for the game: a shell in a detached tmux pane."""

import os
import shlex
import shutil
import subprocess
import time

from tolvane import PROGRAM, RUNNER, SECONDS

WIDTH, HEIGHT = 80, 24


class Terminal:
    """One tmux server of its own, with a shell in the folder of the program."""

    def __init__(self, shell="sh"):
        self.socket = f"tolvane-test-{os.getpid()}-{time.monotonic_ns()}"
        environment = {"PATH": os.environ.get("PATH", "/usr/bin:/bin"), "HOME": "/tmp",
                       "LANG": "C"}
        self._tmux("-f", "/dev/null", "new-session", "-d", "-x", str(WIDTH), "-y", str(HEIGHT),
                   "-c", os.path.dirname(os.path.abspath(PROGRAM)), f"PS1='$ ' {shell}",
                   env=environment)
        self.tty = self._tmux("display-message", "-p", "#{pane_tty}").strip()
        self.shell_pid = int(self._tmux("display-message", "-p", "#{pane_pid}"))
        self.wait_for(lambda screen: screen and screen[0].startswith("$"), "the shell's prompt")

    def close(self):
        subprocess.run(["tmux", "-L", self.socket, "kill-server"], check=False,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)

    def _tmux(self, *args, env=None):
        return subprocess.run(["tmux", "-L", self.socket, *args], check=True, env=env,
                              stdout=subprocess.PIPE, timeout=SECONDS, text=True).stdout

    def type(self, text):
        self._tmux("send-keys", "-l", text)

    def enter(self, line):
        self.type(line)
        self.press("Enter")

    def press(self, *keys):
        self._tmux("send-keys", *keys)

    def run_game(self, before="", after=""):
        self.enter(f"{before}{shlex.join([*RUNNER, './' + os.path.basename(PROGRAM)])}{after}")

    def last_status(self):
        """Has the shell tell the exit status of what it ran last."""
        self.enter("echo status=$?")
        screen = self.wait_for(lambda lines: any(line.startswith("status=") for line in lines),
                               "the shell to tell the status")
        return next(int(line[len("status="):]) for line in screen if line.startswith("status="))

    def screen(self):
        """The visible lines, trailing blanks cut."""
        return [line.rstrip() for line in self._tmux("capture-pane", "-p").split("\n")[:HEIGHT]]

    def history(self):
        """The scrollback and the screen together."""
        return self._tmux("capture-pane", "-p", "-S", "-", "-E", "-")

    def cursor(self):
        x, y = self._tmux("display-message", "-p", "#{cursor_x},#{cursor_y}").split(",")
        return int(x), int(y)

    def settings(self):
        """The terminal's settings, as stty saves them."""
        return subprocess.run(["stty", "-g", "-F", self.tty], check=True, text=True,
                              stdout=subprocess.PIPE, timeout=SECONDS).stdout.strip()

    def game_pid(self):
        """The game started by the pane's shell."""
        found = subprocess.run(["pgrep", "-P", str(self.shell_pid)], text=True, timeout=SECONDS,
                               stdout=subprocess.PIPE, check=False).stdout.split()
        return int(found[0])

    def wait_for(self, condition, what, seconds=SECONDS):
        """Waits until the screen meets the condition; fails with the screen if it never does."""
        deadline = time.monotonic() + seconds
        while True:
            screen = self.screen()
            if condition(screen):
                return screen
            if time.monotonic() > deadline:
                raise AssertionError(f"waited in vain for {what}; the screen:\n" + "\n".join(screen))
            time.sleep(0.05)

    def wait_for_line(self, text):
        return self.wait_for(lambda screen: text in screen, repr(text))


def have_tmux():
    return shutil.which("tmux") is not None
