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
            if (nextRandom() % d.modulus != d.remainder) {
                fits = false;
                break;
            }
        }
        if (fits) {
            return candidate;
        }
    }
    ADD_FAILURE() << "no generator state gives these draws";
    return 1;
}

struct Case {
    const char* name;
    int command;
    int action;
    BattleState before;  // maxHp, bossHp, playerHp, playerCharge, bossCharge
    std::vector<Draw> draws;
    const char* lines[3];
    BattleState after;
};

// The maximum of 100 gives d10 = 10 and d20 = 5.
const Case kCases[] = {
    // たたかう
    {"fight/attack cancels out, no draw",
     CommandFight,
     EnemyAttack,
     {100, 80, 70, 3, 3},
     {},
     {"敵は『こうげき』をしかけてきた！", "---  ガキーーーーン！！  ---",
      "互いの攻撃は、相殺されてしまった！"},
     {100, 80, 70, 1, 1}},
    {"fight/magic hits",
     CommandFight,
     EnemyMagic,
     {100, 80, 70, 1, 1},
     {{10, 5}, {10, 6}},
     {"敵は『まほう』を使ってきた！", "呪文をとなえているスキに先制攻撃だ！",
      "--- 先制攻撃がヒットし詠唱を妨害した ---"},
     {100, 73, 70, 1, 1}},
    {"fight/magic critical doubles the charge",
     CommandFight,
     EnemyMagic,
     {100, 80, 70, 3, 1},
     {{10, 0}, {10, 4}},
     {"敵は『まほう』を使ってきた！", "呪文をとなえているスキに先制攻撃だ！",
      "--- !!!クリティカルヒットだ!!! ---"},
     {100, 50, 70, 1, 1}},
    {"fight/defend reflects nothing",
     CommandFight,
     EnemyDefend,
     {100, 80, 70, 1, 1},
     {{10, 0}, {5, 0}},
     {"敵は『ぼうぎょ』をして身をまもった！", " -- カンッ！！ --",
      "攻撃は弾かれたが、防具によりダメージを受けなかった"},
     {100, 81, 70, 1, 1}},
    {"fight/defend reflects the remainder",
     CommandFight,
     EnemyDefend,
     {100, 80, 70, 1, 1},
     {{10, 4}, {5, 2}},
     {"敵は『ぼうぎょ』をして身をまもった！", "-- パキーン!! --",
      "攻撃をはじかれ、反射ダメージを負った"},
     {100, 83, 66, 1, 1}},
    {"fight/defend charged boss, regain capped",
     CommandFight,
     EnemyDefend,
     {100, 95, 70, 1, 3},
     {{10, 2}, {5, 4}},
     {"敵は『ぼうぎょ』をして身をまもった！", "-- パキーン!! --",
      "攻撃をはじかれ、反射ダメージを負った"},
     {100, 100, 62, 1, 1}},
    {"fight/charge regain uses the old charge",
     CommandFight,
     EnemyCharge,
     {100, 80, 70, 1, 1},
     {{10, 3}, {10, 5}, {10, 9}},
     {"敵は『ためる』を使って力溜めと回復をはかっている！", "チャンス！相手は無防備状態だ!!",
      "--- ヒット ---"},
     {100, 76, 70, 1, 3}},
    {"fight/charge critical leaves the boss above the maximum",
     CommandFight,
     EnemyCharge,
     {100, 100, 70, 1, 3},
     {{10, 2}, {10, 0}, {10, 9}},
     {"敵は『ためる』を使って力溜めと回復をはかっている！", "チャンス！相手は無防備状態だ!!",
      "--- !!!クリティカルヒットだ!!! ---"},
     {100, 105, 70, 1, 3}},
    {"fight/charge blow that fells adds no regain",
     CommandFight,
     EnemyCharge,
     {100, 10, 70, 1, 1},
     {{10, 0}, {10, 4}, {10, 9}},
     {"敵は『ためる』を使って力溜めと回復をはかっている！", "チャンス！相手は無防備状態だ!!",
      "--- !!!クリティカルヒットだ!!! ---"},
     {100, 0, 70, 1, 3}},
    // まほう
    {"magic/attack hits the player",
     CommandMagic,
     EnemyAttack,
     {100, 80, 70, 1, 3},
     {{10, 1}, {10, 4}},
     {"敵は魔法詠唱のスキを狙って『こうげき』をしてきた！", "--- ガスッ！！ ---",
      "攻撃をうけた拍子に詠唱がキャンセルされてしまった！"},
     {100, 80, 54, 1, 1}},
    {"magic/attack smallest heavy blow is 3",
     CommandMagic,
     EnemyAttack,
     {100, 80, 70, 3, 1},
     {{10, 0}, {10, 0}},
     {"敵は魔法詠唱のスキを狙って『こうげき』をしてきた！", "--- !!!痛恨の一撃!!! ---",
      "攻撃をうけた拍子に詠唱がキャンセルされてしまった！"},
     {100, 80, 67, 1, 1}},
    {"magic/magic cancels out, no draw",
     CommandMagic,
     EnemyMagic,
     {100, 80, 70, 3, 3},
     {},
     {"敵は『まほう』を使ってきた！", "ふたつの魔法は空中で激しくぶつかり破裂し相殺された！！",
      "--- ドズゥゥゥン!!! ---"},
     {100, 80, 70, 1, 1}},
    {"magic/defend pierces, boss regains",
     CommandMagic,
     EnemyDefend,
     {100, 80, 70, 1, 3},
     {{10, 7}, {10, 8}, {5, 3}},
     {"敵は『ぼうぎょ』をして身をまもっている！", "魔法は敵の防御を貫いてダメージを与えられるぞ！",
      "--- 強烈な魔法が敵にヒット！ ---"},
     {100, 81, 70, 1, 1}},
    {"magic/defend critical fells",
     CommandMagic,
     EnemyDefend,
     {100, 50, 70, 3, 1},
     {{10, 0}, {10, 9}, {5, 4}},
     {"敵は『ぼうぎょ』をして身をまもっている！", "魔法は敵の防御を貫いてダメージを与えられるぞ！",
      "--- !!!クリティカルヒットだ!!! ---"},
     {100, 0, 70, 1, 1}},
    {"magic/charge",
     CommandMagic,
     EnemyCharge,
     {100, 80, 70, 1, 1},
     {{10, 9}, {10, 1}, {10, 3}},
     {"敵は『ためる』を使ってきた！", "チャンス！相手は無防備状態だ!!",
      "--- 強烈な魔法がヒット!! ---"},
     {100, 79, 70, 1, 3}},
    // ぼうぎょ
    {"defend/attack counters and regains",
     CommandDefend,
     EnemyAttack,
     {100, 80, 70, 3, 1},
     {{10, 4}, {10, 2}, {5, 4}},
     {"敵は『こうげき』をしかけてきた！", "防御態勢だと少しHPが回復するうえに反撃まで可能だ！！",
      "--- 敵の側面から強烈な一撃をくらわせた！ ---"},
     {100, 71, 83, 1, 1}},
    {"defend/attack critical fells, player still regains",
     CommandDefend,
     EnemyAttack,
     {100, 4, 100, 1, 1},
     {{10, 0}, {10, 1}, {5, 0}},
     {"敵は『こうげき』をしかけてきた！", "防御態勢だと少しHPが回復するうえに反撃まで可能だ！！",
      "--- !!!クリティカルヒットだ!!! ---"},
     {100, 0, 100, 1, 1}},
    {"defend/magic blow with regain",
     CommandDefend,
     EnemyMagic,
     {100, 80, 70, 3, 1},
     {{10, 3}, {10, 4}, {5, 2}},
     {"敵は魔法攻撃をしかけてきた！", "防御態勢をとってしまった為、魔法への対処が遅れた!!",
      "--- ガガーーーン！！ ---"},
     {100, 80, 71, 1, 1}},
    {"defend/magic heavy blow fells",
     CommandDefend,
     EnemyMagic,
     {100, 80, 21, 1, 1},
     {{10, 0}, {10, 9}, {5, 4}},
     {"敵は魔法攻撃をしかけてきた！", "防御態勢をとってしまった為、魔法への対処が遅れた!!",
      "--- !!!痛恨の一撃!!! ---"},
     {100, 80, 0, 1, 1}},
    {"defend/defend both regain, capped",
     CommandDefend,
     EnemyDefend,
     {100, 80, 90, 3, 1},
     {{5, 4}, {5, 2}},
     {"お互い防御態勢をとった!!", "互いに牽制しあっている・・・", "-- HPが少し回復した --"},
     {100, 83, 100, 1, 1}},
    {"defend/charge boss regains by d10",
     CommandDefend,
     EnemyCharge,
     {100, 80, 70, 1, 3},
     {{5, 1}, {10, 9}},
     {"敵は『ためる』を使って力溜めと回復をはかっている！", "防御態勢が無駄になってしまった・・・",
      "-- HPが少し回復した --"},
     {100, 100, 72, 1, 3}},
    // ためる
    {"charge/attack keeps a charge of 3",
     CommandCharge,
     EnemyAttack,
     {100, 80, 70, 3, 1},
     {{10, 5}, {10, 2}, {5, 4}},
     {"敵は『こうげき』をしかけてきた！", "集中しているので、反応できない！！",
      "--- ゴスッ！！キツイいっぱつをくらった ---"},
     {100, 80, 69, 3, 1}},
    {"charge/attack builds no charge",
     CommandCharge,
     EnemyAttack,
     {100, 80, 70, 1, 1},
     {{10, 5}, {10, 2}, {5, 4}},
     {"敵は『こうげき』をしかけてきた！", "集中しているので、反応できない！！",
      "--- ゴスッ！！キツイいっぱつをくらった ---"},
     {100, 80, 67, 1, 1}},
    {"charge/magic heavy blow by a charged boss",
     CommandCharge,
     EnemyMagic,
     {100, 80, 70, 1, 3},
     {{10, 0}, {10, 3}, {5, 2}},
     {"敵は魔法攻撃をしかけてきた！", "集中しているので、反応できない！！",
      "--- !!!痛恨の一撃!!! ---"},
     {100, 80, 45, 1, 1}},
    {"charge/magic regain above the maximum",
     CommandCharge,
     EnemyMagic,
     {100, 80, 100, 3, 1},
     {{10, 1}, {10, 0}, {5, 4}},
     {"敵は魔法攻撃をしかけてきた！", "集中しているので、反応できない！！",
      "--- ズガガガガガガーン！！ ---"},
     {100, 80, 101, 3, 1}},
    {"charge/defend sets the player's charge",
     CommandCharge,
     EnemyDefend,
     {100, 80, 70, 1, 3},
     {{10, 9}, {5, 4}},
     {"敵は防御態勢をとった！", "安心して回復に集中できる！！", "-- HPが回復した --"},
     {100, 93, 80, 3, 1}},
    {"charge/charge sets both",
     CommandCharge,
     EnemyCharge,
     {100, 80, 70, 3, 3},
     {{10, 2}, {10, 9}},
     {"互いに精神集中して力を溜めている！", "力がみなぎってくるようだ！！！", "-- HPが回復した --"},
     {100, 100, 77, 3, 3}},
};

TEST(Exchange, EveryPair) {
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.name);
        const std::uint32_t start = stateGiving(c.draws);
        // Where the generator must stand afterwards: exactly the listed draws were taken.
        setRandomState(start);
        for (std::size_t i = 0; i < c.draws.size(); ++i) {
            nextRandom();
        }
        const std::uint32_t expectedEnd = randomState();

        setRandomState(start);
        BattleState state = c.before;
        const ExchangeLines lines = resolveExchange(state, c.command, c.action);
        for (int i = 0; i < 3; ++i) {
            EXPECT_EQ(std::string(lines[i]), c.lines[i]) << "line " << i + 1;
        }
        EXPECT_EQ(state.maxHp, c.after.maxHp);
        EXPECT_EQ(state.bossHp, c.after.bossHp);
        EXPECT_EQ(state.playerHp, c.after.playerHp);
        EXPECT_EQ(state.playerCharge, c.after.playerCharge);
        EXPECT_EQ(state.bossCharge, c.after.bossCharge);
        EXPECT_EQ(randomState(), expectedEnd) << "draws taken";
    }
}

TEST(ItemHeal, Amounts) {
    struct HealCase {
        int playerHp;
        int amount;
        int expected;
    };
    const HealCase cases[] = {
        {50, 0, 50},     // nothing used
        {50, 7, 57},     // ライフポット7
        {95, 15, 100},   // capped at the maximum
        {100, 15, 100},  // used at full HP
        {12, -1, 100},   // ライフポットFULL
        {104, 3, 104},   // above the maximum after a regain: a heal takes nothing away
        {104, -1, 104}, {50, -5, 50},  // not an amount an item hands back
    };
    for (const HealCase& c : cases) {
        BattleState state{100, 80, c.playerHp, 3, 1};
        applyItemHeal(state, c.amount);
        EXPECT_EQ(state.playerHp, c.expected) << c.playerHp << " + " << c.amount;
        EXPECT_EQ(state.bossHp, 80);
        EXPECT_EQ(state.playerCharge, 3);
        EXPECT_EQ(state.bossCharge, 1);
    }
}

}  // namespace
