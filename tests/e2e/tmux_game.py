"""Drives the real pervaro binary in tmux at 80 x 41, the way a player's terminal would."""
import os
import shutil
import subprocess
import tempfile
import time
import unicodedata


# Runs a Windows game under Wine, in a prefix made on first use.
WINE_RUN = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "cmake", "wine-run")


def cells(text):
    """Columns tmux gives the text: East Asian wide characters two, everything else one."""
    return sum(2 if unicodedata.east_asian_width(c) in "WF" else 1 for c in text)


class Game:
    def __init__(self, binary, data_dir, maps=True, env=None, columns=80, rows=41,
                 alternate_screen=True, cwd=None):
        """Runs the binary in its own folder (with copies of the maps unless maps is False), or
        in cwd."""
        self.binary = os.path.abspath(binary)
        self.dir = tempfile.mkdtemp(prefix="pervaro-e2e-")
        # Read as the server starts, before the game writes anything.
        self.conf = os.path.join(self.dir, "tmux.conf")
        with open(self.conf, "w") as f:
            f.write("" if alternate_screen else "set -wg alternate-screen off\n")
        if maps:
            for name in sorted(os.listdir(data_dir)):
                if name.startswith("map") and name.endswith(".txt"):
                    shutil.copy(os.path.join(data_dir, name), self.dir)
        self.session = "pervaro-%d-%d" % (os.getpid(), int(time.time() * 1000) % 1000000)
        self.socket = os.path.join(self.dir, "tmux.sock")
        # The player's game folder is a private one, never the real user's.
        env = dict({"XDG_DATA_HOME": os.path.join(self.dir, "data-home")}, **(env or {}))
        prefix = "".join("%s=%s " % (k, v) for k, v in env.items())
        command = self.binary
        if self.windows():
            command = "%s %s" % (WINE_RUN, self.binary)
        # The shell outlives a typed Ctrl-C (a trap, not an ignored signal, which the game
        # would inherit).
        script = (
            "trap : INT; cd {cwd}; stty -g > {d}/before.txt; {prefix}{command}; rc=$?; "
            "stty -g > {d}/after.tmp; mv {d}/after.tmp {d}/after.txt; echo $rc > {d}/status.tmp; "
            "mv {d}/status.tmp {d}/status.txt; sleep 600"
        ).format(cwd=cwd or self.dir, d=self.dir, prefix=prefix, command=command)
        self.tmux("new-session", "-d", "-x", str(columns), "-y", str(rows), "-s", self.session,
                  "sh", "-c", script)
        self.tmux("set-option", "-t", self.session, "status", "off")

    def windows(self):
        """A cross-built Windows game, which runs under Wine."""
        return self.binary.endswith(".exe")

    def tmux(self, *args):
        return subprocess.run(["tmux", "-f", self.conf, "-S", self.socket] + list(args), check=True,
                              capture_output=True, text=True).stdout

    def keys(self, *keys):
        self.tmux("send-keys", "-t", self.session, *keys)

    def type(self, text):
        self.tmux("send-keys", "-t", self.session, "-l", text)

    def screen(self):
        return self.tmux("capture-pane", "-p", "-t", self.session).split("\n")

    def row(self, row):
        """Row 1..41 of the pane."""
        lines = self.screen()
        return lines[row - 1] if row - 1 < len(lines) else ""

    def to_title(self):
        """From start-up past the hint and the credit pages to the title menu's prompt."""
        self.wait_for("いずれかのキーを押すと")
        self.keys("x")
        self.wait_for("メニューから数字を選び", timeout=40)

    def choose(self, prompt, answer):
        """Waits for the prompt, then types the answer and Enter."""
        self.wait_for(prompt)
        self.keys(answer, "Enter")

    def wait_for(self, text, timeout=30.0):
        deadline = time.time() + timeout
        while time.time() < deadline:
            if any(text in line for line in self.screen()):
                return True
            time.sleep(0.05)
        raise AssertionError("never shown: %r\n%s" % (text, "\n".join(self.screen())))

    def status(self, timeout=30.0):
        path = os.path.join(self.dir, "status.txt")
        deadline = time.time() + timeout
        while time.time() < deadline:
            if os.path.exists(path):
                with open(path) as f:
                    text = f.read().strip()
                if text:
                    return int(text)
            time.sleep(0.05)
        raise AssertionError("the game did not end\n" + "\n".join(self.screen()))

    def terminal_restored(self):
        """The terminal modes after the game equal those before, and the main screen is back."""
        with open(os.path.join(self.dir, "before.txt")) as f:
            before = f.read()
        with open(os.path.join(self.dir, "after.txt")) as f:
            after = f.read()
        alternate = self.tmux("display-message", "-p", "-t", self.session, "#{alternate_on}").strip()
        return before == after and alternate == "0"

    def cursor(self):
        """The cursor's (column, row), both 1-based."""
        x, y = self.tmux("display-message", "-p", "-t", self.session, "#{cursor_x} #{cursor_y}").split()
        return int(x) + 1, int(y) + 1

    def pid(self):
        """The game's process id: the child of this pane's shell (other games may run too)."""
        shell = self.tmux("display-message", "-p", "-t", self.session, "#{pane_pid}").strip()
        out = subprocess.run(["pgrep", "-P", shell, "-f", self.binary], capture_output=True,
                             text=True)
        return int(out.stdout.split()[0]) if out.stdout.split() else None

    def close(self):
        subprocess.run(["tmux", "-S", self.socket, "kill-server"], capture_output=True)
        shutil.rmtree(self.dir, ignore_errors=True)


# Frozen wall clocks (the monotonic clock runs on) for which every square event at stage 1
# is the same happening: the generator is reseeded from the clock in whole seconds.
TRAP_CLOCK = "2026-12-06 12:00:11"
COINS_CLOCK = "2026-12-06 12:00:07"


def frozen_clock_env(clock):
    """Environment that runs the game under libfaketime with the wall clock frozen."""
    for lib in ("/usr/lib/x86_64-linux-gnu/faketime/libfaketime.so.1",
                "/usr/lib/aarch64-linux-gnu/faketime/libfaketime.so.1"):
        if os.path.exists(lib):
            return {"LD_PRELOAD": lib, "FAKETIME": "'%s'" % clock,
                    "FAKETIME_DONT_FAKE_MONOTONIC": "1", "FAKETIME_NO_CACHE": "1"}
    raise AssertionError("libfaketime is not installed (Debian package faketime)")


# Answers that take a new game from the title to stage 1.
TO_STAGE_ONE = [
    ("メニューから数字を選び", ["1", "Enter"]),
    ("実行メニューを選択", ["1", "Enter"]),
    ("ステージを選択", ["1", "Enter"]),
]
# Answers that play a stage: no help, then the die every turn.
PLAY_STAGE = [
    ("シナリオおよびルール", ["0", "Enter"]),
    ("1.ダイスを振る", ["1", "Enter"]),
]

HIDDEN_SEQUENCE = ["Up", "Up", "Down", "Down", "Left", "Right", "Left", "Right", "b", "Enter"]


def answer_prompts(game, answers, until, timeout=120.0, on_screen=None):
    """Plays by the screen: types the answer of the first prompt that shows on row 40 (or
    anywhere on the page), presses Space on pages that only wait, until `until(screen)` holds
    or the game ends. Returns the last screen."""
    deadline = time.time() + timeout
    last = None
    while time.time() < deadline:
        screen = game.screen()
        text = "\n".join(screen)
        if on_screen:
            on_screen(text)
        if until(text) or os.path.exists(os.path.join(game.dir, "status.txt")):
            return text
        if text == last:
            time.sleep(0.15)
            if "\n".join(game.screen()) != text:
                continue
            for prompt, keys in answers:
                if prompt in text:
                    game.keys(*keys)
                    break
            else:
                game.keys("Space")
            last = None
            time.sleep(0.1)
            continue
        last = text
        time.sleep(0.1)
    raise AssertionError("timed out\n" + "\n".join(game.screen()))
