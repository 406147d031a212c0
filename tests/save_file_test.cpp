// The save slot: the 108-byte layout, save and load, failures that must keep the old save, and
// what a hand-made file turns into. Where save.bin is (the game folder) is played through by
// the installed game's end-to-end test.
#include "state/save_file.hpp"

#include "state/save_record.hpp"
#include "support/play.hpp"

const char* const kOpenFailed = "save.binのオープンが失敗しました";
const char* const kSaved = "セーブが完了しました";
const char* const kLoaded = "ロードが完了しました";

static std::string littleEndian(const std::vector<std::int32_t>& values) {
    std::string bytes;
    for (const std::int32_t value : values) {
        for (int shift = 0; shift < 32; shift += 8) {
            bytes += static_cast<char>(static_cast<std::uint32_t>(value) >> shift);
        }
    }
    return bytes;
}

static std::string current() {
    const SaveBytes bytes = encodeSaveRecord(captureSaveRecord());
    return std::string(bytes.begin(), bytes.end());
}

// Saves or loads as the main menu does, on a cleared page: the message it shows, on the top
// row for a failure or on the prompt row.
static std::string shown(void (*operation)()) {
    EXPECT_EQ(playWith({}, [&] { return clearScreen(), operation(), 0; }), 0);
    const std::string text = vt::rowText(vt::rowText(1).front() == ' ' ? 40 : 1);
    return text.substr(0, text.find_last_not_of(' ') + 1);
}

// Load without a file, or from one too short, is refused and keeps the game; a longer file
// loads its first record, a save writes it back as it was, replacing the longer file whole; a
// new game's layout. The loaded LIFE (13) is above the new-game maximum: the load caps LIFE by
// the maximum it brings, not by the one before.
TEST(SaveFile, SaveAndLoad) {
    newGameAt();
    vt::removeAllFiles();  // the working directory, where save.bin goes
    const std::string newGame = current();
    // clang-format off
    const std::string played = littleEndian({-123456, 1, 54321, 42, 13, 1, 7, 3, 6, 2, 1, 1, 11, 21,
                                             31, 41, 0, 1, 0, 1, 0, 5, 6, 7, 8, 9, 10});
    // clang-format on
    for (const int size : {-1, 0, 4, static_cast<int>(kSaveRecordSize) - 1}) {
        if (size >= 0) {
            vt::putFile("save.bin", played.substr(0, static_cast<std::size_t>(size)));
        }
        EXPECT_EQ(shown(loadGame), kOpenFailed);
        EXPECT_EQ(current(), newGame);
    }
    vt::putFile("save.bin", played + std::string(50, '\xff'));
    EXPECT_EQ(shown(loadGame), kLoaded);
    EXPECT_EQ(current(), played);
    EXPECT_EQ(shown(saveGame), kSaved);
    EXPECT_EQ(vt::fileContents("save.bin"), played);
    applyNewGameDefaults();
    EXPECT_EQ(shown(saveGame), kSaved);
    EXPECT_EQ(vt::fileContents("save.bin"),
              littleEndian({0, 0, 0, 0, 5, 0, 1, 1, 1}) + std::string(18 * 4, '\0'));
}

// A save that cannot be completed says so and leaves the previous save as it was: a failed
// replace, over a read-only save.bin, or with save.bin a directory; nor does a directory or a
// FIFO load. The next save that can be completed is.
TEST(SaveFile, FailedSaveKeepsThePreviousOne) {
    newGameAt();
    vt::removeAllFiles();
    EXPECT_EQ(shown(saveGame), kSaved);
    const std::optional<std::string> before = vt::fileContents("save.bin");
    player.coin = 99;
    for (const bool readOnly : {false, true}) {
        readOnly ? vt::setReadOnly("save.bin", true) : vt::failNextReplace();
        EXPECT_EQ(shown(saveGame), kOpenFailed) << readOnly;
        EXPECT_EQ(vt::fileContents("save.bin"), before) << readOnly;
    }
    vt::putFile("save.bin", "", vt::FileKind::Directory);
    EXPECT_EQ(shown(saveGame) + shown(loadGame), std::string(kOpenFailed) + kOpenFailed);
    vt::putFile("save.bin", "", vt::FileKind::Fifo);
    EXPECT_EQ(shown(loadGame), kOpenFailed);
    EXPECT_EQ(player.coin, 99);
    EXPECT_EQ(shown(saveGame), kSaved);
    EXPECT_EQ(vt::fileContents("save.bin"), current());
}

// Values no game of ours writes are brought into range; extra mode stays on. Negative and
// multi-byte values also check the little-endian layout both ways.
TEST(SaveRecord, OutOfRangeValuesAreBroughtIntoRange) {
    // Offset, stored value, value after the load.
    constexpr std::int32_t kMost = 1'000'000'000;
    // clang-format off
    const std::int32_t cases[][3] = {
        {0, INT_MIN, INT_MIN}, {4, 5, 1},                 // reserved is kept as it is; cardMove
        {8, -1, 0}, {8, 100000, 99999}, {12, 150, 99}, {12, INT_MIN, 0},  // coin, exp
        {16, 99, 5}, {16, -3, 1}, {16, 0, 1},            // life: 1 to the maximum of 5
        {20, 2, 1}, {20, INT_MIN, 1},                     // extraMode: any non-zero turns it on
        {24, 0, 1}, {24, INT_MAX, kMost}, {28, 0, 1}, {28, INT_MAX, 5},  // level, maxLifeUnits
        {32, 0, 1}, {32, 20, 6}, {36, 3, 0}, {36, -1, 0}, {40, -5, 0},  // highestStage, die effect
        {44, -1, 0}, {60, INT_MAX, kMost},                // stageClears[0] and [4]
        // マップトランプ, 生命の秘薬4, ライフポット3, せっかちダイス
        {64, 3, 1}, {80, 7, 1}, {84, -4, 0}, {84, 10, 10}, {104, 11, 10}};
    // clang-format on
    for (const auto& [offset, stored, loaded] : cases) {
        applyNewGameDefaults();
        std::string bytes = current();
        bytes.replace(static_cast<std::size_t>(offset), 4, littleEndian({stored}));
        SaveRecord record{};
        ASSERT_TRUE(decodeSaveRecord(reinterpret_cast<const unsigned char*>(bytes.data()),
                                     bytes.size(), record));
        applySaveRecord(record);
        EXPECT_EQ(current().substr(static_cast<std::size_t>(offset), 4), littleEndian({loaded}))
            << "offset " << offset << " stored " << stored;
    }
}
