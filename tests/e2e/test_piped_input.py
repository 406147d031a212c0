"""Keys from a pipe instead of a terminal: the game plays them, and at the end of the input it
ends with status 1 and says so on standard error, without hanging."""
import os
import subprocess
import sys
import tempfile

from tmux_game import WINE_RUN


def run(binary, keys):
    command = [WINE_RUN, binary] if binary.endswith(".exe") else [binary]
    with tempfile.TemporaryDirectory() as scratch:
        env = dict(os.environ, XDG_DATA_HOME=os.path.join(scratch, "data-home"))
        return subprocess.run(command, input=keys, cwd=scratch, env=env, capture_output=True,
                              timeout=60)


def main():
    binary = os.path.abspath(sys.argv[1])
    quit_at_once = run(binary, b"x1\r0\r0\rx")
    assert quit_at_once.returncode == 0, quit_at_once
    ended = run(binary, b"x")
    assert ended.returncode == 1, ended.returncode
    assert b"input has ended" in ended.stderr, ended.stderr
    nothing = run(binary, b"")
    assert nothing.returncode == 1, nothing.returncode


if __name__ == "__main__":
    main()
