"""The real pervaro binary in tmux at 80 x 41, as a player's terminal runs it, and the driver of
the scenario files beside this one: tmux_game.py SCENARIO BINARY DATA."""
import os
import pty
import shlex
import shutil
import subprocess
import sys
import tempfile
import termios
import time

WINE_RUN = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "cmake", "wine-run")
FAKETIME = "/usr/lib/%s-linux-gnu/faketime/libfaketime.so.1"


def command(binary):
    """A cross-built Windows game runs under Wine."""
    return [WINE_RUN, binary] if binary.endswith(".exe") else [binary]


def frozen_clock(clock):
    """The wall clock frozen by libfaketime; the game reseeds from it in whole seconds."""
    lib = next((FAKETIME % a for a in ("x86_64", "aarch64") if os.path.exists(FAKETIME % a)), None)
    assert lib, "libfaketime is not installed (Debian package faketime)"
    return {"LD_PRELOAD": lib, "FAKETIME": "'%s'" % clock, "FAKETIME_DONT_FAKE_MONOTONIC": "1",
            "FAKETIME_NO_CACHE": "1"}


def until(deadline_seconds, probe, what):
    deadline = time.time() + deadline_seconds
    while time.time() < deadline:
        found = probe()
        if found is not None:
            return found
        time.sleep(0.05)
    raise AssertionError(what())


class Game:
    """One run in a tmux session of its own, started in cwd; its shell keeps the terminal modes
    from before and after the game and the exit status."""

    def __init__(self, binary, cwd, env, main_screen=False):
        self.dir = tempfile.mkdtemp(prefix="pervaro-tmux-")
        self.windows = binary.endswith(".exe")
        # Read as the server starts, before the game writes anything.
        self.conf = os.path.join(self.dir, "tmux.conf")
        with open(self.conf, "w") as f:
            f.write("set -wg alternate-screen off\n" if main_screen else "")
        # The shell outlives a typed Ctrl-C (a trap, not an ignored signal the game would inherit).
        script = ("trap : INT; cd {cwd}; stty -g >{d}/before; {env} {cmd}; rc=$?;"
                  " stty -g >{d}/after; echo $rc >{d}/rc.tmp; mv {d}/rc.tmp {d}/rc; sleep 600")
        script = script.format(cwd=cwd, d=self.dir, cmd=" ".join(command(binary)),
                               env=" ".join("%s=%s" % item for item in env.items()))
        self.tmux("new-session", "-d", "-x", "80", "-y", "41", "-s", "game", "sh", "-c", script)
        self.tmux("set-option", "-t", "game", "status", "off")

    def tmux(self, *args):
        return subprocess.run(["tmux", "-f", self.conf, "-S", self.dir + "/sock"] + list(args),
                              check=True, capture_output=True, text=True).stdout

    def show(self, what):
        return self.tmux("display-message", "-p", "-t", "game", what).strip()

    def keys(self, *keys):
        self.tmux("send-keys", "-t", "game", *keys)

    def screen(self):
        return self.tmux("capture-pane", "-p", "-t", "game").split("\n")

    def row(self, row):
        """Row 1..41 of the pane."""
        return (self.screen() + [""] * 41)[row - 1]

    def wait_for(self, text, timeout=40):
        until(timeout, lambda: True if any(text in line for line in self.screen()) else None,
              lambda: "never shown: %r\n%s" % (text, "\n".join(self.screen())))

    def choose(self, prompt, *keys):
        self.wait_for(prompt)
        self.keys(*keys)

    def ended(self):
        path = os.path.join(self.dir, "rc")
        return int(open(path).read()) if os.path.exists(path) else None

    def status(self):
        """The exit status, once the terminal modes are seen as before and the main screen back."""
        status = until(60, self.ended, lambda: "the game did not end\n" + "\n".join(self.screen()))
        modes = [open(os.path.join(self.dir, name)).read() for name in ("before", "after")]
        assert modes[0] == modes[1], "terminal modes not restored: %s" % modes
        assert self.show("#{alternate_on}") == "0", "the alternate screen is still on"
        return status

    def cursor(self):
        """The cursor's (column, row), both 1-based."""
        x, y = self.show("#{cursor_x} #{cursor_y}").split()
        return int(x) + 1, int(y) + 1

    def pid(self):
        """The game's process: the pane shell's child."""
        children = subprocess.run(["pgrep", "-P", self.show("#{pane_pid}")], capture_output=True)
        return int(children.stdout.split()[0])

    def play(self, answers, goal, timeout=240):
        """Types the keys of the first prompt in answers the page shows, or Space on a page that
        only waits, each once the page stands still, until goal shows or the game ends."""
        deadline, last = time.time() + timeout, None
        while time.time() < deadline:
            text = "\n".join(self.screen())
            if goal in text or self.ended() is not None:
                return
            if text == last:
                self.keys(*next((keys for prompt, keys in answers if prompt in text), ["Space"]))
                text = None
            last = text
            time.sleep(0.15)
        raise AssertionError("never shown: %r\n%s" % (goal, "\n".join(self.screen())))

    def close(self):
        subprocess.run(["tmux", "-S", self.dir + "/sock", "kill-server"], capture_output=True)
        shutil.rmtree(self.dir, ignore_errors=True)


def run_plain(binary, args, env, cwd, stdin=None):
    """Runs without tmux, with stdin the given bytes, or else a terminal: then twice, the second
    time with every stream on it, which must keep its modes and show no control sequence."""
    if stdin is not None:
        return subprocess.run(command(binary) + args, input=stdin, cwd=cwd, env=env,
                              capture_output=True, timeout=60)
    master, slave = pty.openpty()
    before = termios.tcgetattr(slave)
    result = subprocess.run(command(binary) + args, stdin=slave, cwd=cwd, env=env,
                            capture_output=True, timeout=30)
    shown = subprocess.run(command(binary) + args, stdin=slave, stdout=slave, stderr=slave,
                           cwd=cwd, env=env, timeout=30)
    assert termios.tcgetattr(slave) == before, "terminal modes changed"
    os.close(slave)
    screen = b""
    try:
        while chunk := os.read(master, 65536):
            screen += chunk
    except OSError:
        pass
    os.close(master)
    assert shown.returncode == result.returncode and b"\x1b" not in screen, (shown, screen)
    return result


def scenario(path, binary, data):
    """Runs the steps of a scenario file (README.md says what each means) in a folder with
    copies of the maps; the player's game folder is {dir}/data-home/pervaro."""
    binary, folder = os.path.abspath(binary), tempfile.mkdtemp(prefix="pervaro-e2e-")
    for name in os.listdir(data):
        if name.startswith("map") and name.endswith(".txt"):
            shutil.copy(os.path.join(data, name), folder)
    env = {"XDG_DATA_HOME": os.path.join(folder, "data-home")}
    game, answers, last = None, [], None
    try:
        for number, line in enumerate(open(path, encoding="utf-8"), 1):
            words = [w.replace("{dir}", folder).encode("latin-1", "backslashreplace")
                     .decode("unicode_escape") for w in shlex.split(line, comments=True)]
            step, args = (words or [""])[0], words[1:]
            try:
                if step == "start":
                    if game:
                        game.close()
                    options = dict(a.partition("=")[::2] for a in args)
                    clock = frozen_clock(options["clock"]) if "clock" in options else {}
                    game = Game(binary, folder, dict(env, **clock), "main-screen" in options)
                    answers = []
                elif step in ("wait", "choose"):
                    game.choose(args[0], *args[1:])
                elif step == "keys":
                    game.keys(*args)
                elif step == "answer":
                    answers.append((args[0], args[1:]))
                elif step == "play":
                    game.play(answers, args[0])
                elif step == "row":
                    shown = game.row(int(args[0])).rstrip(" ")
                    assert shown == args[1].rstrip(" "), "row %s: %r" % (args[0], shown)
                elif step == "status":
                    status = game.status()
                    assert status == int(args[-1] if game.windows else args[0]), status
                elif step == "cursor-below":
                    written = max(i + 1 for i, text in enumerate(game.screen()) if text.strip())
                    assert game.cursor() == (1, 41) and written < 41, (game.cursor(), written)
                elif step in ("run", "pipe"):
                    stdin = args.pop(1).encode() if step == "pipe" else None
                    last = run_plain(binary, args[1:], dict(os.environ, **env), folder, stdin)
                    assert last.returncode == int(args[0]), last
                elif step in ("stdout", "stderr"):
                    text = getattr(last, step).decode()
                    assert all(a in text for a in args) if args else not text, repr(text)
                elif step == "absent":
                    assert not os.path.exists(args[0])
                elif step == "size":
                    assert os.path.getsize(args[0]) == int(args[1])
                elif step:
                    raise AssertionError("unknown step")
            except AssertionError as failure:
                raise AssertionError("%s:%d: %s\n%s" % (path, number, line, failure)) from None
    finally:
        if game:
            game.close()
        shutil.rmtree(folder, ignore_errors=True)


if __name__ == "__main__":
    scenario(*sys.argv[1:4])
