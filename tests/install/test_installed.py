"""The installed game in tmux, installed into a temporary prefix's bin/ (CMAKE BUILD DATA) or by
the package (--installed /usr/games/pervaro). Started from folders without maps it keeps its save
in the player's game folder and plays the installed maps, share/pervaro beside the game's folder;
a map put there wins; a folder with map01.txt plays from its own files; nothing is ever written
among the installed files."""
import os
import shutil
import signal
import stat
import subprocess
import sys
import tempfile

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "e2e"))
from tmux_game import Game  # noqa: E402


def files(binary, installed):
    """The binary, the installed folder and everything in it, hidden or not, with their times
    (a folder's changes when a file is made or removed in it)."""
    names = [binary, installed] + [os.path.join(top, name) for top, folders, names
                                   in os.walk(installed) for name in folders + names]
    return {name: os.stat(name).st_mtime_ns for name in names}


def play(binary, cwd, env, entry, message, board=None):
    """To the main menu, entry 8 (save) or 9 (load) and its message, then stage 1's board: the
    rows given (row: text), or the installed map's; Ctrl-C ends it."""
    game = Game(binary, cwd, env)
    try:
        game.choose("いずれかのキーを押すと", "x")
        game.choose("メニューから数字を選び", "1", "Enter")
        game.choose("実行メニューを選択", entry, "Enter")
        game.choose(message, "Space")
        game.choose("実行メニューを選択", "1", "Enter")
        game.choose("ステージを選択", "1", "Enter")
        game.wait_for("STAGE :  1")
        shown = {n: line.rstrip() for n, line in enumerate(game.screen()[:34], 1)
                 if line.strip() and "STAGE" not in line}
        assert shown == board if board else len(shown) > 3, game.screen()
        game.keys("C-c")
        assert game.status() == 128 + signal.SIGINT
    finally:
        game.close()


def main():
    scratch = tempfile.mkdtemp(prefix="pervaro-installed-")
    try:
        if sys.argv[1] == "--installed":
            binary = sys.argv[2]
        else:
            prefix = os.path.join(scratch, "prefix")
            subprocess.run([sys.argv[1], "--install", sys.argv[2], "--prefix", prefix], check=True,
                           capture_output=True)
            binary = os.path.join(prefix, "bin", "pervaro")
        installed = os.path.join(os.path.dirname(os.path.dirname(binary)), "share", "pervaro")
        as_installed = files(binary, installed)
        env = {"XDG_DATA_HOME": os.path.join(scratch, "data-home")}
        folder, away, here = (os.path.join(scratch, n) for n in ("data-home/pervaro", "a", "b"))
        saved = os.path.join(folder, "save.bin")
        os.mkdir(away)

        # From a folder without maps: the game folder is made private and holds the save.
        play(binary, away, env, "8", "セーブが完了しました")
        assert stat.S_IMODE(os.stat(folder).st_mode) == 0o700 and os.path.getsize(saved) == 108

        # The next run loads that save; a map01.txt in the game folder wins: one row, S to G.
        with open(os.path.join(folder, "map01.txt"), "w") as f:
            f.write("5 1 4 999\n999 1 2 3 4\n")
        play(binary, away, env, "9", "ロードが完了しました", {17: " " * 36 + "S □ □ □ G"})

        # A folder with map01.txt plays from its own maps and keeps its own save.bin.
        os.mkdir(here)
        with open(os.path.join(here, "map01.txt"), "w") as f:
            f.write("3 2 4 999\n999 1 2\n0 0 4\n")
        before = open(saved, "rb").read()
        os.utime(saved, (0, 0))
        play(binary, here, env, "8", "セーブが完了しました",
             {16: " " * 37 + "S □ □", 17: " " * 37 + "　　G"})
        assert os.path.getsize(os.path.join(here, "save.bin")) == 108
        assert os.stat(saved).st_mtime == 0 and open(saved, "rb").read() == before

        # Among the installed maps with a file where the game folder should be, or with no folder
        # for this user's data at all: the save says why, and the installed maps play.
        open(os.path.join(scratch, "pervaro"), "w").close()
        play(binary, installed, {"XDG_DATA_HOME": scratch}, "8",
             "フォルダを作れません : Not a directory")
        play(binary, away, {"XDG_DATA_HOME": "", "HOME": ""}, "8", "保存先のフォルダがありません")
        assert files(binary, installed) == as_installed, "written among the installed files"
    finally:
        shutil.rmtree(scratch, ignore_errors=True)


if __name__ == "__main__":
    main()
