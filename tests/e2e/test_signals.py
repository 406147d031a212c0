"""SIGINT, SIGTERM and SIGHUP in the middle of a page: the terminal is restored every time."""
import os
import signal
import sys
import time

from tmux_game import Game


def main():
    binary, data = sys.argv[1], sys.argv[2]
    for sig, moment in ((signal.SIGINT, "title"), (signal.SIGTERM, "credits"),
                        (signal.SIGHUP, "title")):
        game = Game(binary, data)
        try:
            if moment == "title":
                game.to_title()
            else:
                game.wait_for("いずれかのキーを押すと")
                game.keys("x")
                game.wait_for("Presents  by")
                time.sleep(0.5)  # asleep between the credit pages
            pid = game.pid()
            assert pid, "no game process"
            os.kill(pid, sig)
            status = game.status()
            assert status == 128 + sig, (sig, status)
            assert game.terminal_restored(), "terminal not restored after %s" % sig.name
        finally:
            game.close()


if __name__ == "__main__":
    main()
