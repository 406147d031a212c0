#include "pty_child.hpp"

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <stdexcept>

namespace {

int childReportFd = -1;

void closeFd(int& fd) {
    if (fd >= 0) {
        ::close(fd);
        fd = -1;
    }
}

void writeAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            return;
        }
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
}

std::string escaped(std::string_view bytes) {
    std::string text;
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte == 0x1B) {
            text += "\\e";
        } else if (byte < 0x20 || byte >= 0x7F) {
            char hex[8];
            std::snprintf(hex, sizeof hex, "\\x%02x", byte);
            text += hex;
        } else {
            text += c;
        }
    }
    return text;
}

}  // namespace

PtyChild::PtyChild(const std::function<void()>& body, ChildSetup setup) {
    winsize size{};
    size.ws_col = 100;
    size.ws_row = 50;
    int reportPipe[2];
    int errorPipe[2];
    int inputPipe[2] = {-1, -1};
    int outputPipe[2] = {-1, -1};
    if (::openpty(&master_, &slave_, nullptr, nullptr, &size) != 0 ||
        ::tcgetattr(slave_, &original_) != 0 || ::pipe2(reportPipe, O_CLOEXEC) != 0 ||
        ::pipe2(errorPipe, O_CLOEXEC) != 0 ||
        (setup.input == ChildInput::Pipe && ::pipe2(inputPipe, O_CLOEXEC) != 0) ||
        (setup.output == ChildOutput::Pipe && ::pipe2(outputPipe, O_CLOEXEC) != 0)) {
        throw std::runtime_error("no pseudo-terminal or pipe");
    }
    std::fflush(nullptr);  // the child must not write the test's buffered output again
    pid_ = ::fork();
    if (pid_ < 0) {
        throw std::runtime_error("fork failed");
    }
    if (pid_ == 0) {
        if (setup.controllingTerminal) {
            ::setsid();
            ::ioctl(slave_, TIOCSCTTY, 0);
        } else {
            ::setpgid(0, 0);
        }
        const rlimit noCore{0, 0};
        ::setrlimit(RLIMIT_CORE, &noCore);
        ::alarm(30);  // a child that went wrong must not outlive the test run
        const int input = setup.input == ChildInput::Terminal ? slave_
                          : setup.input == ChildInput::Pipe   ? inputPipe[0]
                                                              : ::open("/dev/null", O_RDONLY);
        ::dup2(input, 0);
        if (setup.input == ChildInput::DevNull && input > 2) {
            ::close(input);
        }
        ::dup2(setup.output == ChildOutput::Terminal ? slave_ : outputPipe[1], 1);
        ::dup2(errorPipe[1], 2);
        childReportFd = reportPipe[1];
        // Only the child's own ends stay open: a pipe ends when the test closes its end.
        for (const int fd : {master_, slave_, reportPipe[0], errorPipe[0], errorPipe[1],
                             inputPipe[0], inputPipe[1], outputPipe[0], outputPipe[1]}) {
            if (fd > 2) {
                ::close(fd);
            }
        }
        body();
        ::_exit(0);
    }
    closeFd(reportPipe[1]);
    closeFd(errorPipe[1]);
    closeFd(inputPipe[0]);
    closeFd(outputPipe[1]);
    reportFd_ = reportPipe[0];
    errorFd_ = errorPipe[0];
    inputPipe_ = inputPipe[1];
    outputFd_ = setup.output == ChildOutput::Terminal ? master_ : outputPipe[0];
}

PtyChild::~PtyChild() {
    if (!ended_) {
        ::kill(pid_, SIGKILL);
        int status = 0;
        ::waitpid(pid_, &status, 0);
    }
    if (outputFd_ != master_) {
        closeFd(outputFd_);
    }
    closeFd(master_);
    closeFd(slave_);
    closeFd(inputPipe_);
    closeFd(reportFd_);
    closeFd(errorFd_);
}

termios PtyChild::modes() const {
    termios now{};
    ::tcgetattr(slave_, &now);
    return now;
}

void PtyChild::setModes(const termios& modes) {
    ::tcsetattr(slave_, TCSANOW, &modes);
}

void PtyChild::type(std::string_view bytes) {
    writeAll(inputPipe_ >= 0 ? inputPipe_ : master_, bytes);
}

void PtyChild::closeInput() {
    closeFd(inputPipe_);
}

void PtyChild::hangUp() {
    if (outputFd_ == master_) {
        outputFd_ = -1;
    }
    closeFd(master_);
    closeFd(slave_);
}

void PtyChild::pump(int timeoutMs) {
    struct Source {
        int* fd;
        std::string* into;
    };
    Source sources[] = {{&outputFd_, &output_}, {&reportFd_, &report_}, {&errorFd_, &errors_}};
    pollfd fds[3];
    for (int i = 0; i < 3; ++i) {
        fds[i] = {*sources[i].fd, POLLIN, 0};
    }
    if (::poll(fds, 3, timeoutMs) <= 0) {
        return;
    }
    for (int i = 0; i < 3; ++i) {
        if (fds[i].revents == 0) {
            continue;
        }
        char buffer[4096];
        const ssize_t n = ::read(*sources[i].fd, buffer, sizeof buffer);
        if (n > 0) {
            sources[i].into->append(buffer, static_cast<std::size_t>(n));
        } else if (n == 0 || errno != EINTR) {
            if (sources[i].fd == &outputFd_ && outputFd_ == master_) {
                outputFd_ = -1;  // the terminal stays open for its modes
            } else {
                closeFd(*sources[i].fd);
            }
        }
    }
}

bool PtyChild::pumpUntil(const std::function<bool()>& done, int timeoutMs) {
    const long long deadline = nowMicros() + timeoutMs * 1000LL;
    while (!done()) {
        const long long left = deadline - nowMicros();
        if (left <= 0) {
            return false;
        }
        pump(static_cast<int>(std::min(left / 1000 + 1, 20LL)));
    }
    return true;
}

bool PtyChild::waitForOutput(std::string_view text, int count, int timeoutMs) {
    return pumpUntil([&] { return countOf(output_, text) >= count; }, timeoutMs);
}

bool PtyChild::waitForReport(std::string_view text, int count, int timeoutMs) {
    return pumpUntil([&] { return countOf(report_, text) >= count; }, timeoutMs);
}

std::string PtyChild::reportedLine(std::string_view label, int timeoutMs) {
    std::size_t start = std::string::npos;
    std::size_t end = std::string::npos;
    pumpUntil(
        [&] {
            for (std::size_t at = 0; at < report_.size();) {
                const std::size_t lineEnd = report_.find('\n', at);
                if (lineEnd == std::string::npos) {
                    return false;
                }
                if (report_.compare(at, label.size(), label) == 0) {
                    start = at + label.size();
                    end = lineEnd;
                    return true;
                }
                at = lineEnd + 1;
            }
            return false;
        },
        timeoutMs);
    return start == std::string::npos ? std::string() : report_.substr(start, end - start);
}

int PtyChild::waitForChange(int options, int timeoutMs) {
    int status = -1;
    const bool changed = pumpUntil(
        [&] {
            const pid_t got = ::waitpid(pid_, &status, WNOHANG | options);
            return got == pid_;
        },
        timeoutMs);
    if (!changed) {
        return -1;
    }
    if (WIFEXITED(status) || WIFSIGNALED(status)) {
        ended_ = true;
        // What is left in the pipes; the terminal may still hold output too.
        pumpUntil([&] { return reportFd_ < 0 && errorFd_ < 0; }, 1000);
        pump(0);
    }
    return status;
}

void PtyChild::waitUntilPolling(int timeoutMs) {
    const std::string path = "/proc/" + std::to_string(pid_) + "/wchan";
    bool told = true;
    pumpUntil(
        [&] {
            std::ifstream wchan(path);
            std::string where;
            told = static_cast<bool>(wchan >> where) && where != "0";
            return !told || where.find("poll") != std::string::npos;
        },
        timeoutMs);
    if (!told) {
        pumpUntil([] { return false; }, 200);
    }
}

int PtyChild::waitForExit(int timeoutMs) {
    return waitForChange(0, timeoutMs);
}

int PtyChild::waitForStop(int timeoutMs) {
    return waitForChange(WUNTRACED, timeoutMs);
}

std::string PtyChild::describe() const {
    return "output: \"" + escaped(output_) + "\"\nreport: \"" + escaped(report_) +
           "\"\nerrors: \"" + escaped(errors_) + "\"";
}

void report(std::string_view text) {
    writeAll(childReportFd, text);
}

bool sameModes(const termios& a, const termios& b) {
    return a.c_iflag == b.c_iflag && a.c_oflag == b.c_oflag && a.c_cflag == b.c_cflag &&
           a.c_lflag == b.c_lflag && a.c_line == b.c_line &&
           std::memcmp(a.c_cc, b.c_cc, sizeof a.c_cc) == 0 && cfgetispeed(&a) == cfgetispeed(&b) &&
           cfgetospeed(&a) == cfgetospeed(&b);
}

std::string describeModes(const termios& modes) {
    char text[128];
    std::snprintf(text, sizeof text, "iflag %#x oflag %#x cflag %#x lflag %#x", modes.c_iflag,
                  modes.c_oflag, modes.c_cflag, modes.c_lflag);
    return text;
}

bool isRaw(const termios& modes) {
    return (modes.c_lflag & (ICANON | ECHO | IEXTEN)) == 0 && (modes.c_lflag & ISIG) != 0 &&
           (modes.c_iflag & (ICRNL | IXON)) == 0 && (modes.c_oflag & OPOST) == 0 &&
           modes.c_cc[VMIN] == 1 && modes.c_cc[VTIME] == 0;
}

int countOf(std::string_view text, std::string_view part) {
    int count = 0;
    for (std::size_t at = text.find(part); at != std::string_view::npos;
         at = text.find(part, at + part.size())) {
        ++count;
    }
    return count;
}

long long cpuMicros() {
    timespec used{};
    ::clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &used);
    return used.tv_sec * 1'000'000LL + used.tv_nsec / 1000;
}

long long nowMicros() {
    timespec now{};
    ::clock_gettime(CLOCK_MONOTONIC, &now);
    return now.tv_sec * 1'000'000LL + now.tv_nsec / 1000;
}
