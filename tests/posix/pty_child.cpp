#include "pty_child.hpp"

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <fstream>
#include <stdexcept>

PtyChild::PtyChild(const std::function<void()>& body, bool controllingTerminal) {
    winsize size{50, 100, 0, 0};
    int reportPipe[2];
    if (::openpty(&master_, &slave_, nullptr, nullptr, &size) != 0 ||
        ::tcgetattr(slave_, &before_) != 0 || ::pipe2(reportPipe, O_CLOEXEC) != 0) {
        throw std::runtime_error("no pseudo-terminal or pipe");
    }
    std::fflush(nullptr);  // the child must not write the test's buffered output again
    pid_ = ::fork();
    if (pid_ == 0) {
        if (controllingTerminal) {
            ::setsid();
            ::ioctl(slave_, TIOCSCTTY, 0);
        } else {
            ::setpgid(0, 0);
        }
        const rlimit noCore{0, 0};
        ::setrlimit(RLIMIT_CORE, &noCore);
        ::alarm(30);  // a child that went wrong must not outlive the test run
        ::dup2(slave_, 0);
        ::dup2(slave_, 1);
        ::dup2(reportPipe[1], 2);
        for (const int fd : {master_, slave_, reportPipe[0], reportPipe[1]}) {
            if (fd > 2) {
                ::close(fd);
            }
        }
        body();
        ::_exit(0);
    }
    ::close(reportPipe[1]);
    reportFd_ = reportPipe[0];
    if (pid_ < 0) {
        throw std::runtime_error("fork failed");
    }
}

PtyChild::~PtyChild() {
    if (!ended_) {
        ::kill(pid_, SIGKILL);
        ::waitpid(pid_, nullptr, 0);
    }
    hangUp();
    ::close(reportFd_);
}

std::string PtyChild::modes(bool before) const {
    termios m = before_;
    if (!before) {
        ::tcgetattr(slave_, &m);
    }
    const bool raw = (m.c_lflag & (ICANON | ECHO | IEXTEN)) == 0 && (m.c_lflag & ISIG) != 0 &&
                     (m.c_iflag & (ICRNL | IXON)) == 0 && (m.c_oflag & OPOST) == 0 &&
                     m.c_cc[VMIN] == 1 && m.c_cc[VTIME] == 0;
    char text[128];
    std::snprintf(text, sizeof text, "%s: iflag %#x oflag %#x cflag %#x lflag %#x speed %u/%u cc",
                  raw ? "raw" : "cooked", m.c_iflag, m.c_oflag, m.c_cflag, m.c_lflag,
                  static_cast<unsigned>(::cfgetispeed(&m)),
                  static_cast<unsigned>(::cfgetospeed(&m)));
    std::string words = text;
    for (const cc_t c : m.c_cc) {  // the keys that interrupt, stop and end input, among others
        words += ' ';
        words += std::to_string(c);
    }
    return words;
}

void PtyChild::hangUp() {
    ::close(master_);
    ::close(slave_);
    master_ = slave_ = -1;
}

void PtyChild::signal(int number) {
    std::string where;  // the kernel function the child's first thread sleeps in
    const auto known = [&] { return !where.empty() && where != "0"; };
    pumpUntil(
        [&] {
            where.clear();
            std::ifstream("/proc/" + std::to_string(pid_) + "/wchan") >> where;
            return !known() || where.find("poll") != std::string::npos;
        },
        kPatienceMs);
    if (!known()) {
        pumpUntil([] { return false; }, 200);
    }
    ::kill(pid_, number);
}

bool PtyChild::pumpUntil(const std::function<bool()>& done, int timeoutMs) {
    const long long deadline = nowMicros() + timeoutMs * 1000LL;
    std::string* const into[] = {&output_, &report_};
    while (!done()) {
        const long long left = deadline / 1000 - nowMicros() / 1000;
        if (left <= 0) {
            return false;
        }
        pollfd ready[2] = {{master_, POLLIN, 0}, {reportFd_, POLLIN, 0}};
        ::poll(ready, 2, static_cast<int>(left < 20 ? left : 20));
        for (int i = 0; i < 2; ++i) {
            char buffer[4096];
            const ssize_t n =
                ready[i].revents == 0 ? -1 : ::read(ready[i].fd, buffer, sizeof buffer);
            into[i]->append(buffer, static_cast<std::size_t>(n > 0 ? n : 0));
            // The child has gone: a pipe at its end would make every poll return at once.
            if (n == 0 && i == 1) {
                ::close(reportFd_);
                reportFd_ = -1;
            }
        }
    }
    return true;
}

int PtyChild::waitForExit(int timeoutMs, int options) {
    int status = -1;
    if (!pumpUntil([&] { return ::waitpid(pid_, &status, WNOHANG | options) == pid_; },
                   timeoutMs)) {
        return -1;
    }
    if (WIFEXITED(status) || WIFSIGNALED(status)) {
        pumpUntil([] { return false; }, 20);  // what is left in the pipe and on the terminal
        ended_ = true;
    }
    return status;
}

std::string PtyChild::describe() const {
    std::string text = "\noutput: \"" + output_ + "\"\nreported: \"" + report_ + "\"";
    std::replace(text.begin(), text.end(), '\x1b', '~');  // not to be taken for a sequence
    return text;
}

void writeAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n <= 0 && !(n < 0 && errno == EINTR)) {
            return;
        }
        bytes.remove_prefix(n > 0 ? static_cast<std::size_t>(n) : 0);
    }
}

int countOf(std::string_view text, std::string_view part) {
    int count = 0;
    for (std::size_t at = text.find(part); at != std::string_view::npos;
         at = text.find(part, at + part.size())) {
        ++count;
    }
    return count;
}
