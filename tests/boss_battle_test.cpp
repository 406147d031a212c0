// The boss battle on the virtual terminal: boss choice, HP, greetings, the command input with
// its hidden sequence, and the ways a battle ends.
#include "boss/boss.hpp"
#include "boss/boss_pictures.hpp"
#include "support/play.hpp"

// Wall clocks: at the first the boss choice draws an odd value, at the second an even one; at
// the third an even one too, and the first battle turn's enemy action, after the intro's four
// seconds, is こうげき.
constexpr std::int64_t kOdd = 1'800'000'000, kEven = 1'800'000'002, kEvenAttack = 1'800'000'010;

// One battle after the key that starts it: what it returned, or -1 when the keys ran out.
static int battle(int stage, std::int64_t clock, const Keys& keys, int extraMode = 0,
                  int clears = 0) {
    newGameAt(clock);
    player.extraMode = extraMode;
    player.stageClears[std::clamp(stage, 1, kStageCount) - 1] = clears;
    return playWith(Keys{kEnter} + keys, [stage] { return bossBattle(stage); });
}

static std::string cursorTo(int column, int row) {
    return "\x1b[" + std::to_string(row) + ";" + std::to_string(column) + "H";
}

// The boss by stage and draw, its HP on both sides and the first command page; the greeting by
// the clears two rows under the picture, once, after the appearance line is gone. A save file
// may hold any extraMode: every non-zero one is extra mode. A stage number out of range is
// taken as the nearest stage.
TEST(BossBattle, BossHpFrameAndGreeting) {
    const std::tuple<int, std::int64_t, int, int, BossKind, int, const char*> cases[] = {
        // stage, clock, extraMode, clears, boss, greeting, first page
        {1, kEven, 0, 0, BossGoblin, 0, "boss_goblin"},
        {2, kOdd, 1, 1, BossWizard, 1, "boss_wizard_extra"},
        {3, kOdd, 0, 4, BossDemon, 1, "boss_demon"},
        {4, kOdd, 1, 5, BossElfQueen, 2, "boss_elf_queen_extra"},
        {5, kEven, INT_MIN, 9, BossElfQueen, 2, "boss_elf_queen_extra"},
        {0, kEven, INT_MAX, 10, BossGoblin, 3, "boss_goblin_extra"},
        {6, kEven, 0, 0, BossElfQueen, 0, "boss_elf_queen"},
        {3, kEven, 0, 0, BossWizard, 0, "boss_wizard"}};
    const char* const appearance[] = {"ゴブリンが立ちはだかった", "ウィザードが立ちはだかった",
                                      "デーモンが立ちはだかった", "エルフクイーンがたちはだかった"};
    const std::pair<int, const char*> greetings[] = {
        {8, "なんだ！ キサマは！！ 下等なニンゲンごときが我に刃向かうか！！"},
        {8, "！！！ また来やがったな！ 今度は前の様にはいかぬぞ！！"},
        {16, "・・・またキサマか！！なんの用だ！！"},
        {16, "・・・もう勘弁してくれ・・・"}};
    for (const auto& [stage, clock, extraMode, clears, boss, greeting, name] : cases) {
        EXPECT_EQ(battle(stage, clock, {}, extraMode, clears), -1);
        expectPages({{1, name}});
        const std::string& out = vt::output();
        const auto [column, words] = greetings[greeting];
        const int row = (38 - bossPicture(boss).rows) / 2 + bossPicture(boss).rows + 2;
        const std::size_t at = out.find(cursorTo(column, row) + words);
        ASSERT_NE(at, std::string::npos) << name;
        EXPECT_LT(out.find(cursorTo(24, 1) + appearance[boss]), at) << name;
        EXPECT_LT(out.find(cursorTo(24, 1) + std::string(32, ' ')), at) << name;
        EXPECT_EQ(out.rfind(words), out.find(words)) << name;
    }
}

// The arrow moves and wraps around, erasing where it was; keys the battle does not know leave
// it where it is; Enter takes the command under it (the boss attacks). A broken hidden sequence
// is no more than its moves. Fleeing ends the battle at once with 0 and leaves the boss its HP;
// on an item turn ("0" leaves the bag) the boss does not strike. The next turn brings back the
// picture band under the message box.
TEST(BossBattle, ArrowKeysAndEnterTakeTheCommandUnderTheArrow) {
    Keys noB = kHidden, shortLeft = kHidden;
    noB.erase(noB.begin() + 8);
    shortLeft.erase(shortLeft.begin() + 4);
    const std::pair<Keys, const char*> cases[] = {
        {{kEnter}, "boss_fight"},
        {{kRight, kEnter}, "boss_magic"},
        {{kDown, kDown, kDown, "x", "b", "\x1b", kDown, kEnter}, "boss_defend"},
        {{kDown, kLeft, kEnter}, "boss_charge"},
        {{kUp, kRight, kEnter, kEnter}, "boss_fled"},
        {noB, "boss_fight"},
        {shortLeft, "boss_magic"},
        {Keys{kUp} + kHidden + Keys{"0\r"}, "boss_item_turn"}};  // a third up starts again
    for (const auto& [keys, name] : cases) {
        EXPECT_EQ(battle(1, kEvenAttack, keys), std::string(name) == "boss_fled" ? 0 : -1) << name;
        expectPages({{-1, name}});
    }
    battle(1, kEvenAttack, {kEnter, kEnter});
    expectPages({{3, "boss_band_restored"}});
}

// The hidden sequence wins from any arrow position, keys the battle ignores do not break it;
// fighting on wins too. The boss's HP is drawn as 0 before the picture starts to flash; with no
// exchange fought the message box stays over the picture band until then.
TEST(BossBattle, HiddenSequenceOrFightingOnWins) {
    const Keys withIgnored = {kUp,    kUp,    kDown, "x",    kDown, kLeft,
                              kRight, "\x1b", kLeft, kRight, "b",   kEnter};
    const std::tuple<int, Keys, int> cases[] = {
        {2, withIgnored, 60}, {2, Keys{kRight, kDown} + kHidden, 60}, {1, Keys(400, kEnter), 30}};
    for (const auto& [stage, keys, maxHp] : cases) {
        EXPECT_EQ(battle(stage, stage == 1 ? kEven : kOdd, keys + Keys{kEnter, kEnter}), 1);
        expectPages({{-1, "boss_beaten"}});
        if (keys == withIgnored) {
            expectPages({{static_cast<int>(keys.size()) + 1, "boss_hidden_sequence"}});
        }
        const std::string& out = vt::output();
        EXPECT_LT(out.find(cursorTo(16, 1) + "  ボスのHP  0 / " + std::to_string(maxHp)),
                  out.find("ステージボスを撃破した！！"));
        EXPECT_EQ(out.find(cursorTo(1, 16) + std::string(79, ' ')) != std::string::npos,
                  stage == 1);
    }
}
