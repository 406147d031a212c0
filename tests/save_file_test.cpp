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
const char* const kSaved = "セーブが完了しました";

using Bytes = std::vector<unsigned char>;

Bytes littleEndian(const std::vector<std::int32_t>& values) {
    Bytes bytes;
    for (const std::int32_t value : values) {
        for (int shift = 0; shift < 32; shift += 8) {
            bytes.push_back(static_cast<unsigned char>(static_cast<std::uint32_t>(value) >> shift));
        }
    }
    return bytes;
}

Bytes readFile(const char* name) {
    std::ifstream in(name, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

SaveBytes current() {
    return encodeSaveRecord(captureSaveRecord());
}

// A game far from the new-game values, every field in range, a die effect pending.
SaveBytes setPlayedGame() {
    applyNewGameDefaults();
    SaveRecord record{-123456, 1, 54321, 42, 13, 1, 7, 3, 6, MoveEffectSix, 1, {}, {}};
    for (int i = 0; i < kStageCount; ++i) {
        record.stageClears[i] = 10 * i + 1;
    }
    for (int i = 0; i < kItemCount; ++i) {
        record.itemCounts[i] = i < kFirstUsableItem ? i % 2 : i;
    }
    applySaveRecord(record);
    return current();
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
    // Runs save or load on a fresh page, as the main menu does.
    static void run(void (*operation)()) {
        vt::reset();
        EXPECT_EQ(vt::run(operation), -1);
    }
    // The load was refused and left the game as it was.
    static void expectRefusedLoad(const SaveBytes& before) {
        run(loadGame);
        EXPECT_TEXT_AT(1, 1, kOpenFailed);
        EXPECT_EQ(current(), before);
    }

    fs::path original_;
    fs::path scratch_;
};

TEST_F(SaveFile, FreshGameBytes) {
    run(saveGame);
    std::vector<std::int32_t> values = {0, 0, 0, 0, 5, 0, 1, 1, 1, 0, 0};
    values.resize(27, 0);
    EXPECT_EQ(readFile("save.bin"), littleEndian(values));
    EXPECT_TEXT_AT(1, 40, kSaved);
    EXPECT_FALSE(fs::exists("save.bin.new"));
}

TEST_F(SaveFile, SaveThenLoadRestoresEverythingAndTheSecondSaveWins) {
    const SaveBytes saved = setPlayedGame();
    run(saveGame);
    applyNewGameDefaults();
    run(loadGame);
    EXPECT_TEXT_AT(1, 40, "ロードが完了しました");
    EXPECT_EQ(current(), saved);
    EXPECT_EQ(player.moveEffect, MoveEffectSix);

    applyNewGameDefaults();
    player.coin = 7;
    run(saveGame);
    const Bytes bytes = readFile("save.bin");
    ASSERT_EQ(bytes.size(), kSaveRecordSize);
    EXPECT_EQ(Bytes(bytes.begin() + 8, bytes.begin() + 12), littleEndian({7}));
}

TEST_F(SaveFile, LoadWithoutAFileKeepsTheGame) {
    expectRefusedLoad(setPlayedGame());
}

TEST_F(SaveFile, InterruptedSaveKeepsThePreviousOne) {
    setPlayedGame();
    run(saveGame);
    const Bytes previous = readFile("save.bin");
    player.coin = 99;
    // A file size limit cuts the new file after 50 bytes: a genuine short write.
    rlimit saved{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    const sighandler_t oldHandler = signal(SIGXFSZ, SIG_IGN);
    rlimit limited = saved;
    limited.rlim_cur = 50;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limited), 0);
    run(saveGame);
    setrlimit(RLIMIT_FSIZE, &saved);
    signal(SIGXFSZ, oldHandler);

    EXPECT_EQ(readFile("save.bin"), previous);
    EXPECT_FALSE(fs::exists("save.bin.new"));
    EXPECT_TEXT_AT(1, 1, kOpenFailed);
    EXPECT_EQ(vt::output().find(kSaved), std::string::npos);
}

TEST_F(SaveFile, SaveBinAsADirectoryFailsCleanly) {
    fs::create_directory("save.bin");
    const SaveBytes before = setPlayedGame();
    run(saveGame);
    EXPECT_TEXT_AT(1, 1, kOpenFailed);
    EXPECT_EQ(vt::output().find(kSaved), std::string::npos);
    EXPECT_TRUE(fs::is_directory("save.bin"));
    EXPECT_FALSE(fs::exists("save.bin.new"));
    expectRefusedLoad(before);
}

TEST_F(SaveFile, ShortFilesAreRefusedLongOnesLoadTheirFirstRecord) {
    const SaveBytes played = setPlayedGame();
    applyNewGameDefaults();
    const auto write = [](const Bytes& bytes) {
        std::ofstream("save.bin", std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), static_cast<long>(bytes.size()));
    };
    for (const std::size_t size : {std::size_t{0}, std::size_t{4}, kSaveRecordSize - 1}) {
        write(Bytes(played.begin(), played.begin() + static_cast<long>(size)));
        expectRefusedLoad(current());
    }
    Bytes longer(played.begin(), played.end());
    longer.insert(longer.end(), 50, 0xFF);
    write(longer);
    run(loadGame);
    EXPECT_TEXT_AT(1, 40, "ロードが完了しました");
    EXPECT_EQ(current(), played);
}

// Values no game of ours writes are brought into range; extra mode stays on. Negative and
// multi-byte values also check the little-endian layout both ways.
TEST(SaveRecord, OutOfRangeValuesAreBroughtIntoRange) {
    // Offset, stored value, value after the load.
    constexpr std::int32_t kMost = 1'000'000'000;
    // clang-format off
    const std::int32_t cases[][3] = {
        {0, INT_MIN, INT_MIN},                            // reserved is kept as it is
        {4, 5, 1},                                        // cardMove
        {8, -1, 0}, {8, 100000, 99999},                   // coin
        {12, 150, 99}, {12, INT_MIN, 0},                  // exp
        {16, 99, 5}, {16, -3, 0},                         // life, above the maximum of 5
        {20, 2, 1}, {20, INT_MIN, 1},                     // extraMode: any non-zero turns it on
        {24, 0, 1}, {24, INT_MAX, kMost},                 // level
        {28, 0, 1}, {28, INT_MAX, 5},                     // maxLifeUnits
        {32, 0, 1}, {32, 20, 6},                          // highestStage
        {36, 3, 0}, {36, -1, 0}, {40, -5, 0},             // moveEffect and its turns
        {44, -1, 0}, {60, INT_MAX, kMost},                // stageClears[0] and [4]
        {64, 3, 1}, {80, 7, 1}, {84, -4, 0}, {104, 11, 10}};  // マップトランプ, 秘薬4, ポット3, せっかち
    // clang-format on
    for (const auto& [offset, stored, loaded] : cases) {
        applyNewGameDefaults();
        SaveBytes bytes = current();
        const Bytes value = littleEndian({stored});
        std::copy(value.begin(), value.end(), bytes.begin() + offset);
        SaveRecord record{};
        ASSERT_TRUE(decodeSaveRecord(bytes.data(), bytes.size(), record));
        applySaveRecord(record);
        const SaveBytes after = current();
        EXPECT_EQ(Bytes(after.begin() + offset, after.begin() + offset + 4), littleEndian({loaded}))
            << "offset " << offset << " stored " << stored;
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
