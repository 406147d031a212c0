// The boss battle on the virtual terminal: boss choice, HP, greetings, the command input with
// its hidden sequence, and the ways a battle ends.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstdint>
#include <string>
#include <tuple>
#include <vector>

#include "boss/boss.hpp"
#include "boss/boss_pictures.hpp"
#include "boss/exchange.hpp"
#include "console/random.hpp"
#include "state/player_state.hpp"
#include "support/screen_expect.hpp"
#include "support/virtual_platform.hpp"

namespace {

using Keys = std::vector<std::string>;

const std::string kUp = "\x1b[A", kDown = "\x1b[B", kRight = "\x1b[C", kLeft = "\x1b[D";
const std::string kEnter = "\r";
const Keys kHidden = {kUp, kUp, kDown, kDown, kLeft, kRight, kLeft, kRight, "b", kEnter};

constexpr std::int64_t kClock = 1'800'000'000;

// A wall-clock start at which the boss choice draws a value of this parity and the first
// battle turn's boss action, after the intro's four seconds, is `action` (0 = any).
std::int64_t clockGiving(int parity, int action = 0) {
    const auto firstDraw = [](std::int64_t seconds) {
        seedRandom(static_cast<std::uint32_t>(seconds));
        return nextRandom();
    };
    std::int64_t s = kClock;
    while (firstDraw(s) % 2 != parity || (action != 0 && firstDraw(s + 4) % 4 + 1 != action)) {
        ++s;
    }
    return s;
}

struct BattleRun {
    int status = 0;
    int result = -1;
};

// One battle: a key for the wait before the intro, then the scripted keys.
BattleRun battle(int stage, std::int64_t clock, const Keys& keys, int extraMode = 0,
                 int clears = 0) {
    vt::Options options;
    options.wallClockStart = clock;
    vt::reset(options);
    applyNewGameDefaults();
    player.extraMode = extraMode;
    player.stageClears[std::clamp(stage, 1, kStageCount) - 1] = clears;
    vt::type(kEnter);
    for (const std::string& key : keys) {
        vt::type(key);
    }
    BattleRun run;
    run.status = vt::run([&] { run.result = bossBattle(stage); });
    return run;
}

Keys concat(Keys a, const Keys& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

std::string cursorTo(int column, int row) {
    return "\x1b[" + std::to_string(row) + ";" + std::to_string(column) + "H";
}

TEST(BossBattle, BossHpAndFrameByStageAndExtraMode) {
    // stage, parity of the boss draw, extraMode, boss, HP. A save file may hold any extraMode:
    // every non-zero one is extra mode.
    const int cases[][5] = {{1, 0, 0, BossGoblin, 30},          {1, 1, 0, BossWizard, 60},
                            {2, 0, 1, BossGoblin, 35},          {2, 1, 1, BossWizard, 70},
                            {3, 0, 0, BossWizard, 60},          {3, 1, 1, BossDemon, 120},
                            {4, 0, 0, BossDemon, 100},          {4, 1, 0, BossElfQueen, 250},
                            {5, 0, 0, BossElfQueen, 250},       {5, 1, 1, BossElfQueen, 290},
                            {5, 1, INT_MIN, BossElfQueen, 290}, {1, 0, INT_MAX, BossGoblin, 35}};
    const char* const appearance[] = {"ゴブリンが立ちはだかった", "ウィザードが立ちはだかった",
                                      "デーモンが立ちはだかった", "エルフクイーンがたちはだかった"};
    for (const auto& [stage, parity, extraMode, boss, maxHp] : cases) {
        SCOPED_TRACE(testing::Message() << "stage " << stage << " parity " << parity);
        EXPECT_EQ(battle(stage, clockGiving(parity), {}, extraMode).status, 1);
        ASSERT_EQ(vt::snapshots().size(), 2u);
        EXPECT_NE(vt::output().find(cursorTo(24, 1) + appearance[boss]), std::string::npos);

        // The first command: the appearance line is gone, the HP lines and the frame are up.
        const ScreenGrid& page = vt::snapshots()[1];
        const std::string hp = std::to_string(maxHp) + " / " + std::to_string(maxHp);
        const std::string bossHp = std::string(15, ' ') + "  ボスのHP  " + hp;
        EXPECT_EQ(page.rowText(1), bossHp + std::string(80 - textColumns(bossHp), ' '));
        EXPECT_SNAPSHOT_TEXT_AT(page, 16, 39, "あなたのHP  " + hp);
        const BossPicture& p = bossPicture(static_cast<BossKind>(boss));
        for (int i = 0; i < p.rows && (38 - p.rows) / 2 + i < 31; ++i) {
            EXPECT_SNAPSHOT_TEXT_AT(page, (79 - p.columns) / 2, (38 - p.rows) / 2 + i, p.lines[i]);
        }
        EXPECT_SNAPSHOT_TEXT_AT(page, 24, 31, "+----------------------------+");
        EXPECT_SNAPSHOT_TEXT_AT(page, 24, 34, "| → たたかう      まほう    |");
        EXPECT_SNAPSHOT_TEXT_AT(page, 24, 37, "+----------------------------+");
        EXPECT_EQ(page.rowText(40), std::string(80, ' '));
        EXPECT_EQ(page.column, 26);
        EXPECT_EQ(page.row, 34);
    }
}

TEST(BossBattle, GreetingByClearCount) {
    const char* const first = "なんだ！ キサマは！！ 下等なニンゲンごときが我に刃向かうか！！";
    const char* const again = "！！！ また来やがったな！ 今度は前の様にはいかぬぞ！！";
    const char* const often = "・・・またキサマか！！なんの用だ！！";
    const char* const enough = "・・・もう勘弁してくれ・・・";
    // Clears of the stage, column, greeting.
    const std::tuple<int, int, const char*> cases[] = {{0, 8, first},  {1, 8, again},
                                                       {4, 8, again},  {5, 16, often},
                                                       {9, 16, often}, {10, 16, enough}};
    for (const auto& [clears, column, greeting] : cases) {
        SCOPED_TRACE(clears);
        // The wizard's picture ends on row 29; the greeting stands on row 32.
        battle(1, clockGiving(1), {}, 0, clears);
        const std::string& out = vt::output();
        const std::size_t at = out.find(cursorTo(column, 32) + greeting);
        ASSERT_NE(at, std::string::npos);
        // Shown once, after the removal of the appearance line.
        EXPECT_LT(out.find(cursorTo(24, 1) + std::string(32, ' ')), at);
        EXPECT_EQ(out.find(greeting, at + cursorTo(column, 32).size() + 1), std::string::npos);
    }
}

TEST(BossBattle, ArrowMovesAndWraps) {
    // Keys the battle does not know leave the arrow where it is.
    const Keys keys = {kUp,   kUp, kUp,   kDown, kDown,  kDown, kRight, kRight,
                       kLeft, kUp, kDown, kLeft, kRight, "x",   "b",    "\x1b"};
    const int steps[][2] = {{26, 36}, {26, 35}, {26, 34}, {26, 35}, {26, 36}, {26, 34},
                            {40, 34}, {26, 34}, {40, 34}, {40, 36}, {40, 34}, {26, 34},
                            {40, 34}, {40, 34}, {40, 34}, {40, 34}};
    battle(1, clockGiving(0), keys);
    for (std::size_t k = 0; k < std::size(steps); ++k) {
        SCOPED_TRACE(testing::Message() << "after key " << k + 1);
        const ScreenGrid& page = vt::snapshots()[2 + k];
        for (const int column : {26, 40}) {
            for (int row = 34; row <= 36; ++row) {
                const bool here = column == steps[k][0] && row == steps[k][1];
                EXPECT_SNAPSHOT_TEXT_AT(page, column, row, here ? "→" : "  ");
            }
        }
        EXPECT_EQ(page.column, steps[k][0]);
        EXPECT_EQ(page.row, steps[k][1]);
    }
}

TEST(BossBattle, EnterTakesTheCommandUnderTheArrow) {
    Keys noB = kHidden, shortLeft = kHidden;
    noB.erase(noB.begin() + 8);
    shortLeft.erase(shortLeft.begin() + 4);
    // Keys, then what the message box shows with the boss attacking, and its row.
    const std::tuple<Keys, std::string, int> cases[] = {
        {{kEnter}, "---  ガキーーーーン！！  ---", 20},
        {{kRight, kEnter}, "敵は魔法詠唱のスキを狙って『こうげき』をしてきた！", 18},
        {{kDown, kEnter}, "防御態勢だと少しHPが回復するうえに反撃まで可能だ！！", 20},
        {{kDown, kLeft, kEnter}, "集中しているので、反応できない！！", 20},
        {{kUp, kRight, kEnter, kEnter},
         "しっぽをまいて、にげだした・・・・なさけないっ (((;＞＜)",
         20},
        // A broken hidden sequence: without its 'b' たたかう; one left short まほう.
        {noB, "敵は『こうげき』をしかけてきた！", 18},
        {shortLeft, "魔法詠唱のスキを狙って", 18},
        // A third up starts the count again; the arrow ends on アイテム, the bag opens ("0"
        // leaves it) and the boss does not strike on an item turn.
        {concat(concat({kUp}, kHidden), {"0\r"}), bossPicture(BossGoblin).lines[15], 18}};
    const std::int64_t clock = clockGiving(0, EnemyAttack);
    for (const auto& [keys, text, row] : cases) {
        SCOPED_TRACE(keys.size());
        const BattleRun run = battle(1, clock, keys);
        const ScreenGrid& page = vt::snapshots().back();
        EXPECT_NE(page.rowText(row).find(text), std::string::npos) << page.rowText(row);
        EXPECT_EQ(vt::output().find("裏技を使った"), std::string::npos);
        // Fleeing ends the battle at once with 0 and leaves the boss its HP.
        const bool fled = text.rfind("しっぽ", 0) == 0;
        EXPECT_EQ(run.status, fled ? -1 : 1);
        EXPECT_EQ(run.result, fled ? 0 : -1);
        if (fled) {
            EXPECT_SNAPSHOT_TEXT_AT(page, 16, 1, "  ボスのHP  30 / 30");
        }
    }
    // The next turn brings back the picture band under the message box, blanks around it.
    battle(1, clock, {kEnter, kEnter});
    const BossPicture& p = bossPicture(BossGoblin);
    for (int band = 16; band <= 24; ++band) {
        const std::string line = p.lines[band - 3];
        EXPECT_EQ(vt::snapshots()[3].rowText(band),
                  std::string(14, ' ') + line + std::string(66 - line.size(), ' '))
            << "row " << band;
    }
}

void expectVictory(const BattleRun& run, int maxHp) {
    EXPECT_EQ(run.status, -1);
    EXPECT_EQ(run.result, 1);
    const ScreenGrid& last = vt::snapshots().back();
    EXPECT_SNAPSHOT_TEXT_AT(last, 16, 20, "ステージボスを撃破した！！");
    EXPECT_EQ(last.rowText(16), std::string(79, '*') + " ");
    EXPECT_EQ(last.rowText(24), std::string(79, '*') + " ");
    // The boss's HP was drawn as 0 before the picture started to flash.
    const std::string& out = vt::output();
    const std::size_t zero = out.find(cursorTo(16, 1) + "  ボスのHP  0 / " + std::to_string(maxHp));
    ASSERT_NE(zero, std::string::npos);
    EXPECT_LT(zero, out.find("ステージボスを撃破した！！"));
}

TEST(BossBattle, HiddenSequenceOrFightingOnWins) {
    // From any arrow position; keys the battle ignores do not break the sequence either.
    const Keys withIgnored = {kUp,    kUp,    kDown, "x",    kDown, kLeft,
                              kRight, "\x1b", kLeft, kRight, "b",   kEnter};
    for (const Keys& keys : {kHidden, concat({kRight, kDown}, kHidden), withIgnored}) {
        SCOPED_TRACE(keys.size());
        const BattleRun run = battle(2, clockGiving(1), concat(keys, {kEnter, kEnter}));
        const ScreenGrid& page = vt::snapshots()[2 + keys.size() - 1];
        EXPECT_SNAPSHOT_TEXT_AT(page, 16, 18, "裏技を使った！！ 天空より光の剣が敵に降り注ぐ！！");
        EXPECT_SNAPSHOT_TEXT_AT(page, 16, 20, "敵のHPを一気に削りきり、気絶させた！");
        EXPECT_SNAPSHOT_TEXT_AT(page, 16, 22, "※注意：裏技の乱用はオススメしません");
        expectVictory(run, 60);
    }
    expectVictory(battle(1, clockGiving(0), Keys(400, kEnter)), 30);
}

// Whatever the keys, the battle ends cleanly or goes on waiting; a stage number out of range
// is taken as the nearest stage.
TEST(BossBattle, AnyKeysAndStagesEndCleanly) {
    const std::string pool[] = {kUp,      kDown, kLeft,  kRight,        kEnter, "b",
                                "B",      "H",   "P",    " ",           "\x1b", "\x1b[5~",
                                "\x1bOA", "0",   "\x7f", "\xe3\x81\x82"};
    std::uint32_t mix = 12345;
    for (const int stage : {0, 1, 2, 3, 4, 5, 6, -100}) {
        Keys keys;
        while (keys.size() < 300) {
            mix = mix * 1103515245u + 12345u;
            keys.push_back(pool[(mix >> 16) % std::size(pool)]);
        }
        const BattleRun run = battle(stage, kClock + stage, keys);
        EXPECT_TRUE(run.status == -1 ? run.result == 0 || run.result == 1 : vt::inputExhausted());
        EXPECT_TRUE(vt::unknownSequences().empty()) << stage;
    }
}

}  // namespace
