// The platform on a POSIX terminal: raw mode and the alternate screen while the game runs, the
// terminal put back on every way out, poll-based input, and one thread per periodic timer.
// Where a Linux call is missing (the build checks for each; PERVARO_PORTABLE_POSIX forces the
// fallbacks), a pipe wakes a blocked poll instead of an eventfd, and so on.
#include <fcntl.h>
#include <poll.h>
#include <pthread.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <sys/resource.h>
#include <sys/types.h>
#include <termios.h>
#include <time.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <condition_variable>
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

#if PERVARO_HAVE_EVENTFD
#include <sys/eventfd.h>
#endif
#if PERVARO_HAVE_SCHED_SETATTR
#include <sys/syscall.h>
#endif

namespace platform {
namespace {

// Signals that end the process: the terminal is put back first, then the signal's own action
// ends it, so the exit status still tells what happened.
constexpr int kEndingSignals[] = {SIGINT, SIGTERM, SIGHUP, SIGQUIT, SIGPIPE};
// Faults get the same treatment, unless someone (a sanitizer) already handles them.
constexpr int kFaultSignals[] = {SIGABRT, SIGSEGV, SIGBUS, SIGFPE, SIGILL};

// ---- Terminal state (the signal handlers read it: set up before they are installed) ----

bool started = false;
bool inputTerminal = false;
bool outputTerminal = false;
termios savedTermios{};
termios rawTermios{};
static_assert(std::atomic<bool>::is_always_lock_free, "flags shared with signal handlers");
std::atomic<bool> terminalTaken{false};  // raw mode and the alternate screen are on
std::atomic<bool> leaving{false};        // put back for good: a resume must not take it again
std::atomic<bool> resumed{false};

// Wake-ups for a blocked poll: timer threads poke one at every tick, a resume or a resize the
// other. An eventfd is both ends at once; a pipe has two.
struct Wakeup {
    int readFd = -1;
    int writeFd = -1;
};
Wakeup ticks;
Wakeup resumes;
std::once_flag setUpOnce;

// Writes everything, as far as the file lets us; safe in a signal handler.
void writeAll(int fd, const char* data, std::size_t size) {
    while (size > 0) {
        const ssize_t n = ::write(fd, data, size);
        if (n > 0) {
            data += n;
            size -= static_cast<std::size_t>(n);
        } else if (n < 0 && errno == EINTR) {
            continue;
        } else if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            pollfd ready{fd, POLLOUT, 0};
            if (::poll(&ready, 1, 1000) <= 0) {
                return;  // the output is stuck: better lose it than hang
            }
        } else {
            return;
        }
    }
}

Wakeup openWakeup() {
#if PERVARO_HAVE_EVENTFD
    const int fd = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    return {fd, fd};
#else
    int ends[2];
    if (::pipe(ends) != 0) {
        return {};
    }
    for (const int fd : ends) {
        ::fcntl(fd, F_SETFD, FD_CLOEXEC);
        ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) | O_NONBLOCK);
    }
    return {ends[0], ends[1]};
#endif
}

// Safe in a signal handler. A full pipe is left as it is: it wakes the poll all the same.
void poke(const Wakeup& wakeup) {
    if (wakeup.writeFd >= 0) {
        const std::uint64_t one = 1;
        [[maybe_unused]] const ssize_t n = ::write(wakeup.writeFd, &one, sizeof one);
    }
}

void drain(const Wakeup& wakeup) {
    std::uint64_t buffer[8];
    while (::read(wakeup.readFd, buffer, sizeof buffer) == static_cast<ssize_t>(sizeof buffer)) {
    }
}

void setTermios(const termios& modes, int when) {
    while (::tcsetattr(0, when, &modes) != 0 && errno == EINTR) {
    }
}

// Both are safe in a signal handler.
void takeTerminal() {
    const int savedErrno = errno;
    terminalTaken.store(true);
    if (inputTerminal) {
        setTermios(rawTermios, TCSADRAIN);
    }
    if (outputTerminal) {
        writeAll(1, kTakeSequence, sizeof kTakeSequence - 1);
    }
    errno = savedErrno;
}

void restoreTerminal() {
    if (!terminalTaken.exchange(false)) {
        return;
    }
    const int savedErrno = errno;
    if (outputTerminal) {
        writeAll(1, kRestoreSequence, sizeof kRestoreSequence - 1);
    }
    if (inputTerminal) {
        // Flushing drops what was typed at the game (and late terminal answers) from the shell.
        setTermios(savedTermios, TCSAFLUSH);
    }
    errno = savedErrno;
}

void setHandler(int signal, void (*handler)(int), int flags) {
    struct sigaction action {};
    action.sa_handler = handler;
    sigemptyset(&action.sa_mask);
    action.sa_flags = flags;
    ::sigaction(signal, &action, nullptr);
}

void unblock(int signal) {
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, signal);
    ::pthread_sigmask(SIG_UNBLOCK, &set, nullptr);
}

void onEndingSignal(int signal) {
    restoreTerminal();
    setHandler(signal, SIG_DFL, 0);
    unblock(signal);
    ::raise(signal);
}

void onStopSignal(int) {
    const int savedErrno = errno;
    restoreTerminal();
    setHandler(SIGTSTP, SIG_DFL, 0);
    unblock(SIGTSTP);
    ::raise(SIGTSTP);
    // Continued. The SIGCONT handler has usually taken the terminal back already; but in an
    // orphaned process group the stop is dropped and no SIGCONT comes.
    setHandler(SIGTSTP, onStopSignal, SA_RESTART);
    if (!terminalTaken.load() && !leaving.load()) {
        takeTerminal();
        resumed.store(true);
        poke(resumes);
    }
    errno = savedErrno;
}

void onContinueSignal(int) {
    if (leaving.load()) {
        return;
    }
    const int savedErrno = errno;
    if (!terminalTaken.load()) {
        takeTerminal();
    } else if (inputTerminal) {
        // Stopped without giving the terminal back (SIGSTOP): the shell may have set its own
        // modes meanwhile. The page is still on the alternate screen.
        setTermios(rawTermios, TCSADRAIN);
    }
    resumed.store(true);
    poke(resumes);
    errno = savedErrno;
}

// A window made smaller cuts the page and one made larger again leaves it shifted or blank:
// the page is drawn again, as after a resume.
void onWindowChange(int) {
    const int savedErrno = errno;
    if (terminalTaken.load() && !leaving.load()) {
        resumed.store(true);
        poke(resumes);
    }
    errno = savedErrno;
}

bool hasHandler(int signal, void (*handler)(int)) {
    struct sigaction current {};
    return ::sigaction(signal, nullptr, &current) == 0 && (current.sa_flags & SA_SIGINFO) == 0 &&
           current.sa_handler == handler;
}

// Signals the timer threads leave to the game's thread, whose blocked calls they interrupt.
sigset_t asynchronousSignals() {
    sigset_t set;
    sigfillset(&set);
    for (const int fault : kFaultSignals) {
        sigdelset(&set, fault);
    }
    sigdelset(&set, SIGPIPE);
    return set;
}

// ---- Timers ----

struct Timer {
    std::mutex mutex;
    std::condition_variable wake;
    bool stopping = false;
    std::thread thread;
};

TimerTable<Timer> timers;

// After a suspend, or on a starved machine, the missed ticks are dropped rather than burst.
constexpr auto kLongestLag = std::chrono::milliseconds(100);

// On a busy machine a woken thread waits for the running task's time slice to end, which can
// be milliseconds: a late tick, a late key. A short slice, which any thread may ask for
// (Linux 6.12 and later; older kernels ignore it), lets it run at once; it keeps its nice value.
// The game's thread and the timer threads do little at a time, so they lose nothing by it.
// Systems without the call keep their usual slices.
void askForShortSlices() {
#if PERVARO_HAVE_SCHED_SETATTR
    // The kernel's sched_attr, first version (its header clashes with the C library's).
    struct {
        std::uint32_t size;
        std::uint32_t policy;
        std::uint64_t flags;
        std::int32_t nice;
        std::uint32_t priority;
        std::uint64_t runtime;
        std::uint64_t deadline;
        std::uint64_t period;
    } attributes{};
    static_assert(sizeof attributes == 48);
    attributes.size = sizeof attributes;
    attributes.policy = SCHED_OTHER;
    attributes.nice = ::getpriority(PRIO_PROCESS, 0);
    attributes.runtime = 100'000;  // nanoseconds: the shortest slice there is
    [[maybe_unused]] const long ignored = ::syscall(SYS_sched_setattr, 0, &attributes, 0);
#endif
}

void runTimer(const std::shared_ptr<Timer>& timer, std::chrono::milliseconds period,
              TimerCallback callback, void* user) {
    using Clock = std::chrono::steady_clock;
    askForShortSlices();
    auto next = Clock::now() + period;
    std::unique_lock lock(timer->mutex);
    while (!timer->wake.wait_until(lock, next, [&] { return timer->stopping; })) {
        lock.unlock();
        callback(user);
        poke(ticks);
        lock.lock();
        next += period;
        const auto now = Clock::now();
        if (now - next > kLongestLag) {
            next = now;
        }
    }
}

void finish(const std::shared_ptr<Timer>& timer) {
    {
        std::lock_guard lock(timer->mutex);
        timer->stopping = true;
    }
    timer->wake.notify_all();
    endTimerThread(*timer);
}

void stopAllTimers() {
    for (const auto& entry : timers.takeAll()) {
        finish(entry.second);
    }
}

// A joinable thread left at exit would abort the process, and the terminal must come back.
void atExit() {
    stopAllTimers();
    leaving.store(true);
    restoreTerminal();
}

void setUp() {
    std::call_once(setUpOnce, [] {
        ticks = openWakeup();
        resumes = openWakeup();
        std::atexit(atExit);
    });
}

// ---- Input ----

unsigned char inputBuffer[256];
std::size_t inputStart = 0;
std::size_t inputEnd = 0;
bool inputEnded = false;

std::int64_t millisecondsLeft(std::int64_t deadlineMicros) {
    const std::int64_t left = deadlineMicros - monotonicMicros();
    return left <= 0 ? 0 : (left + 999) / 1000;
}

}  // namespace

void start() {
    setUp();
    if (started) {
        return;
    }
    started = true;
    askForShortSlices();
    outputTerminal = ::isatty(1) == 1;
    inputTerminal = ::isatty(0) == 1 && ::tcgetattr(0, &savedTermios) == 0;
    if (inputTerminal) {
        // Raw bytes, no echo, no line editing, no output processing; Ctrl-C and Ctrl-Z still
        // raise their signals.
        rawTermios = savedTermios;
        rawTermios.c_iflag &= ~static_cast<tcflag_t>(IGNBRK | BRKINT | PARMRK | ISTRIP | INLCR |
                                                     IGNCR | ICRNL | IXON);
        rawTermios.c_oflag &= ~static_cast<tcflag_t>(OPOST);
        rawTermios.c_lflag &= ~static_cast<tcflag_t>(ECHO | ECHONL | ICANON | IEXTEN);
        rawTermios.c_lflag |= ISIG;
        rawTermios.c_cflag &= ~static_cast<tcflag_t>(CSIZE | PARENB);
        rawTermios.c_cflag |= CS8;
        rawTermios.c_cc[VMIN] = 1;
        rawTermios.c_cc[VTIME] = 0;
    }
    // A signal ignored at start stays ignored (nohup, a shell without job control).
    for (const int signal : kEndingSignals) {
        if (!hasHandler(signal, SIG_IGN)) {
            setHandler(signal, onEndingSignal, 0);
        }
    }
    for (const int signal : kFaultSignals) {
        if (hasHandler(signal, SIG_DFL)) {
            setHandler(signal, onEndingSignal, 0);
        }
    }
    if (!hasHandler(SIGTSTP, SIG_IGN)) {
        setHandler(SIGTSTP, onStopSignal, SA_RESTART);
    }
    setHandler(SIGCONT, onContinueSignal, SA_RESTART);
    if (outputTerminal) {
        setHandler(SIGWINCH, onWindowChange, SA_RESTART);
    }
    takeTerminal();
}

void writeBytes(std::string_view bytes) {
    writeAll(1, bytes.data(), bytes.size());
}

int readByte(int timeoutMs) {
    if (inputStart < inputEnd) {
        return inputBuffer[inputStart++];
    }
    if (inputEnded) {
        return kEndOfInput;
    }
    const std::int64_t deadline = monotonicMicros() + std::int64_t{timeoutMs} * 1000;
    for (;;) {
        const int wait = timeoutMs < 0 ? -1 : static_cast<int>(millisecondsLeft(deadline));
        pollfd fds[2] = {{0, POLLIN, 0}, {resumes.readFd, POLLIN, 0}};
        const int ready = ::poll(fds, 2, wait);
        if (ready < 0) {
            if (errno == EINTR || errno == EAGAIN) {
                if (resumed.load()) {
                    return kNoByte;
                }
                continue;
            }
            inputEnded = true;
            return kEndOfInput;
        }
        if (ready == 0) {
            return kNoByte;
        }
        if (fds[1].revents != 0) {
            drain(resumes);
            if (resumed.load()) {
                return kNoByte;
            }
        }
        if ((fds[0].revents & POLLNVAL) != 0) {
            inputEnded = true;
            return kEndOfInput;
        }
        if (fds[0].revents != 0) {
            const ssize_t n = ::read(0, inputBuffer, sizeof inputBuffer);
            if (n > 0) {
                inputStart = 1;
                inputEnd = static_cast<std::size_t>(n);
                return inputBuffer[0];
            }
            if (n < 0 && errno == EINTR) {
                if (resumed.load()) {
                    return kNoByte;
                }
            } else if (n == 0 || (errno != EAGAIN && errno != EWOULDBLOCK)) {
                // End of file, or a terminal that hung up (EIO).
                inputEnded = true;
                return kEndOfInput;
            }
        }
        if (timeoutMs >= 0 && millisecondsLeft(deadline) == 0) {
            return kNoByte;
        }
    }
}

void waitForInputOrTick(int timeoutMs) {
    setUp();
    if (inputStart < inputEnd || inputEnded) {
        return;
    }
    const std::int64_t deadline = monotonicMicros() + std::int64_t{timeoutMs} * 1000;
    for (;;) {
        const int wait = timeoutMs < 0 ? -1 : static_cast<int>(millisecondsLeft(deadline));
        pollfd fds[3] = {{0, POLLIN, 0}, {ticks.readFd, POLLIN, 0}, {resumes.readFd, POLLIN, 0}};
        const int ready = ::poll(fds, 3, wait);
        if (ready > 0) {
            if (fds[1].revents != 0) {
                drain(ticks);
            }
            if (fds[2].revents != 0) {
                drain(resumes);
            }
            return;
        }
        if (ready == 0 || (errno != EINTR && errno != EAGAIN) || resumed.load()) {
            return;
        }
    }
}

bool inputIsTerminal() {
    return ::isatty(0) == 1;
}

WindowSize windowSize() {
    for (const int fd : {1, 0}) {
        winsize size{};
        if (::ioctl(fd, TIOCGWINSZ, &size) == 0 && size.ws_col > 0 && size.ws_row > 0) {
            return {size.ws_col, size.ws_row};
        }
    }
    return {80, 41};
}

std::int64_t wallClockSeconds() {
    return static_cast<std::int64_t>(std::time(nullptr));
}

std::int64_t monotonicMicros() {
    timespec now{};
    ::clock_gettime(CLOCK_MONOTONIC, &now);
    return std::int64_t{now.tv_sec} * 1'000'000 + now.tv_nsec / 1000;
}

void sleepMs(int ms) {
    setUp();
    const std::int64_t deadline = monotonicMicros() + std::int64_t{ms} * 1000;
    for (;;) {
        const std::int64_t left = millisecondsLeft(deadline);
        if (left <= 0 || resumed.load()) {
            return;
        }
        pollfd wake{resumes.readFd, POLLIN, 0};
        if (::poll(&wake, 1, static_cast<int>(left)) > 0) {
            drain(resumes);
        }
    }
}

int startTimer(int periodMs, TimerCallback callback, void* user) {
    if (periodMs <= 0 || callback == nullptr) {
        return 0;
    }
    setUp();
    auto timer = std::make_shared<Timer>();
    // The thread inherits this mask: signals stay with the game's thread.
    const sigset_t blocked = asynchronousSignals();
    sigset_t previous;
    ::pthread_sigmask(SIG_BLOCK, &blocked, &previous);
    try {
        timer->thread =
            std::thread(runTimer, timer, std::chrono::milliseconds(periodMs), callback, user);
    } catch (const std::system_error&) {
        ::pthread_sigmask(SIG_SETMASK, &previous, nullptr);
        return 0;
    }
    ::pthread_sigmask(SIG_SETMASK, &previous, nullptr);
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

std::string executableFolder() {
    std::string path(PATH_MAX, '\0');
    const ssize_t length = ::readlink("/proc/self/exe", path.data(), path.size());
    if (length <= 0 || static_cast<std::size_t>(length) >= path.size()) {
        return {};
    }
    path.resize(static_cast<std::size_t>(length));
    const std::size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash == 0 ? 1 : slash);
}

std::string userDataFolder() {
    const auto withoutTrailingSlashes = [](std::string folder) {
        while (folder.size() > 1 && folder.back() == '/') {
            folder.pop_back();
        }
        return folder;
    };
    // A relative XDG_DATA_HOME is to be ignored, as the base-directory rules say.
    const char* const data = std::getenv("XDG_DATA_HOME");
    if (data != nullptr && data[0] == '/') {
        return withoutTrailingSlashes(data);
    }
    const char* const home = std::getenv("HOME");
    if (home == nullptr || home[0] == '\0') {
        return {};
    }
    const std::string folder = withoutTrailingSlashes(home);
    return (folder == "/" ? "" : folder) + "/.local/share";
}

bool takeResumed() {
    return resumed.exchange(false);
}

void exitProcess(int status, std::string_view errorMessage) {
    stopAllTimers();
    // Nothing may cut the restore short, and nothing may take the terminal back after it.
    const sigset_t blocked = asynchronousSignals();
    ::pthread_sigmask(SIG_BLOCK, &blocked, nullptr);
    leaving.store(true);
    restoreTerminal();
    if (!errorMessage.empty()) {
        writeAll(2, errorMessage.data(), errorMessage.size());
    }
    std::exit(status);
}

}  // namespace platform
