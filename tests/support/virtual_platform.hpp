#pragma once
// The platform the tests link instead of the terminal: a virtual terminal that interprets the
// console's control sequences into a grid, scripted keys with arrival times, a virtual clock in
// which sleeping costs nothing, timers that fire as virtual time passes, an exit that a test
// can catch, and a disk in memory whose writes can be made to fail.
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "console/screen_grid.hpp"

namespace vt {

// Thrown by the platform's exit.
struct ProgramExit {
    int status;
    std::string errorMessage;
};

// Scripted input arrives either at a virtual time, or (kWhenAsked) only once the game blocks
// waiting for a key: a player who presses keys when asked, never ahead.
inline constexpr std::int64_t kWhenAsked = -1;

struct Options {
    int columns = 80;
    int rows = 41;
    bool ambiguousNarrow = false;  // draw ● ■ → ... one column wide, as tmux and xterm do
    bool answersQueries = true;    // answers the cursor-position question
    std::int64_t wallClockStart = 1'800'000'000;  // seconds at virtual time 0
    bool keepSnapshots = true;                    // the page at every blocking key read
};

// Resets the platform and the console (initConsole), with a blank page at virtual time 0.
void reset(const Options& options = Options{});

// Keys: bytes as a terminal sends them ("\r" Enter, "\x1b[A" up, ...).
void type(const std::string& bytes);  // when asked
void typeAt(std::int64_t atMs, const std::string& bytes);
// Whether the game blocked on a read that found no scripted key left.
bool inputExhausted();

// The virtual clock.
std::int64_t nowMicros();
std::int64_t nowMs();
void setWallClock(std::int64_t secondsAtNow);

// The screen as the terminal shows it.
const ScreenGrid& screen();
std::string rowText(int row);
std::string textAt(int column, int row, int length);
int cursorColumn();
int cursorRow();
// Snapshots taken whenever the game blocked for a key (0 = the first).
const std::vector<ScreenGrid>& snapshots();
// Everything written, and in how many writes.
const std::string& output();
int writeCalls();
// Control sequences the virtual terminal did not understand.
const std::vector<std::string>& unknownSequences();
int runningTimers();

// The terminal loses the page, as when the game is resumed or the window resized: the screen
// goes blank and the platform asks the console for a repaint. Called from an onBlockingRead
// hook, it wakes the waiting read.
void losePage();
// The window takes a new size and loses the page, as above.
void resize(int columns, int rows);
// Whether the terminal shows its cursor; how many writes left it hidden, and how many
// blocking key reads found it hidden.
bool cursorVisible();
int writesWithCursorHidden();
int keyWaitsWithCursorHidden();

// Called whenever the game blocks for a key, before the key is given (soak checks).
void onBlockingRead(std::function<void()> hook);
// The standard-error message of the last program exit.
const std::string& lastErrorMessage();

// The virtual disk: files by path. It outlives reset(), as a disk outlives a process, so one
// run can save and the next load.
enum class FileKind { Regular, Directory, Fifo };
void putFile(const std::string& path, const std::string& contents,
             FileKind kind = FileKind::Regular);
// A file its owner made read-only (or writable again).
void setReadOnly(const std::string& path, bool readOnly);
void removeFile(const std::string& path);
void removeAllFiles();
// A regular file's contents; nothing when there is no regular file at path.
std::optional<std::string> fileContents(const std::string& path);

// The next replace of a file fails, leaving the old file as it was; later ones succeed again.
// Which step failed (a full disk, a flush, the rename) the game is not told: the real
// platform's own tests go through the steps.
void failNextReplace();

// Runs the procedure until it returns or the program exits; returns the exit status, or -1
// if it returned. Scripted input that runs out ends the program with status 1 (as at the end
// of a pipe), and inputExhausted() tells so.
int run(const std::function<void()>& procedure);

}  // namespace vt
