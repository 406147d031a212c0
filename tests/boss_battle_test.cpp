// The boss battle on the virtual terminal: boss choice, HP, greetings, the command input with
// its hidden sequence, and the ways a battle ends.
#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <string>
#include <vector>

#include "boss/boss.hpp"
#include "boss/boss_pictures.hpp"
#include "boss/exchange.hpp"
#include "console/random.hpp"
#include "state/player_state.hpp"
#include "support/screen_expect.hpp"
#include "support/virtual_platform.hpp"

namespace {

const std::string kUp = "\x1b[A";
const std::string kDown = "\x1b[B";
const std::string kRight = "\x1b[C";
const std::string kLeft = "\x1b[D";
const std::string kEnter = "\r";
const std::vector<std::string> kHidden = {kUp,    kUp,   kDown,  kDown, kLeft,
                                          kRight, kLeft, kRight, "b",   kEnter};

constexpr std::int64_t kClock = 1'800'000'000;
// The intro's two pauses come before the first battle turn draws the boss's action.
constexpr std::int64_t kIntroSeconds = 4;

int firstDrawAfterSeeding(std::int64_t seconds) {
    seedRandom(static_cast<std::uint32_t>(seconds));
    return nextRandom();
}

// A wall-clock start at which the boss choice draws a value of this parity and the first
// battle turn's boss action is `action` (0 = any).
std::int64_t clockGiving(int parity, int action = 0) {
    for (std::int64_t s = kClock;; ++s) {
        if (firstDrawAfterSeeding(s) % 2 == parity &&
            (action == 0 || firstDrawAfterSeeding(s + kIntroSeconds) % 4 + 1 == action)) {
            return s;
        }
    }
}

struct BattleRun {
    int status = 0;
    int result = -1;
};

// One battle: a key for the wait before the intro, then the scripted keys.
BattleRun battle(int stage, std::int64_t clock, const std::vector<std::string>& keys,
                 int extraMode = 0, int clears = 0) {
    vt::Options options;
    options.wallClockStart = clock;
    vt::reset(options);
    applyNewGameDefaults();
    player.extraMode = extraMode;
    player.stageClears[stage - 1] = clears;
    vt::type(kEnter);
    for (const std::string& key : keys) {
        vt::type(key);
    }
    BattleRun run;
    run.status = vt::run([&] { run.result = bossBattle(stage); });
    return run;
}

std::vector<std::string> concat(std::vector<std::string> a, const std::vector<std::string>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

int pictureLeft(const BossPicture& p) {
    return (79 - p.columns) / 2;
}
int pictureTop(const BossPicture& p) {
    return (38 - p.rows) / 2;
}

std::string cursorTo(int column, int row) {
    return "\x1b[" + std::to_string(row) + ";" + std::to_string(column) + "H";
}

TEST(BossPictures, SizesAndStrokes) {
    struct Size {
        BossKind kind;
        int rows;
        int columns;
        bool parentheses;
    };
    const Size sizes[] = {{BossGoblin, 31, 49, true},
                          {BossWizard, 22, 26, false},
                          {BossDemon, 22, 34, false},
                          {BossElfQueen, 31, 54, false}};
    for (const Size& s : sizes) {
        const BossPicture& p = bossPicture(s.kind);
        ASSERT_EQ(p.rows, s.rows);
        ASSERT_EQ(p.columns, s.columns);
        for (int i = 0; i < p.rows; ++i) {
            const std::string line = p.lines[i];
            EXPECT_EQ(static_cast<int>(line.size()), s.columns) << s.kind << " line " << i;
            const std::string strokes = s.parentheses ? "# ()" : "# ";
            EXPECT_EQ(line.find_first_not_of(strokes), std::string::npos) << s.kind << " " << i;
        }
    }
}

TEST(BossBattle, BossAndHpByStageAndExtraMode) {
    struct Case {
        int stage;
        int parity;
        int extraMode;
        BossKind boss;
        const char* appearance;
        int hp;
    };
    const Case cases[] = {
        {1, 0, 0, BossGoblin, "ゴブリンが立ちはだかった", 30},
        {1, 1, 0, BossWizard, "ウィザードが立ちはだかった", 60},
        {2, 0, 1, BossGoblin, "ゴブリンが立ちはだかった", 35},
        {2, 1, 1, BossWizard, "ウィザードが立ちはだかった", 70},
        {3, 0, 0, BossWizard, "ウィザードが立ちはだかった", 60},
        {3, 1, 1, BossDemon, "デーモンが立ちはだかった", 120},
        {4, 0, 0, BossDemon, "デーモンが立ちはだかった", 100},
        {4, 1, 0, BossElfQueen, "エルフクイーンがたちはだかった", 250},
        {5, 0, 0, BossElfQueen, "エルフクイーンがたちはだかった", 250},
        {5, 1, 1, BossElfQueen, "エルフクイーンがたちはだかった", 290},
        // A save file may hold any value: every non-zero one is extra mode.
        {5, 0, 7, BossElfQueen, "エルフクイーンがたちはだかった", 290},
        {5, 1, INT_MIN, BossElfQueen, "エルフクイーンがたちはだかった", 290},
        {1, 0, INT_MAX, BossGoblin, "ゴブリンが立ちはだかった", 35},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "stage " << c.stage << " parity " << c.parity);
        const BattleRun run = battle(c.stage, clockGiving(c.parity), {}, c.extraMode);
        EXPECT_EQ(run.status, 1);
        EXPECT_TRUE(vt::inputExhausted());
        ASSERT_EQ(vt::snapshots().size(), 2u);
        EXPECT_NE(vt::output().find(cursorTo(24, 1) + c.appearance), std::string::npos);

        // The first command: the appearance line is gone, the HP lines and the frame are up.
        const ScreenGrid& page = vt::snapshots()[1];
        const std::string bossHp =
            "  ボスのHP  " + std::to_string(c.hp) + " / " + std::to_string(c.hp);
        EXPECT_EQ(page.rowText(1),
                  std::string(15, ' ') + bossHp +
                      std::string(static_cast<std::size_t>(65 - textColumns(bossHp)), ' '));
        EXPECT_SNAPSHOT_TEXT_AT(
            page, 16, 39, "あなたのHP  " + std::to_string(c.hp) + " / " + std::to_string(c.hp));
        const BossPicture& p = bossPicture(c.boss);
        for (int i = 0; i < p.rows && pictureTop(p) + i < 31; ++i) {
            EXPECT_SNAPSHOT_TEXT_AT(page, pictureLeft(p), pictureTop(p) + i, p.lines[i])
                << "picture line " << i;
        }
        EXPECT_EQ(page.column, 26);
        EXPECT_EQ(page.row, 34);
    }
}

TEST(BossBattle, CommandFrame) {
    battle(4, clockGiving(0), {});
    const ScreenGrid& page = vt::snapshots()[1];
    // The arrow stands on たたかう.
    const char* const frame[] = {
        "+----------------------------+", "|  <コマンド選択>            |",
        "+----------------------------|", "| → たたかう      まほう    |",
        "|    ぼうぎょ      ためる    |", "|    アイテム      にげる    |",
        "+----------------------------+",
    };
    for (int j = 0; j < 7; ++j) {
        EXPECT_SNAPSHOT_TEXT_AT(page, 24, 31 + j, frame[j]);
    }
    EXPECT_EQ(page.rowText(38), std::string(80, ' '));
    EXPECT_EQ(page.rowText(40), std::string(80, ' '));
}

TEST(BossBattle, GreetingByClearCount) {
    struct Case {
        int clears;
        int column;
        const char* greeting;
    };
    const Case cases[] = {
        {0, 8, "なんだ！ キサマは！！ 下等なニンゲンごときが我に刃向かうか！！"},
        {1, 8, "！！！ また来やがったな！ 今度は前の様にはいかぬぞ！！"},
        {4, 8, "！！！ また来やがったな！ 今度は前の様にはいかぬぞ！！"},
        {5, 16, "・・・またキサマか！！なんの用だ！！"},
        {9, 16, "・・・またキサマか！！なんの用だ！！"},
        {10, 16, "・・・もう勘弁してくれ・・・"},
        {250, 16, "・・・もう勘弁してくれ・・・"},
        {-3, 8, "なんだ！ キサマは！！ 下等なニンゲンごときが我に刃向かうか！！"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.clears);
        // The wizard's picture ends on row 29; the greeting stands on row 32.
        battle(1, clockGiving(1), {}, 0, c.clears);
        const std::string& out = vt::output();
        const std::size_t at = out.find(cursorTo(c.column, 32) + c.greeting);
        ASSERT_NE(at, std::string::npos);
        // Shown between the removal of the appearance line and the first command.
        EXPECT_LT(out.find(cursorTo(24, 1) + std::string(32, ' ')), at);
        EXPECT_EQ(out.find(c.greeting, at + cursorTo(c.column, 32).size() + 1), std::string::npos)
            << "shown once";
        EXPECT_EQ(vt::snapshots()[1].rowText(1).find(c.greeting), std::string::npos);
    }
}

TEST(BossBattle, ArrowMovesAndWraps) {
    struct Step {
        std::string key;
        int column;
        int row;
    };
    const Step steps[] = {
        {kUp, 26, 36},    {kUp, 26, 35},   {kUp, 26, 34},    {kDown, 26, 35},
        {kDown, 26, 36},  {kDown, 26, 34}, {kRight, 40, 34}, {kRight, 26, 34},
        {kLeft, 40, 34},  {kUp, 40, 36},   {kDown, 40, 34},  {kLeft, 26, 34},
        {kRight, 40, 34}, {"x", 40, 34},   {"b", 40, 34},    {"\x1b", 40, 34},
    };
    std::vector<std::string> keys;
    for (const Step& s : steps) {
        keys.push_back(s.key);
    }
    battle(1, clockGiving(0), keys);
    const int columns[] = {26, 40};
    for (std::size_t k = 0; k < std::size(steps); ++k) {
        SCOPED_TRACE(testing::Message() << "after key " << k + 1);
        const ScreenGrid& page = vt::snapshots()[2 + k];
        for (const int column : columns) {
            for (int row = 34; row <= 36; ++row) {
                const bool here = column == steps[k].column && row == steps[k].row;
                EXPECT_SNAPSHOT_TEXT_AT(page, column, row, here ? "→" : "  ");
            }
        }
        EXPECT_EQ(page.column, steps[k].column);
        EXPECT_EQ(page.row, steps[k].row);
    }
}

TEST(BossBattle, EnterTakesTheCommandUnderTheArrow) {
    struct Case {
        std::vector<std::string> moves;
        int command;
        const char* text;  // what the message box shows with the boss attacking
        int row;
    };
    const Case cases[] = {
        {{}, CommandFight, "---  ガキーーーーン！！  ---", 20},
        {{kRight}, CommandMagic, "敵は魔法詠唱のスキを狙って『こうげき』をしてきた！", 18},
        {{kDown}, CommandDefend, "防御態勢だと少しHPが回復するうえに反撃まで可能だ！！", 20},
        {{kDown, kLeft}, CommandCharge, "集中しているので、反応できない！！", 20},
        {{kLeft, kDown, kDown, kRight}, CommandItem, "", 0},
        {{kUp, kRight},
         CommandFlee,
         "しっぽをまいて、にげだした・・・・なさけないっ (((;＞＜)",
         20},
    };
    const std::int64_t clock = clockGiving(0, EnemyAttack);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.command);
        const bool item = c.command == CommandItem;
        // The item command opens the bag; "0" closes it again without using anything.
        const BattleRun run =
            battle(1, clock, concat(c.moves, item ? std::vector<std::string>{kEnter, "0\r", kEnter}
                                                  : std::vector<std::string>{kEnter, kEnter}));
        const std::size_t at = 2 + c.moves.size() + (item ? 1 : 0);
        const ScreenGrid& page = vt::snapshots()[at];
        if (item) {
            EXPECT_SNAPSHOT_TEXT_AT(vt::snapshots()[at - 1], 16, 3, "-----所持品一覧-----");
            // Back from the bag: the page is the picture alone, the boss does not strike.
            EXPECT_EQ(page.rowText(1), std::string(80, ' '));
            EXPECT_EQ(page.rowText(18), std::string(14, ' ') + bossPicture(BossGoblin).lines[15] +
                                            std::string(17, ' '));
            const ScreenGrid& next = vt::snapshots()[at + 1];
            EXPECT_SNAPSHOT_TEXT_AT(next, 16, 1, "  ボスのHP  30 / 30");
            EXPECT_SNAPSHOT_TEXT_AT(next, 16, 39, "あなたのHP  30 / 30");
            EXPECT_SNAPSHOT_TEXT_AT(next, 26, 34, "→");
        } else {
            EXPECT_SNAPSHOT_TEXT_AT(page, 16, c.row, c.text);
        }
        if (c.command == CommandFlee) {
            EXPECT_EQ(run.status, -1);
            EXPECT_EQ(run.result, 0);
            EXPECT_SNAPSHOT_TEXT_AT(page, 16, 1, "  ボスのHP  30 / 30");
            EXPECT_SNAPSHOT_TEXT_AT(page, 16, 39, "あなたのHP  30 / 30");
            EXPECT_FALSE(vt::inputExhausted());
        } else {
            EXPECT_EQ(run.status, 1);
            EXPECT_TRUE(vt::inputExhausted());
        }
    }
}

TEST(BossBattle, PictureBandComesBackAfterAnExchange) {
    for (const int parity : {0, 1}) {
        SCOPED_TRACE(parity);
        battle(4, clockGiving(parity), {kEnter, kEnter});
        const BossPicture& p = bossPicture(parity == 0 ? BossDemon : BossElfQueen);
        const ScreenGrid& page = vt::snapshots()[3];
        for (int row = 16; row <= 24; ++row) {
            const std::string line = p.lines[row - pictureTop(p)];
            EXPECT_EQ(
                page.rowText(row),
                std::string(static_cast<std::size_t>(pictureLeft(p) - 1), ' ') + line +
                    std::string(static_cast<std::size_t>(81 - pictureLeft(p)) - line.size(), ' '))
                << "row " << row;
        }
        EXPECT_SNAPSHOT_TEXT_AT(page, 26, 34, "→");
        EXPECT_SNAPSHOT_TEXT_AT(page, 24, 37, "+----------------------------+");
    }
}

void expectVictory(const BattleRun& run, int maxHp) {
    EXPECT_EQ(run.status, -1);
    EXPECT_EQ(run.result, 1);
    const ScreenGrid& last = vt::snapshots().back();
    EXPECT_SNAPSHOT_TEXT_AT(last, 16, 20, "ステージボスを撃破した！！");
    EXPECT_EQ(last.rowText(16), std::string(79, '*') + " ");
    EXPECT_EQ(last.rowText(24), std::string(79, '*') + " ");
    EXPECT_EQ(last.rowText(3), std::string(80, ' '));
    EXPECT_EQ(last.rowText(30), std::string(80, ' '));
    EXPECT_EQ(last.column, 1);
    EXPECT_EQ(last.row, 40);
    // The boss's HP was drawn as 0 before the picture started to flash.
    const std::string& out = vt::output();
    const std::size_t zero = out.find(cursorTo(16, 1) + "  ボスのHP  0 / " + std::to_string(maxHp));
    ASSERT_NE(zero, std::string::npos);
    EXPECT_LT(zero, out.find("ステージボスを撃破した！！"));
}

TEST(BossBattle, HiddenSequenceWinsFromAnyArrowPosition) {
    const std::vector<std::vector<std::string>> starts = {
        {}, {kDown, kDown}, {kRight, kDown}, {kDown, kRight, kDown, kDown, kDown}, {kUp, kLeft},
    };
    for (const std::vector<std::string>& moves : starts) {
        SCOPED_TRACE(moves.size());
        const BattleRun run =
            battle(2, clockGiving(1), concat(concat(moves, kHidden), {kEnter, kEnter}));
        const ScreenGrid& page = vt::snapshots()[2 + moves.size() + kHidden.size() - 1];
        EXPECT_SNAPSHOT_TEXT_AT(page, 16, 18, "裏技を使った！！ 天空より光の剣が敵に降り注ぐ！！");
        EXPECT_SNAPSHOT_TEXT_AT(page, 16, 20, "敵のHPを一気に削りきり、気絶させた！");
        EXPECT_SNAPSHOT_TEXT_AT(page, 16, 22, "※注意：裏技の乱用はオススメしません");
        expectVictory(run, 60);
    }
}

TEST(BossBattle, KeysTheBattleIgnoresDoNotBreakTheHiddenSequence) {
    std::vector<std::string> keys = kHidden;
    keys.insert(keys.begin() + 3, "x");
    keys.insert(keys.begin() + 7, "\x1b");
    const BattleRun run = battle(1, clockGiving(0), concat(keys, {kEnter, kEnter}));
    expectVictory(run, 30);
}

TEST(BossBattle, BrokenHiddenSequenceTakesTheCommandUnderTheArrow) {
    const auto without = [](std::size_t index) {
        std::vector<std::string> keys = kHidden;
        keys.erase(keys.begin() + static_cast<std::ptrdiff_t>(index));
        return keys;
    };
    std::vector<std::string> extraUp = kHidden;
    extraUp.insert(extraUp.begin(), kUp);
    extraUp.push_back("0\r");  // leaves the bag that アイテム opened
    struct Case {
        std::vector<std::string> keys;
        std::string row18;  // what the page shows on row 18 at the next key wait
    };
    const Case cases[] = {
        // Without its 'b': たたかう against the boss's attack.
        {without(8), "敵は『こうげき』をしかけてきた！"},
        // One left short: the arrow ends on まほう.
        {without(4), "敵は魔法詠唱のスキを狙って『こうげき』をしてきた！"},
        // A third up starts the count again; the arrow ends on アイテム, the bag opens.
        {extraUp, bossPicture(BossGoblin).lines[15]},
    };
    const std::int64_t clock = clockGiving(0, EnemyAttack);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.keys.size());
        battle(1, clock, c.keys);
        EXPECT_TRUE(vt::inputExhausted());
        const std::string& out = vt::output();
        EXPECT_EQ(out.find("裏技を使った"), std::string::npos);
        EXPECT_EQ(out.find("ステージボスを撃破した"), std::string::npos);
        EXPECT_NE(vt::snapshots().back().rowText(18).find(c.row18), std::string::npos);
    }
}

TEST(BossBattle, FightingOnUntilTheBossFalls) {
    std::vector<std::string> keys(400, kEnter);
    const BattleRun run = battle(1, clockGiving(0), keys);
    expectVictory(run, 30);
}

}  // namespace

// Whatever the keys, the battle ends cleanly or goes on waiting; a stage number out of range
// is taken as the nearest stage.
TEST(BossBattle, AnyKeysAndStagesEndCleanly) {
    const std::string pool[] = {kUp, kDown, kLeft,  kRight,        kEnter,    "b",
                                "B", "H",   "P",    "\x1b",        "\x1b[5~", "\x1bOA",
                                "0", " ",   "\x7f", "\xe3\x81\x82"};
    std::uint32_t mix = 12345;
    for (const int stage : {0, 1, 2, 3, 4, 5, 6, -100}) {
        std::vector<std::string> keys;
        for (int i = 0; i < 300; ++i) {
            mix = mix * 1103515245u + 12345u;
            keys.push_back(pool[(mix >> 16) % std::size(pool)]);
        }
        vt::Options options;
        options.wallClockStart = kClock + stage;
        vt::reset(options);
        applyNewGameDefaults();
        vt::type(kEnter);
        for (const std::string& key : keys) {
            vt::type(key);
        }
        int result = -1;
        const int status = vt::run([&] { result = bossBattle(stage); });
        EXPECT_TRUE(status == -1 ? (result == 0 || result == 1) : vt::inputExhausted()) << stage;
        EXPECT_TRUE(vt::unknownSequences().empty());
    }
}
