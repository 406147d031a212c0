"""The title cycle in a real terminal: the dice picture in its columns, quitting with status 0,
and the cursor left under the last page where the alternate screen is ignored."""
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

    # A terminal that ignores the alternate screen keeps the last page: the shell's prompt must
    # come under it, not over its top rows.
    game = Game(binary, data, alternate_screen=False)
    try:
        game.to_title()
        game.type("0")
        game.keys("Enter")
        game.wait_for("Pervaro team")
        game.keys("x")
        assert game.status() == 0
        screen = game.screen()
        last_written = max(i + 1 for i, line in enumerate(screen) if line.strip())
        column, row = game.cursor()
        assert (column, row) == (1, 41) and row > last_written, (column, row, last_written)
        assert "最終更新日" in "\n".join(screen), "\n".join(screen)
    finally:
        game.close()


if __name__ == "__main__":
    main()
