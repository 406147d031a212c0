#include "support/virtual_platform.hpp"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <deque>
#include <map>
#include <utility>

#include "console/console.hpp"
#include "console/platform.hpp"
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
    std::int64_t periodMicros;
    std::int64_t nextMicros;
    platform::TimerCallback callback;
    void* user;
};

struct VirtualPlatform {
    Options options;
    ScreenGrid grid;
    bool autowrap = true;
    std::string pendingBytes;  // an unfinished sequence or character from the last write
    std::deque<Chunk> input;
    std::int64_t now = 0;
    std::int64_t wallClockBase = 0;
    std::vector<Timer> timers;
    int nextTimerHandle = 1;
    int timersStarted = 0;
    bool ticked = false;
    bool exhausted = false;
    std::vector<ScreenGrid> snapshots;
    std::string output;
    int writeCalls = 0;
    std::vector<std::string> unknown;
    std::function<void()> blockingReadHook;
    std::string lastErrorMessage;
    bool repaintAsked = false;
    bool cursorVisible = true;
    int writesWithCursorHidden = 0;
    int keyWaitsWithCursorHidden = 0;
};

VirtualPlatform vp;

struct VirtualFile {
    FileKind kind = FileKind::Regular;
    std::string contents;
    bool readOnly = false;
};

struct VirtualDisk {
    std::map<std::string, VirtualFile> files;
    FileFault nextFault = FileFault::None;
};

VirtualDisk disk;

void advanceTo(std::int64_t target) {
    for (;;) {
        Timer* due = nullptr;
        for (Timer& t : vp.timers) {
            if (t.nextMicros <= target && (due == nullptr || t.nextMicros < due->nextMicros)) {
                due = &t;
            }
        }
        if (due == nullptr) {
            break;
        }
        vp.now = std::max(vp.now, due->nextMicros);
        due->nextMicros += due->periodMicros;
        vp.ticked = true;
        due->callback(due->user);
    }
    vp.now = std::max(vp.now, target);
}

// The terminal answers a question ahead of any key the player has yet to press.
void answer(const std::string& bytes) {
    auto at = vp.input.begin();
    while (at != vp.input.end() && at->atMicros != kWhenAsked && at->atMicros <= vp.now) {
        ++at;
    }
    vp.input.insert(at, Chunk{vp.now, bytes});
}

int parameter(const std::string& params, std::size_t index, int fallback) {
    std::size_t start = 0;
    for (std::size_t i = 0; i < index; ++i) {
        start = params.find(';', start);
        if (start == std::string::npos) {
            return fallback;
        }
        ++start;
    }
    int value = 0;
    bool any = false;
    for (std::size_t i = start; i < params.size() && params[i] != ';'; ++i) {
        if (params[i] < '0' || params[i] > '9') {
            return fallback;
        }
        value = value * 10 + (params[i] - '0');
        any = true;
    }
    return any && value > 0 ? value : fallback;
}

void controlSequence(const std::string& params, char final) {
    ScreenGrid& g = vp.grid;
    if (!params.empty() && params[0] == '?') {
        if (params == "?7" && (final == 'h' || final == 'l')) {
            vp.autowrap = final == 'h';
        } else if (params == "?25" && (final == 'h' || final == 'l')) {
            vp.cursorVisible = final == 'h';
        } else if (final != 'h' && final != 'l') {
            vp.unknown.push_back("?" + params + final);
        }
        return;
    }
    switch (final) {
        case 'H':
        case 'f': {
            const int row = std::min(parameter(params, 0, 1), g.rows);
            const int column = std::min(parameter(params, 1, 1), g.columns);
            g.column = column;
            g.row = row;
            return;
        }
        case 'J':
            if (parameter(params, 0, 0) == 2) {
                const int column = g.column;
                const int row = g.row;
                g.clear();
                g.column = column;
                g.row = row;
                return;
            }
            break;
        case 'K':
            if (parameter(params, 0, 0) == 0) {
                g.eraseToEndOfLine();
                return;
            }
            break;
        case 'M':
            for (int i = parameter(params, 0, 1); i > 0; --i) {
                g.deleteLine();
            }
            return;
        case 'r':
            return;  // the scroll region is the whole virtual screen
        case 'n':
            if (parameter(params, 0, 0) == 6) {
                if (vp.options.answersQueries) {
                    char reply[32];
                    std::snprintf(reply, sizeof reply, "\x1b[%d;%dR", g.row,
                                  std::min(g.column, g.columns));
                    answer(reply);
                }
                return;
            }
            break;
        default:
            break;
    }
    vp.unknown.push_back(params + final);
}

void printGlyph(std::string_view bytes) {
    char32_t c = 0;
    decodeUtf8(bytes, 0, c);
    int width = glyphWidth(c);
    if (width == 2 && vp.options.ambiguousNarrow && mayDrawNarrow(c)) {
        width = 1;
    }
    ScreenGrid& g = vp.grid;
    if (!vp.autowrap && g.column + width - 1 > g.columns) {
        g.column = g.columns - width + 1;
    }
    g.put(bytes, width);
    if (!vp.autowrap && g.column > g.columns) {
        g.column = g.columns;
    }
}

// Interprets the bytes the console wrote. An unfinished sequence waits for the next write.
void interpret(std::string_view bytes) {
    std::string data = vp.pendingBytes + std::string(bytes);
    vp.pendingBytes.clear();
    std::size_t i = 0;
    while (i < data.size()) {
        const unsigned char b = static_cast<unsigned char>(data[i]);
        if (b == 0x1B) {
            if (i + 1 >= data.size()) {
                vp.pendingBytes = data.substr(i);
                return;
            }
            if (data[i + 1] != '[') {
                vp.unknown.push_back(data.substr(i, 2));
                i += 2;
                continue;
            }
            std::size_t j = i + 2;
            while (j < data.size() && (static_cast<unsigned char>(data[j]) < 0x40 ||
                                       static_cast<unsigned char>(data[j]) > 0x7E)) {
                ++j;
            }
            if (j >= data.size()) {
                vp.pendingBytes = data.substr(i);
                return;
            }
            controlSequence(data.substr(i + 2, j - i - 2), data[j]);
            i = j + 1;
        } else if (b == '\r') {
            vp.grid.carriageReturn();
            ++i;
        } else if (b == '\n') {
            vp.grid.lineFeed();
            ++i;
        } else if (b < 0x20 || b == 0x7F) {
            vp.unknown.push_back(std::string(1, static_cast<char>(b)));
            ++i;
        } else {
            char32_t c = 0;
            const std::size_t length = decodeUtf8(data, i, c);
            if (c == 0xFFFD && b >= 0xC2 && i + 4 > data.size()) {
                vp.pendingBytes = data.substr(i);
                return;
            }
            printGlyph(std::string_view(data).substr(i, length));
            i += length;
        }
    }
}

bool frontReady() {
    return !vp.input.empty() && vp.input.front().atMicros != kWhenAsked &&
           vp.input.front().atMicros <= vp.now;
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

void losePage() {
    resize(vp.options.columns, vp.options.rows);
}

void resize(int columns, int rows) {
    vp.options.columns = columns;
    vp.options.rows = rows;
    vp.grid = ScreenGrid(columns, rows);
    vp.cursorVisible = true;  // as the terminal was given back on a suspend
    vp.repaintAsked = true;
}

void type(const std::string& bytes) {
    vp.input.push_back(Chunk{kWhenAsked, bytes});
}

void typeAt(std::int64_t atMs, const std::string& bytes) {
    const std::int64_t at = atMs * 1000;
    auto pos = vp.input.end();
    while (pos != vp.input.begin()) {
        auto before = std::prev(pos);
        if (before->atMicros == kWhenAsked || before->atMicros <= at) {
            break;
        }
        pos = before;
    }
    vp.input.insert(pos, Chunk{at, bytes});
}

void typeLines(const std::vector<std::string>& lines) {
    for (const std::string& line : lines) {
        type(line + "\r");
    }
}

bool inputExhausted() {
    return vp.exhausted;
}
std::int64_t nowMicros() {
    return vp.now;
}
std::int64_t nowMs() {
    return vp.now / 1000;
}
void setWallClock(std::int64_t secondsAtNow) {
    vp.wallClockBase = secondsAtNow - vp.now / 1'000'000;
}
const ScreenGrid& screen() {
    return vp.grid;
}
std::string rowText(int row) {
    return vp.grid.rowText(row);
}
std::string textAt(int column, int row, int length) {
    return vp.grid.textAt(column, row, length);
}
int cursorColumn() {
    return vp.grid.column;
}
int cursorRow() {
    return vp.grid.row;
}
const std::vector<ScreenGrid>& snapshots() {
    return vp.snapshots;
}
const std::string& output() {
    return vp.output;
}
int writeCalls() {
    return vp.writeCalls;
}
const std::vector<std::string>& unknownSequences() {
    return vp.unknown;
}
int runningTimers() {
    return static_cast<int>(vp.timers.size());
}
bool cursorVisible() {
    return vp.cursorVisible;
}
int writesWithCursorHidden() {
    return vp.writesWithCursorHidden;
}
int keyWaitsWithCursorHidden() {
    return vp.keyWaitsWithCursorHidden;
}
int timersStarted() {
    return vp.timersStarted;
}

void onBlockingRead(std::function<void()> hook) {
    vp.blockingReadHook = std::move(hook);
}
const std::string& lastErrorMessage() {
    return vp.lastErrorMessage;
}

void putFile(const std::string& path, const std::string& contents, FileKind kind) {
    disk.files[path] = VirtualFile{kind, kind == FileKind::Regular ? contents : "", false};
}

void setReadOnly(const std::string& path, bool readOnly) {
    disk.files.at(path).readOnly = readOnly;
}

void removeFile(const std::string& path) {
    disk.files.erase(path);
}

void removeAllFiles() {
    disk = VirtualDisk{};
}

bool fileExists(const std::string& path) {
    return disk.files.count(path) != 0;
}

std::optional<std::string> fileContents(const std::string& path) {
    const auto found = disk.files.find(path);
    if (found == disk.files.end() || found->second.kind != FileKind::Regular) {
        return std::nullopt;
    }
    return found->second.contents;
}

void failNextReplace(FileFault fault) {
    disk.nextFault = fault;
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

using vt::disk;
using vt::vp;

void start() {
    vp.output.clear();
}

void writeBytes(std::string_view bytes) {
    vp.output += bytes;
    ++vp.writeCalls;
    vt::interpret(bytes);
    vp.writesWithCursorHidden += vp.cursorVisible ? 0 : 1;
}

int readByte(int timeoutMs) {
    if (vt::frontReady()) {
        return vt::popByte();
    }
    if (timeoutMs == 0) {
        vt::advanceTo(vp.now + vt::kPollStepMicros);
        return vt::frontReady() ? vt::popByte() : kNoByte;
    }
    if (timeoutMs > 0) {
        const std::int64_t until = vp.now + std::int64_t{timeoutMs} * 1000;
        if (!vp.input.empty() && vp.input.front().atMicros != vt::kWhenAsked &&
            vp.input.front().atMicros <= until) {
            vt::advanceTo(vp.input.front().atMicros);
            return vt::popByte();
        }
        vt::advanceTo(until);
        return kNoByte;
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
    if (front.atMicros == vt::kWhenAsked) {
        front.atMicros = vp.now;
    }
    vt::advanceTo(front.atMicros);
    return vt::popByte();
}

void waitForInputOrTick(int timeoutMs) {
    vp.ticked = false;
    std::int64_t until = timeoutMs >= 0 ? vp.now + std::int64_t{timeoutMs} * 1000 : INT64_MAX;
    if (!vp.input.empty() && vp.input.front().atMicros != vt::kWhenAsked) {
        until = std::min(until, std::max(vp.now, vp.input.front().atMicros));
    }
    for (const vt::Timer& t : vp.timers) {
        until = std::min(until, t.nextMicros);
    }
    if (until == INT64_MAX) {
        return;
    }
    vt::advanceTo(until);
}

bool inputIsTerminal() {
    return vp.options.isTerminal;
}

WindowSize windowSize() {
    return {vp.options.columns, vp.options.rows};
}

std::int64_t wallClockSeconds() {
    return vp.wallClockBase + vp.now / 1'000'000;
}
std::int64_t monotonicMicros() {
    return vp.now;
}

void sleepMs(int ms) {
    vt::advanceTo(vp.now + std::int64_t{std::max(ms, 0)} * 1000);
}

int startTimer(int periodMs, TimerCallback callback, void* user) {
    if (periodMs <= 0) {
        return 0;
    }
    const std::int64_t period = std::int64_t{periodMs} * 1000;
    vp.timers.push_back(vt::Timer{vp.nextTimerHandle, period, vp.now + period, callback, user});
    ++vp.timersStarted;
    return vp.nextTimerHandle++;
}

void stopTimer(int handle) {
    std::erase_if(vp.timers, [&](const vt::Timer& t) { return t.handle == handle; });
}

int runningTimers() {
    return static_cast<int>(vp.timers.size());
}

bool takeResumed() {
    return std::exchange(vp.repaintAsked, false);
}

std::string executableFolder() {
    return vp.options.executableFolder;
}

std::string userDataFolder() {
    return vp.options.userDataFolder;
}

void exitProcess(int status, std::string_view errorMessage) {
    vp.timers.clear();
    throw vt::ProgramExit{status, std::string(errorMessage)};
}

bool readFile(const std::string& path, std::size_t maxBytes, std::string& contents,
              std::string& problem) {
    contents.clear();
    const auto found = disk.files.find(path);
    if (found == disk.files.end()) {
        problem = "No such file or directory";
        return false;
    }
    if (found->second.kind != vt::FileKind::Regular) {
        problem =
            found->second.kind == vt::FileKind::Directory ? "Is a directory" : "not a regular file";
        return false;
    }
    contents = found->second.contents.substr(0, maxBytes);
    return true;
}

// The steps of a real replace, each of which can fail: a leftover temporary is removed, the
// temporary created, written and flushed, then renamed over the old file.
bool replaceFile(const std::string& path, std::string_view contents) {
    using vt::FileFault;
    const FileFault fault = std::exchange(disk.nextFault, FileFault::None);
    const auto existing = disk.files.find(path);
    if (existing != disk.files.end() && existing->second.kind == vt::FileKind::Regular &&
        existing->second.readOnly) {
        return false;
    }
    const std::string temporary = path + ".new";
    vt::VirtualFile& written = disk.files[temporary] = vt::VirtualFile{};
    const std::size_t room = fault == FileFault::DiskFull     ? 0
                             : fault == FileFault::ShortWrite ? contents.size() / 2
                                                              : contents.size();
    written.contents = contents.substr(0, room);
    const bool renamed =
        (existing == disk.files.end() || existing->second.kind != vt::FileKind::Directory) &&
        fault != FileFault::FailedRename;
    if (room < contents.size() || fault == FileFault::FailedFlush || !renamed) {
        disk.files.erase(temporary);
        return false;
    }
    disk.files[path] = std::move(written);
    disk.files.erase(temporary);
    return true;
}

bool isRegularFile(const std::string& path) {
    const auto found = disk.files.find(path);
    return found != disk.files.end() && found->second.kind == vt::FileKind::Regular;
}

// The virtual disk knows no links and no other spellings of a path: one path, one file.
bool sameFile(const std::string& first, const std::string& second) {
    return first == second && disk.files.count(first) != 0;
}

// Folders are entries of their own. Anything else standing in the place of the folder, or of
// a folder above it, stops it, as on a real disk.
bool makePrivateFolder(const std::string& path, std::string& problem) {
    if (path.empty()) {
        problem = "No such file or directory";
        return false;
    }
    std::vector<std::string> folders;
    for (std::size_t end = path.find('/', 1);; end = path.find('/', end + 1)) {
        folders.push_back(path.substr(0, end));
        if (end == std::string::npos) {
            break;
        }
    }
    for (const std::string& folder : folders) {
        const auto found = disk.files.find(folder);
        if (found != disk.files.end() && found->second.kind != vt::FileKind::Directory) {
            problem = "Not a directory";
            return false;
        }
    }
    for (const std::string& folder : folders) {
        disk.files.try_emplace(folder, vt::VirtualFile{vt::FileKind::Directory, "", false});
    }
    return true;
}

}  // namespace platform
