"""Save in one run, load in the next: the loaded state shows on the status line.
The first run finds coins on every stop (frozen clock) and wins the boss with the hidden keys."""
import re
import sys

from tmux_game import (COINS_CLOCK, HIDDEN_SEQUENCE, PLAY_STAGE, Game, answer_prompts,
                       frozen_clock_env)


def main():
    binary, data = sys.argv[1], sys.argv[2]
    first = Game(binary, data, env=frozen_clock_env(COINS_CLOCK))
    coin = None
    try:
        state = {"battle": False}

        def watch(text):
            if "<コマンド選択>" in text and not state["battle"]:
                state["battle"] = True
                for key in HIDDEN_SEQUENCE:
                    first.keys(key)

        # Play stage 1 to its end, back in the main menu.
        first.to_title()
        first.keys("1", "Enter")
        first.choose("実行メニューを選択", "1")
        first.choose("ステージを選択", "1")
        answers = [("ステージを選択", ["0", "Enter"])] + PLAY_STAGE
        answer_prompts(first, answers, on_screen=watch, timeout=240,
                       until=lambda text: "実行メニューを選択" in text)
        assert state["battle"], "never reached the boss"
        first.keys("3", "Enter")  # the inventory shows the status line
        first.wait_for("どれを使用しますか")
        match = re.search(r"COIN :\s*(\d+)", "\n".join(first.screen()))
        coin = int(match.group(1))
        assert coin > 0, coin
        first.keys("0", "Enter")
        first.keys("Space")
        first.choose("実行メニューを選択", "8")
        first.wait_for("セーブが完了しました")
        saved = open(first.dir + "/save.bin", "rb").read()
        assert len(saved) == 108, len(saved)
    finally:
        first.close()

    second = Game(binary, data)
    try:
        with open(second.dir + "/save.bin", "wb") as f:
            f.write(saved)
        second.to_title()
        second.keys("1", "Enter")
        second.choose("実行メニューを選択", "9")
        second.wait_for("ロードが完了しました")
        second.keys("Space")
        second.choose("実行メニューを選択", "3")
        second.wait_for("どれを使用しますか")
        line = [l for l in second.screen() if "COIN :" in l][0]
        assert re.search(r"COIN :\s*%d " % coin, line), line
        second.keys("0", "Enter")
        second.keys("Space")
        second.choose("実行メニューを選択", "0")
        second.wait_for("メニューから数字を選び", timeout=40)
        second.keys("0", "Enter")
        second.wait_for("Pervaro team")
        second.keys("x")
        assert second.status() == 0
        assert second.terminal_restored(), "terminal not restored"
    finally:
        second.close()


if __name__ == "__main__":
    main()
