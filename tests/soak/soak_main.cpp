// Monkey soak: plays whole games from start-up on the virtual platform with random keys and
// clock values, checking the player state's invariants whenever the game waits for a key.
// Usage: pervaro_soak [games] [seed]
#include <chrono>
#include <cinttypes>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>

#include "frontend/main_loop.hpp"
#include "state/item_table.hpp"
#include "state/player_state.hpp"
#include "support/map_directory.hpp"
#include "support/virtual_platform.hpp"

namespace {

// A game that runs longer than this in virtual time counts as hung.
constexpr std::int64_t kVirtualTimeLimitMs = 6LL * 3600 * 1000;
constexpr int kKeysPerGame = 4000;

struct Failure {
    std::string what;
};

bool onListScreen() {
    // The inventory and the shop number their lists while their prompt waits.
    return vt::textAt(16, 3, 20) == "-----所持品一覧-----" || vt::textAt(8, 3, 4) == "番号";
}

void checkInvariants() {
    const auto fail = [](const char* what) { throw Failure{what}; };
    const std::int64_t maximum = 5LL * player.maxLifeUnits;
    if (maximum < 5 || maximum > 25)
        fail("maximum LIFE outside 5..25");
    if (player.life < 0 || player.life > maximum)
        fail("LIFE outside 0..maximum");
    if (player.coin < 0 || player.coin > 99999)
        fail("COIN outside 0..99999");
    if (player.exp < 0 || player.exp > 99)
        fail("experience outside 0..99");
    if (player.level < 1)
        fail("level below 1");
    if (player.highestStage < 1 || player.highestStage > 6)
        fail("highest stage outside 1..6");
    for (int i = 0; i < kItemCount; ++i) {
        const int cap = i < kFirstUsableItem ? 1 : 10;
        if (itemTable[i].count < 0 || itemTable[i].count > cap)
            fail("item count outside its cap");
        if (itemTable[i].listNumber != 0 && !onListScreen())
            fail("list number left set");
    }
    if (vt::runningTimers() > 2)
        fail("more timers than any game uses");
    if (vt::nowMs() > kVirtualTimeLimitMs)
        fail("virtual time limit: the game hangs");
}

// Keys a restless player might press, weighted towards what moves the game on.
std::string randomKey(std::mt19937& random) {
    const int pick = static_cast<int>(random() % 100);
    if (pick < 30)
        return std::to_string(random() % 12) + "\r";  // a menu entry
    if (pick < 40)
        return std::to_string(static_cast<int>(random() % 30) - 5) + "\r";
    if (pick < 55)
        return std::string(1, static_cast<char>('0' + random() % 10));
    if (pick < 65)
        return "\r";
    if (pick < 72)
        return " ";
    if (pick < 80) {
        const char* arrows[] = {"\x1b[A", "\x1b[B", "\x1b[C", "\x1b[D", "\x1bOA"};
        return arrows[random() % 5];
    }
    if (pick < 83)
        return "\x1b";
    if (pick < 87)
        return std::string(1, static_cast<char>('a' + random() % 26));
    if (pick < 90)
        return "\x7f";
    if (pick < 92)
        return std::string(static_cast<size_t>(random() % 120), '9') + "\r";
    if (pick < 94)
        return "abc def\r";
    if (pick < 96)
        return "あ\r";
    if (pick < 98)
        return "\x1b[15~";
    return "3 4 5\r";
}

// Pages whose reach the soak reports, by a text that only they show.
struct Landmark {
    const char* name;
    const char* text;
};
constexpr Landmark kLandmarks[] = {
    {"board", "STAGE : "},
    {"boss", "<コマンド選択>"},
    {"big-or-small", "～ 大小 ～"},
    {"high&low", "～ High & Low ～"},
    {"sprint", "短距離走ゲーム"},
    {"shooting", "～ 射的ゲーム ～"},
    {"batting", "バッティングゲーム"},
    {"ladder", "～ あみだくじ ～"},
    {"bingo", "ビンゴゲーム ～"},
    {"shop", "ショップ店主"},
    {"inventory", "所持品一覧"},
    {"free play", "遊ぶミニゲームの番号"},
    {"stage clear", "Congratulation"},
    {"game over", "Game  Over"},
};
constexpr int kLandmarkCount = sizeof kLandmarks / sizeof kLandmarks[0];

void noteLandmarks(bool (&seen)[kLandmarkCount]) {
    for (int row = 1; row <= 40; ++row) {
        const std::string text = vt::rowText(row);
        for (int i = 0; i < kLandmarkCount; ++i) {
            seen[i] = seen[i] || text.find(kLandmarks[i].text) != std::string::npos;
        }
    }
}

// A save with extra mode on, so that some games reach the free-play menu through a load.
void writeExtraModeSave() {
    std::int32_t values[27] = {0, 1, 60000, 50, 10, 1, 5, 3, 5, 0, 0, 1, 1, 1, 1, 0};
    for (int i = 16; i < 27; ++i)
        values[i] = i < 21 ? 0 : 3;
    std::string bytes;
    for (const std::int32_t v : values) {
        const auto u = static_cast<std::uint32_t>(v);
        for (int shift = 0; shift < 32; shift += 8) {
            bytes += static_cast<char>((u >> shift) & 0xFF);
        }
    }
    vt::putFile("save.bin", bytes);
}

}  // namespace

int main(int argc, char** argv) {
    const int games = argc > 1 ? std::atoi(argv[1]) : 20;
    const unsigned seed = argc > 2 ? static_cast<unsigned>(std::strtoul(argv[2], nullptr, 10)) : 1u;
    std::mt19937 random(seed);
    MapDirectory maps;
    std::int64_t keys = 0;
    int reached[kLandmarkCount] = {};
    std::int64_t virtualMs = 0;
    const auto started = std::chrono::steady_clock::now();
    for (int game = 0; game < games; ++game) {
        if (game % 2 == 1) {
            writeExtraModeSave();
        } else {
            vt::removeFile("save.bin");
        }
        vt::Options options;
        options.keepSnapshots = false;
        options.wallClockStart = 1'700'000'000 + static_cast<std::int64_t>(random() % 100000);
        options.ambiguousNarrow = game % 3 == 0;
        vt::reset(options);
        for (int k = 0; k < kKeysPerGame; ++k) {
            const std::string key = randomKey(random);
            if (random() % 10 == 0) {
                vt::typeAt(static_cast<std::int64_t>(random() % 600000), key);
            } else {
                vt::type(key);
            }
        }
        std::int64_t reads = 0;
        bool seen[kLandmarkCount] = {};
        vt::onBlockingRead([&] {
            ++reads;
            noteLandmarks(seen);
            checkInvariants();
            if (random() % 7 == 0) {
                vt::setWallClock(options.wallClockStart +
                                 static_cast<std::int64_t>(random() % 5000));
            }
        });
        int status = 0;
        try {
            status = vt::run([] { runGame(); });
            checkInvariants();
        } catch (const Failure& failure) {
            std::fprintf(stderr, "game %d (seed %u): %s after %" PRId64 " key reads\n", game, seed,
                         failure.what.c_str(), reads);
            for (int row = 1; row <= 41; ++row) {
                std::fprintf(stderr, "%2d|%s|\n", row, vt::rowText(row).c_str());
            }
            return 1;
        }
        if (status != 0 && status != 1) {
            std::fprintf(stderr, "game %d: exit status %d\n", game, status);
            return 1;
        }
        if (vt::runningTimers() != 0) {
            std::fprintf(stderr, "game %d: a timer outlived the game\n", game);
            return 1;
        }
        keys += reads;
        for (int i = 0; i < kLandmarkCount; ++i) {
            reached[i] += seen[i] ? 1 : 0;
        }
        virtualMs += vt::nowMs();
    }
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    std::printf("soak: %d games, %" PRId64
                " key reads, %.1f virtual hours in %.1f s "
                "(%.1f games/s, %.0f keys/s)\n",
                games, keys, static_cast<double>(virtualMs) / 3.6e6, seconds, games / seconds,
                static_cast<double>(keys) / seconds);
    std::printf("games that reached:");
    for (int i = 0; i < kLandmarkCount; ++i) {
        std::printf(" %s %d%s", kLandmarks[i].name, reached[i],
                    i + 1 < kLandmarkCount ? "," : "\n");
    }
    return 0;
}
