// The save slot: the 108-byte layout, save and load, failures that must keep the old save,
// and what a hand-made file turns into.
#include "state/save_file.hpp"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <unistd.h>

#include <climits>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "state/item_table.hpp"
#include "state/player_state.hpp"
#include "state/save_record.hpp"
#include "support/screen_expect.hpp"
#include "support/virtual_platform.hpp"

namespace {

namespace fs = std::filesystem;

const char* const kOpenFailed = "save.binのオープンが失敗しました";

using Bytes = std::vector<unsigned char>;

Bytes littleEndian(const std::vector<std::int32_t>& values) {
    Bytes bytes;
    for (const std::int32_t value : values) {
        const auto bits = static_cast<std::uint32_t>(value);
        for (int shift = 0; shift < 32; shift += 8) {
            bytes.push_back(static_cast<unsigned char>(bits >> shift));
        }
    }
    return bytes;
}

Bytes readFile(const char* name) {
    std::ifstream in(name, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void writeFile(const char* name, const Bytes& bytes) {
    std::ofstream out(name, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
}

// A game far from the new-game values, every field in range, a die effect pending.
void setPlayedGame() {
    applyNewGameDefaults();
    player.reserved = -123456;
    player.cardMove = 1;
    player.coin = 54321;
    player.exp = 42;
    player.life = 13;
    player.extraMode = 1;
    player.level = 7;
    player.maxLifeUnits = 3;
    player.highestStage = 6;
    player.moveEffect = MoveEffectSix;
    player.moveEffectTurns = 1;
    for (int stage = 0; stage < kStageCount; ++stage) {
        player.stageClears[stage] = 10 * stage + 1;
    }
    for (int index = 0; index < kItemCount; ++index) {
        itemTable[index].count = index < kFirstUsableItem ? index % 2 : index;
    }
}

class SaveFile : public ::testing::Test {
  protected:
    void SetUp() override {
        original_ = fs::current_path();
        char pattern[] = "/tmp/pervaro-save-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        scratch_ = pattern;
        fs::current_path(scratch_);
        vt::reset();
        applyNewGameDefaults();
    }
    void TearDown() override {
        fs::current_path(original_);
        fs::remove_all(scratch_);
    }

    // Runs save or load on a cleared page, as the main menu does.
    static void runAndShow(void (*operation)()) { EXPECT_EQ(vt::run(operation), -1); }

    static std::string page() {
        std::string text;
        for (int row = 1; row <= 41; ++row) {
            text += vt::rowText(row) + "\n";
        }
        return text;
    }

    fs::path original_;
    fs::path scratch_;
};

TEST_F(SaveFile, FreshGameBytes) {
    runAndShow(saveGame);
    std::vector<std::int32_t> values = {0, 0, 0, 0, 5, 0, 1, 1, 1, 0, 0};
    values.resize(27, 0);
    EXPECT_EQ(readFile("save.bin"), littleEndian(values));
    EXPECT_TEXT_AT(1, 40, "セーブが完了しました");
    EXPECT_FALSE(fs::exists("save.bin.new"));
}

TEST_F(SaveFile, SaveThenLoadRestoresEverything) {
    setPlayedGame();
    const SaveBytes saved = encodeSaveRecord(captureSaveRecord());
    runAndShow(saveGame);
    applyNewGameDefaults();
    runAndShow(loadGame);
    EXPECT_TEXT_AT(1, 40, "ロードが完了しました");
    EXPECT_EQ(encodeSaveRecord(captureSaveRecord()), saved);
    EXPECT_EQ(player.moveEffect, MoveEffectSix);
    EXPECT_EQ(player.moveEffectTurns, 1);
    EXPECT_EQ(player.reserved, -123456);
    EXPECT_EQ(player.stageCount, kStageCount);
    EXPECT_EQ(itemTable[10].count, 10);
}

TEST_F(SaveFile, SavingTwiceKeepsTheSecond) {
    setPlayedGame();
    runAndShow(saveGame);
    applyNewGameDefaults();
    player.coin = 7;
    runAndShow(saveGame);
    const Bytes bytes = readFile("save.bin");
    ASSERT_EQ(bytes.size(), kSaveRecordSize);
    EXPECT_EQ(Bytes(bytes.begin() + 8, bytes.begin() + 12), littleEndian({7}));
}

TEST_F(SaveFile, LoadWithoutAFileKeepsTheGame) {
    setPlayedGame();
    const SaveBytes before = encodeSaveRecord(captureSaveRecord());
    runAndShow(loadGame);
    EXPECT_TEXT_AT(1, 1, kOpenFailed);
    EXPECT_EQ(encodeSaveRecord(captureSaveRecord()), before);
}

TEST_F(SaveFile, InterruptedSaveKeepsThePreviousOne) {
    setPlayedGame();
    runAndShow(saveGame);
    const Bytes previous = readFile("save.bin");
    applyNewGameDefaults();
    player.coin = 99;
    vt::reset();
    // A file size limit cuts the new file after 50 bytes: a genuine short write.
    rlimit saved{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    const sighandler_t oldHandler = signal(SIGXFSZ, SIG_IGN);
    rlimit limited = saved;
    limited.rlim_cur = 50;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limited), 0);
    vt::run(saveGame);
    setrlimit(RLIMIT_FSIZE, &saved);
    signal(SIGXFSZ, oldHandler);

    EXPECT_EQ(readFile("save.bin"), previous);
    EXPECT_FALSE(fs::exists("save.bin.new"));
    EXPECT_TEXT_AT(1, 1, kOpenFailed);
    EXPECT_EQ(page().find("セーブが完了しました"), std::string::npos);
}

TEST_F(SaveFile, SaveBinAsADirectoryFailsCleanly) {
    fs::create_directory("save.bin");
    setPlayedGame();
    const SaveBytes before = encodeSaveRecord(captureSaveRecord());
    runAndShow(saveGame);
    EXPECT_TEXT_AT(1, 1, kOpenFailed);
    EXPECT_EQ(page().find("セーブが完了しました"), std::string::npos);
    EXPECT_TRUE(fs::is_directory("save.bin"));
    EXPECT_FALSE(fs::exists("save.bin.new"));

    vt::reset();
    runAndShow(loadGame);
    EXPECT_TEXT_AT(1, 1, kOpenFailed);
    EXPECT_EQ(encodeSaveRecord(captureSaveRecord()), before);
}

TEST_F(SaveFile, ShortFilesAreRefusedLongOnesLoadTheirFirstRecord) {
    setPlayedGame();
    const SaveBytes played = encodeSaveRecord(captureSaveRecord());
    applyNewGameDefaults();
    const SaveBytes fresh = encodeSaveRecord(captureSaveRecord());

    for (const std::size_t size : {std::size_t{0}, std::size_t{4}, kSaveRecordSize - 1}) {
        writeFile("save.bin", Bytes(played.begin(), played.begin() + static_cast<long>(size)));
        vt::reset();
        runAndShow(loadGame);
        EXPECT_TEXT_AT(1, 1, kOpenFailed);
        EXPECT_EQ(encodeSaveRecord(captureSaveRecord()), fresh) << size;
    }

    Bytes longer(played.begin(), played.end());
    longer.insert(longer.end(), 50, 0xFF);
    writeFile("save.bin", longer);
    vt::reset();
    runAndShow(loadGame);
    EXPECT_TEXT_AT(1, 40, "ロードが完了しました");
    EXPECT_EQ(encodeSaveRecord(captureSaveRecord()), played);
}

TEST(SaveRecord, LittleEndianOnEveryHost) {
    SaveRecord record{};
    record.reserved = -2;
    record.coin = 0x01020304;
    record.itemCounts[10] = 0x7FFFFFFF;
    const SaveBytes bytes = encodeSaveRecord(record);
    EXPECT_EQ(Bytes(bytes.begin(), bytes.begin() + 4), (Bytes{0xFE, 0xFF, 0xFF, 0xFF}));
    EXPECT_EQ(Bytes(bytes.begin() + 8, bytes.begin() + 12), (Bytes{0x04, 0x03, 0x02, 0x01}));
    EXPECT_EQ(Bytes(bytes.begin() + 104, bytes.end()), (Bytes{0xFF, 0xFF, 0xFF, 0x7F}));
    SaveRecord decoded{};
    ASSERT_TRUE(decodeSaveRecord(bytes.data(), bytes.size(), decoded));
    EXPECT_EQ(encodeSaveRecord(decoded), bytes);
}

// Values no game of ours writes are brought into range; extra mode stays on.
TEST(SaveRecord, OutOfRangeValuesAreBroughtIntoRange) {
    struct Case {
        int offset;
        std::int32_t stored;
        std::int32_t loaded;
    };
    const Case cases[] = {
        {4, 5, 1},                     // cardMove
        {8, -1, 0},                    // coin
        {8, 100000, 99999},            // coin
        {12, 150, 99},                 // exp
        {12, INT_MIN, 0},              // exp
        {16, 99, 5},                   // life, above the maximum of 5
        {16, -3, 0},                   // life
        {20, 2, 1},                    // extraMode: any non-zero value turns it on
        {20, INT_MIN, 1},              // extraMode
        {24, 0, 1},                    // level
        {24, INT_MAX, 1'000'000'000},  // level
        {28, 0, 1},                    // maxLifeUnits
        {28, INT_MAX, 5},              // maxLifeUnits
        {32, 0, 1},                    // highestStage
        {32, 20, 6},                   // highestStage
        {36, 3, 0},                    // moveEffect
        {36, -1, 0},                   // moveEffect
        {40, -5, 0},                   // moveEffectTurns
        {44, -1, 0},                   // stageClears[0]
        {60, INT_MAX, 1'000'000'000},  // stageClears[4]
        {64, 3, 1},                    // マップトランプ
        {80, 7, 1},                    // 生命の秘薬4
        {84, -4, 0},                   // ライフポット3
        {104, 11, 10},                 // せっかちダイス
        {0, INT_MIN, INT_MIN},         // reserved is kept as it is
    };
    for (const Case& c : cases) {
        applyNewGameDefaults();
        SaveBytes bytes = encodeSaveRecord(captureSaveRecord());
        const Bytes value = littleEndian({c.stored});
        std::copy(value.begin(), value.end(), bytes.begin() + c.offset);
        SaveRecord record{};
        ASSERT_TRUE(decodeSaveRecord(bytes.data(), bytes.size(), record));
        applySaveRecord(record);
        const SaveBytes loaded = encodeSaveRecord(captureSaveRecord());
        EXPECT_EQ(Bytes(loaded.begin() + c.offset, loaded.begin() + c.offset + 4),
                  littleEndian({c.loaded}))
            << "offset " << c.offset << " stored " << c.stored;
    }
}

// LIFE is capped by the maximum loaded with it, not by the one before the load.
TEST(SaveRecord, LifeCappedByTheLoadedMaximum) {
    applyNewGameDefaults();
    SaveRecord record = captureSaveRecord();
    record.maxLifeUnits = 4;
    record.life = 20;
    applySaveRecord(record);
    EXPECT_EQ(player.life, 20);
}

}  // namespace
