#pragma once
// Runs a piece of code in a child process whose terminal is a pseudo-terminal the test holds the
// other end of, so the platform can take the terminal, be signalled and exit while the test
// watches the terminal's modes, the bytes written to it and the exit status.
#include <sys/types.h>
#include <termios.h>

#include <functional>
#include <string>
#include <string_view>

enum class ChildInput { Terminal, Pipe, DevNull };
enum class ChildOutput { Terminal, Pipe };

struct ChildSetup {
    ChildInput input = ChildInput::Terminal;
    ChildOutput output = ChildOutput::Terminal;
    // A session of its own with the terminal as its controlling terminal, so typed Ctrl-C
    // raises SIGINT. Without it the child is in a process group of its own in the test's
    // session, where a stop signal really stops it.
    bool controllingTerminal = true;
};

// How long a step may take before the test gives up: generous, for a loaded machine.
inline constexpr int kPatienceMs = 5000;

class PtyChild {
  public:
    explicit PtyChild(const std::function<void()>& body, ChildSetup setup = {});
    ~PtyChild();
    PtyChild(const PtyChild&) = delete;
    PtyChild& operator=(const PtyChild&) = delete;

    pid_t pid() const { return pid_; }
    // The terminal's modes before the child started, and now.
    const termios& originalModes() const { return original_; }
    termios modes() const;
    void setModes(const termios& modes);

    // Bytes for the child's standard input (the terminal, or the pipe).
    void type(std::string_view bytes);
    void closeInput();
    // Closes the test's ends of the terminal: the child's terminal hangs up.
    void hangUp();

    // Waits until the child has written the text (to standard output) or reported it.
    bool waitForOutput(std::string_view text, int count = 1, int timeoutMs = kPatienceMs);
    bool waitForReport(std::string_view text, int count = 1, int timeoutMs = kPatienceMs);
    // The rest of the first reported line that starts with the label ("" if none came).
    std::string reportedLine(std::string_view label, int timeoutMs = kPatienceMs);
    // The wait status once the child ended (or stopped, if asked); -1 if it did not in time.
    int waitForExit(int timeoutMs = kPatienceMs);
    // Waits until the child's first thread sleeps in poll, as it does waiting for a key. A
    // signal is best sent then: ThreadSanitizer may hold back one that lands between calls
    // until the thread's next call, which a blocked read never makes. Where /proc cannot tell,
    // it waits a short while instead.
    void waitUntilPolling(int timeoutMs = kPatienceMs);
    int waitForStop(int timeoutMs = kPatienceMs);

    const std::string& output() const { return output_; }
    const std::string& errors() const { return errors_; }
    // Everything seen so far, for failure messages.
    std::string describe() const;

  private:
    bool pumpUntil(const std::function<bool()>& done, int timeoutMs);
    void pump(int timeoutMs);
    int waitForChange(int options, int timeoutMs);

    pid_t pid_ = -1;
    bool ended_ = false;
    int master_ = -1;
    int slave_ = -1;
    int inputPipe_ = -1;
    int outputFd_ = -1;
    int reportFd_ = -1;
    int errorFd_ = -1;
    termios original_{};
    std::string output_;
    std::string report_;
    std::string errors_;
};

// In the child: tells the test something (one line per call is easiest to wait for).
void report(std::string_view text);

// Whether two sets of terminal modes are the same in every field that matters.
bool sameModes(const termios& a, const termios& b);
std::string describeModes(const termios& modes);
// Raw as the platform sets it: no line editing, no echo, no output processing, signals kept.
bool isRaw(const termios& modes);

int countOf(std::string_view text, std::string_view part);

// Microseconds of CPU this process has used.
long long cpuMicros();
long long nowMicros();
