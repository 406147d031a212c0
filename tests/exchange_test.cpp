// The exchange table: every pair of command and boss action, with the random draws it takes.
#include "boss/exchange.hpp"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "console/random.hpp"

namespace {

// One draw the exchange takes: nextRandom() % modulus gives remainder.
struct Draw {
    int modulus, remainder;
};

// Both sides before and after: bossHp, playerHp, playerCharge, bossCharge; maxHp is 100, so
// d10 = 10 and d20 = 5. Each line is named by a fragment that tells it from its alternatives.
struct Case {
    int command, action, before[4];
    std::vector<Draw> draws;
    int after[4];
    const char* lines[3];
};

// clang-format off
const Case kCases[] = {
    // たたかう: cancels out without a draw.
    {CommandFight, EnemyAttack, {80, 70, 3, 3}, {}, {80, 70, 1, 1},
     {"こうげき", "ガキー", "相殺"}},
    {CommandFight, EnemyMagic, {80, 70, 1, 1}, {{10, 5}, {10, 6}}, {73, 70, 1, 1},
     {"まほう", "先制攻撃だ", "妨害"}},
    // A charge of 3 doubles into the critical.
    {CommandFight, EnemyMagic, {80, 70, 3, 1}, {{10, 0}, {10, 4}}, {50, 70, 1, 1},
     {"まほう", "先制攻撃だ", "クリティカル"}},
    // The reflection of 0 does no harm.
    {CommandFight, EnemyDefend, {80, 70, 1, 1}, {{10, 0}, {5, 0}}, {81, 70, 1, 1},
     {"ぼうぎょ", "カンッ", "受けなかった"}},
    // A charged boss reflects more; its regain stops at the maximum.
    {CommandFight, EnemyDefend, {95, 70, 1, 3}, {{10, 2}, {5, 4}}, {100, 62, 1, 1},
     {"ぼうぎょ", "パキーン", "反射ダメージ"}},
    // The regain uses the charge the boss had before.
    {CommandFight, EnemyCharge, {80, 70, 1, 1}, {{10, 3}, {10, 5}, {10, 9}}, {76, 70, 1, 3},
     {"ためる", "無防備", "--- ヒット"}},
    // A regain may leave the boss above the maximum.
    {CommandFight, EnemyCharge, {100, 70, 1, 3}, {{10, 2}, {10, 0}, {10, 9}}, {105, 70, 1, 3},
     {"ためる", "無防備", "クリティカル"}},
    // A blow that fells the boss adds no regain.
    {CommandFight, EnemyCharge, {10, 70, 1, 1}, {{10, 0}, {10, 4}, {10, 9}}, {0, 70, 1, 3},
     {"ためる", "無防備", "クリティカル"}},
    // まほう
    {CommandMagic, EnemyAttack, {80, 70, 1, 3}, {{10, 1}, {10, 4}}, {80, 54, 1, 1},
     {"魔法詠唱のスキ", "ガスッ", "キャンセル"}},
    // The smallest heavy blow is 3.
    {CommandMagic, EnemyAttack, {80, 70, 3, 1}, {{10, 0}, {10, 0}}, {80, 67, 1, 1},
     {"魔法詠唱のスキ", "痛恨", "キャンセル"}},
    {CommandMagic, EnemyMagic, {80, 70, 3, 3}, {}, {80, 70, 1, 1},
     {"まほう", "ふたつの魔法", "ドズゥゥゥン"}},
    {CommandMagic, EnemyDefend, {80, 70, 1, 3}, {{10, 7}, {10, 8}, {5, 3}}, {81, 70, 1, 1},
     {"まもっている", "貫いて", "強烈な魔法が敵に"}},
    {CommandMagic, EnemyDefend, {50, 70, 3, 1}, {{10, 0}, {10, 9}, {5, 4}}, {0, 70, 1, 1},
     {"まもっている", "貫いて", "クリティカル"}},
    {CommandMagic, EnemyCharge, {80, 70, 1, 1}, {{10, 9}, {10, 1}, {10, 3}}, {79, 70, 1, 3},
     {"『ためる』を使ってきた", "無防備", "強烈な魔法がヒット"}},
    // ぼうぎょ: the counter comes with a regain.
    {CommandDefend, EnemyAttack, {80, 70, 3, 1}, {{10, 4}, {10, 2}, {5, 4}}, {71, 83, 1, 1},
     {"こうげき", "反撃まで", "側面から"}},
    // Felling the boss still leaves the player's regain, capped.
    {CommandDefend, EnemyAttack, {4, 100, 1, 1}, {{10, 0}, {10, 1}, {5, 0}}, {0, 100, 1, 1},
     {"こうげき", "反撃まで", "クリティカル"}},
    {CommandDefend, EnemyMagic, {80, 70, 3, 1}, {{10, 3}, {10, 4}, {5, 2}}, {80, 71, 1, 1},
     {"魔法攻撃", "対処が遅れた", "ガガーーーン"}},
    {CommandDefend, EnemyMagic, {80, 21, 1, 1}, {{10, 0}, {10, 9}, {5, 4}}, {80, 0, 1, 1},
     {"魔法攻撃", "対処が遅れた", "痛恨"}},
    {CommandDefend, EnemyDefend, {80, 90, 3, 1}, {{5, 4}, {5, 2}}, {83, 100, 1, 1},
     {"お互い防御", "牽制", "少し回復"}},
    {CommandDefend, EnemyCharge, {80, 70, 1, 3}, {{5, 1}, {10, 9}}, {100, 72, 1, 3},
     {"ためる", "無駄に", "少し回復"}},
    // ためる: a charge of 3 is kept through a blow.
    {CommandCharge, EnemyAttack, {80, 70, 3, 1}, {{10, 5}, {10, 2}, {5, 4}}, {80, 69, 3, 1},
     {"こうげき", "集中して", "ゴスッ"}},
    {CommandCharge, EnemyMagic, {80, 70, 1, 3}, {{10, 0}, {10, 3}, {5, 2}}, {80, 45, 1, 1},
     {"魔法攻撃", "集中して", "痛恨"}},
    // The regain may leave the player above the maximum.
    {CommandCharge, EnemyMagic, {80, 100, 3, 1}, {{10, 1}, {10, 0}, {5, 4}}, {80, 101, 3, 1},
     {"魔法攻撃", "集中して", "ズガガ"}},
    {CommandCharge, EnemyDefend, {80, 70, 1, 3}, {{10, 9}, {5, 4}}, {93, 80, 3, 1},
     {"防御態勢をとった", "安心して", "-- HPが回復"}},
    {CommandCharge, EnemyCharge, {80, 70, 3, 3}, {{10, 2}, {10, 9}}, {100, 77, 3, 3},
     {"精神集中", "みなぎって", "-- HPが回復"}},
};
// clang-format on

TEST(Exchange, EveryPair) {
    for (const Case& c : kCases) {
        SCOPED_TRACE(testing::Message() << "command " << c.command << " action " << c.action
                                        << " boss " << c.before[0] << " player " << c.before[1]);
        // The first generator state whose next results give the draws in order.
        std::uint32_t start = 1;
        for (bool fits = false; !fits && start < 50'000'000; ++start) {
            setRandomState(start);
            fits = true;
            for (const Draw& d : c.draws) {
                fits = fits && nextRandom() % d.modulus == d.remainder;
            }
        }
        // Where the generator must stand afterwards: exactly the listed draws were taken.
        const std::uint32_t expectedEnd = randomState();
        setRandomState(start - 1);
        BattleState s{100, c.before[0], c.before[1], c.before[2], c.before[3]};
        const ExchangeLines lines = resolveExchange(s, c.command, c.action);
        for (int i = 0; i < 3; ++i) {
            EXPECT_NE(std::string(lines[i]).find(c.lines[i]), std::string::npos) << lines[i];
        }
        const std::vector<int> after{s.bossHp, s.playerHp, s.playerCharge, s.bossCharge};
        EXPECT_EQ(after, std::vector<int>(c.after, c.after + 4));
        EXPECT_EQ(randomState(), expectedEnd) << "draws taken";
    }
}

TEST(ItemHeal, Amounts) {
    // playerHp, amount, expected: -1 heals in full; a heal never takes away what a regain gave.
    const int cases[][3] = {{50, 0, 50},   {50, 7, 57},   {95, 15, 100},  {100, 15, 100},
                            {12, -1, 100}, {104, 3, 104}, {104, -1, 104}, {50, -5, 50}};
    for (const auto& [hp, amount, expected] : cases) {
        BattleState s{100, 80, hp, 3, 1};
        applyItemHeal(s, amount);
        EXPECT_EQ(s.playerHp, expected) << hp << " + " << amount;
        EXPECT_EQ((std::vector<int>{s.bossHp, s.playerCharge, s.bossCharge}),
                  (std::vector<int>{80, 3, 1}));
    }
}

}  // namespace
