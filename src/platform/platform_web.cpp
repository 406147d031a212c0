// The platform in a web page (Emscripten): one thread, no pthreads. Every wait yields to the
// browser through Asyncify and comes back when a key arrives, the wait is over or a periodic
// timer is due. The timers are due times on the monotonic clock; their callbacks run here,
// inside the waits and polls, earliest first and as many as fell due, so a game counts the
// same ticks as with a timer thread. The page's half of the platform is platform_web.js.
#include <emscripten.h>

#include <algorithm>
#include <climits>
#include <cstdint>
#include <ctime>
#include <string>
#include <vector>

#include "platform/platform.hpp"
#include "platform/terminal_sequences.hpp"

// ---- The page's half: the terminal, the keys, the files ----

// JavaScript inside: clang-format would break it.
// clang-format off
EM_JS(void, webWrite, (const char* bytes, int size),
      { Module.pervaro.write(HEAPU8.slice(bytes, bytes + size)); });
// The next input byte, taken or only looked at; -1 when there is none.
EM_JS(int, webTakeByte, (), { return Module.pervaro.takeByte(); });
EM_JS(int, webPeekByte, (), { return Module.pervaro.peekByte(); });
// Resolves after timeoutMs (negative: never) or, if wakeOnInput, as soon as a byte arrives.
EM_ASYNC_JS(void, webWait, (double timeoutMs, int wakeOnInput),
            { await Module.pervaro.wait(timeoutMs, wakeOnInput != 0); });
// Gives the browser its turn (key events among what it does) and comes back at once.
EM_ASYNC_JS(void, webYield, (), { await Module.pervaro.yieldTurn(); });
EM_JS(void, webEnded, (int status), { Module.pervaro.ended(status); });
EM_ASYNC_JS(void, webNeverReturn, (), { await new Promise(function() {}); });
// clang-format on

namespace platform {
namespace {

struct Timer {
    int handle;
    std::int64_t periodMicros;
    TimerCallback callback;
    void* user;
    std::int64_t dueMicros;
};

std::vector<Timer> timers;
int nextHandle = 1;
bool tickedSinceWait = false;
bool runningCallbacks = false;

constexpr std::int64_t kNever = INT64_MAX;

// A look for a key that finds none still lets the browser deliver key events this often.
constexpr std::int64_t kYieldEveryMicros = 2'000;
std::int64_t lastYield = 0;

void runDueTimers() {
    if (runningCallbacks) {
        return;
    }
    runningCallbacks = true;
    const std::int64_t now = monotonicMicros();
    for (;;) {
        const auto earliest = std::min_element(
            timers.begin(), timers.end(),
            [](const Timer& a, const Timer& b) { return a.dueMicros < b.dueMicros; });
        if (earliest == timers.end() || earliest->dueMicros > now) {
            break;
        }
        // Every tick that fell due is delivered, however long the page stood still (a busy
        // machine, a tab in the background): a tick dropped is a race clock that runs slow.
        earliest->dueMicros += earliest->periodMicros;
        const TimerCallback callback = earliest->callback;
        void* const user = earliest->user;
        callback(user);  // it may stop timers, its own among them
        tickedSinceWait = true;
    }
    runningCallbacks = false;
}

std::int64_t nextDue() {
    std::int64_t due = kNever;
    for (const Timer& timer : timers) {
        due = std::min(due, timer.dueMicros);
    }
    return due;
}

enum class WakeOn { Deadline, Input, InputOrTick };

// Waits until the deadline (kNever: none) or what `wake` names, running the timers' callbacks
// as they fall due meanwhile.
void waitUntil(std::int64_t deadline, WakeOn wake) {
    for (;;) {
        runDueTimers();
        if (wake != WakeOn::Deadline && webPeekByte() >= 0) {
            return;
        }
        if (wake == WakeOn::InputOrTick && tickedSinceWait) {
            return;
        }
        const std::int64_t now = monotonicMicros();
        if (now >= deadline) {
            return;
        }
        const std::int64_t until = std::min(deadline, nextDue());
        const double timeoutMs =
            until == kNever ? -1.0
                            : static_cast<double>(std::max<std::int64_t>(until - now, 0)) / 1000.0;
        webWait(timeoutMs, wake != WakeOn::Deadline ? 1 : 0);
        lastYield = monotonicMicros();
    }
}

std::int64_t deadlineAfter(int timeoutMs) {
    return timeoutMs < 0 ? kNever : monotonicMicros() + std::int64_t{timeoutMs} * 1000;
}

}  // namespace

void start() {
    writeBytes(kTakeSequence);
}

void writeBytes(std::string_view bytes) {
    if (!bytes.empty()) {
        webWrite(bytes.data(), static_cast<int>(bytes.size()));
    }
}

int readByte(int timeoutMs) {
    runDueTimers();
    if (webPeekByte() < 0) {
        if (timeoutMs != 0) {
            waitUntil(deadlineAfter(timeoutMs), WakeOn::Input);
        } else if (monotonicMicros() - lastYield >= kYieldEveryMicros) {
            webYield();
            lastYield = monotonicMicros();
            runDueTimers();
        }
    }
    const int byte = webTakeByte();
    return byte < 0 ? kNoByte : byte;
}

void waitForInputOrTick(int timeoutMs) {
    waitUntil(deadlineAfter(timeoutMs), WakeOn::InputOrTick);
    tickedSinceWait = false;
}

// The page's terminal answers the cursor-position question.
bool inputIsTerminal() {
    return true;
}

// The page keeps the terminal at the game's size and fits the font to the window instead.
WindowSize windowSize() {
    return {80, 41};
}

std::int64_t wallClockSeconds() {
    return static_cast<std::int64_t>(std::time(nullptr));
}

std::int64_t monotonicMicros() {
    return static_cast<std::int64_t>(emscripten_get_now() * 1000.0);
}

void sleepMs(int ms) {
    waitUntil(deadlineAfter(std::max(ms, 0)), WakeOn::Deadline);
}

int startTimer(int periodMs, TimerCallback callback, void* user) {
    if (periodMs <= 0 || callback == nullptr) {
        return 0;
    }
    int handle = nextHandle;
    const auto inUse = [&](int h) {
        return std::any_of(timers.begin(), timers.end(),
                           [h](const Timer& timer) { return timer.handle == h; });
    };
    while (inUse(handle)) {
        handle = handle == INT_MAX ? 1 : handle + 1;
    }
    nextHandle = handle == INT_MAX ? 1 : handle + 1;
    const std::int64_t period = std::int64_t{periodMs} * 1000;
    timers.push_back({handle, period, callback, user, monotonicMicros() + period});
    return handle;
}

void stopTimer(int handle) {
    std::erase_if(timers, [handle](const Timer& timer) { return timer.handle == handle; });
}

int runningTimers() {
    return static_cast<int>(timers.size());
}

// The page neither suspends the game nor changes the terminal's size.
bool takeResumed() {
    return false;
}

// The terminal is given back as on any other, the message shown in it, and the page told;
// the game then waits for nothing, for good, and the page lets it go.
void exitProcess(int status, std::string_view errorMessage) {
    timers.clear();
    std::string last = kRestoreSequence;
    for (const char c : errorMessage) {
        if (c == '\n') {
            last += '\r';
        }
        last += c;
    }
    writeBytes(last);
    webEnded(status);
    for (;;) {
        webNeverReturn();
    }
}

}  // namespace platform
