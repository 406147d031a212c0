#include "support/virtual_platform.hpp"

#include <algorithm>
#include <cstdio>
#include <deque>
#include <map>
#include <utility>

#include "console/console.hpp"
#include "platform/platform.hpp"
#include "console/text_width.hpp"
#include "state/game_files.hpp"

namespace vt {
namespace {

// A busy poll costs this much virtual time, so polling loops always move on.
constexpr std::int64_t kPollStepMicros = 250;

struct Chunk {
    std::int64_t atMicros;  // kWhenAsked until the game blocks for it
    std::string bytes;
};

struct Timer {
    int handle;
    std::int64_t periodMicros, nextMicros;
    platform::TimerCallback callback;
    void* user;
};

struct VirtualPlatform {
    Options options;
    ScreenGrid grid;
    bool autowrap = true, cursorVisible = true, exhausted = false, repaintAsked = false;
    std::string pendingBytes;  // an unfinished sequence or character from the last write
    std::deque<Chunk> input;
    std::int64_t now = 0, wallClockBase = 0;
    std::vector<Timer> timers;
    int nextTimerHandle = 1, writeCalls = 0;
    int writesWithCursorHidden = 0, keyWaitsWithCursorHidden = 0;
    std::vector<ScreenGrid> snapshots;
    std::string output, lastErrorMessage;
    std::vector<std::string> unknown;
    std::function<void()> blockingReadHook;
} vp;

struct VirtualFile {
    FileKind kind = FileKind::Regular;
    std::string contents;
    bool readOnly = false;
};

// The disk outlives reset(), as a disk outlives a process.
std::map<std::string, VirtualFile> disk;
bool failNext = false;

const VirtualFile* findFile(const std::string& path) {
    const auto found = disk.find(path);
    return found == disk.end() ? nullptr : &found->second;
}

bool isRegular(const VirtualFile* file) {
    return file && file->kind == FileKind::Regular;
}

// Moves the clock to target, running the timer ticks due on the way in order.
void advanceTo(std::int64_t target) {
    for (;;) {
        const auto due = std::min_element(
            vp.timers.begin(), vp.timers.end(),
            [](const Timer& a, const Timer& b) { return a.nextMicros < b.nextMicros; });
        if (due == vp.timers.end() || due->nextMicros > target) {
            break;
        }
        vp.now = std::max(vp.now, due->nextMicros);
        due->nextMicros += due->periodMicros;
        due->callback(due->user);
    }
    vp.now = std::max(vp.now, target);
}

// When the next scripted byte arrives; never, while it waits to be asked for.
std::int64_t arrival() {
    const bool timed = !vp.input.empty() && vp.input.front().atMicros != kWhenAsked;
    return timed ? vp.input.front().atMicros : INT64_MAX;
}

int popByte() {
    Chunk& front = vp.input.front();
    const int byte = static_cast<unsigned char>(front.bytes.front());
    front.bytes.erase(0, 1);
    if (front.bytes.empty()) {
        vp.input.pop_front();
    }
    return byte;
}

void controlSequence(const std::string& params, char final) {
    // The numeric parameters; one missing, zero or not a number takes the fallback.
    std::vector<int> numbers(1, 0);
    for (const char c : params) {
        if (c == ';') {
            numbers.push_back(0);
        } else {
            const bool digit =
                c >= '0' && c <= '9' && numbers.back() >= 0 && numbers.back() < 99999;
            numbers.back() = digit ? numbers.back() * 10 + (c - '0') : -1;
        }
    }
    const auto parameter = [&](std::size_t index, int fallback) {
        return index < numbers.size() && numbers[index] > 0 ? numbers[index] : fallback;
    };
    ScreenGrid& g = vp.grid;
    const bool setOrReset = final == 'h' || final == 'l';
    if (params.starts_with('?')) {
        if (params == "?7" && setOrReset) {
            vp.autowrap = final == 'h';
        } else if (params == "?25" && setOrReset) {
            vp.cursorVisible = final == 'h';
        } else if (!setOrReset) {
            vp.unknown.push_back(params + final);
        }
    } else if (final == 'H' || final == 'f') {
        g.moveTo(std::min(parameter(1, 1), g.columns), std::min(parameter(0, 1), g.rows));
    } else if (final == 'J' && parameter(0, 0) == 2) {
        std::fill(g.cells.begin(), g.cells.end(), ScreenCell{});  // the cursor stays
    } else if (final == 'K' && parameter(0, 0) == 0) {
        g.eraseToEndOfLine();
    } else if (final == 'M') {
        for (int i = parameter(0, 1); i > 0; --i) {
            g.deleteLine();
        }
    } else if (final == 'n' && parameter(0, 0) == 6) {
        if (vp.options.answersQueries) {
            // The answer goes ahead of any key the player has yet to press.
            char reply[32];
            std::snprintf(reply, sizeof reply, "\x1b[%d;%dR", g.row, std::min(g.column, g.columns));
            const auto at = std::find_if(vp.input.begin(), vp.input.end(), [](const Chunk& c) {
                return c.atMicros == kWhenAsked || c.atMicros > vp.now;
            });
            vp.input.insert(at, Chunk{vp.now, reply});
        }
    } else if (final != 'r') {  // the scroll region is the whole virtual screen
        vp.unknown.push_back(params + final);
    }
}

// Interprets the bytes the console wrote. An unfinished sequence or character waits for the
// next write.
void interpret(std::string_view bytes) {
    const std::string data = std::exchange(vp.pendingBytes, "") + std::string(bytes);
    for (std::size_t i = 0, end = 0; i < data.size(); i = end) {
        const auto b = static_cast<unsigned char>(data[i]);
        end = i + 1;
        if (b == 0x1B && i + 1 < data.size() && data[i + 1] != '[') {
            vp.unknown.push_back(data.substr(i, 2));
            end = i + 2;
        } else if (b == 0x1B) {
            for (end = i + 2; end < data.size() && (data[end] < 0x40 || data[end] > 0x7E);) {
                ++end;
            }
            if (end >= data.size()) {
                vp.pendingBytes = data.substr(i);
                return;
            }
            controlSequence(data.substr(i + 2, end - i - 2), data[end]);
            ++end;
        } else if (b == '\r') {
            vp.grid.carriageReturn();
        } else if (b == '\n') {
            vp.grid.lineFeed();
        } else if (b < 0x20 || b == 0x7F) {
            vp.unknown.push_back(std::string(1, data[i]));
        } else {
            char32_t c = 0;
            end = i + decodeUtf8(data, i, c);
            if (c == 0xFFFD && b >= 0xC2 && i + 4 > data.size()) {
                vp.pendingBytes = data.substr(i);
                return;
            }
            const bool narrow = vp.options.ambiguousNarrow && mayDrawNarrow(c);
            const int width = glyphWidth(c) == 2 && narrow ? 1 : glyphWidth(c);
            if (!vp.autowrap) {
                vp.grid.column = std::min(vp.grid.column, vp.grid.columns - width + 1);
            }
            vp.grid.put(std::string_view(data).substr(i, end - i), width);
            if (!vp.autowrap) {
                vp.grid.column = std::min(vp.grid.column, vp.grid.columns);
            }
        }
    }
}

}  // namespace

void reset(const Options& options) {
    vp = VirtualPlatform{};
    vp.options = options;
    vp.grid = ScreenGrid(options.columns, options.rows);
    vp.wallClockBase = options.wallClockStart;
    initConsole();
    vp.snapshots.clear();
    useGameFiles(GameFiles{});  // the working folder, as before start-up
}

void resize(int columns, int rows) {
    vp.options.columns = columns;
    vp.options.rows = rows;
    vp.grid = ScreenGrid(columns, rows);
    vp.cursorVisible = true;  // as the terminal was given back on a suspend
    vp.repaintAsked = true;
}

// After the keys asked for and those that arrive no later.
void typeAt(std::int64_t atMs, const std::string& bytes) {
    const std::int64_t at = atMs * 1000;
    const auto after = std::find_if(vp.input.rbegin(), vp.input.rend(), [&](const Chunk& c) {
        return c.atMicros == kWhenAsked || c.atMicros <= at;
    });
    vp.input.insert(after.base(), Chunk{at, bytes});
}

// clang-format off
void losePage() { resize(vp.options.columns, vp.options.rows); }
void type(const std::string& bytes) { vp.input.push_back(Chunk{kWhenAsked, bytes}); }
bool inputExhausted() { return vp.exhausted; }
std::int64_t nowMicros() { return vp.now; }
std::int64_t nowMs() { return vp.now / 1000; }
const ScreenGrid& screen() { return vp.grid; }
std::string rowText(int row) { return vp.grid.rowText(row); }
std::string textAt(int column, int row, int length) { return vp.grid.textAt(column, row, length); }
int cursorColumn() { return vp.grid.column; }
int cursorRow() { return vp.grid.row; }
const std::vector<ScreenGrid>& snapshots() { return vp.snapshots; }
const std::string& output() { return vp.output; }
int writeCalls() { return vp.writeCalls; }
const std::vector<std::string>& unknownSequences() { return vp.unknown; }
int runningTimers() { return static_cast<int>(vp.timers.size()); }
bool cursorVisible() { return vp.cursorVisible; }
int writesWithCursorHidden() { return vp.writesWithCursorHidden; }
int keyWaitsWithCursorHidden() { return vp.keyWaitsWithCursorHidden; }
void onBlockingRead(std::function<void()> hook) { vp.blockingReadHook = std::move(hook); }
const std::string& lastErrorMessage() { return vp.lastErrorMessage; }
void setReadOnly(const std::string& path, bool readOnly) { disk.at(path).readOnly = readOnly; }
void removeFile(const std::string& path) { disk.erase(path); }
void failNextReplace() { failNext = true; }
// clang-format on

void setWallClock(std::int64_t secondsAtNow) {
    vp.wallClockBase = secondsAtNow - vp.now / 1'000'000;
}

void putFile(const std::string& path, const std::string& contents, FileKind kind) {
    disk[path] = VirtualFile{kind, kind == FileKind::Regular ? contents : "", false};
}

void removeAllFiles() {
    disk.clear();
    failNext = false;
}

std::optional<std::string> fileContents(const std::string& path) {
    const VirtualFile* file = findFile(path);
    return isRegular(file) ? std::optional(file->contents) : std::nullopt;
}

int run(const std::function<void()>& procedure) {
    try {
        procedure();
    } catch (const ProgramExit& exit) {
        vp.lastErrorMessage = exit.errorMessage;
        return exit.status;
    }
    flushOutput();
    return -1;
}

}  // namespace vt

namespace platform {

using vt::vp;

void writeBytes(std::string_view bytes) {
    vp.output += bytes;
    ++vp.writeCalls;
    vt::interpret(bytes);
    vp.writesWithCursorHidden += vp.cursorVisible ? 0 : 1;
}

int readByte(int timeoutMs) {
    if (vt::arrival() <= vp.now) {
        return vt::popByte();
    }
    if (timeoutMs >= 0) {
        const std::int64_t until =
            vp.now + (timeoutMs == 0 ? vt::kPollStepMicros : std::int64_t{timeoutMs} * 1000);
        vt::advanceTo(timeoutMs > 0 ? std::min(vt::arrival(), until) : until);
        return vt::arrival() <= vp.now ? vt::popByte() : kNoByte;
    }
    vp.keyWaitsWithCursorHidden += vp.cursorVisible ? 0 : 1;
    if (vp.blockingReadHook) {
        vp.blockingReadHook();
        if (vp.repaintAsked) {
            return kNoByte;  // a resize wakes a waiting read, as SIGWINCH does
        }
    }
    if (vp.options.keepSnapshots) {
        vp.snapshots.push_back(vp.grid);
    }
    if (vp.input.empty()) {
        vp.exhausted = true;
        return kEndOfInput;
    }
    vt::Chunk& front = vp.input.front();
    front.atMicros = front.atMicros == vt::kWhenAsked ? vp.now : front.atMicros;
    vt::advanceTo(front.atMicros);
    return vt::popByte();
}

void waitForInputOrTick(int timeoutMs) {
    std::int64_t until = timeoutMs >= 0 ? vp.now + std::int64_t{timeoutMs} * 1000 : INT64_MAX;
    until = std::min(until, std::max(vp.now, vt::arrival()));
    for (const vt::Timer& t : vp.timers) {
        until = std::min(until, t.nextMicros);
    }
    if (until != INT64_MAX) {
        vt::advanceTo(until);
    }
}

// clang-format off
void start() { vp.output.clear(); }
bool inputIsTerminal() { return true; }
WindowSize windowSize() { return {vp.options.columns, vp.options.rows}; }
std::int64_t wallClockSeconds() { return vp.wallClockBase + vp.now / 1'000'000; }
std::int64_t monotonicMicros() { return vp.now; }
void sleepMs(int ms) { vt::advanceTo(vp.now + std::int64_t{std::max(ms, 0)} * 1000); }
bool takeResumed() { return std::exchange(vp.repaintAsked, false); }
// The machine names no folders: the game plays in the working folder, where the maps are.
std::string executableFolder() { return {}; }
std::string userDataFolder() { return {}; }
int runningTimers() { return vt::runningTimers(); }
// clang-format on

int startTimer(int periodMs, TimerCallback callback, void* user) {
    if (periodMs <= 0) {
        return 0;
    }
    const std::int64_t period = std::int64_t{periodMs} * 1000;
    vp.timers.push_back(vt::Timer{vp.nextTimerHandle, period, vp.now + period, callback, user});
    return vp.nextTimerHandle++;
}

void stopTimer(int handle) {
    std::erase_if(vp.timers, [&](const vt::Timer& t) { return t.handle == handle; });
}

void exitProcess(int status, std::string_view errorMessage) {
    vp.timers.clear();
    throw vt::ProgramExit{status, std::string(errorMessage)};
}

bool readFile(const std::string& path, std::size_t maxBytes, std::string& contents,
              std::string& problem) {
    const vt::VirtualFile* file = vt::findFile(path);
    contents.clear();
    if (vt::isRegular(file)) {
        contents = file->contents.substr(0, maxBytes);
        return true;
    }
    problem = !file                                   ? "No such file or directory"
              : file->kind == vt::FileKind::Directory ? "Is a directory"
                                                      : "not a regular file";
    return false;
}

// A replace in one step: it fails as asked, over a read-only file and over a folder, and the
// old file is then as it was.
bool replaceFile(const std::string& path, std::string_view contents) {
    const vt::VirtualFile* existing = vt::findFile(path);
    if (std::exchange(vt::failNext, false) || (vt::isRegular(existing) && existing->readOnly) ||
        (existing && existing->kind == vt::FileKind::Directory)) {
        return false;
    }
    vt::disk[path] = vt::VirtualFile{vt::FileKind::Regular, std::string(contents), false};
    return true;
}

bool isRegularFile(const std::string& path) {
    return vt::isRegular(vt::findFile(path));
}

// The virtual disk knows no links and no other spellings of a path: one path, one file.
bool sameFile(const std::string& first, const std::string& second) {
    return first == second && vt::disk.contains(first);
}

// Never asked: with no user data folder the game makes no folder of its own.
bool makePrivateFolder(const std::string&, std::string& problem) {
    problem = "No such file or directory";
    return false;
}

}  // namespace platform
