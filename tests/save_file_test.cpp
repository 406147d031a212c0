// The save slot: the 108-byte layout, save and load, failures that must keep the old save,
// and what a hand-made file turns into.
#include "state/save_file.hpp"

#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "state/item_table.hpp"
#include "state/player_state.hpp"
#include "state/save_record.hpp"
#include "support/map_directory.hpp"
#include "support/screen_expect.hpp"

namespace {

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

// What save.bin holds on the virtual disk.
Bytes saveFile() {
    const std::optional<std::string> contents = vt::fileContents("save.bin");
    return contents ? Bytes(contents->begin(), contents->end()) : Bytes{};
}

Bytes current() {
    const SaveBytes bytes = encodeSaveRecord(captureSaveRecord());
    return Bytes(bytes.begin(), bytes.end());
}

// A game far from the new-game values, every field in range, a die effect pending.
Bytes setPlayedGame() {
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

// Runs save or load on a fresh page, as the main menu does.
void run(void (*operation)()) {
    vt::reset();
    EXPECT_EQ(vt::run(operation), -1);
}

// The load was refused and left the game as it was.
void expectRefusedLoad(const Bytes& before) {
    run(loadGame);
    EXPECT_TEXT_AT(1, 1, kOpenFailed);
    EXPECT_EQ(current(), before);
}

// Load without a file, or from one too short, is refused and keeps the game; a save loads
// back whole, and a longer file loads its first record. The played game's LIFE (13) is above
// the new-game maximum: the load caps LIFE by the maximum it brings, not by the one before.
TEST(SaveFile, SaveAndLoad) {
    const MapDirectory scratch;  // the working directory, where save.bin goes
    const Bytes played = setPlayedGame();
    ASSERT_EQ(player.life, 13);
    expectRefusedLoad(played);
    for (const std::size_t size : {std::size_t{0}, std::size_t{4}, kSaveRecordSize - 1}) {
        scratch.write("save.bin",
                      std::string(played.begin(), played.begin() + static_cast<long>(size)));
        expectRefusedLoad(played);
    }
    run(saveGame);
    applyNewGameDefaults();
    run(loadGame);
    EXPECT_TEXT_AT(1, 40, "ロードが完了しました");
    EXPECT_EQ(current(), played);

    scratch.write("save.bin", std::string(played.begin(), played.end()) + std::string(50, '\xff'));
    applyNewGameDefaults();
    run(loadGame);
    EXPECT_EQ(current(), played);
    // A save replaces a longer file whole; the layout of a new game.
    applyNewGameDefaults();
    run(saveGame);
    EXPECT_TEXT_AT(1, 40, kSaved);
    EXPECT_FALSE(vt::fileExists("save.bin.new"));
    std::vector<std::int32_t> values = {0, 0, 0, 0, 5, 0, 1, 1, 1, 0, 0};
    values.resize(kSaveRecordSize / 4, 0);
    EXPECT_EQ(saveFile(), littleEndian(values));
}

// A save that cannot be completed says so and leaves the previous save as it was: whichever
// step of the replace fails, over a read-only save.bin, or with save.bin a directory. A
// leftover of an interrupted save is no obstacle.
TEST(SaveFile, FailedSaveKeepsThePreviousOne) {
    const MapDirectory scratch;
    const Bytes played = setPlayedGame();
    run(saveGame);
    player.coin = 99;
    const auto expectFailedSave = [&](const std::string& what) {
        SCOPED_TRACE(what);
        run(saveGame);
        EXPECT_TEXT_AT(1, 1, kOpenFailed);
        EXPECT_EQ(vt::output().find(kSaved), std::string::npos);
        EXPECT_FALSE(vt::fileExists("save.bin.new"));
    };
    const std::pair<vt::FileFault, const char*> faults[] = {
        {vt::FileFault::DiskFull, "disk full"},
        {vt::FileFault::ShortWrite, "short write"},
        {vt::FileFault::FailedFlush, "failed flush"},
        {vt::FileFault::FailedRename, "failed rename"},
    };
    for (const auto& [fault, what] : faults) {
        vt::failNextReplace(fault);
        expectFailedSave(what);
        EXPECT_EQ(saveFile(), played);
    }
    vt::setReadOnly("save.bin", true);
    expectFailedSave("read-only");
    EXPECT_EQ(saveFile(), played);

    vt::putFile("save.bin", "", vt::FileKind::Directory);
    expectFailedSave("a directory");
    EXPECT_TRUE(vt::fileExists("save.bin"));
    expectRefusedLoad(current());
    vt::putFile("save.bin", "", vt::FileKind::Fifo);
    expectRefusedLoad(current());
    vt::putFile("save.bin.new", "", vt::FileKind::Fifo);
    run(saveGame);
    EXPECT_TEXT_AT(1, 40, kSaved);
    EXPECT_EQ(saveFile(), current());
    EXPECT_FALSE(vt::fileExists("save.bin.new"));
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
        {64, 3, 1}, {80, 7, 1}, {84, -4, 0}, {104, 11, 10}};  // マップトランプ, 秘薬4, ポット3, せっかち
    // clang-format on
    for (const auto& [offset, stored, loaded] : cases) {
        applyNewGameDefaults();
        Bytes bytes = current();
        const Bytes value = littleEndian({stored});
        std::copy(value.begin(), value.end(), bytes.begin() + offset);
        SaveRecord record{};
        ASSERT_TRUE(decodeSaveRecord(bytes.data(), bytes.size(), record));
        applySaveRecord(record);
        const Bytes after = current();
        EXPECT_EQ(Bytes(after.begin() + offset, after.begin() + offset + 4), littleEndian({loaded}))
            << "offset " << offset << " stored " << stored;
    }
}

}  // namespace
