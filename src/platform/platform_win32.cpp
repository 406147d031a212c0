// The platform on a Windows console. With virtual-terminal processing on, the console
// interprets the control sequences the console layer writes, as a POSIX terminal does: pages
// go out as they are, in UTF-16 and in one call. Keys come as console input records and are
// turned into the bytes a POSIX terminal sends, so the console layer decodes them as anywhere
// else. The console's modes are taken at start and given back on every way out: exit, Ctrl-C,
// Ctrl-Break, closing the window, a crash. The code pages are never changed: text goes out as
// UTF-16 and comes in as UTF-16.
#include <windows.h>
// After windows.h.
#include <mmsystem.h>

#include <atomic>
#include <csignal>
#include <cstdlib>
#include <ctime>
#include <memory>
#include <mutex>
#include <string>
#include <system_error>
#include <thread>

#include "platform/platform.hpp"
#include "platform/terminal_sequences.hpp"
#include "platform/timer_table.hpp"
#include "platform/utf16.hpp"
#include "platform/utf8.hpp"

namespace platform {
namespace {

// CREATE_WAITABLE_TIMER_HIGH_RESOLUTION (Windows 10 1803 and later; older headers lack it).
// Elsewhere a plain waitable timer, with the system timer at 1 ms.
constexpr DWORD kHighResolutionTimer = 0x00000002;
// The status the system's own handler gives a program ended by Ctrl-C.
constexpr UINT kControlCExit = 0xC000013A;
// After a stall the missed ticks are dropped rather than burst.
constexpr std::int64_t kLongestLagMicros = 100'000;

// ---- The console (set up once; the control handler reads it from a thread of its own) ----

HANDLE inputHandle = INVALID_HANDLE_VALUE;
HANDLE outputHandle = INVALID_HANDLE_VALUE;
bool inputConsole = false;
bool outputConsole = false;
bool answersQueries = false;
DWORD savedInputMode = 0;
DWORD savedOutputMode = 0;
std::atomic<bool> started{false};
std::atomic<bool> terminalTaken{false};
std::atomic<bool> leaving{false};
std::atomic<bool> resumed{false};
HANDLE tickEvent = nullptr;    // set at every timer tick
HANDLE resizeEvent = nullptr;  // set when the window changed its size
// Writes and the restore: the control handler gives the console back from its own thread and
// ends the process holding this, so no page can follow the restore.
std::mutex outputMutex;
std::once_flag setUpOnce;

// Input that is not a console (a pipe, a file) is read by a thread of its own, since only a
// console handle can be waited on.
std::mutex pipedMutex;
std::string pipedBytes;
bool pipedEnded = false;
HANDLE pipedEvent = nullptr;  // set while piped bytes or the end wait

std::string inputBytes;  // bytes ready for readByte
std::size_t inputStart = 0;
bool inputEnded = false;
wchar_t pendingHighSurrogate = 0;

bool runsUnderWine() {
    const HMODULE ntdll = ::GetModuleHandleW(L"ntdll.dll");
    return ntdll != nullptr && ::GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

void writeUnits(HANDLE handle, const std::wstring& units) {
    const wchar_t* data = units.data();
    DWORD left = static_cast<DWORD>(units.size());
    while (left > 0) {
        DWORD written = 0;
        if (!::WriteConsoleW(handle, data, left, &written, nullptr) || written == 0) {
            return;
        }
        data += written;
        left -= written;
    }
}

// A console takes UTF-16; anything else (a pipe, a file) the bytes as they are.
void writeTo(HANDLE handle, bool console, std::string_view bytes) {
    if (console) {
        writeUnits(handle, widen(bytes));
        return;
    }
    while (!bytes.empty()) {
        DWORD written = 0;
        if (!::WriteFile(handle, bytes.data(), static_cast<DWORD>(bytes.size()), &written,
                         nullptr) ||
            written == 0) {
            return;
        }
        bytes.remove_prefix(written);
    }
}

// ---- Wine's console ----
// Wine's console interprets no control sequences: it keeps every UTF-16 unit written, ESC and
// all, as a cell of its screen buffer, and copies changed cells to the Unix terminal, moving
// that terminal's cursor by its own count of cells. So the sequences do reach the terminal
// (tmux, xterm), which interprets them, but Wine's own cursor moves between them, at rows'
// ends and around wide characters, break every page. Written along one row of a buffer wider
// than anything we write, with Wine's cursor hidden, the cells go out exactly as written and
// nothing else does. Carriage return and line feed would come out as "?", so they go as
// ESC [ G and ESC D (index), which do the same. Every write ends by saving the terminal's
// cursor (ESC 7): it never ends in blanks, which Wine would send as an erase to the end of the
// line, and when the row is used up Wine's return to its start (a carriage return) is undone
// by restoring the cursor (ESC 8) at the start of the next write.
constexpr SHORT kWineRowCells = 32000;

struct WineLane {
    bool on = false;
    SHORT row = 0;
    std::size_t column = 0;  // Wine's cursor on the row, in cells
    COORD savedSize{};
    CONSOLE_CURSOR_INFO savedCursor{};
};
WineLane wine;

void openWineLane() {
    CONSOLE_SCREEN_BUFFER_INFO info{};
    if (!::GetConsoleScreenBufferInfo(outputHandle, &info) ||
        !::GetConsoleCursorInfo(outputHandle, &wine.savedCursor) ||
        !::SetConsoleScreenBufferSize(outputHandle, COORD{kWineRowCells, info.dwSize.Y})) {
        return;
    }
    CONSOLE_CURSOR_INFO hidden = wine.savedCursor;
    hidden.bVisible = FALSE;
    ::SetConsoleCursorInfo(outputHandle, &hidden);
    wine.on = true;
    wine.savedSize = info.dwSize;
    wine.row = info.dwCursorPosition.Y;
    wine.column = static_cast<std::size_t>(info.dwCursorPosition.X);
}

void closeWineLane() {
    if (!wine.on) {
        return;
    }
    wine.on = false;
    ::SetConsoleCursorPosition(outputHandle, COORD{0, wine.row});
    ::SetConsoleScreenBufferSize(outputHandle, wine.savedSize);
    ::SetConsoleCursorInfo(outputHandle, &wine.savedCursor);
}

void writeToWine(std::string_view bytes) {
    std::string text;
    text.reserve(bytes.size() + 16);
    // ESC D, ESC 7 and ESC 8 in octal (\033), as "\x1bD" would be read as one hexadecimal escape.
    for (const char c : bytes) {
        if (c == '\r') {
            text += "\x1b[G";
        } else if (c == '\n') {
            text += "\033D";
        } else {
            text += c;
        }
    }
    text += "\0337";
    std::wstring units = widen(text);
    constexpr std::size_t kRoom = kWineRowCells - 16;
    while (!units.empty()) {
        if (wine.column + std::min(units.size(), kRoom / 2) > kRoom) {
            ::SetConsoleCursorPosition(outputHandle, COORD{0, wine.row});
            wine.column = 0;
            units.insert(0, L"\0338");
        }
        const std::size_t part = std::min(units.size(), kRoom - wine.column);
        writeUnits(outputHandle, units.substr(0, part));
        wine.column += part;
        units.erase(0, part);
    }
}

void writeOutput(std::string_view bytes) {
    if (wine.on) {
        writeToWine(bytes);
    } else {
        writeTo(outputHandle, outputConsole, bytes);
    }
}

// Raw keys: no line editing, no echo, no mouse; Ctrl-C still raises its event, and a change of
// the window's size comes as a record.
DWORD rawInputMode() {
    return (savedInputMode & ~static_cast<DWORD>(ENABLE_LINE_INPUT | ENABLE_ECHO_INPUT |
                                                 ENABLE_MOUSE_INPUT | 0x0200 /* VT input */)) |
           ENABLE_PROCESSED_INPUT | ENABLE_WINDOW_INPUT;
}

void takeTerminal() {
    std::lock_guard lock(outputMutex);
    if (inputConsole) {
        ::SetConsoleMode(inputHandle, rawInputMode());
    }
    if (outputConsole) {
        writeOutput(kTakeSequence);
    }
    terminalTaken.store(true);
}

// With outputMutex held (or, after a crash, perhaps not to be had).
void restoreLocked() {
    if (!terminalTaken.exchange(false)) {
        return;
    }
    if (outputConsole) {
        writeOutput(kRestoreSequence);
        closeWineLane();
        ::SetConsoleMode(outputHandle, savedOutputMode);
    }
    if (inputConsole) {
        // Keys typed at the game do not reach the shell.
        ::FlushConsoleInputBuffer(inputHandle);
        ::SetConsoleMode(inputHandle, savedInputMode);
    }
}

void restoreTerminal() {
    std::lock_guard lock(outputMutex);
    restoreLocked();
}

BOOL WINAPI onControlEvent(DWORD event) {
    switch (event) {
        case CTRL_C_EVENT:
        case CTRL_BREAK_EVENT:
        case CTRL_CLOSE_EVENT:
        case CTRL_LOGOFF_EVENT:
        case CTRL_SHUTDOWN_EVENT:
            break;
        default:
            return FALSE;
    }
    leaving.store(true);
    outputMutex.lock();
    restoreLocked();
    ::ExitProcess(kControlCExit);
}

LONG WINAPI onCrash(EXCEPTION_POINTERS*) {
    leaving.store(true);
    // The crash may have come while a page was being written.
    const std::unique_lock lock(outputMutex, std::try_to_lock);
    restoreLocked();
    return EXCEPTION_CONTINUE_SEARCH;
}

// abort() (a failed check, an exception nobody caught) ends the process without the crash
// filter; it gives the console back first too.
void onAbort(int) {
    onCrash(nullptr);
}

// ---- Waiting to the microsecond ----

HANDLE createPreciseTimer() {
    HANDLE timer =
        ::CreateWaitableTimerExW(nullptr, nullptr, kHighResolutionTimer, TIMER_ALL_ACCESS);
    if (timer == nullptr) {
        timer = ::CreateWaitableTimerExW(nullptr, nullptr, 0, TIMER_ALL_ACCESS);
    }
    return timer;
}

// Waits until the monotonic clock reaches the deadline. Returns false, at once, when the stop
// event is set.
bool waitUntil(HANDLE timer, HANDLE stop, std::int64_t deadlineMicros) {
    const std::int64_t left = deadlineMicros - monotonicMicros();
    if (left <= 0) {
        return ::WaitForSingleObject(stop, 0) != WAIT_OBJECT_0;
    }
    LARGE_INTEGER due;
    due.QuadPart = -left * 10;  // relative, in 100 ns
    if (timer != nullptr && ::SetWaitableTimer(timer, &due, 0, nullptr, nullptr, FALSE)) {
        const HANDLE handles[2] = {timer, stop};
        return ::WaitForMultipleObjects(2, handles, FALSE, INFINITE) != WAIT_OBJECT_0 + 1;
    }
    return ::WaitForSingleObject(stop, static_cast<DWORD>((left + 999) / 1000)) != WAIT_OBJECT_0;
}

// ---- Timers ----

struct Timer {
    HANDLE stop = nullptr;
    std::thread thread;
    ~Timer() { ::CloseHandle(stop); }
};

TimerTable<Timer> timers;

void runTimer(const std::shared_ptr<Timer>& timer, std::int64_t periodMicros,
              TimerCallback callback, void* user) {
    // A tick must not wait for a busy thread's time slice; the callbacks do very little.
    ::SetThreadPriority(::GetCurrentThread(), THREAD_PRIORITY_HIGHEST);
    const HANDLE waitable = createPreciseTimer();
    std::int64_t next = monotonicMicros() + periodMicros;
    while (waitUntil(waitable, timer->stop, next)) {
        callback(user);
        ::SetEvent(tickEvent);
        next += periodMicros;
        const std::int64_t now = monotonicMicros();
        if (now - next > kLongestLagMicros) {
            next = now;
        }
    }
    if (waitable != nullptr) {
        ::CloseHandle(waitable);
    }
}

void finish(const std::shared_ptr<Timer>& timer) {
    ::SetEvent(timer->stop);
    endTimerThread(*timer);
}

void stopAllTimers() {
    for (const auto& entry : timers.takeAll()) {
        finish(entry.second);
    }
}

// ---- Keys ----

// A character outside the basic plane comes in two records, one half each.
void appendCharacter(wchar_t unit, std::string& out) {
    if (unit >= 0xD800 && unit < 0xDC00) {
        pendingHighSurrogate = unit;
        return;
    }
    if (unit >= 0xDC00 && unit < 0xE000) {
        if (pendingHighSurrogate != 0) {
            appendUtf8(out, 0x10000 +
                                ((static_cast<char32_t>(pendingHighSurrogate) - 0xD800) << 10) +
                                (static_cast<char32_t>(unit) - 0xDC00));
        }
        pendingHighSurrogate = 0;
        return;
    }
    pendingHighSurrogate = 0;
    appendUtf8(out, unit);
}

// The bytes a POSIX terminal sends for the key: its character in UTF-8 (after ESC when Alt
// is held, as a terminal's meta key sends it), ESC [ A/B/C/D for the cursor keys. Releases,
// Shift, Ctrl or Alt alone and the other keys without a character give nothing, apart from a
// character typed as Alt and digits on the keypad, which comes with the release of Alt.
void appendKey(const KEY_EVENT_RECORD& key, std::string& out) {
    const wchar_t unit = key.uChar.UnicodeChar;
    if (!key.bKeyDown) {
        if (key.wVirtualKeyCode == VK_MENU && unit != 0) {
            appendCharacter(unit, out);
        }
        return;
    }
    const char* const cursor = key.wVirtualKeyCode == VK_UP      ? "\x1b[A"
                               : key.wVirtualKeyCode == VK_DOWN  ? "\x1b[B"
                               : key.wVirtualKeyCode == VK_RIGHT ? "\x1b[C"
                               : key.wVirtualKeyCode == VK_LEFT  ? "\x1b[D"
                                                                 : nullptr;
    const DWORD modifiers = key.dwControlKeyState;
    const bool alt = (modifiers & (LEFT_ALT_PRESSED | RIGHT_ALT_PRESSED)) != 0 &&
                     (modifiers & (LEFT_CTRL_PRESSED | RIGHT_CTRL_PRESSED)) == 0;  // not AltGr
    const int repeats = key.wRepeatCount < 1 ? 1 : key.wRepeatCount > 256 ? 256 : key.wRepeatCount;
    for (int i = 0; i < repeats; ++i) {
        if (unit == 0) {
            if (cursor != nullptr) {
                out += cursor;
            }
        } else {
            if (alt) {
                out += '\x1b';
            }
            appendCharacter(unit, out);
        }
    }
}

void noteResize() {
    if (terminalTaken.load() && !leaving.load()) {
        resumed.store(true);
        ::SetEvent(resizeEvent);
    }
}

bool haveInput() {
    return inputStart < inputBytes.size();
}

void keepInput(std::string_view bytes) {
    if (inputStart == inputBytes.size()) {
        inputBytes.clear();
        inputStart = 0;
    }
    inputBytes += bytes;
}

// Takes in every input record (or piped byte) already there, without waiting.
void pumpInput() {
    if (!inputConsole) {
        std::lock_guard lock(pipedMutex);
        keepInput(pipedBytes);
        pipedBytes.clear();
        inputEnded = inputEnded || pipedEnded;
        if (!pipedEnded) {
            ::ResetEvent(pipedEvent);
        }
        return;
    }
    for (;;) {
        DWORD count = 0;
        if (!::GetNumberOfConsoleInputEvents(inputHandle, &count)) {
            inputEnded = true;
            return;
        }
        if (count == 0) {
            return;
        }
        INPUT_RECORD records[64];
        DWORD got = 0;
        if (!::ReadConsoleInputW(inputHandle, records, count < 64 ? count : 64, &got)) {
            inputEnded = true;
            return;
        }
        std::string bytes;
        for (DWORD i = 0; i < got; ++i) {
            if (records[i].EventType == KEY_EVENT) {
                appendKey(records[i].Event.KeyEvent, bytes);
            } else if (records[i].EventType == WINDOW_BUFFER_SIZE_EVENT) {
                noteResize();
            }
        }
        keepInput(bytes);
    }
}

void readPipedInput() {
    char buffer[256];
    for (;;) {
        DWORD got = 0;
        const bool read = ::ReadFile(inputHandle, buffer, sizeof buffer, &got, nullptr);
        std::lock_guard lock(pipedMutex);
        if (!read || got == 0) {
            pipedEnded = true;
        } else {
            pipedBytes.append(buffer, got);
        }
        ::SetEvent(pipedEvent);
        if (pipedEnded) {
            return;
        }
    }
}

HANDLE inputWaitHandle() {
    return inputConsole ? inputHandle : pipedEvent;
}

std::int64_t millisecondsLeft(std::int64_t deadlineMicros) {
    const std::int64_t left = deadlineMicros - monotonicMicros();
    return left <= 0 ? 0 : (left + 999) / 1000;
}

// A joinable thread left at exit would end the process abnormally, and the console must come
// back.
void atExit() {
    stopAllTimers();
    leaving.store(true);
    restoreTerminal();
}

void setUp() {
    std::call_once(setUpOnce, [] {
        inputHandle = ::GetStdHandle(STD_INPUT_HANDLE);
        outputHandle = ::GetStdHandle(STD_OUTPUT_HANDLE);
        inputConsole = ::GetConsoleMode(inputHandle, &savedInputMode) != 0;
        outputConsole = ::GetConsoleMode(outputHandle, &savedOutputMode) != 0;
        tickEvent = ::CreateEventW(nullptr, FALSE, FALSE, nullptr);
        resizeEvent = ::CreateEventW(nullptr, FALSE, FALSE, nullptr);
        pipedEvent = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
        ::timeBeginPeriod(1);  // Sleep and plain waitable timers to the millisecond
        if (!inputConsole) {
            if (inputHandle == nullptr || inputHandle == INVALID_HANDLE_VALUE) {
                pipedEnded = true;
                ::SetEvent(pipedEvent);
            } else {
                std::thread(readPipedInput).detach();
            }
        }
        std::atexit(atExit);
    });
}

}  // namespace

void start() {
    setUp();
    if (started.exchange(true)) {
        return;
    }
    const bool wineConsole = outputConsole && runsUnderWine();
    const DWORD outputMode =
        wineConsole
            ? savedOutputMode &
                  ~static_cast<DWORD>(ENABLE_PROCESSED_OUTPUT | ENABLE_WRAP_AT_EOL_OUTPUT)
            : savedOutputMode | ENABLE_PROCESSED_OUTPUT | ENABLE_VIRTUAL_TERMINAL_PROCESSING;
    if (outputConsole && !::SetConsoleMode(outputHandle, outputMode)) {
        constexpr char kRefused[] =
            "pervaro: this console cannot draw the game (it needs the virtual terminal sequences "
            "of Windows 10 or later, or Windows Terminal)\n";
        writeTo(::GetStdHandle(STD_ERROR_HANDLE), false, kRefused);
        std::exit(1);
    }
    if (wineConsole) {
        openWineLane();
    }
    // Wine's console shows the answer to a cursor-position question on the page instead of
    // returning it as input.
    answersQueries = inputConsole && outputConsole && !wineConsole;
    ::SetConsoleCtrlHandler(onControlEvent, TRUE);
    ::SetUnhandledExceptionFilter(onCrash);
    std::signal(SIGABRT, onAbort);
    takeTerminal();
}

void writeBytes(std::string_view bytes) {
    setUp();
    std::lock_guard lock(outputMutex);
    writeOutput(bytes);
}

int readByte(int timeoutMs) {
    setUp();
    const std::int64_t deadline = monotonicMicros() + std::int64_t{timeoutMs} * 1000;
    for (;;) {
        pumpInput();
        if (haveInput()) {
            return static_cast<unsigned char>(inputBytes[inputStart++]);
        }
        if (inputEnded) {
            return kEndOfInput;
        }
        const DWORD wait =
            timeoutMs < 0 ? INFINITE : static_cast<DWORD>(millisecondsLeft(deadline));
        const HANDLE handles[2] = {inputWaitHandle(), resizeEvent};
        const DWORD woken = ::WaitForMultipleObjects(2, handles, FALSE, wait);
        if (woken == WAIT_TIMEOUT) {
            return kNoByte;
        }
        if (woken == WAIT_OBJECT_0 + 1 && resumed.load()) {
            return kNoByte;
        }
        if (woken == WAIT_FAILED) {
            inputEnded = true;
        }
        // Records that give no bytes (key releases, focus) were taken; the wait goes on.
    }
}

void waitForInputOrTick(int timeoutMs) {
    setUp();
    const std::int64_t deadline = monotonicMicros() + std::int64_t{timeoutMs} * 1000;
    for (;;) {
        pumpInput();
        if (haveInput() || inputEnded) {
            return;
        }
        const DWORD wait =
            timeoutMs < 0 ? INFINITE : static_cast<DWORD>(millisecondsLeft(deadline));
        const HANDLE handles[3] = {inputWaitHandle(), tickEvent, resizeEvent};
        const DWORD woken = ::WaitForMultipleObjects(3, handles, FALSE, wait);
        if (woken != WAIT_OBJECT_0) {
            return;  // a tick, a resize, the time is up (or the wait failed)
        }
    }
}

bool inputIsTerminal() {
    return answersQueries;
}

WindowSize windowSize() {
    setUp();
    CONSOLE_SCREEN_BUFFER_INFO info{};
    if (outputConsole && ::GetConsoleScreenBufferInfo(outputHandle, &info)) {
        const int columns = info.srWindow.Right - info.srWindow.Left + 1;
        const int rows = info.srWindow.Bottom - info.srWindow.Top + 1;
        if (columns > 0 && rows > 0) {
            return {columns, rows};
        }
    }
    return {80, 41};
}

std::int64_t wallClockSeconds() {
    return static_cast<std::int64_t>(std::time(nullptr));
}

std::int64_t monotonicMicros() {
    static const std::int64_t frequency = [] {
        LARGE_INTEGER f;
        ::QueryPerformanceFrequency(&f);
        return static_cast<std::int64_t>(f.QuadPart);
    }();
    LARGE_INTEGER now;
    ::QueryPerformanceCounter(&now);
    const std::int64_t counts = now.QuadPart;
    return counts / frequency * 1'000'000 + counts % frequency * 1'000'000 / frequency;
}

// Keys typed meanwhile are kept; a changed window, which comes as an input record, ends the
// pause early so the page can be drawn again.
void sleepMs(int ms) {
    setUp();
    thread_local const HANDLE timer = createPreciseTimer();
    const std::int64_t deadline = monotonicMicros() + std::int64_t{ms} * 1000;
    for (;;) {
        const std::int64_t left = deadline - monotonicMicros();
        if (left <= 0 || resumed.load()) {
            return;
        }
        LARGE_INTEGER due;
        due.QuadPart = -left * 10;
        const bool timed =
            timer != nullptr && ::SetWaitableTimer(timer, &due, 0, nullptr, nullptr, FALSE);
        // Once the input has ended its handle stays set: it is no longer waited on.
        HANDLE handles[3] = {resizeEvent, timer, inputWaitHandle()};
        const DWORD count = (timed ? 2 : 1) + (inputEnded ? 0 : 1);
        if (!timed) {
            handles[1] = handles[2];
        }
        const DWORD woken = ::WaitForMultipleObjects(
            count, handles, FALSE, timed ? INFINITE : static_cast<DWORD>((left + 999) / 1000));
        if (woken < WAIT_OBJECT_0 + count && handles[woken - WAIT_OBJECT_0] == inputWaitHandle()) {
            pumpInput();
        } else if (woken != WAIT_OBJECT_0) {
            return;  // the time is up (or the wait failed)
        }
    }
}

int startTimer(int periodMs, TimerCallback callback, void* user) {
    if (periodMs <= 0 || callback == nullptr) {
        return 0;
    }
    setUp();
    auto timer = std::make_shared<Timer>();
    timer->stop = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
    if (timer->stop == nullptr) {
        return 0;
    }
    try {
        timer->thread = std::thread(runTimer, timer, std::int64_t{periodMs} * 1000, callback, user);
    } catch (const std::system_error&) {
        return 0;
    }
    return timers.add(std::move(timer));
}

void stopTimer(int handle) {
    if (const std::shared_ptr<Timer> timer = timers.take(handle)) {
        finish(timer);
    }
}

int runningTimers() {
    return timers.count();
}

bool takeResumed() {
    return resumed.exchange(false);
}

void exitProcess(int status, std::string_view errorMessage) {
    stopAllTimers();
    leaving.store(true);
    restoreTerminal();
    if (!errorMessage.empty()) {
        const HANDLE errors = ::GetStdHandle(STD_ERROR_HANDLE);
        DWORD mode = 0;
        writeTo(errors, ::GetConsoleMode(errors, &mode) != 0, errorMessage);
    }
    std::exit(status);
}

}  // namespace platform
