// A platform that discards output, answers every key read from a short script and lets no time
// pass: what is left to measure is the game's own work. Files are the real ones
// (files_posix.cpp), so reading a map costs what it costs in the game.
#include "null_platform.hpp"

#include <cstdlib>
#include <string>

#include "platform/platform.hpp"

namespace {

std::string script;
std::size_t scriptAt = 0;
long long written = 0;

}  // namespace

void setNullKeys(std::string_view keys) {
    script = keys;
    scriptAt = 0;
}

long long nullBytesWritten() {
    return written;
}

namespace platform {

void start() {}

void writeBytes(std::string_view bytes) {
    written += static_cast<long long>(bytes.size());
}

int readByte(int) {
    if (script.empty()) {
        return kNoByte;
    }
    const auto byte = static_cast<unsigned char>(script[scriptAt]);
    scriptAt = (scriptAt + 1) % script.size();
    return byte;
}

void waitForInputOrTick(int) {}

bool inputIsTerminal() {
    return false;
}

WindowSize windowSize() {
    return {80, 41};
}

std::int64_t wallClockSeconds() {
    return 0;
}

std::int64_t monotonicMicros() {
    return 0;
}

void sleepMs(int) {}

int startTimer(int, TimerCallback, void*) {
    return 0;
}

void stopTimer(int) {}

int runningTimers() {
    return 0;
}

bool takeResumed() {
    return false;
}

// The game plays from the working folder, where the bench puts the maps.
std::string executableFolder() {
    return {};
}

std::string userDataFolder() {
    return {};
}

void exitProcess(int status, std::string_view) {
    std::exit(status);
}

}  // namespace platform
