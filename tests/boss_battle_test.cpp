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

// The boss each stage brings on an even and on an odd draw, its appearance line and its HP on
// both sides of the first command page, without and with extra mode (a save file may hold any
// extraMode: every non-zero one is extra mode); a stage out of range is the nearest stage. The
// greeting by the clears two rows under the picture, once, after the appearance line is gone.
TEST(BossBattle, EachStageBringsItsBossesAndGreeting) {
    // stage, clock, boss, clears, greeting
    const std::tuple<int, std::int64_t, BossKind, int, int> cases[] = {
        {1, kEven, BossGoblin, 0, 0},   {1, kOdd, BossWizard, 1, 1},
        {2, kEven, BossGoblin, 4, 1},   {2, kOdd, BossWizard, 5, 2},
        {3, kEven, BossWizard, 9, 2},   {3, kOdd, BossDemon, 10, 3},
        {4, kEven, BossDemon, 0, 0},    {4, kOdd, BossElfQueen, 0, 0},
        {5, kEven, BossElfQueen, 0, 0}, {5, kOdd, BossElfQueen, 0, 0},
        {0, kOdd, BossWizard, 0, 0},    {6, kEven, BossElfQueen, 0, 0}};
    const char* const names[] = {"goblin", "wizard", "demon", "elf_queen"};
    const char* const appearance[] = {"ゴブリンが立ちはだかった", "ウィザードが立ちはだかった",
                                      "デーモンが立ちはだかった", "エルフクイーンがたちはだかった"};
    const std::pair<int, const char*> greetings[] = {
        {8, "なんだ！ キサマは！！ 下等なニンゲンごときが我に刃向かうか！！"},
        {8, "！！！ また来やがったな！ 今度は前の様にはいかぬぞ！！"},
        {16, "・・・またキサマか！！なんの用だ！！"},
        {16, "・・・もう勘弁してくれ・・・"}};
    for (const auto& [stage, clock, boss, clears, greeting] : cases) {
        for (const int extraMode : {0, 1, INT_MIN}) {
            SCOPED_TRACE(testing::Message()
                         << "stage " << stage << (clock == kOdd ? ", odd" : ", even")
                         << " draw, extraMode " << extraMode << ", " << clears << " clears");
            EXPECT_EQ(battle(stage, clock, {}, extraMode, clears), -1);
            expectPages(
                {{1, (std::string("boss_") + names[boss] + (extraMode ? "_extra" : "")).c_str()}});
            const std::string& out = vt::output();
            const auto [column, words] = greetings[greeting];
            const int row = (38 - bossPicture(boss).rows) / 2 + bossPicture(boss).rows + 2;
            const std::size_t at = out.find(cursorTo(column, row) + words);
            ASSERT_NE(at, std::string::npos);
            EXPECT_LT(out.find(cursorTo(24, 1) + appearance[boss]), at);
            EXPECT_LT(out.find(cursorTo(24, 1) + std::string(32, ' ')), at);
            EXPECT_EQ(out.rfind(words), out.find(words));
        }
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
