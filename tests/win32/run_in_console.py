"""Runs a command on an 80 x 41 pseudo-terminal, its standard input (with --screen, its output
too) and controlling terminal, so that Wine gives a Windows program a console. Wine's drawing
there is dropped; the exit status is the command's."""
import os
import pty
import sys
import termios
import threading

screen = sys.argv[1:2] == ["--screen"]
command = sys.argv[1 + screen:]
output, errors = os.dup(1), os.dup(2)
pid, terminal = pty.fork()
if pid == 0:
    termios.tcsetwinsize(0, (41, 80))
    if not screen:
        os.dup2(output, 1)
    os.dup2(errors, 2)
    os.execvp(command[0], command)


def drain():
    try:
        while os.read(terminal, 4096):
            pass
    except OSError:
        pass


threading.Thread(target=drain, daemon=True).start()
sys.exit(os.waitstatus_to_exitcode(os.waitpid(pid, 0)[1]) & 0xFF)
