#pragma once
// The few things the game needs from the machine. One implementation is linked in:
// platform_posix.cpp and files_posix.cpp for the game on a POSIX terminal, platform_win32.cpp
// and files_win32.cpp on a Windows console, platform_web.cpp and files_web.cpp in a web page,
// the virtual platform of the tests for the tests.
// Nothing but the console layer calls these, apart from the file operations, which the save
// and the map reader call.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace platform {

// Called once before anything else: raw mode, alternate screen, signal handlers.
void start();

// Writes bytes to the terminal, all of them.
void writeBytes(std::string_view bytes);

// Result of readByte when no byte arrived in time, and at the end of input.
inline constexpr int kNoByte = -1;
inline constexpr int kEndOfInput = -2;

// One input byte: waits up to timeoutMs (0 = just look, negative = block).
int readByte(int timeoutMs);

// Waits until an input byte is ready, a periodic timer has ticked since the last call, or
// timeoutMs has passed (negative = no limit). Consumes nothing.
void waitForInputOrTick(int timeoutMs);

// Whether the input is an interactive terminal that answers queries.
bool inputIsTerminal();

struct WindowSize {
    int columns;
    int rows;
};
WindowSize windowSize();

// Wall clock in whole seconds (random seeds only) and a monotonic clock in microseconds.
std::int64_t wallClockSeconds();
std::int64_t monotonicMicros();

// Pauses; returns early when the page is to be drawn again (see takeResumed).
void sleepMs(int ms);

// Periodic timers: the callback runs every periodMs on a thread of its own until stopTimer
// returns. startTimer returns 0 when no timer could be started.
using TimerCallback = void (*)(void* user);
int startTimer(int periodMs, TimerCallback callback, void* user);
void stopTimer(int handle);
// How many timers run now (tests and checks only).
int runningTimers();

// Set after the process was suspended and resumed, or its window was resized: the console
// repaints the page.
bool takeResumed();

// Restores the terminal and ends the process. A message is written to standard error after
// the terminal is back, so it can still be read.
[[noreturn]] void exitProcess(int status, std::string_view errorMessage);

// ---- Files: the maps and the save, at the paths the callers give ----

// Reads the start of a regular file, at most maxBytes. Anything else (a directory, a FIFO, a
// device) is refused without waiting on it. On failure, problem says why in a few words ("No
// such file or directory", "Is a directory", "not a regular file").
bool readFile(const std::string& path, std::size_t maxBytes, std::string& contents,
              std::string& problem);

// Replaces the file with new contents in one step: they are written beside it (path + ".new",
// replacing a leftover of an interrupted replace), flushed to disk and renamed over it. False
// when any step failed; the old file is then as it was. A file its owner made read-only is
// kept, as a write in place would keep it.
bool replaceFile(const std::string& path, std::string_view contents);

// ---- Where the game's files are: folders to look in, and the player's own ----
// Paths are UTF-8 with '/' between folders: the game joins and shortens them at '/'. Windows
// accepts it, so a Windows platform hands its folders over with backslashes turned into '/'.
// None of these needs start(), so --help can ask them too.

// The folder of the running executable with links resolved, without a trailing '/'; empty
// when it cannot be found. POSIX: the folder of /proc/self/exe. Windows: the folder of
// GetModuleFileNameW(nullptr).
std::string executableFolder();

// The folder where this user's programs keep their data, without a trailing '/'; empty when
// the machine names none. POSIX: $XDG_DATA_HOME when it is an absolute path, else
// $HOME/.local/share when HOME is set and not empty. Windows: %LOCALAPPDATA%.
std::string userDataFolder();

// Whether path names a regular file (links followed). It looks without opening, so a FIFO is
// never waited on. Windows: GetFileAttributesW says neither a directory nor a device.
bool isRegularFile(const std::string& path);

// Whether both paths name one existing file, by identity rather than by spelling (links,
// "..", another name of the same folder). POSIX: equal st_dev and st_ino. Windows: equal
// volume serial number and file index (GetFileInformationByHandle).
bool sameFile(const std::string& first, const std::string& second);

// Makes the folder and any missing parents, each private to this user (POSIX: mode 0700;
// Windows: CreateDirectoryW, private by default under the user's profile). A folder that
// exists is left as it is. False, with a few words on why in problem ("Not a directory",
// "Permission denied"), when path is not a folder afterwards; an empty path is no folder.
bool makePrivateFolder(const std::string& path, std::string& problem);

}  // namespace platform
