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
#include "state/save_record.hpp"
#include "support/map_directory.hpp"
#include "support/virtual_platform.hpp"

namespace {

// A game that runs longer than this in virtual time counts as hung.
constexpr std::int64_t kVirtualTimeLimitMs = 6LL * 3600 * 1000;
constexpr int kKeysPerGame = 4000;

// What must hold at every key wait; the first that does not, or nothing.
const char* brokenInvariant() {
    const std::int64_t maximum = 5LL * player.maxLifeUnits;
    // The inventory and the shop number their lists while their prompt waits.
    const bool listed =
        vt::textAt(16, 3, 20) == "-----所持品一覧-----" || vt::textAt(8, 3, 4) == "番号";
    for (int i = 0; i < kItemCount; ++i) {
        if (itemTable[i].count < 0 || itemTable[i].count > (i < kFirstUsableItem ? 1 : 10)) {
            return "item count outside its cap";
        }
        if (itemTable[i].listNumber != 0 && !listed) {
            return "list number left set";
        }
    }
    return maximum < 5 || maximum > 25                          ? "maximum LIFE outside 5..25"
           : player.life < 0 || player.life > maximum           ? "LIFE outside 0..maximum"
           : player.coin < 0 || player.coin > kCoinLimit        ? "COIN outside 0..99999"
           : player.exp < 0 || player.exp > 99                  ? "experience outside 0..99"
           : player.level < 1                                   ? "level below 1"
           : player.highestStage < 1 || player.highestStage > 6 ? "highest stage outside 1..6"
           : vt::runningTimers() > 2                            ? "more timers than any game uses"
           : vt::nowMs() > kVirtualTimeLimitMs ? "virtual time limit: the game hangs"
                                               : nullptr;
}

// Keys a restless player might press, weighted towards what moves the game on.
std::string randomKey(std::mt19937& random) {
    constexpr const char* kOtherKeys[] = {"\r",        "\r",     "\r",       "\r",     "\r",
                                          " ",         " ",      " ",        "\x1b[A", "\x1b[B",
                                          "\x1b[C",    "\x1b[D", "\x1bOA",   "\x1b",   "\x7f",
                                          "abc def\r", "あ\r",   "\x1b[15~", "3 4 5\r"};
    const auto number = [&](int count, int from) {
        return std::to_string(static_cast<int>(random() % count) + from);
    };
    const int pick = static_cast<int>(random() % 100);
    return pick < 30   ? number(12, 0) + "\r"  // a menu entry
           : pick < 40 ? number(30, -5) + "\r"
           : pick < 55 ? number(10, 0)
           : pick < 59 ? std::string(1, static_cast<char>('a' + random() % 26))
           : pick < 61 ? std::string(random() % 120, '9') + "\r"
                       : kOtherKeys[random() % std::size(kOtherKeys)];
}

// Pages whose reach the soak reports, by a text that only they show.
constexpr const char* kLandmarks[] = {
    "STAGE : ",        "<コマンド選択>",   "～ 大小 ～",         "～ High & Low ～",
    "短距離走ゲーム",  "～ 射的ゲーム ～", "バッティングゲーム", "～ あみだくじ ～",
    "ビンゴゲーム ～", "ショップ店主",     "所持品一覧",         "遊ぶミニゲームの番号",
    "Congratulation",  "Game  Over"};
constexpr int kLandmarkCount = sizeof kLandmarks / sizeof kLandmarks[0];

// Every other game starts with this save, so that some reach the free-play menu: COIN 60000,
// LV 5, LIFE 10 of 15 (two elixirs bought), the cards, stage 5 reached, three of each usable item.
constexpr SaveRecord kExtraModeSave = {
    0, 1, 60000, 50, 10, 1, 5, 3, 5, 0, 0, {1, 1, 1, 1, 0}, {1, 1, 1, 0, 0, 3, 3, 3, 3, 3, 3}};

}  // namespace

int main(int argc, char** argv) {
    const int games = argc > 1 ? std::atoi(argv[1]) : 20;
    const unsigned seed = argc > 2 ? static_cast<unsigned>(std::strtoul(argv[2], nullptr, 10)) : 1u;
    std::mt19937 random(seed);
    MapDirectory maps;
    const SaveBytes extraModeSave = encodeSaveRecord(kExtraModeSave);
    std::int64_t keys = 0;
    std::int64_t virtualMs = 0;
    int reached[kLandmarkCount] = {};
    const auto started = std::chrono::steady_clock::now();
    for (int game = 0; game < games; ++game) {
        vt::removeFile("save.bin");
        if (game % 2 == 1) {
            vt::putFile("save.bin", std::string(extraModeSave.begin(), extraModeSave.end()));
        }
        vt::Options options;
        options.keepSnapshots = false;
        options.wallClockStart = 1'700'000'000 + static_cast<std::int64_t>(random() % 100000);
        options.ambiguousNarrow = game % 3 == 0;
        vt::reset(options);
        for (int k = 0; k < kKeysPerGame; ++k) {
            const std::string key = randomKey(random);
            random() % 10 == 0 ? vt::typeAt(static_cast<std::int64_t>(random() % 600000), key)
                               : vt::type(key);
        }
        bool seen[kLandmarkCount] = {};
        const char* broken = nullptr;
        vt::onBlockingRead([&] {
            ++keys;
            for (int row = 1; row <= 40; ++row) {
                const std::string text = vt::rowText(row);
                for (int i = 0; i < kLandmarkCount; ++i) {
                    seen[i] = seen[i] || text.find(kLandmarks[i]) != std::string::npos;
                }
            }
            if ((broken = brokenInvariant()) != nullptr) {
                throw vt::ProgramExit{-2, ""};
            }
            if (random() % 7 == 0) {
                vt::setWallClock(options.wallClockStart +
                                 static_cast<std::int64_t>(random() % 5000));
            }
        });
        const int status = vt::run([] { runGame(); });
        broken = broken                       ? broken
                 : status != 0 && status != 1 ? "an exit status other than 0 and 1"
                 : vt::runningTimers() != 0   ? "a timer outlived the game"
                                              : brokenInvariant();
        if (broken != nullptr) {
            std::fprintf(stderr, "game %d (seed %u): %s\n", game, seed, broken);
            for (int row = 1; row <= 41; ++row) {
                std::fprintf(stderr, "%2d|%s|\n", row, vt::rowText(row).c_str());
            }
            return 1;
        }
        for (int i = 0; i < kLandmarkCount; ++i) {
            reached[i] += seen[i] ? 1 : 0;
        }
        virtualMs += vt::nowMs();
    }
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    std::printf("soak: %d games, %" PRId64
                " key reads, %.1f virtual hours in %.1f s (%.1f games/s, %.0f keys/s)\n",
                games, keys, static_cast<double>(virtualMs) / 3.6e6, seconds, games / seconds,
                static_cast<double>(keys) / seconds);
    std::printf("games that reached:");
    for (int i = 0; i < kLandmarkCount; ++i) {
        std::printf(" \"%s\" %d%s", kLandmarks[i], reached[i], i + 1 < kLandmarkCount ? "," : "\n");
    }
    return 0;
}
