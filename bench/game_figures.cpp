// What the player sees: bytes and write calls per page, CPU during the timing games, and the
// real binary's start-up time and memory.
#include <signal.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <initializer_list>
#include <string>
#include <vector>

#include "board/board.hpp"
#include "boss/boss.hpp"
#include "console/console.hpp"
#include "frontend/frontend.hpp"
#include "measure.hpp"
#include "minigames/minigames.hpp"

namespace {

// Enough for the boss's two greeting pauses of two seconds.
constexpr int kPageWaitMs = 15'000;

struct PageCost {
    std::vector<double> writes;
    std::vector<double> bytes;
    std::vector<double> textBytes;
};

// The page written since the given counts, now that the child blocks for a key.
void notePage(ConsoleChild& child, PageCost& cost, long long writesBefore, long long bytesBefore) {
    child.pumpFor(20);
    const long long bytes = probe->bytes.load() - bytesBefore;
    const std::string& output = child.pty().output();
    const std::size_t from =
        output.size() >= static_cast<std::size_t>(bytes) ? output.size() - bytes : 0;
    cost.writes.push_back(static_cast<double>(probe->writes.load() - writesBefore));
    cost.bytes.push_back(static_cast<double>(bytes));
    cost.textBytes.push_back(
        static_cast<double>(visibleBytes(std::string_view(output).substr(from))));
}

void addPageRows(const std::string& page, const PageCost& cost) {
    addRow(page + ": write calls", "writes", cost.writes, "one write per page",
           summarize(cost.writes).max <= 1);
    addStatedRow(page + ": bytes written", "bytes", cost.bytes, "stated");
    addStatedRow(page + ": of them text (no control sequences)", "bytes", cost.textBytes, "stated");
}

void showTitle() {
    titleMenu();
}

void showBoard() {
    drawBoard(1, 1);
    waitKey();
}

void fightBoss() {
    bossBattle(1);
}

void playBingoCard() {
    playBingo(75);
}

void measureFirstPage(void (*body)(), const char* name, const char* answer, int runs) {
    PageCost cost;
    for (int run = 0; run < runs; ++run) {
        ConsoleChild child(body);
        if (!child.waitBlocked(1, kPageWaitMs)) {
            std::fprintf(stderr, "  %s: the page never waited for a key\n", name);
            return;
        }
        notePage(child, cost, 0, 0);
        child.pty().type(answer);
        ::kill(child.pid(), SIGTERM);
        child.pty().waitForExit();
    }
    addPageRows(name, cost);
}

// A turn after the first: the message is dismissed and the turn page drawn again.
void measureBossTurn(int runs) {
    PageCost cost;
    for (int run = 0; run < runs; ++run) {
        ConsoleChild child(fightBoss);
        bool ok = child.waitBlocked(1, kPageWaitMs);
        child.pty().type(" ");
        ok = ok && child.waitBlocked(2, kPageWaitMs);
        child.pty().type("\r");  // attack
        ok = ok && child.waitBlocked(3, kPageWaitMs);
        child.pumpFor(20);
        const long long writes = probe->writes.load();
        const long long bytes = probe->bytes.load();
        child.pty().type(" ");
        ok = ok && child.waitBlocked(4, kPageWaitMs);
        if (!ok) {
            std::fprintf(stderr, "  boss battle: the turn never came\n");
            return;
        }
        notePage(child, cost, writes, bytes);
        ::kill(child.pid(), SIGTERM);
        child.pty().waitForExit();
    }
    addPageRows("boss battle turn", cost);
}

// The card page comes after the rules page.
void measureBingoCard(int runs) {
    PageCost cost;
    for (int run = 0; run < runs; ++run) {
        ConsoleChild child(playBingoCard);
        bool ok = child.waitBlocked(1, kPageWaitMs);
        child.pumpFor(20);
        const long long writes = probe->writes.load();
        const long long bytes = probe->bytes.load();
        child.pty().type(" ");
        ok = ok && child.waitBlocked(2, kPageWaitMs);
        if (!ok) {
            std::fprintf(stderr, "  bingo: the card never came\n");
            return;
        }
        notePage(child, cost, writes, bytes);
        ::kill(child.pid(), SIGTERM);
        child.pty().waitForExit();
    }
    addPageRows("bingo card", cost);
}

}  // namespace

void runPageFigures(const Repetitions& reps) {
    measureFirstPage(showTitle, "title page", "0\r", reps.pageRuns);
    measureFirstPage(showBoard, "board (stage 1)", " ", reps.pageRuns);
    measureBossTurn(reps.pageRuns);
    measureBingoCard(reps.pageRuns);
}

namespace {

struct Window {
    long long wallMicros = 0;
    long long cpuMicros = 0;
};

// CPU share of one core over a window of the child's life.
class CpuWindow {
  public:
    explicit CpuWindow(pid_t pid) : pid_(pid), wall_(nowMicros()), cpu_(childCpuMicros(pid)) {}
    double percent() const {
        const double wall = static_cast<double>(nowMicros() - wall_);
        return 100.0 * static_cast<double>(childCpuMicros(pid_) - cpu_) / wall;
    }

  private:
    pid_t pid_;
    long long wall_;
    long long cpu_;
};

bool waitText(ConsoleChild& child, const char* text) {
    if (child.pty().waitForOutput(text, 1, kPageWaitMs)) {
        return true;
    }
    std::fprintf(stderr, "  \"%s\" never appeared\n", text);
    return false;
}

// Waits for whichever outcome of a game is shown.
bool waitOutcome(ConsoleChild& child, std::initializer_list<const char*> outcomes) {
    const long long deadline = nowMicros() + kPageWaitMs * 1000LL;
    while (nowMicros() < deadline) {
        for (const char* text : outcomes) {
            if (child.pty().output().find(text) != std::string::npos) {
                return true;
            }
        }
        child.pumpFor(1);
    }
    std::fprintf(stderr, "  no outcome appeared\n");
    return false;
}

// The ball is launched at speed 3 and swung at just before it reaches the zone, so the whole
// window is flight.
double battingFlight() {
    ConsoleChild child([] { playBatting(); });
    child.waitBlocked(1, kPageWaitMs);
    child.pty().type(" ");
    child.waitBlocked(2, kPageWaitMs);
    child.pty().type("3\r");
    if (!waitText(child, "\x1b[8;1H/")) {
        return -1;
    }
    const CpuWindow window(child.pid());
    child.pumpFor(170);
    child.pty().type(" ");
    if (!waitOutcome(child, {"あたった", "空振り"})) {
        return -1;
    }
    const double share = window.percent();
    ::kill(child.pid(), SIGTERM);
    child.pty().waitForExit();
    return share;
}

// 147 alternating presses, one every 40 ms: a quick player's pace.
double sprintRace() {
    ConsoleChild child([] { playSprint(); });
    child.waitBlocked(1, kPageWaitMs);
    child.pty().type(" ");
    if (!waitText(child, "スタート！")) {
        return -1;
    }
    const CpuWindow window(child.pid());
    for (int press = 0; press < 147; ++press) {
        child.pty().type(press % 2 == 0 ? "1" : "2");
        child.pumpFor(40);
    }
    if (!waitText(child, "GOAL")) {
        return -1;
    }
    const double share = window.percent();
    ::kill(child.pid(), SIGTERM);
    child.pty().waitForExit();
    return share;
}

// Three seconds of aiming, then the shot.
double shootingAim() {
    ConsoleChild child([] { playShooting(); });
    child.waitBlocked(1, kPageWaitMs);
    child.pty().type(" ");
    child.waitBlocked(2, kPageWaitMs);
    child.pty().type(" ");
    if (!waitText(child, "スタート！")) {
        return -1;
    }
    const CpuWindow window(child.pid());
    child.pumpFor(3000);
    child.pty().type(" ");
    if (!waitOutcome(child, {"大当たり", "ハズレ", "Time Over"})) {
        return -1;
    }
    const double share = window.percent();
    ::kill(child.pid(), SIGTERM);
    child.pty().waitForExit();
    return share;
}

}  // namespace

void runGameFigures(const Repetitions& reps) {
    measureGame("a batting flight at speed 3", battingFlight, reps.gameRuns);
    measureGame("a sprint (a press every 40 ms)", sprintRace, reps.gameRuns);
    measureGame("3 s of aiming in the shooting gallery", shootingAim, reps.gameRuns);
}

namespace {

long long peakKilobytes(pid_t pid) {
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmHWM:", 0) == 0) {
            return std::atoll(line.c_str() + 6);
        }
    }
    return -1;
}

std::string gamePath;

void runGame() {
    ::execl(gamePath.c_str(), "pervaro", static_cast<char*>(nullptr));
    std::_Exit(127);
}

}  // namespace

void runStartFigures(const Repetitions& reps, const std::string& gameBinary) {
    gamePath = gameBinary;
    std::vector<double> firstByte;
    std::vector<double> firstByteCpu;
    std::vector<double> peak;
    for (int run = 0; run < reps.startRuns; ++run) {
        const bool toTitle = run == 0;  // one run goes on through the credits to the title menu
        const long long start = nowMicros();
        PtyChild child([] {
            if (::chdir(mapDirectory().c_str()) == 0) {
                runGame();
            }
        });
        if (!child.waitForOutput("\x1b")) {
            std::fprintf(stderr, "  the game wrote nothing\n");
            return;
        }
        firstByte.push_back(static_cast<double>(nowMicros() - start) / 1000.0);
        // What it cost the game itself, a little past its first write: the rest of the wait
        // was for a core.
        firstByteCpu.push_back(static_cast<double>(childCpuMicros(child.pid())) / 1000.0);
        if (child.waitForOutput("\x1b[6n")) {
            child.type("\x1b[1;3R");
        }
        bool shown = child.waitForOutput("キーを押すと");
        if (toTitle) {
            child.type(" ");
            shown = child.waitForOutput("メニューから", 1, kPageWaitMs);
        }
        if (shown) {
            peak.push_back(static_cast<double>(peakKilobytes(child.pid())) / 1024.0);
        }
        ::kill(child.pid(), SIGTERM);
        child.waitForExit();
    }
    addRow("start-up to the first byte of output", "ms", firstByte, "under 10 ms",
           summarize(firstByte).max < 10);
    addStatedRow("CPU the game used by then", "ms", firstByteCpu, "stated");
    addRow("peak memory (VmHWM; first run at the title menu)", "MB", peak, "under 8 MB",
           summarize(peak).max < 8);
}
