#include "boss/exchange.hpp"

#include <algorithm>

#include "console/random.hpp"

namespace {

// A special line replaces its normal one after a critical hit, a heavy blow or a defended
// attack that reflects nothing; nullptr where the pair has none.
struct ExchangeTexts {
    const char* line1;
    const char* line2;
    const char* line3;
    const char* special2;
    const char* special3;
};

// Indexed [command - 1][enemy action - 1].
constexpr ExchangeTexts kExchangeTexts[4][4] = {
    // たたかう against こうげき, まほう, ぼうぎょ, ためる
    {
        {"敵は『こうげき』をしかけてきた！", "---  ガキーーーーン！！  ---",
         "互いの攻撃は、相殺されてしまった！", nullptr, nullptr},
        {"敵は『まほう』を使ってきた！", "呪文をとなえているスキに先制攻撃だ！",
         "--- 先制攻撃がヒットし詠唱を妨害した ---", nullptr, "--- !!!クリティカルヒットだ!!! ---"},
        {"敵は『ぼうぎょ』をして身をまもった！", "-- パキーン!! --",
         "攻撃をはじかれ、反射ダメージを負った", " -- カンッ！！ --",
         "攻撃は弾かれたが、防具によりダメージを受けなかった"},
        {"敵は『ためる』を使って力溜めと回復をはかっている！", "チャンス！相手は無防備状態だ!!",
         "--- ヒット ---", nullptr, "--- !!!クリティカルヒットだ!!! ---"},
    },
    // まほう against こうげき, まほう, ぼうぎょ, ためる
    {
        {"敵は魔法詠唱のスキを狙って『こうげき』をしてきた！", "--- ガスッ！！ ---",
         "攻撃をうけた拍子に詠唱がキャンセルされてしまった！", "--- !!!痛恨の一撃!!! ---", nullptr},
        {"敵は『まほう』を使ってきた！", "ふたつの魔法は空中で激しくぶつかり破裂し相殺された！！",
         "--- ドズゥゥゥン!!! ---", nullptr, nullptr},
        {"敵は『ぼうぎょ』をして身をまもっている！",
         "魔法は敵の防御を貫いてダメージを与えられるぞ！", "--- 強烈な魔法が敵にヒット！ ---",
         nullptr, "--- !!!クリティカルヒットだ!!! ---"},
        {"敵は『ためる』を使ってきた！", "チャンス！相手は無防備状態だ!!",
         "--- 強烈な魔法がヒット!! ---", nullptr, "--- !!!クリティカルヒットだ!!! ---"},
    },
    // ぼうぎょ against こうげき, まほう, ぼうぎょ, ためる
    {
        {"敵は『こうげき』をしかけてきた！", "防御態勢だと少しHPが回復するうえに反撃まで可能だ！！",
         "--- 敵の側面から強烈な一撃をくらわせた！ ---", nullptr,
         "--- !!!クリティカルヒットだ!!! ---"},
        {"敵は魔法攻撃をしかけてきた！", "防御態勢をとってしまった為、魔法への対処が遅れた!!",
         "--- ガガーーーン！！ ---", nullptr, "--- !!!痛恨の一撃!!! ---"},
        {"お互い防御態勢をとった!!", "互いに牽制しあっている・・・", "-- HPが少し回復した --",
         nullptr, nullptr},
        {"敵は『ためる』を使って力溜めと回復をはかっている！",
         "防御態勢が無駄になってしまった・・・", "-- HPが少し回復した --", nullptr, nullptr},
    },
    // ためる against こうげき, まほう, ぼうぎょ, ためる
    {
        {"敵は『こうげき』をしかけてきた！", "集中しているので、反応できない！！",
         "--- ゴスッ！！キツイいっぱつをくらった ---", nullptr, "--- !!!痛恨の一撃!!! ---"},
        {"敵は魔法攻撃をしかけてきた！", "集中しているので、反応できない！！",
         "--- ズガガガガガガーン！！ ---", nullptr, "--- !!!痛恨の一撃!!! ---"},
        {"敵は防御態勢をとった！", "安心して回復に集中できる！！", "-- HPが回復した --", nullptr,
         nullptr},
        {"互いに精神集中して力を溜めている！", "力がみなぎってくるようだ！！！",
         "-- HPが回復した --", nullptr, nullptr},
    },
};

constexpr int pairOf(int command, int enemyAction) {
    return command * 10 + enemyAction;
}

int draw(int range) {
    return nextRandom() % range;
}

void damage(int& hp, int blow) {
    hp = blow < hp ? hp - blow : 0;
}

// A regain never lowers an HP that a blow with regain left above the maximum.
void cappedRegain(int& hp, int regain, int maxHp) {
    hp = std::max(hp, std::min(hp + regain, maxHp));
}

// A blow that fells the side leaves no room for the regain.
void blowWithRegain(int& hp, int blow, int regain) {
    hp = blow < hp ? hp - blow + regain : 0;
}

}  // namespace

ExchangeLines resolveExchange(BattleState& state, int command, int enemyAction) {
    if (command < CommandFight || command > CommandCharge || enemyAction < EnemyAttack ||
        enemyAction > EnemyCharge) {
        return {"", "", ""};
    }
    const ExchangeTexts& texts = kExchangeTexts[command - 1][enemyAction - 1];
    const int maxHp = state.maxHp;
    // The smallest boss has 30 HP; the guard keeps a hand-made state from dividing by zero.
    const int d10 = std::max(1, maxHp / 10);
    const int d20 = std::max(1, maxHp / 20);
    // Blows and regains use the charges as they stood before this exchange.
    const int playerCharge = state.playerCharge;
    const int bossCharge = state.bossCharge;
    const auto playerBlow = [&](bool critical) {
        return (draw(d10) + 1) * playerCharge * (critical ? 2 : 1);
    };
    const auto bossBlow = [&](bool heavy) {
        return (draw(d10) + 1) * bossCharge * (heavy ? 2 : 1) + 1;
    };

    bool special = false;
    switch (pairOf(command, enemyAction)) {
        case pairOf(CommandFight, EnemyAttack):
        case pairOf(CommandMagic, EnemyMagic):
            break;
        case pairOf(CommandFight, EnemyMagic): {
            special = draw(10) == 0;
            damage(state.bossHp, playerBlow(special));
            break;
        }
        case pairOf(CommandFight, EnemyDefend): {
            const int reflected = std::max(0, (draw(d10) + 1) * bossCharge - 1);
            special = reflected == 0;
            const int regain = draw(d20) * bossCharge + 1;
            damage(state.playerHp, reflected);
            cappedRegain(state.bossHp, regain, maxHp);
            break;
        }
        case pairOf(CommandFight, EnemyCharge):
        case pairOf(CommandMagic, EnemyCharge): {
            special = draw(10) < 3;
            const int blow = playerBlow(special);
            const int regain = (draw(d10) * bossCharge + 1) / 4;
            blowWithRegain(state.bossHp, blow, regain);
            break;
        }
        case pairOf(CommandMagic, EnemyAttack): {
            special = draw(10) == 0;
            damage(state.playerHp, bossBlow(special));
            break;
        }
        case pairOf(CommandMagic, EnemyDefend): {
            special = draw(10) == 0;
            const int blow = playerBlow(special);
            const int regain = draw(d20) * bossCharge + 1;
            blowWithRegain(state.bossHp, blow, regain);
            break;
        }
        case pairOf(CommandDefend, EnemyAttack): {
            special = draw(10) == 0;
            damage(state.bossHp, playerBlow(special));
            cappedRegain(state.playerHp, draw(d20) * playerCharge + 1, maxHp);
            break;
        }
        case pairOf(CommandDefend, EnemyMagic): {
            special = draw(10) == 0;
            const int blow = bossBlow(special);
            const int regain = draw(d20) * playerCharge + 1;
            blowWithRegain(state.playerHp, blow, regain);
            break;
        }
        case pairOf(CommandCharge, EnemyAttack):
        case pairOf(CommandCharge, EnemyMagic): {
            special = draw(10) == 0;
            const int blow = bossBlow(special);
            const int regain = (draw(d20) * playerCharge + 1) / 4;
            blowWithRegain(state.playerHp, blow, regain);
            break;
        }
        default: {
            // Both sides defend or charge: each regains, the charging side more.
            const int playerRange = command == CommandCharge ? d10 : d20;
            const int bossRange = enemyAction == EnemyCharge ? d10 : d20;
            const int playerRegain = draw(playerRange) * playerCharge + 1;
            const int bossRegain = draw(bossRange) * bossCharge + 1;
            cappedRegain(state.playerHp, playerRegain, maxHp);
            cappedRegain(state.bossHp, bossRegain, maxHp);
            break;
        }
    }

    // A charge serves one exchange. Charging while the boss attacks or casts keeps what the
    // player had but builds nothing; the boss's charge always takes.
    const bool playerUndisturbed = enemyAction == EnemyDefend || enemyAction == EnemyCharge;
    state.playerCharge = command != CommandCharge ? 1 : playerUndisturbed ? 3 : playerCharge;
    state.bossCharge = enemyAction == EnemyCharge ? 3 : 1;

    return {texts.line1, special && texts.special2 ? texts.special2 : texts.line2,
            special && texts.special3 ? texts.special3 : texts.line3};
}

void applyItemHeal(BattleState& state, int amount) {
    if (amount == -1) {
        state.playerHp = std::max(state.playerHp, state.maxHp);
    } else if (amount > 0) {
        cappedRegain(state.playerHp, amount, state.maxHp);
    }
}
