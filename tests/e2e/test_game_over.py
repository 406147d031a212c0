"""A stage played until LIFE runs out: the game-over page, status 1, the terminal restored.
The wall clock is frozen at a second whose square event is a trap, so every stop costs 1 LIFE."""
import sys

from tmux_game import PLAY_STAGE, TO_STAGE_ONE, TRAP_CLOCK, Game, answer_prompts, frozen_clock_env


def main():
    binary, data = sys.argv[1], sys.argv[2]
    game = Game(binary, data, env=frozen_clock_env(TRAP_CLOCK))
    seen = set()

    def watch(text):
        for mark in ("うわっ！！ トラップだ!!", "なんと！  ライフが 0 になってしまった !",
                     "Game  Over  ....", "またの挑戦、まっておるぞ !!"):
            if mark in text:
                seen.add(mark)

    try:
        game.wait_for("いずれかのキーを押すと")
        answer_prompts(game, TO_STAGE_ONE + PLAY_STAGE, until=lambda text: False, on_screen=watch, timeout=180)
        status = game.status()
        assert status == 1, status
        missing = {"うわっ！！ トラップだ!!", "Game  Over  ....", "またの挑戦、まっておるぞ !!"} - seen
        assert not missing, missing
        assert game.terminal_restored(), "terminal not restored"
    finally:
        game.close()


if __name__ == "__main__":
    main()
