// The exchange table: every pair of command and boss action, with the random draws it takes.
#include "boss/exchange.hpp"

#include "support/play.hpp"

// Command, action; both sides before and after: bossHp, playerHp, playerCharge, bossCharge,
// with maxHp 100, so d10 = 10 and d20 = 5; the draws the exchange takes, in order, each
// nextRandom() % first giving second; a fragment that tells the exchange's lines from the
// pair's other lines.
using Case = std::tuple<int, int, std::array<int, 4>, std::vector<std::pair<int, int>>,
                        std::array<int, 4>, const char*>;

constexpr int fight = CommandFight, magic = CommandMagic, defend = CommandDefend;
constexpr int charge = CommandCharge, attack = EnemyAttack, cast = EnemyMagic;
constexpr int guard = EnemyDefend, gather = EnemyCharge;

// Besides one row per pair and line: a charge of 3 doubling into the critical, a reflection of
// 0 that does no harm, regains that use the charges from before the exchange, stop at the
// maximum or leave a side above it, a blow that fells the boss with no regain (the player's
// own regain stays), the smallest heavy blow of 3, a player's charge of 3 kept through a blow.
// A regain of a twentieth is drawn where a tenth would give more (9 of 10 is 4 of 5).
const Case kCases[] = {
    {fight, attack, {80, 70, 3, 3}, {}, {80, 70, 1, 1}, "相殺"},
    {fight, cast, {80, 70, 1, 1}, {{10, 5}, {10, 6}}, {73, 70, 1, 1}, "妨害"},
    {fight, cast, {80, 70, 3, 1}, {{10, 0}, {10, 4}}, {50, 70, 1, 1}, "クリティカル"},
    {fight, guard, {80, 70, 1, 1}, {{10, 0}, {5, 0}}, {81, 70, 1, 1}, "受けなかった"},
    {fight, guard, {95, 70, 1, 3}, {{10, 2}, {5, 4}}, {100, 62, 1, 1}, "反射ダメージ"},
    {fight, gather, {80, 70, 1, 1}, {{10, 3}, {10, 5}, {10, 9}}, {76, 70, 1, 3}, "--- ヒット"},
    {fight, gather, {100, 70, 1, 3}, {{10, 2}, {10, 0}, {10, 9}}, {105, 70, 1, 3}, "クリティカル"},
    {fight, gather, {10, 70, 1, 1}, {{10, 0}, {10, 4}, {10, 9}}, {0, 70, 1, 3}, "クリティカル"},
    {magic, attack, {80, 70, 1, 3}, {{10, 1}, {10, 4}}, {80, 54, 1, 1}, "ガスッ"},
    {magic, attack, {80, 70, 3, 1}, {{10, 0}, {10, 0}}, {80, 67, 1, 1}, "痛恨"},
    {magic, cast, {80, 70, 3, 3}, {}, {80, 70, 1, 1}, "ふたつの魔法"},
    {magic, guard, {80, 70, 1, 3}, {{10, 7}, {10, 8}, {5, 3}}, {81, 70, 1, 1}, "魔法が敵にヒット"},
    {magic, guard, {50, 70, 3, 1}, {{10, 0}, {10, 9}, {5, 4}}, {0, 70, 1, 1}, "クリティカル"},
    {magic, gather, {80, 70, 1, 1}, {{10, 9}, {10, 1}, {10, 3}}, {79, 70, 1, 3}, "魔法がヒット!!"},
    {defend, attack, {80, 70, 3, 1}, {{10, 4}, {10, 2}, {10, 9}}, {71, 83, 1, 1}, "側面から"},
    {defend, attack, {4, 100, 1, 1}, {{10, 0}, {10, 1}, {5, 0}}, {0, 100, 1, 1}, "クリティカル"},
    {defend, cast, {80, 70, 3, 1}, {{10, 3}, {10, 4}, {5, 2}}, {80, 71, 1, 1}, "ガガーーーン"},
    {defend, cast, {80, 21, 1, 1}, {{10, 0}, {10, 9}, {5, 4}}, {80, 0, 1, 1}, "痛恨"},
    {defend, guard, {80, 90, 3, 1}, {{5, 4}, {5, 2}}, {83, 100, 1, 1}, "牽制"},
    {defend, gather, {80, 70, 1, 3}, {{5, 1}, {10, 9}}, {100, 72, 1, 3}, "無駄に"},
    {charge, attack, {80, 70, 3, 1}, {{10, 5}, {10, 2}, {5, 4}}, {80, 69, 3, 1}, "ゴスッ"},
    {charge, cast, {80, 70, 1, 3}, {{10, 0}, {10, 3}, {5, 2}}, {80, 45, 1, 1}, "痛恨"},
    {charge, cast, {80, 100, 3, 1}, {{10, 1}, {10, 0}, {5, 4}}, {80, 101, 3, 1}, "ズガガ"},
    {charge, guard, {80, 70, 1, 3}, {{10, 9}, {5, 4}}, {93, 80, 3, 1}, "安心して"},
    {charge, gather, {80, 70, 3, 3}, {{10, 2}, {10, 9}}, {100, 77, 3, 3}, "みなぎって"},
};

TEST(Exchange, EveryPair) {
    for (const auto& [command, action, before, draws, after, fragment] : kCases) {
        // The first generator state whose next results give the draws in order, and where the
        // generator must stand afterwards: exactly the listed draws were taken.
        std::uint32_t start = 1;
        for (bool fits = false; !fits; ++start) {
            setRandomState(start);
            fits = std::ranges::all_of(draws,
                                       [](auto d) { return nextRandom() % d.first == d.second; });
        }
        const std::uint32_t expectedEnd = randomState();
        setRandomState(start - 1);
        BattleState s{100, before[0], before[1], before[2], before[3]};
        const ExchangeLines lines = resolveExchange(s, command, action);
        const std::string text = std::string(lines[0]) + "\n" + lines[1] + "\n" + lines[2];
        EXPECT_NE(text.find(fragment), std::string::npos) << text;
        EXPECT_EQ((std::array{s.bossHp, s.playerHp, s.playerCharge, s.bossCharge}), after)
            << "command " << command << " action " << action << " from " << before[0] << ", "
            << before[1];
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
    }
}
