"""The title cycle in a real terminal: the dice picture in its columns, quitting with status 0."""
import sys

from tmux_game import Game


def main():
    binary, data = sys.argv[1], sys.argv[2]
    game = Game(binary, data)
    try:
        game.to_title()
        # tmux draws ● one column wide: the game fills the second column with a blank, so each
        # die stays ten columns wide and the pips stand where they belong.
        expected = {
            20: "+--------+          +--------+          +--------+",
            21: "|        |          |●      |          |●    ●|",
            22: "|   ●   |          |   ●   |          |   ●   |",
            23: "|        |          |      ●|          |●    ●|",
        }
        for row, text in expected.items():
            shown = game.row(row)[11:61]
            assert shown == text.replace("●", "● "), "row %d: %r" % (row, shown)
        assert game.row(1).startswith("*" * 79), game.row(1)
        game.type("5")
        game.keys("Enter")
        game.type("0")
        game.keys("Enter")
        game.wait_for("Pervaro team")
        game.keys("x")
        status = game.status()
        assert status == 0, status
        assert game.terminal_restored(), "terminal not restored"
    finally:
        game.close()


if __name__ == "__main__":
    main()
