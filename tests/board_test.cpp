// Map files, the board drawing and the stage turn loop on the virtual terminal.
#include "board/board_map.hpp"
#include "support/play.hpp"

// A map whose first row is all plain squares and whose other rows are empty.
static std::string topRowMap(int width, int height) {
    std::string text = std::to_string(width) + " " + std::to_string(height) + " 999 998\n";
    for (int cell = 0; cell < width * height; ++cell) {
        text += cell < width ? "5 " : "0 ";
    }
    return text;
}

// Where a map stands by its size, and the stage label under it or on row 35. Start marker 3 is
// also an ordinary number in the 6 x 1 map, so the start rule must win over the player; the
// player is not drawn on the goal or past it. Each draw reads the file as it stands; one that
// ends early reads zeros. The shipped maps are one unbroken track each, in the board area.
TEST(DrawBoard, PlacesAndPicturesFromTheFileReadAnewEachTime) {
    const MapDirectory dir;
    for (int stage = 1; stage <= kStageCount; ++stage) {
        playWith({}, [stage] { return drawBoard(stage, 0); });
        EXPECT_PAGE(vt::screen(), "board_stage_" + std::to_string(stage));
    }
    const char* const six = "6 1\n5 3\n3 1 2 0 4 5\n";
    const std::tuple<std::string, int, int, const char*> cases[] = {
        // map, player square, goal, page
        {topRowMap(10, 20), 0, 999, "board_20_rows"},  // from row (35 - 20) / 2
        {topRowMap(27, 33), 0, 999, "board_33_rows"},  // the label under the grid
        {topRowMap(10, 34), 0, 999, "board_34_rows"},  // would start at row 0: from row 1
        {topRowMap(200, 200), 0, 999, nullptr},        // the largest allowed, drawn unharmed
        {six, 0, 5, "board_no_player"},
        {six, 2, 5, "board_player_on_2"},
        {six, 3, 5, "board_no_player"},
        {six, 4, 5, "board_player_on_4"},
        {six, 5, 5, "board_no_player"},
        {six, 9, 5, "board_no_player"},
        {"3 1 7 9\n9 1 7\n", 1, 7, "board_player_on_1"},
        {"4 2 3 9\n9 1 2", 0, 3, "board_cut_short"},
    };
    for (const auto& [text, playerSquare, goal, name] : cases) {
        vt::putFile("map01.txt", text);
        EXPECT_EQ(playWith({}, [s = playerSquare] { return drawBoard(1, s); }), goal) << text;
        if (name != nullptr) {
            EXPECT_PAGE(vt::screen(), name) << playerSquare;
        }
    }
}

// What cannot be a map ends the program with "Error!" at the cursor and a line naming the file
// and the problem on standard error; a FIFO is not waited on, a huge file not read whole.
TEST(DrawBoard, UnusableMapsEndTheProgramWithAMessage) {
    const std::string huge = "1 1 0 9\n9" + std::string(kMaxMapFileBytes, ' ');
    const std::tuple<std::string, vt::FileKind, const char*> cases[] = {
        {huge, vt::FileKind::Regular, "larger than 4194304 bytes"},
        {"", vt::FileKind::Fifo, "not a regular file"},
        {"", vt::FileKind::Regular, "width 0"},
        {"3 201 1 9\n", vt::FileKind::Regular, "height 201"},
        {"2 1 1 99999999999\n", vt::FileKind::Regular, "start value is not a number"},
        {"(none)", vt::FileKind::Regular, "No such file"},
    };
    for (const auto& [text, kind, problem] : cases) {
        vt::removeFile("map04.txt");
        if (text != "(none)") {
            vt::putFile("map04.txt", text, kind);
        }
        vt::reset();
        moveCursor(5, 9);
        EXPECT_EQ(vt::run([] { drawBoard(4, 0); }), 1);
        const std::string& message = vt::lastErrorMessage();
        EXPECT_TRUE(message.find("Error!\npervaro: map file \"map04.txt\"") == 0 &&
                    message.find(problem) != std::string::npos)
            << message;
        EXPECT_EQ(vt::textAt(5, 9, 6) + std::to_string(vt::cursorRow()), "Error!10");
    }
}

// A new game at stage 1 on this map, in a process that has not reseeded yet, on a clock (two
// seconds of stage title before the first square event) whose square events are all the
// fountain, which changes nothing at full LIFE.
static void startStage(const char* map) {
    vt::putFile("map01.txt", map);
    newGameAt(findSeedSecond([] { return nextRandom() % 20 == 2; }) - 2);
    setRandomState(1);
}

// にげる in the boss battle.
static const Keys kFlee = {kDown, kDown, kRight, kEnter};

// The stage title; the help question, refused 7, the help pages as often as asked; the
// inventory from the turn prompt and the board drawn anew after it; a refused 3. A card leaves
// the die item alone; the die shows 6 once, then is random again.
TEST(StageLoop, TitleHelpInventoryCardAndDieItem) {
    // Squares 1 to 15 left to right on row 16 from column 33, 16 to 31 right to left on row 17.
    startStage(
        "16 2 31 99\n"
        "99  1  2  3  4  5  6  7  8  9 10 11 12 13 14 15\n"
        "31 30 29 28 27 26 25 24 23 22 21 20 19 18 17 16\n");
    player.cardMove = 1, player.moveEffect = MoveEffectSix, player.moveEffectTurns = 1;
    const Keys turn(7, " ");  // one that ends on a fountain, from the die or card picture on
    const Keys keys =
        Keys{" ", "7\r", "1\r", " ", " ", "1\r", " ", " ", "0\r", "0\r", "0\r", "3\r"} +
        Keys{"2\r"} + turn + Keys{"1\r"} + turn + Keys{"1\r"} + turn;
    EXPECT_EQ(playWith(keys, [] { return playStage(1); }), -1);
    EXPECT_NE(vt::output().find("\x1b[26;16H～ 水の神殿 パルテリアウルム ～"), std::string::npos);
    EXPECT_EQ(vt::snapshots().size(), 37u);
    // clang-format off
    expectPages({{0, "stage_start"}, {1, "stage_help_question"}, {2, "stage_help_question"},
                 {3, "stage_help_scenario"}, {4, "stage_help_rules"}, {6, "stage_help_scenario"},
                 {8, "stage_help_question"}, {9, "stage_turn"}, {11, "stage_turn"},
                 {12, "stage_turn"}, {13, "stage_card"}, {14, "stage_after_card"},
                 {15, "stage_event_ahead"}, {21, "stage_die_six"}, {22, "stage_after_six"},
                 {30, "stage_after_roll"}});
    // clang-format on
}

// On a three-square track the first die reaches the boss, with no square event first: the
// hidden sequence wins at once, or にげる blows the player back. A goal at the start or before
// it still has the first turn played and the boss met, and a blow-back from the lowest goal
// there is goes on to the next turn, asked under the blow-back message, without a board.
TEST(StageLoop, AtTheGoalTheBossIsBeatenOrBlowsThePlayerBack) {
    const std::pair<const char*, Keys> cases[] = {{"4 1 3 99\n99 1 2 3\n", kHidden},
                                                  {"4 1 3 99\n99 1 2 3\n", kFlee},
                                                  {"1 1 0 99\n99\n", kHidden},
                                                  {"1 1 -2147483648 99\n99\n", kFlee}};
    for (const auto& [map, keys] : cases) {
        startStage(map);
        // The last two: the message and the victory, or the flight and the blow-back pages.
        EXPECT_EQ(playWith(Keys{" ", "0\r", "1\r", " ", " ", " "} + keys + Keys(2, " "),
                           [] { return playStage(1); }),
                  keys == kFlee ? -1 : 1)
            << map;
        EXPECT_EQ(vt::output().find("止まったマスのイベントが発生しました!"), std::string::npos);
        if (keys == kFlee) {
            expectPages({{-1, "stage_blown_back"}});
        }
    }
}

// A せっかちダイス 6 reaches a goal 5 squares away; にげる blows the player back 8, the message
// says 8, and they stand on the start square: the next roll, a のんびりダイス 3 used from the
// turn prompt, stops on square 3, where the player is drawn as the square event is announced.
TEST(StageLoop, BlownBackPastTheStartStandsOnIt) {
    startStage("6 1 5 99\n99 1 2 3 4 5\n");
    player.moveEffect = MoveEffectSix, player.moveEffectTurns = 1;
    itemTable[9].count = 1;
    const Keys keys = Keys{" ", "0\r", "1\r", " ", " ", " "} + kFlee +
                      Keys{" ", " ", "0\r", "1\r", "0\r", "1\r", " ", " "};
    EXPECT_EQ(playWith(keys, [] { return playStage(1); }), -1);
    expectPages({{-7, "stage_blown_back"}, {-1, "stage_back_from_the_start"}});
}
