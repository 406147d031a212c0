#include "measure.hpp"

#include <poll.h>
#include <sys/mman.h>
#include <sys/resource.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <stdexcept>

#include "console/console.hpp"

namespace fs = std::filesystem;

SharedProbe* probe = nullptr;

namespace {

bool counting = false;
std::string mapFolder;

}  // namespace

extern "C" {
ssize_t __real_write(int fd, const void* data, size_t size);
int __real_poll(pollfd* fds, nfds_t count, int timeoutMs);

ssize_t __wrap_write(int fd, const void* data, size_t size) {
    const ssize_t written = __real_write(fd, data, size);
    if (counting && fd == 1 && written > 0) {
        probe->writes.fetch_add(1);
        probe->bytes.fetch_add(written);
    }
    return written;
}

// The platform blocks for a key with an unlimited poll; that is when a page is complete.
int __wrap_poll(pollfd* fds, nfds_t count, int timeoutMs) {
    if (counting && timeoutMs < 0) {
        probe->blockingWaits.fetch_add(1);
    }
    return __real_poll(fds, count, timeoutMs);
}
}

void createProbe() {
    void* memory = ::mmap(nullptr, sizeof(SharedProbe), PROT_READ | PROT_WRITE,
                          MAP_SHARED | MAP_ANONYMOUS, -1, 0);
    if (memory == MAP_FAILED) {
        throw std::runtime_error("no shared memory");
    }
    probe = new (memory) SharedProbe{};
}

void resetProbe() {
    probe->writes = 0;
    probe->bytes = 0;
    probe->blockingWaits = 0;
    probe->ready = 0;
    probe->done = 0;
    for (auto& stamp : probe->stamps) {
        stamp = 0;
    }
    probe->cpuMicros[0] = 0;
    probe->cpuMicros[1] = 0;
}

void countInThisProcess() {
    counting = true;
}

namespace {

// The child's side: fresh counters, the console started in the map folder, then the body.
std::function<void()> consoleBody(void (*body)()) {
    resetProbe();
    return [body] {
        if (::chdir(mapFolder.c_str()) != 0) {
            std::_Exit(3);
        }
        countInThisProcess();
        initConsole();
        probe->writes = 0;
        probe->bytes = 0;
        probe->ready = 1;
        body();
    };
}

}  // namespace

ConsoleChild::ConsoleChild(void (*body)()) : child_(consoleBody(body)) {
    if (child_.waitForOutput("\x1b[6n")) {
        child_.type("\x1b[1;3R");
    }
    const long long deadline = nowMicros() + kPatienceMs * 1000LL;
    while (probe->ready.load() == 0 && nowMicros() < deadline) {
        pumpFor(1);
    }
}

bool ConsoleChild::waitBlocked(long long count, int timeoutMs) {
    const long long deadline = nowMicros() + timeoutMs * 1000LL;
    while (probe->blockingWaits.load() < count) {
        if (nowMicros() > deadline) {
            return false;
        }
        pumpFor(1);
    }
    pumpFor(5);  // what the page wrote just before it blocked
    return true;
}

void ConsoleChild::pumpFor(int ms) {
    // Waiting for a text that never comes reads the output meanwhile.
    child_.waitForOutput("\x01\x02never\x03", 1, ms);
}

std::string mapDirectory() {
    return mapFolder;
}

void makeMapDirectory() {
    std::string pattern = (fs::temp_directory_path() / "pervaro-bench-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) {
        throw std::runtime_error("cannot create a temporary directory");
    }
    mapFolder = pattern;
    for (const auto& entry : fs::directory_iterator(PERVARO_DATA_DIR)) {
        const std::string name = entry.path().filename().string();
        if (name.rfind("map", 0) == 0 && entry.path().extension() == ".txt") {
            fs::copy_file(entry.path(), fs::path(mapFolder) / name);
        }
    }
}

void removeMapDirectory() {
    std::error_code ignored;
    fs::remove_all(mapFolder, ignored);
}

long long childCpuMicros(pid_t pid) {
    clockid_t clock{};
    timespec used{};
    if (::clock_getcpuclockid(pid, &clock) != 0 || ::clock_gettime(clock, &used) != 0) {
        return -1;
    }
    return used.tv_sec * 1'000'000LL + used.tv_nsec / 1000;
}

long long processCpuMicros() {
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    return (usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1'000'000LL + usage.ru_utime.tv_usec +
           usage.ru_stime.tv_usec;
}

long long visibleBytes(std::string_view output) {
    long long count = 0;
    for (std::size_t i = 0; i < output.size(); ++i) {
        const char c = output[i];
        if (c == '\x1b' && i + 1 < output.size() && output[i + 1] == '[') {
            i += 2;
            while (i < output.size() && (output[i] < 0x40 || output[i] > 0x7E)) {
                ++i;
            }
        } else if (c != '\r' && c != '\n') {
            ++count;
        }
    }
    return count;
}
