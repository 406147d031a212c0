"""The real pervaro binary in tmux at 80 x 41, as a player's terminal runs it, and the driver of
the scenario files beside this one (README.md): tmux_game.py SCENARIO BINARY DATA."""
import glob
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
# Wine starts slowly and runs slower still on a loaded machine: every wait is this much longer.
WINE_SLOWER = 4


def command(binary):
    return [WINE_RUN, binary] if binary.endswith(".exe") else [binary]


def patience(binary, seconds):
    return seconds * WINE_SLOWER if binary.endswith(".exe") else seconds


def frozen_clock(clock):
    """libfaketime freezes the wall clock, which the game reseeds from in whole seconds."""
    lib = glob.glob("/usr/lib/*/faketime/libfaketime.so.1")
    assert lib, "libfaketime is not installed (Debian package faketime)"
    return {"LD_PRELOAD": lib[0], "FAKETIME": clock, "FAKETIME_DONT_FAKE_MONOTONIC": "1",
            "FAKETIME_NO_CACHE": "1"}


class Game:
    """One run in a tmux session of its own, started in cwd; its shell keeps the terminal modes
    from before and after the game, and the exit status."""

    def __init__(self, binary, cwd, env, main_screen=False):
        self.dir = tempfile.mkdtemp(prefix="pervaro-tmux-")
        self.binary = binary
        self.windows = binary.endswith(".exe")
        # Read as the server starts, before the game writes anything.
        self.conf = os.path.join(self.dir, "tmux.conf")
        with open(self.conf, "w") as f:
            f.write("set -wg alternate-screen off\n" if main_screen else "")
        # The shell outlives a typed Ctrl-C (a trap, not an ignored signal the game would inherit).
        script = ("trap : INT; cd {cwd}; stty -g >{d}/before; {env} {cmd}; rc=$?;"
                  " stty -g >{d}/after; echo $rc >{d}/rc.tmp; mv {d}/rc.tmp {d}/rc; sleep 600")
        script = script.format(cwd=shlex.quote(cwd), d=shlex.quote(self.dir),
                               cmd=shlex.join(command(binary)),
                               env=" ".join(k + "=" + shlex.quote(v) for k, v in env.items()))
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
        return (self.tmux("capture-pane", "-p", "-t", "game").split("\n") + [""] * 41)[:41]

    def wait_for(self, text, timeout=40, answers=None):
        """Until text shows; with answers, plays on the way, until text shows or the game ends:
        once a page stands still, types the keys of the first prompt of answers it shows, or
        Space on a page that only waits."""
        deadline, last = time.time() + patience(self.binary, timeout), None
        while time.time() < deadline:
            page = "\n".join(self.screen())
            if text in page or (answers is not None and self.ended() is not None):
                return
            if answers is not None and page == last:
                self.keys(*next((keys for prompt, keys in answers if prompt in page), ["Space"]))
                page = None
            last = page
            time.sleep(0.05 if answers is None else 0.15)
        raise AssertionError("never shown: %r\n%s" % (text, "\n".join(self.screen())))

    def choose(self, prompt, *keys):
        self.wait_for(prompt)
        self.keys(*keys)

    def ended(self):
        path = os.path.join(self.dir, "rc")
        return int(open(path).read()) if os.path.exists(path) else None

    def status(self):
        """The exit status, once the terminal modes are as before and the main screen is back.
        Wine's console host gives the terminal back just after the program has ended, so the
        terminal is read again for a few seconds before it counts as not given back."""
        for _ in range(patience(self.binary, 600)):
            if self.ended() is not None:
                break
            time.sleep(0.1)
        else:
            raise AssertionError("the game did not end\n" + "\n".join(self.screen()))
        before = open(os.path.join(self.dir, "before")).read().strip()
        after = open(os.path.join(self.dir, "after")).read().strip()
        tty = self.show("#{pane_tty}")
        for _ in range(50 if self.windows else 1):
            after = after if after == before else self.modes(tty)
            if after == before and self.show("#{alternate_on}") == "0":
                return self.ended()
            time.sleep(0.1)
        assert after == before, "terminal modes not restored: %s" % [before, after]
        raise AssertionError("the alternate screen is still on")

    @staticmethod
    def modes(tty):
        with open(tty) as terminal:
            return subprocess.run(["stty", "-g"], stdin=terminal, capture_output=True,
                                  text=True).stdout.strip()

    def close(self):
        subprocess.run(["tmux", "-S", self.dir + "/sock", "kill-server"], capture_output=True)
        shutil.rmtree(self.dir, ignore_errors=True)


def run_plain(binary, args, env, cwd, stdin=None):
    """Runs without tmux, with stdin the given bytes, or else a terminal, which must keep its
    modes and be sent no control sequence."""
    if stdin is not None:
        return subprocess.run(command(binary) + args, input=stdin, cwd=cwd, env=env,
                              capture_output=True, timeout=patience(binary, 60))
    master, slave = pty.openpty()
    before = termios.tcgetattr(slave)
    result = subprocess.run(command(binary) + args, stdin=slave, cwd=cwd, env=env,
                            capture_output=True, timeout=patience(binary, 30))
    assert termios.tcgetattr(slave) == before, "terminal modes changed"
    assert b"\x1b" not in result.stdout + result.stderr, result
    os.close(master)
    os.close(slave)
    return result


def scenario(path, binary, data):
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
                    game.wait_for(args[0], 240, answers)
                elif step == "row":
                    shown = game.screen()[int(args[0]) - 1].rstrip(" ")
                    assert shown == args[1].rstrip(" "), "row %s: %r" % (args[0], shown)
                elif step == "status":
                    status = game.status()
                    assert status == int(args[-1] if game.windows else args[0]), status
                elif step == "cursor-below":
                    written = max(i + 1 for i, text in enumerate(game.screen()) if text.strip())
                    cursor = game.show("#{cursor_x} #{cursor_y}")
                    assert cursor == "0 40" and written < 41, (cursor, written)
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
