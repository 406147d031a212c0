"""Runs a command with a pseudo-terminal of 80 x 41 as its standard input and controlling
terminal, so that a Windows program under Wine gets a console; its standard output and error
stay as they are (CTest reads them), or with --screen its standard output is the terminal too.
What Wine's console draws on the terminal is dropped. Exits with the command's status.

    run_in_console.py [--screen] command [arguments]"""
import fcntl
import os
import struct
import sys
import termios
import threading


def main():
    command = sys.argv[1:]
    screen = command[:1] == ["--screen"]
    if screen:
        command = command[1:]
    master, slave = os.openpty()
    fcntl.ioctl(slave, termios.TIOCSWINSZ, struct.pack("HHHH", 41, 80, 0, 0))
    pid = os.fork()
    if pid == 0:
        os.setsid()
        fcntl.ioctl(slave, termios.TIOCSCTTY, 0)
        os.dup2(slave, 0)
        if screen:
            os.dup2(slave, 1)
        os.close(master)
        os.close(slave)
        os.execvp(command[0], command)
    os.close(slave)

    def drain():
        try:
            while os.read(master, 4096):
                pass
        except OSError:
            pass

    threading.Thread(target=drain, daemon=True).start()
    _, status = os.waitpid(pid, 0)
    sys.exit(os.waitstatus_to_exitcode(status) & 0xFF)


if __name__ == "__main__":
    main()
