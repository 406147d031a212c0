"""The installed game, played in tmux: installed into a temporary prefix, started from folders
without maps it keeps its save in the player's game folder and reads the installed maps; a map
the player put there wins; a folder with map01.txt is played from as ever; nothing is written
among the installed maps, even when the game folder cannot be made."""
import os
import shutil
import signal
import stat
import subprocess
import sys
import tempfile

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "e2e"))
from tmux_game import Game  # noqa: E402

# A map of one row, S and G three squares apart: drawn on row 17 from column 37.
ONE_ROW_MAP = "5 1 4 999\n999 1 2 3 4\n"
# Two rows: drawn on rows 16 and 17 from column 38.
TWO_ROW_MAP = "3 2 4 999\n999 1 2\n0 0 4\n"


def files_under(folder):
    return sorted(os.path.join(top, name) for top, _, names in os.walk(folder) for name in names)


def board_rows(game):
    """The rows of the board area that show anything, by number."""
    return [n for n in range(1, 35) if game.row(n).strip() and "STAGE" not in game.row(n)]


def menu(game):
    """From start-up to the main menu."""
    game.to_title()
    game.keys("1", "Enter")
    game.wait_for("実行メニューを選択")


def save(game, expect):
    game.choose("実行メニューを選択", "8")
    game.wait_for(expect)
    game.keys("Space")


def to_board(game):
    """From the main menu to stage 1's board."""
    game.choose("実行メニューを選択", "1")
    game.choose("ステージを選択", "1")
    game.wait_for("STAGE :  1")


def end(game):
    os.kill(game.pid(), signal.SIGINT)  # as Ctrl-C, to the game alone
    assert game.status() == 128 + signal.SIGINT
    assert game.terminal_restored(), "terminal not restored"


def main():
    """Either CMAKE BUILD DATA: installs the build into a temporary prefix first; or
    --installed PREFIX DATA: the game installed there already (a package)."""
    scratch = tempfile.mkdtemp(prefix="pervaro-installed-")
    data = sys.argv[3]
    games = []
    try:
        if sys.argv[1] == "--installed":
            prefix = sys.argv[2]
        else:
            prefix = os.path.join(scratch, "prefix")
            subprocess.run([sys.argv[1], "--install", sys.argv[2], "--prefix", prefix],
                           check=True, capture_output=True)
        binary = os.path.join(prefix, "bin", "pervaro")
        installed = os.path.join(prefix, "share", "pervaro")
        as_installed = files_under(installed) + [os.stat(binary).st_mtime]
        data_home = os.path.join(scratch, "data-home")
        folder = os.path.join(data_home, "pervaro")
        saved = os.path.join(folder, "save.bin")
        env = {"XDG_DATA_HOME": data_home}

        def play(**kwargs):
            game = Game(binary, data, maps=False, env=kwargs.pop("env", env), **kwargs)
            games.append(game)
            return game

        # From an empty folder: the game folder is made private, the save goes there, the
        # board is the installed map01.txt.
        game = play()
        menu(game)
        assert stat.S_IMODE(os.stat(folder).st_mode) == 0o700, oct(os.stat(folder).st_mode)
        save(game, "セーブが完了しました")
        assert os.path.getsize(saved) == 108
        to_board(game)
        assert len(board_rows(game)) > 3, "not the installed stage-1 map"
        end(game)

        # The next run loads that save; a map01.txt in the game folder wins.
        with open(os.path.join(folder, "map01.txt"), "w") as f:
            f.write(ONE_ROW_MAP)
        game = play()
        menu(game)
        game.choose("実行メニューを選択", "9")
        game.wait_for("ロードが完了しました")
        game.keys("Space")
        to_board(game)
        assert board_rows(game) == [17] and game.row(17)[36:38] == "S ", game.screen()
        end(game)

        # A folder with map01.txt plays from its own maps and keeps its own save.bin.
        here = os.path.join(scratch, "here")
        os.mkdir(here)
        with open(os.path.join(here, "map01.txt"), "w") as f:
            f.write(TWO_ROW_MAP)
        before = open(saved, "rb").read()
        os.utime(saved, (0, 0))
        game = play(cwd=here)
        menu(game)
        save(game, "セーブが完了しました")
        assert os.path.getsize(os.path.join(here, "save.bin")) == 108
        assert os.stat(saved).st_mtime == 0 and open(saved, "rb").read() == before
        to_board(game)
        assert board_rows(game) == [16, 17], game.screen()
        end(game)

        # Started among the installed maps, with a file where the game folder should be: the
        # save says why it failed, the installed maps still play, and nothing is written there.
        blocked = os.path.join(scratch, "blocked")
        os.mkdir(blocked)
        open(os.path.join(blocked, "pervaro"), "w").close()
        game = play(cwd=installed, env={"XDG_DATA_HOME": blocked})
        menu(game)
        save(game, "フォルダを作れません : Not a directory")
        to_board(game)
        assert len(board_rows(game)) > 3, "the installed maps did not play"
        end(game)

        # No folder for this user's data at all: the save says so.
        game = play(env={"XDG_DATA_HOME": "", "HOME": ""})
        menu(game)
        save(game, "保存先のフォルダがありません")
        end(game)

        assert files_under(installed) + [os.stat(binary).st_mtime] == as_installed, \
            "written among the installed files"
    finally:
        for game in games:
            game.close()
        shutil.rmtree(scratch, ignore_errors=True)


if __name__ == "__main__":
    main()
