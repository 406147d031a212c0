// The bench on a Windows console (here under Wine): the platform's timers, key latency, the CPU
// a blocked key wait and the timing games cost, and the write calls per page. The game runs on
// this process's main thread, on the real Windows platform and console layer, as in the game;
// a second thread is the player: it puts key records into the console's input buffer, as the
// console does for typed keys. Standard input and output must be the console, in a folder
// holding the map files; the table goes to standard error, which should go to a file.
//
//   pervaro_bench [--quick] [--only timers|keys|idle|pages|games]
#include <windows.h>
//
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "board/board.hpp"
#include "boss/boss.hpp"
#include "console/console.hpp"
#include "frontend/frontend.hpp"
#include "key_loops.hpp"
#include "minigames/minigames.hpp"
#include "platform/platform.hpp"
#include "platform/utf16.hpp"
#include "table.hpp"
#include "timer_race.hpp"

namespace {

// ---- What the game does, seen from the system calls (linked with --wrap) ----

DWORD gameThread = 0;
std::atomic<long long> writeCalls{0};
std::atomic<long long> writtenUnits{0};
std::atomic<long long> blockingWaits{0};
// The counts when each key wait began (0: the start).
constexpr long long kMostWaits = 4096;
std::atomic<long long> writesAtWait[kMostWaits];
std::atomic<long long> unitsAtWait[kMostWaits];
std::mutex writtenMutex;
std::wstring written;  // everything the game wrote, for waits on a text

}  // namespace

extern "C" {
extern decltype(&WriteConsoleW) __real___imp_WriteConsoleW;
extern decltype(&WaitForMultipleObjects) __real___imp_WaitForMultipleObjects;

static BOOL WINAPI countWrite(HANDLE console, const VOID* units, DWORD count, LPDWORD done,
                              LPVOID reserved) {
    if (::GetCurrentThreadId() == gameThread) {
        writeCalls.fetch_add(1);
        writtenUnits.fetch_add(count);
        std::lock_guard lock(writtenMutex);
        written.append(static_cast<const wchar_t*>(units), count);
    }
    return __real___imp_WriteConsoleW(console, units, count, done, reserved);
}

// The platform blocks for a key in an unlimited wait on the console input (and the resize
// event): that is when a page is complete.
static DWORD WINAPI countWait(DWORD count, const HANDLE* handles, BOOL all, DWORD timeoutMs) {
    if (timeoutMs == INFINITE && count == 2 && ::GetCurrentThreadId() == gameThread &&
        handles[0] == ::GetStdHandle(STD_INPUT_HANDLE)) {
        const long long wait = blockingWaits.load() + 1;
        if (wait < kMostWaits) {
            writesAtWait[wait] = writeCalls.load();
            unitsAtWait[wait] = writtenUnits.load();
        }
        blockingWaits = wait;
    }
    return __real___imp_WaitForMultipleObjects(count, handles, all, timeoutMs);
}

decltype(&WriteConsoleW) __wrap___imp_WriteConsoleW = countWrite;
decltype(&WaitForMultipleObjects) __wrap___imp_WaitForMultipleObjects = countWait;
}

namespace {

constexpr int kPatienceMs = 15'000;

long long nowMicros() {
    return platform::monotonicMicros();
}

long long processCpuMicros() {
    FILETIME created, ended, kernel, user;
    ::GetProcessTimes(::GetCurrentProcess(), &created, &ended, &kernel, &user);
    const auto micros = [](const FILETIME& t) {
        return ((static_cast<long long>(t.dwHighDateTime) << 32) | t.dwLowDateTime) / 10;
    };
    return micros(kernel) + micros(user);
}

// ---- The player ----

// The key wait the player last typed in (or before).
std::atomic<long long> typedInWait{0};

void press(WORD virtualKey, wchar_t character) {
    typedInWait = blockingWaits.load();
    INPUT_RECORD records[2] = {};
    for (int i = 0; i < 2; ++i) {
        records[i].EventType = KEY_EVENT;
        records[i].Event.KeyEvent.bKeyDown = i == 0;
        records[i].Event.KeyEvent.wRepeatCount = 1;
        records[i].Event.KeyEvent.wVirtualKeyCode = virtualKey;
        records[i].Event.KeyEvent.uChar.UnicodeChar = character;
    }
    DWORD put = 0;
    ::WriteConsoleInputW(::GetStdHandle(STD_INPUT_HANDLE), records, 2, &put);
}

// Digits, lower-case letters, the space and Enter ("\r"), as typed.
void type(const char* keys) {
    for (const char* k = keys; *k != '\0'; ++k) {
        const char c = *k;
        const WORD key = c == '\r'              ? VK_RETURN
                         : c >= 'a' && c <= 'z' ? static_cast<WORD>(c - 'a' + 'A')
                                                : static_cast<WORD>(c);  // digits, the space
        press(key, static_cast<wchar_t>(c));
    }
}

bool waitBlocked(long long count) {
    const long long deadline = nowMicros() + kPatienceMs * 1000LL;
    while (blockingWaits.load() < count) {
        if (nowMicros() > deadline) {
            return false;
        }
        ::Sleep(1);
    }
    ::Sleep(5);
    return true;
}

bool shown(const char* text) {
    const std::wstring wide = platform::widen(text);
    std::lock_guard lock(writtenMutex);
    return written.find(wide) != std::wstring::npos;
}

bool waitText(std::initializer_list<const char*> texts) {
    const long long deadline = nowMicros() + kPatienceMs * 1000LL;
    while (nowMicros() < deadline) {
        for (const char* text : texts) {
            if (shown(text)) {
                return true;
            }
        }
        ::Sleep(1);
    }
    std::fprintf(stderr, "  \"%s\" never appeared\n", *texts.begin());
    return false;
}

// Runs a piece of the game on this thread while the player plays it on another; once the
// player is done, every key wait nobody typed in is answered with a space until the game
// returns.
void playWith(const std::function<void()>& game, const std::function<void()>& player) {
    blockingWaits = 0;
    typedInWait = 0;
    writeCalls = 0;
    writtenUnits = 0;
    writesAtWait[0] = 0;
    unitsAtWait[0] = 0;
    {
        std::lock_guard lock(writtenMutex);
        written.clear();
    }
    std::atomic<bool> returned{false};
    std::thread playing([&] {
        player();
        while (!returned.load()) {
            if (blockingWaits.load() > typedInWait.load()) {
                type(" ");
            }
            ::Sleep(2);
        }
    });
    game();
    returned = true;
    playing.join();
}

// ---- Keys ----

int keySamples = 0;
std::vector<long long> seenAt;
std::atomic<int> keysSeen{0};

void noteKey(int key, long long micros) {
    seenAt[key] = micros;
    keysSeen = key + 1;
}

void pollForKeys() {
    pollForKeysAsTheGameDoes(keySamples, noteKey);
}

void blockForEachKey() {
    blockForKeys(keySamples, noteKey);
}

std::vector<double> keyLatencies(void (*game)(), bool waitUntilBlocked) {
    std::vector<double> latencies;
    seenAt.assign(keySamples, 0);
    keysSeen = 0;
    playWith(game, [&] {
        for (int i = 0; i < keySamples; ++i) {
            if (waitUntilBlocked) {
                waitBlocked(i + 1);
            } else {
                ::Sleep(1 + std::rand() % 4);
            }
            const long long sent = nowMicros();
            type("a");
            while (keysSeen.load() <= i && nowMicros() < sent + kPatienceMs * 1000LL) {
                ::Sleep(0);
            }
            if (keysSeen.load() <= i) {
                std::fprintf(stderr, "  key %d never arrived\n", i);
                return;
            }
            latencies.push_back(static_cast<double>(seenAt[i] - sent) / 1000.0);
        }
    });
    return latencies;
}

void runKeyFigures(const Repetitions& reps) {
    keySamples = reps.keySamples;
    const std::vector<double> polled = keyLatencies(pollForKeys, false);
    addRow("key latency, keyPending polled between ticks", "ms", polled, "p99 at most 1 ms",
           summarize(polled).p99 <= 1);
    const std::vector<double> blocked = keyLatencies(blockForEachKey, true);
    addRow("key latency, blocked readKey", "ms", blocked, "p99 at most 1 ms",
           summarize(blocked).p99 <= 1);
}

// ---- CPU ----

constexpr int kIdleMs = 10'000;

// A share of one core over a window: the whole process, timer threads and the idle player
// thread included.
class CpuWindow {
  public:
    CpuWindow() : wall_(nowMicros()), cpu_(processCpuMicros()) {}
    double percent() const {
        return 100.0 * static_cast<double>(processCpuMicros() - cpu_) /
               static_cast<double>(nowMicros() - wall_);
    }

  private:
    long long wall_;
    long long cpu_;
};

void runIdleFigures(const Repetitions& reps) {
    std::vector<double> shares;
    for (int run = 0; run < reps.idleRuns; ++run) {
        double share = 0;
        playWith(
            [&] {
                const CpuWindow window;
                readKey();
                share = window.percent();
            },
            [] {
                waitBlocked(1);
                ::Sleep(kIdleMs);
                type(" ");
            });
        shares.push_back(share);
    }
    addRow("CPU while blocked in a key wait, 10 s", "% of a core", shares, "under 1%",
           summarize(shares).max < 1);
}

// The ball is launched at speed 3 and swung at just before it reaches the zone, so the whole
// window is flight.
double battingFlight() {
    double share = -1;
    playWith([] { playBatting(); },
             [&] {
                 waitBlocked(1);
                 type(" ");
                 waitBlocked(2);
                 type("3\r");
                 if (!waitText({"\x1b[8;1H/"})) {
                     return;
                 }
                 const CpuWindow window;
                 ::Sleep(170);
                 type(" ");
                 if (waitText({"あたった", "空振り"})) {
                     share = window.percent();
                 }
             });
    return share;
}

// 147 alternating presses, one every 40 ms: a quick player's pace.
double sprintRace() {
    double share = -1;
    playWith([] { playSprint(); },
             [&] {
                 waitBlocked(1);
                 type(" ");
                 if (!waitText({"スタート！"})) {
                     return;
                 }
                 const CpuWindow window;
                 for (int press = 0; press < 147; ++press) {
                     type(press % 2 == 0 ? "1" : "2");
                     ::Sleep(40);
                 }
                 if (waitText({"GOAL"})) {
                     share = window.percent();
                 }
             });
    return share;
}

// Three seconds of aiming, then the shot.
double shootingAim() {
    double share = -1;
    playWith([] { playShooting(); },
             [&] {
                 waitBlocked(1);
                 type(" ");
                 waitBlocked(2);
                 type(" ");
                 if (!waitText({"スタート！"})) {
                     return;
                 }
                 const CpuWindow window;
                 ::Sleep(3000);
                 type(" ");
                 if (waitText({"大当たり", "ハズレ", "Time Over"})) {
                     share = window.percent();
                 }
             });
    return share;
}

void runGameFigures(const Repetitions& reps) {
    measureGame("a batting flight at speed 3", battingFlight, reps.gameRuns);
    measureGame("a sprint (a press every 40 ms)", sprintRace, reps.gameRuns);
    measureGame("3 s of aiming in the shooting gallery", shootingAim, reps.gameRuns);
}

// ---- Pages ----

struct PageCost {
    std::vector<double> writes;
    std::vector<double> units;
};

// A page: what was written between two key waits, the second of which is `wait`.
void measurePage(PageCost& cost, long long wait) {
    if (!waitBlocked(wait) || wait >= kMostWaits) {
        std::fprintf(stderr, "  the page never waited for a key\n");
        return;
    }
    cost.writes.push_back(static_cast<double>(writesAtWait[wait] - writesAtWait[wait - 1]));
    cost.units.push_back(static_cast<double>(unitsAtWait[wait] - unitsAtWait[wait - 1]));
}

void addPageRows(const std::string& page, const PageCost& cost) {
    addRow(page + ": write calls", "writes", cost.writes, "one write per page",
           summarize(cost.writes).max <= 1);
    addStatedRow(page + ": UTF-16 units written", "units", cost.units, "stated");
}

void runPageFigures(const Repetitions& reps) {
    PageCost title, board, boss, bingo;
    for (int run = 0; run < reps.pageRuns; ++run) {
        playWith([] { titleMenu(); },
                 [&] {
                     measurePage(title, 1);
                     type("0\r");
                 });
        playWith(
            [] {
                drawBoard(1, 1);
                waitKey();
            },
            [&] { measurePage(board, 1); });
        // A turn after the first: the message is dismissed and the turn page drawn again.
        playWith([] { bossBattle(1); },
                 [&] {
                     waitBlocked(1);
                     type(" ");
                     waitBlocked(2);
                     type("\r");  // attack
                     waitBlocked(3);
                     type(" ");
                     measurePage(boss, 4);
                     // The hidden sequence ends the battle.
                     for (const WORD key :
                          {VK_UP, VK_UP, VK_DOWN, VK_DOWN, VK_LEFT, VK_RIGHT, VK_LEFT, VK_RIGHT}) {
                         press(key, 0);
                     }
                     type("b\r");
                 });
        // The card page comes after the rules page.
        playWith([] { playBingo(75); },
                 [&] {
                     waitBlocked(1);
                     type(" ");
                     measurePage(bingo, 2);
                 });
    }
    addPageRows("title page", title);
    addPageRows("board (stage 1)", board);
    addPageRows("boss battle turn", boss);
    addPageRows("bingo card", bingo);
}

}  // namespace

int main(int argc, char** argv) {
    Repetitions reps;
    std::string only;
    if (!readBenchCommand(argc, argv, "timers|keys|idle|pages|games", reps, only)) {
        return 2;
    }
    DWORD mode = 0;
    if (!::GetConsoleMode(::GetStdHandle(STD_INPUT_HANDLE), &mode) ||
        ::GetFileAttributesW(L"map01.txt") == INVALID_FILE_ATTRIBUTES) {
        std::fprintf(stderr, "%s: run it on a console, in a folder holding the map files\n",
                     argv[0]);
        return 2;
    }
    std::setvbuf(stderr, nullptr, _IONBF, 0);
    gameThread = ::GetCurrentThreadId();
    initConsole();
    if (measuring(only, "timers")) {
        measureTimers(reps.timerRuns);
    }
    if (measuring(only, "keys")) {
        runKeyFigures(reps);
    }
    if (measuring(only, "idle")) {
        runIdleFigures(reps);
    }
    if (measuring(only, "pages")) {
        runPageFigures(reps);
    }
    if (measuring(only, "games")) {
        runGameFigures(reps);
    }
    printTable(stderr);
    endProgram(0, "");
}
