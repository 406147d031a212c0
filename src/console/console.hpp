#pragma once
// The console operations every page is drawn and every key is read with. Output is gathered
// and written in one piece before every key read, key test, sleep, timer wait and exit.
#include <cstdint>
#include <string_view>

// The console is 80 columns by 41 rows; pages use rows 1 to 40.
inline constexpr int kConsoleColumns = 80;
inline constexpr int kConsoleRows = 41;

// Key codes readKey returns.
inline constexpr int kKeyEnter = 13;
inline constexpr int kKeyEscape = 27;
inline constexpr int kKeyBackspace = 8;
inline constexpr int kKeySpace = 32;
inline constexpr int kKeyExtended = 0;  // comes before the code of a key without a character
inline constexpr int kKeyUp = 72;
inline constexpr int kKeyLeft = 75;
inline constexpr int kKeyRight = 77;
inline constexpr int kKeyDown = 80;

// Starts the platform and puts the console in a known state: blank page, cursor at (1,1),
// nothing typed ahead. Called once at start-up (and by tests before each run).
void initConsole();

void clearScreen();
// A position outside the console is ignored: the cursor stays where it was.
void moveCursor(int column, int row);
[[gnu::format(printf, 1, 2)]] void printText(const char* format, ...);
// Prints the text as it is (no format conversions).
void printPlain(std::string_view text);
void deleteLine();
// Blanks the cursor's row from the cursor to its end; the cursor does not move.
void clearToEndOfLine();
// Hides the cursor while an animation runs; the next key wait that blocks (every prompt and
// pause) shows it again.
void hideCursor();

// Blocks for one key, without echo. Cursor keys give kKeyExtended, then their code.
int readKey();
// Reads one key press: a cursor key's two codes count as one (the 0 is returned), so the
// second code cannot answer the next wait.
int readKeyPress();
// Never blocks: whether a key is waiting for readKey; the key stays.
bool keyPending();
// Waits for the next key and drops it, with the cursor at (column, row).
void waitKeyAt(int column, int row);
// Waits for the next key and drops it, with the cursor where it stands.
void waitKey();

// Line input with echo and Backspace; Enter ends the line. Blank lines are skipped. Reads an
// optional sign and digits; what follows stays for the next call. Returns false (and drops the
// line) when the line does not start with a number or the number does not fit in 32 bits.
bool readInt(int& value);

void sleepMs(int ms);
// Waits until a key is waiting or a periodic timer has ticked, at most timeoutMs.
void waitForKeyOrTick(int timeoutMs);

// The wall clock in whole seconds: random seeds only.
std::int64_t currentTimeSeconds();

// Periodic timers whose callback runs on a thread of their own; 0 when none could be started.
int startPeriodicTimer(int periodMs, void (*callback)(void* user), void* user);
void stopPeriodicTimer(int handle);

int cursorColumn();
int cursorRow();

// Writes out what is gathered.
void flushOutput();

// Ends the program; the message (if any) goes to standard error once the terminal is back.
[[noreturn]] void endProgram(int status, std::string_view errorMessage = {});
