// The boss battle on the virtual terminal: boss choice, HP, greetings, the command input with
// its hidden sequence, and the ways a battle ends.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstdint>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "boss/boss.hpp"
#include "boss/boss_pictures.hpp"
#include "boss/exchange.hpp"
#include "console/random.hpp"
#include "state/player_state.hpp"
#include "support/key_script.hpp"
#include "support/screen_expect.hpp"
#include "support/virtual_platform.hpp"

namespace {

// A wall-clock start at which the boss choice draws a value of this parity and the first
// battle turn's boss action, after the intro's four seconds, is `action` (0 = any).
std::int64_t clockGiving(int parity, int action = 0) {
    const auto firstDraw = [](std::int64_t seconds) {
        seedRandom(static_cast<std::uint32_t>(seconds));
        return nextRandom();
    };
    std::int64_t s = 1'800'000'000;
    while (firstDraw(s) % 2 != parity || (action != 0 && firstDraw(s + 4) % 4 + 1 != action)) {
        ++s;
    }
    return s;
}

// One battle: a key for the wait before the intro, then the scripted keys. Returns the exit
// status (-1 when the battle returned) and what it returned.
std::pair<int, int> battle(int stage, std::int64_t clock, const Keys& keys, int extraMode = 0,
                           int clears = 0) {
    vt::Options options;
    options.wallClockStart = clock;
    vt::reset(options);
    applyNewGameDefaults();
    player.extraMode = extraMode;
    player.stageClears[std::clamp(stage, 1, kStageCount) - 1] = clears;
    vt::type(kEnter);
    typeKeys(keys);
    int result = -1;
    const int status = vt::run([&] { result = bossBattle(stage); });
    return {status, result};
}

Keys concat(Keys a, const Keys& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

std::string cursorTo(int column, int row) {
    return "\x1b[" + std::to_string(row) + ";" + std::to_string(column) + "H";
}

TEST(BossBattle, BossHpFrameAndGreeting) {
    // A save file may hold any extraMode: every non-zero one is extra mode. A stage number out
    // of range is taken as the nearest stage.
    struct Case {
        int stage, parity, extraMode, clears, boss, hp, greeting;
    };
    const Case cases[] = {
        {1, 0, 0, 0, BossGoblin, 30, 0},          {2, 1, 1, 1, BossWizard, 70, 1},
        {3, 1, 0, 4, BossDemon, 100, 1},          {4, 1, 1, 5, BossElfQueen, 290, 2},
        {5, 0, INT_MIN, 9, BossElfQueen, 290, 2}, {0, 0, INT_MAX, 10, BossGoblin, 35, 3},
        {6, 0, 0, 0, BossElfQueen, 250, 0},       {3, 0, 0, 0, BossWizard, 60, 0}};
    const char* const appearance[] = {"ゴブリンが立ちはだかった", "ウィザードが立ちはだかった",
                                      "デーモンが立ちはだかった", "エルフクイーンがたちはだかった"};
    const std::pair<int, const char*> greetings[] = {
        {8, "なんだ！ キサマは！！ 下等なニンゲンごときが我に刃向かうか！！"},
        {8, "！！！ また来やがったな！ 今度は前の様にはいかぬぞ！！"},
        {16, "・・・またキサマか！！なんの用だ！！"},
        {16, "・・・もう勘弁してくれ・・・"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "stage " << c.stage << " parity " << c.parity);
        EXPECT_EQ(battle(c.stage, clockGiving(c.parity), {}, c.extraMode, c.clears).first, 1);
        ASSERT_EQ(vt::snapshots().size(), 2u);
        const std::string& out = vt::output();
        EXPECT_NE(out.find(cursorTo(24, 1) + appearance[c.boss]), std::string::npos);
        // The greeting two rows under the picture, once, after the appearance line is removed.
        const BossPicture& p = bossPicture(static_cast<BossKind>(c.boss));
        const auto [column, greeting] = greetings[c.greeting];
        const std::string at = cursorTo(column, (38 - p.rows) / 2 + p.rows + 2) + greeting;
        ASSERT_NE(out.find(at), std::string::npos);
        EXPECT_LT(out.find(cursorTo(24, 1) + std::string(32, ' ')), out.find(at));
        EXPECT_EQ(out.find(greeting, out.find(at) + at.size()), std::string::npos);

        // The first command: the HP lines, the picture and the frame with the arrow.
        const ScreenGrid& page = vt::snapshots()[1];
        const std::string hp = std::to_string(c.hp) + " / " + std::to_string(c.hp);
        const std::string bossHp = std::string(15, ' ') + "  ボスのHP  " + hp;
        EXPECT_EQ(page.rowText(1), bossHp + std::string(80 - textColumns(bossHp), ' '));
        EXPECT_SNAPSHOT_TEXT_AT(page, 16, 39, "あなたのHP  " + hp);
        for (int i = 0; i < p.rows && (38 - p.rows) / 2 + i < 31; ++i) {
            EXPECT_SNAPSHOT_TEXT_AT(page, (79 - p.columns) / 2, (38 - p.rows) / 2 + i, p.lines[i]);
        }
        EXPECT_SNAPSHOT_TEXT_AT(page, 24, 31, "+----------------------------+");
        EXPECT_SNAPSHOT_TEXT_AT(page, 24, 34, "| → たたかう      まほう    |");
    }
}

TEST(BossBattle, ArrowKeysAndEnterTakeTheCommandUnderTheArrow) {
    Keys noB = kHidden, shortLeft = kHidden;
    noB.erase(noB.begin() + 8);
    shortLeft.erase(shortLeft.begin() + 4);
    // Keys, then what the message box shows with the boss attacking, and its row. The arrow
    // wraps around; keys the battle does not know leave it where it is.
    const std::tuple<Keys, std::string, int> cases[] = {
        {{kEnter}, "---  ガキーーーーン！！  ---", 20},
        {{kRight, kEnter}, "魔法詠唱のスキを狙って", 18},
        {{kDown, kDown, kDown, "x", "b", "\x1b", kDown, kEnter}, "反撃まで可能だ", 20},
        {{kDown, kLeft, kEnter}, "集中しているので", 20},
        {{kUp, kRight, kEnter, kEnter}, "しっぽをまいて", 20},
        // A broken hidden sequence: without its 'b' たたかう; one left short まほう.
        {noB, "敵は『こうげき』をしかけてきた！", 18},
        {shortLeft, "魔法詠唱のスキを狙って", 18},
        // A third up starts the count again; the arrow ends on アイテム, the bag opens ("0"
        // leaves it) and the boss does not strike on an item turn.
        {concat(concat({kUp}, kHidden), {"0\r"}), bossPicture(BossGoblin).lines[15], 18}};
    const std::int64_t clock = clockGiving(0, EnemyAttack);
    for (const auto& [keys, text, row] : cases) {
        SCOPED_TRACE(keys.size());
        const auto [status, result] = battle(1, clock, keys);
        const ScreenGrid& page = vt::snapshots().back();
        EXPECT_NE(page.rowText(row).find(text), std::string::npos) << page.rowText(row);
        // Each move erased the arrow it left (the bag leaves a page without the frame).
        std::string cells;
        for (int frameRow = 34; frameRow <= 36; ++frameRow) {
            cells += page.textAt(26, frameRow, 2) + page.textAt(40, frameRow, 2);
        }
        EXPECT_EQ(cells.find("→"), cells.rfind("→"));
        // Fleeing ends the battle at once with 0 and leaves the boss its HP.
        const bool fled = text == "しっぽをまいて";
        EXPECT_EQ(status, fled ? -1 : 1);
        EXPECT_EQ(result, fled ? 0 : -1);
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

TEST(BossBattle, HiddenSequenceOrFightingOnWins) {
    // The sequence from any arrow position; keys the battle ignores do not break it either.
    const Keys withIgnored = {kUp,    kUp,    kDown, "x",    kDown, kLeft,
                              kRight, "\x1b", kLeft, kRight, "b",   kEnter};
    const std::tuple<int, Keys, int> cases[] = {{2, withIgnored, 60},
                                                {2, concat({kRight, kDown}, kHidden), 60},
                                                {1, Keys(400, kEnter), 30}};
    for (const auto& [stage, keys, maxHp] : cases) {
        SCOPED_TRACE(keys.size());
        EXPECT_EQ(battle(stage, clockGiving(stage - 1), concat(keys, {kEnter, kEnter})),
                  std::make_pair(-1, 1));
        if (stage == 2) {
            EXPECT_SNAPSHOT_TEXT_AT(vt::snapshots()[2 + keys.size() - 1], 16, 18,
                                    "裏技を使った！！ 天空より光の剣が敵に降り注ぐ！！");
        }
        const ScreenGrid& last = vt::snapshots().back();
        EXPECT_SNAPSHOT_TEXT_AT(last, 16, 20, "ステージボスを撃破した！！");
        EXPECT_EQ(last.rowText(16), std::string(79, '*') + " ");
        EXPECT_EQ(last.rowText(24), std::string(79, '*') + " ");
        // The boss's HP was drawn as 0 before the picture started to flash.
        const std::string& out = vt::output();
        const std::size_t zero =
            out.find(cursorTo(16, 1) + "  ボスのHP  0 / " + std::to_string(maxHp));
        ASSERT_NE(zero, std::string::npos);
        EXPECT_LT(zero, out.find("ステージボスを撃破した！！"));
        // With no exchange fought the message box stays over the picture band until then.
        EXPECT_EQ(out.find(cursorTo(1, 16) + std::string(79, ' ')) != std::string::npos,
                  stage == 1);
    }
}

}  // namespace
