"""--help, --version and a wrong argument: what goes to which stream, the exit status, and a
terminal left exactly as it was (the game's start would switch it to raw mode and the
alternate screen)."""
import os
import pty
import subprocess
import sys
import tempfile
import termios


def run(binary, args, env):
    """Runs with the terminal on standard input (and, in the second run, on every stream) and
    returns (status, stdout, stderr, all the terminal showed, modes before, modes after)."""
    master, slave = pty.openpty()
    before = termios.tcgetattr(slave)
    piped = subprocess.run([binary] + args, stdin=slave, capture_output=True, env=env, timeout=30)
    shown = subprocess.run([binary] + args, stdin=slave, stdout=slave, stderr=slave, env=env,
                           timeout=30)
    after = termios.tcgetattr(slave)
    os.close(slave)
    screen = b""
    try:
        while True:
            chunk = os.read(master, 65536)
            if not chunk:
                break
            screen += chunk
    except OSError:
        pass
    os.close(master)
    assert shown.returncode == piped.returncode, (shown.returncode, piped.returncode)
    return piped.returncode, piped.stdout.decode(), piped.stderr.decode(), screen, before, after


def main():
    binary = os.path.abspath(sys.argv[1])
    with tempfile.TemporaryDirectory() as scratch:
        data_home = os.path.join(scratch, "data-home")
        env = dict(os.environ, XDG_DATA_HOME=data_home)
        cases = [
            (["--help"], 0, "out"),
            (["--version"], 0, "out"),
            (["--helpme"], 2, "err"),
            (["-h"], 2, "err"),
            (["--help", "--version"], 2, "err"),
            ([""], 2, "err"),
        ]
        for args, status, stream in cases:
            got, out, err, screen, before, after = run(binary, args, env)
            where = "%r: status %d\nstdout %r\nstderr %r" % (args, got, out, err)
            assert got == status, where
            assert before == after, where + "\nterminal modes changed"
            assert b"\x1b" not in screen, where + "\ncontrol sequences reached the terminal"
            if stream == "out":
                assert err == "" and out.endswith("\n"), where
            else:
                assert out == "" and err.count("\n") == 1, where
                assert err.startswith("pervaro: ") and "usage: pervaro [--help | --version]" in err, where
        _, out, _, _, _, _ = run(binary, ["--version"], env)
        assert out.startswith("pervaro ") and out.count("\n") == 1, out
        _, out, _, _, _, _ = run(binary, ["--help"], env)
        for needed in ("Usage: pervaro", "save.bin", "map01.txt", "Ctrl-C", "Ctrl-Z",
                       "Exit status", os.path.join(data_home, "pervaro")):
            assert needed in out, "--help lacks %r\n%s" % (needed, out)
        # Asking creates nothing.
        assert not os.path.exists(data_home), "--help made the game folder"


if __name__ == "__main__":
    main()
