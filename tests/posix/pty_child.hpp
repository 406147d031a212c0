#pragma once
// Runs a piece of code in a child process whose terminal is a pseudo-terminal the test holds the
// other end of, so the platform can take the terminal, be signalled and exit while the test
// watches the terminal's modes, the bytes written to it and the exit status. The child reports
// on its standard error, where the platform's own messages go too.
#include <sys/types.h>
#include <sys/wait.h>
#include <termios.h>

#include <functional>
#include <string>
#include <string_view>

#include "platform/waiting.hpp"

// Writes all of it, as far as the file lets us.
void writeAll(int fd, std::string_view bytes);
int countOf(std::string_view text, std::string_view part);

// In the child: tells the test something.
inline void report(std::string_view text) {
    writeAll(2, text);
}

class PtyChild {
  public:
    // With the terminal as its controlling terminal, typed Ctrl-C raises SIGINT. Without, the
    // child is in a process group of its own in the test's session, where a stop signal really
    // stops it.
    explicit PtyChild(const std::function<void()>& body, bool controllingTerminal = true);
    ~PtyChild();
    PtyChild(const PtyChild&) = delete;
    PtyChild& operator=(const PtyChild&) = delete;

    pid_t pid() const { return pid_; }
    // The terminal's modes in words (flags, speeds, control characters), now or before the
    // child started, starting with "raw" when they are raw as the platform sets them: no line
    // editing, no echo, no output processing, signals kept.
    std::string modes(bool before = false) const;
    void setModesAsBefore() { ::tcsetattr(slave_, TCSANOW, &before_); }

    void type(std::string_view bytes) { writeAll(master_, bytes); }
    // Closes the test's ends of the terminal: the child's terminal hangs up.
    void hangUp();
    // Sends the signal once the child's first thread sleeps in poll, as it does waiting for a
    // key: ThreadSanitizer may hold back a signal that lands between calls until the thread's
    // next call, which a blocked read never makes. Where /proc cannot tell, it waits a short
    // while instead.
    void signal(int number);

    // Waits until the child has written the text to the terminal, or reported it.
    bool waitForOutput(std::string_view text, int count = 1, int timeoutMs = kPatienceMs) {
        return pumpUntil([&] { return countOf(output_, text) >= count; }, timeoutMs);
    }
    bool waitForReport(std::string_view text, int count = 1, int timeoutMs = kPatienceMs) {
        return pumpUntil([&] { return countOf(report_, text) >= count; }, timeoutMs);
    }
    // The wait status once the child ended (or stopped, with WUNTRACED); -1 if not in time.
    int waitForExit(int timeoutMs = kPatienceMs, int options = 0);

    const std::string& output() const { return output_; }
    const std::string& reported() const { return report_; }
    // Everything seen so far, for failure messages, with ESC shown as '~'.
    std::string describe() const;

  private:
    // Reads what the child writes until done() or the time is up.
    bool pumpUntil(const std::function<bool()>& done, int timeoutMs);

    pid_t pid_ = -1;
    bool ended_ = false;
    int master_ = -1;
    int slave_ = -1;
    int reportFd_ = -1;
    termios before_{};
    std::string output_;
    std::string report_;
};
