"""A missing map file: "Error!", status 1, and the message still readable once the game ended."""
import sys

from tmux_game import TO_STAGE_ONE, Game, answer_prompts


def main():
    binary, data = sys.argv[1], sys.argv[2]
    game = Game(binary, data, maps=False)
    try:
        game.wait_for("いずれかのキーを押すと")
        answer_prompts(game, TO_STAGE_ONE, until=lambda text: False, timeout=60)
        status = game.status()
        assert status == 1, status
        assert game.terminal_restored(), "terminal not restored"
        # Back on the shell's screen, the message stands below the command line.
        screen = "\n".join(game.screen())
        assert "Error!" in screen, screen
        assert "map01.txt" in screen, screen
    finally:
        game.close()


if __name__ == "__main__":
    main()
