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
    int modulus;
    int remainder;
};

// A generator state whose next results give the draws in order.
std::uint32_t stateGiving(const std::vector<Draw>& draws) {
    for (std::uint32_t candidate = 1; candidate < 50'000'000; ++candidate) {
        setRandomState(candidate);
        bool fits = true;
        for (const Draw& d : draws) {
            fits = fits && nextRandom() % d.modulus == d.remainder;
        }
        if (fits) {
            return candidate;
        }
    }
    ADD_FAILURE() << "no generator state gives these draws";
    return 1;
}

// Both sides before and after: bossHp, playerHp, playerCharge, bossCharge; maxHp is 100, so
// d10 = 10 and d20 = 5. The first case of each pair names its lines in full; further cases of the
// pair name a fragment that tells their line apart.
struct Case {
    int command;
    int action;
    int before[4];
    std::vector<Draw> draws;
    int after[4];
    const char* lines[3];
};

// clang-format off
const Case kCases[] = {
    // たたかう: cancels out without a draw.
    {CommandFight, EnemyAttack, {80, 70, 3, 3}, {}, {80, 70, 1, 1},
     {"敵は『こうげき』をしかけてきた！", "---  ガキーーーーン！！  ---",
      "互いの攻撃は、相殺されてしまった！"}},
    {CommandFight, EnemyMagic, {80, 70, 1, 1}, {{10, 5}, {10, 6}}, {73, 70, 1, 1},
     {"敵は『まほう』を使ってきた！", "呪文をとなえているスキに先制攻撃だ！",
      "--- 先制攻撃がヒットし詠唱を妨害した ---"}},
    // A charge of 3 doubles into the critical.
    {CommandFight, EnemyMagic, {80, 70, 3, 1}, {{10, 0}, {10, 4}}, {50, 70, 1, 1},
     {"まほう", "先制攻撃だ", "--- !!!クリティカルヒットだ!!! ---"}},
    // The reflection of 0 does no harm.
    {CommandFight, EnemyDefend, {80, 70, 1, 1}, {{10, 0}, {5, 0}}, {81, 70, 1, 1},
     {"敵は『ぼうぎょ』をして身をまもった！", " -- カンッ！！ --",
      "攻撃は弾かれたが、防具によりダメージを受けなかった"}},
    {CommandFight, EnemyDefend, {80, 70, 1, 1}, {{10, 4}, {5, 2}}, {83, 66, 1, 1},
     {"ぼうぎょ", "-- パキーン!! --", "攻撃をはじかれ、反射ダメージを負った"}},
    // A charged boss reflects more; its regain stops at the maximum.
    {CommandFight, EnemyDefend, {95, 70, 1, 3}, {{10, 2}, {5, 4}}, {100, 62, 1, 1},
     {"ぼうぎょ", "パキーン", "反射ダメージ"}},
    // The regain uses the charge the boss had before.
    {CommandFight, EnemyCharge, {80, 70, 1, 1}, {{10, 3}, {10, 5}, {10, 9}}, {76, 70, 1, 3},
     {"敵は『ためる』を使って力溜めと回復をはかっている！", "チャンス！相手は無防備状態だ!!",
      "--- ヒット ---"}},
    // A regain may leave the boss above the maximum.
    {CommandFight, EnemyCharge, {100, 70, 1, 3}, {{10, 2}, {10, 0}, {10, 9}}, {105, 70, 1, 3},
     {"ためる", "無防備", "クリティカル"}},
    // A blow that fells the boss adds no regain.
    {CommandFight, EnemyCharge, {10, 70, 1, 1}, {{10, 0}, {10, 4}, {10, 9}}, {0, 70, 1, 3},
     {"ためる", "無防備", "クリティカル"}},
    // まほう
    {CommandMagic, EnemyAttack, {80, 70, 1, 3}, {{10, 1}, {10, 4}}, {80, 54, 1, 1},
     {"敵は魔法詠唱のスキを狙って『こうげき』をしてきた！", "--- ガスッ！！ ---",
      "攻撃をうけた拍子に詠唱がキャンセルされてしまった！"}},
    // The smallest heavy blow is 3.
    {CommandMagic, EnemyAttack, {80, 70, 3, 1}, {{10, 0}, {10, 0}}, {80, 67, 1, 1},
     {"魔法詠唱のスキ", "--- !!!痛恨の一撃!!! ---", "キャンセル"}},
    {CommandMagic, EnemyMagic, {80, 70, 3, 3}, {}, {80, 70, 1, 1},
     {"敵は『まほう』を使ってきた！", "ふたつの魔法は空中で激しくぶつかり破裂し相殺された！！",
      "--- ドズゥゥゥン!!! ---"}},
    {CommandMagic, EnemyDefend, {80, 70, 1, 3}, {{10, 7}, {10, 8}, {5, 3}}, {81, 70, 1, 1},
     {"敵は『ぼうぎょ』をして身をまもっている！", "魔法は敵の防御を貫いてダメージを与えられるぞ！",
      "--- 強烈な魔法が敵にヒット！ ---"}},
    {CommandMagic, EnemyDefend, {50, 70, 3, 1}, {{10, 0}, {10, 9}, {5, 4}}, {0, 70, 1, 1},
     {"ぼうぎょ", "貫いて", "クリティカル"}},
    {CommandMagic, EnemyCharge, {80, 70, 1, 1}, {{10, 9}, {10, 1}, {10, 3}}, {79, 70, 1, 3},
     {"敵は『ためる』を使ってきた！", "チャンス！相手は無防備状態だ!!",
      "--- 強烈な魔法がヒット!! ---"}},
    // ぼうぎょ: the counter comes with a regain.
    {CommandDefend, EnemyAttack, {80, 70, 3, 1}, {{10, 4}, {10, 2}, {5, 4}}, {71, 83, 1, 1},
     {"敵は『こうげき』をしかけてきた！", "防御態勢だと少しHPが回復するうえに反撃まで可能だ！！",
      "--- 敵の側面から強烈な一撃をくらわせた！ ---"}},
    // Felling the boss still leaves the player's regain, capped.
    {CommandDefend, EnemyAttack, {4, 100, 1, 1}, {{10, 0}, {10, 1}, {5, 0}}, {0, 100, 1, 1},
     {"こうげき", "反撃まで", "クリティカル"}},
    {CommandDefend, EnemyMagic, {80, 70, 3, 1}, {{10, 3}, {10, 4}, {5, 2}}, {80, 71, 1, 1},
     {"敵は魔法攻撃をしかけてきた！", "防御態勢をとってしまった為、魔法への対処が遅れた!!",
      "--- ガガーーーン！！ ---"}},
    {CommandDefend, EnemyMagic, {80, 21, 1, 1}, {{10, 0}, {10, 9}, {5, 4}}, {80, 0, 1, 1},
     {"魔法攻撃", "対処が遅れた", "痛恨の一撃"}},
    {CommandDefend, EnemyDefend, {80, 90, 3, 1}, {{5, 4}, {5, 2}}, {83, 100, 1, 1},
     {"お互い防御態勢をとった!!", "互いに牽制しあっている・・・", "-- HPが少し回復した --"}},
    {CommandDefend, EnemyCharge, {80, 70, 1, 3}, {{5, 1}, {10, 9}}, {100, 72, 1, 3},
     {"敵は『ためる』を使って力溜めと回復をはかっている！", "防御態勢が無駄になってしまった・・・",
      "-- HPが少し回復した --"}},
    // ためる: a charge of 3 is kept through a blow.
    {CommandCharge, EnemyAttack, {80, 70, 3, 1}, {{10, 5}, {10, 2}, {5, 4}}, {80, 69, 3, 1},
     {"敵は『こうげき』をしかけてきた！", "集中しているので、反応できない！！",
      "--- ゴスッ！！キツイいっぱつをくらった ---"}},
    {CommandCharge, EnemyAttack, {80, 70, 1, 1}, {{10, 5}, {10, 2}, {5, 4}}, {80, 67, 1, 1},
     {"こうげき", "集中して", "ゴスッ"}},
    {CommandCharge, EnemyMagic, {80, 70, 1, 3}, {{10, 0}, {10, 3}, {5, 2}}, {80, 45, 1, 1},
     {"敵は魔法攻撃をしかけてきた！", "集中しているので、反応できない！！",
      "--- !!!痛恨の一撃!!! ---"}},
    // The regain may leave the player above the maximum.
    {CommandCharge, EnemyMagic, {80, 100, 3, 1}, {{10, 1}, {10, 0}, {5, 4}}, {80, 101, 3, 1},
     {"魔法攻撃", "集中して", "--- ズガガガガガガーン！！ ---"}},
    {CommandCharge, EnemyDefend, {80, 70, 1, 3}, {{10, 9}, {5, 4}}, {93, 80, 3, 1},
     {"敵は防御態勢をとった！", "安心して回復に集中できる！！", "-- HPが回復した --"}},
    {CommandCharge, EnemyCharge, {80, 70, 3, 3}, {{10, 2}, {10, 9}}, {100, 77, 3, 3},
     {"互いに精神集中して力を溜めている！", "力がみなぎってくるようだ！！！",
      "-- HPが回復した --"}},
};
// clang-format on

TEST(Exchange, EveryPair) {
    for (const Case& c : kCases) {
        SCOPED_TRACE(testing::Message() << "command " << c.command << " action " << c.action
                                        << " boss " << c.before[0] << " player " << c.before[1]);
        const std::uint32_t start = stateGiving(c.draws);
        // Where the generator must stand afterwards: exactly the listed draws were taken.
        const std::uint32_t expectedEnd = randomState();
        setRandomState(start);
        BattleState s{100, c.before[0], c.before[1], c.before[2], c.before[3]};
        const ExchangeLines lines = resolveExchange(s, c.command, c.action);
        for (int i = 0; i < 3; ++i) {
            EXPECT_NE(std::string(lines[i]).find(c.lines[i]), std::string::npos) << lines[i];
        }
        const std::vector<int> after{s.bossHp, s.playerHp, s.playerCharge, s.bossCharge};
        EXPECT_EQ(after, std::vector<int>(c.after, c.after + 4));
        EXPECT_EQ(s.maxHp, 100);
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
