"""Stage 1's board in a real terminal, column by column, and the first die; Ctrl-C there ends the
game and gives the terminal back (the Windows build's console, under Wine, as well)."""
import os
import sys

from tmux_game import TO_STAGE_ONE, Game

DIE_LINES = {"+--------+", "|        |", "|●      |", "|   ●   |", "|      ●|", "|●    ●|"}


def board_rows(map_path):
    """The rows drawBoard writes for a map with the player at the start, as tmux shows them:
    ■ and □ narrow with the game's blank after them, the ideographic space wide."""
    with open(map_path) as f:
        numbers = [int(n) for n in f.read().split()]
    width, height, goal, start = numbers[:4]
    cells = numbers[4:]
    top = (35 - height) // 2
    left = (79 - width) // 2
    rows = {}
    for row in range(height):
        line = " " * (left - 1)
        for cell in cells[row * width:(row + 1) * width]:
            line += ("S " if cell == start else "G " if cell == goal else
                     "　" if cell == 0 else "□ ")
        rows[top + row] = line.rstrip()
    return rows


def main():
    binary, data = sys.argv[1], sys.argv[2]
    game = Game(binary, data)
    try:
        game.to_title()
        for prompt, keys in TO_STAGE_ONE:
            game.wait_for(prompt)
            game.keys(*keys)
        game.wait_for("STAGE :  1")
        for row, text in board_rows(os.path.join(data, "map01.txt")).items():
            assert game.row(row).rstrip() == text, "row %d: %r" % (row, game.row(row))
        assert game.row(35) == " " * 23 + "STAGE :  1", game.row(35)
        status = " " * 7 + "LIFE :  5/ 5 , COIN :     0 , LV : 1 経験値( 0/100)"
        assert game.row(38) == status, game.row(38)
        game.keys("Space")
        game.choose("シナリオおよびルール", "0")
        game.choose("1.ダイスを振る", "1")
        game.wait_for("+--------+")
        die = [game.row(row)[34:44].replace("● ", "●") for row in range(17, 22)]
        assert die[0] == die[4] == "+--------+", die
        assert all(line in DIE_LINES for line in die[1:4]), die
        game.keys("C-c")
        status = game.status()
        # SIGINT on POSIX; on Windows the status a program ended by Ctrl-C has, 0xC000013A,
        # of which a shell sees the low byte.
        assert status == (0x3A if game.windows() else 128 + 2), status
        assert game.terminal_restored(), "terminal not restored"
    finally:
        game.close()


if __name__ == "__main__":
    main()
