// The console is given back as it was, whichever way the game ends: the test program runs
// itself again as a child on the same console, which takes the console as the game does and is
// then ended. Also the tests' main, which runs that child.
#include <windows.h>
//
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "console/platform.hpp"

namespace {

constexpr DWORD kPatienceMs = 5000;
constexpr DWORD kControlCExit = 0xC000013A;

HANDLE openConsole(const wchar_t* name) {
    SECURITY_ATTRIBUTES inherited{sizeof inherited, nullptr, TRUE};
    return ::CreateFileW(name, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                         &inherited, OPEN_EXISTING, 0, nullptr);
}

// What the game changes and must give back.
struct ConsoleState {
    DWORD inputMode = 0;
    DWORD outputMode = 0;
    COORD bufferSize{};
    BOOL cursorVisible = FALSE;

    bool operator==(const ConsoleState& o) const {
        return inputMode == o.inputMode && outputMode == o.outputMode &&
               bufferSize.X == o.bufferSize.X && bufferSize.Y == o.bufferSize.Y &&
               cursorVisible == o.cursorVisible;
    }
};

std::ostream& operator<<(std::ostream& out, const ConsoleState& s) {
    return out << "input mode " << std::hex << s.inputMode << ", output mode " << s.outputMode
               << std::dec << ", buffer " << s.bufferSize.X << "x" << s.bufferSize.Y << ", cursor "
               << (s.cursorVisible ? "shown" : "hidden");
}

ConsoleState stateOf(HANDLE input, HANDLE output) {
    ConsoleState state;
    ::GetConsoleMode(input, &state.inputMode);
    ::GetConsoleMode(output, &state.outputMode);
    CONSOLE_SCREEN_BUFFER_INFO info{};
    ::GetConsoleScreenBufferInfo(output, &info);
    state.bufferSize = info.dwSize;
    CONSOLE_CURSOR_INFO cursor{};
    ::GetConsoleCursorInfo(output, &cursor);
    state.cursorVisible = cursor.bVisible;
    return state;
}

enum class Ending { Exit, CtrlC, CtrlBreak };

bool runsUnderWine() {
    const HMODULE ntdll = ::GetModuleHandleW(L"ntdll.dll");
    return ntdll != nullptr && ::GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

struct Child {
    PROCESS_INFORMATION process{};
    HANDLE ready = nullptr;
    HANDLE finish = nullptr;
};

// The child's standard input and output are the console, as the game's are.
Child startChild(HANDLE input, HANDLE output) {
    Child child;
    SECURITY_ATTRIBUTES inherited{sizeof inherited, nullptr, TRUE};
    child.ready = ::CreateEventW(&inherited, TRUE, FALSE, nullptr);
    child.finish = ::CreateEventW(&inherited, TRUE, FALSE, nullptr);
    wchar_t path[MAX_PATH];
    ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring command = L"\"" + std::wstring(path) + L"\" --child " +
                           std::to_wstring(reinterpret_cast<std::uintptr_t>(child.ready)) + L" " +
                           std::to_wstring(reinterpret_cast<std::uintptr_t>(child.finish));
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = input;
    startup.hStdOutput = output;
    startup.hStdError = ::GetStdHandle(STD_ERROR_HANDLE);
    if (!::CreateProcessW(nullptr, command.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                          &startup, &child.process)) {
        ADD_FAILURE() << "cannot start the child: error " << ::GetLastError();
    }
    return child;
}

BOOL WINAPI carryOn(DWORD) {
    return TRUE;
}

int runChild(const char* ready, const char* finish) {
    platform::start();
    ::SetEvent(reinterpret_cast<HANDLE>(std::strtoull(ready, nullptr, 10)));
    ::WaitForSingleObject(reinterpret_cast<HANDLE>(std::strtoull(finish, nullptr, 10)),
                          2 * kPatienceMs);
    platform::exitProcess(0, "");
}

TEST(ConsoleModes, AreGivenBackAfterAnExitCtrlCAndCtrlBreak) {
    const HANDLE input = openConsole(L"CONIN$");
    const HANDLE output = openConsole(L"CONOUT$");
    ASSERT_NE(input, INVALID_HANDLE_VALUE);
    ASSERT_NE(output, INVALID_HANDLE_VALUE);
    const ConsoleState before = stateOf(input, output);
    ASSERT_NE(before.inputMode & ENABLE_LINE_INPUT, 0u) << before;
    const std::pair<Ending, DWORD> endings[] = {
        {Ending::Exit, 0}, {Ending::CtrlC, kControlCExit}, {Ending::CtrlBreak, kControlCExit}};
    for (const auto& [ending, status] : endings) {
        SCOPED_TRACE(static_cast<int>(ending));
        if (ending == Ending::CtrlBreak && runsUnderWine()) {
            continue;  // Wine 8 sends no Ctrl-Break ("not implemented")
        }
        Child child = startChild(input, output);
        ASSERT_EQ(::WaitForSingleObject(child.ready, kPatienceMs), WAIT_OBJECT_0);
        const ConsoleState during = stateOf(input, output);
        EXPECT_EQ(during.inputMode & (ENABLE_LINE_INPUT | ENABLE_ECHO_INPUT), 0u) << during;
        EXPECT_NE(during.inputMode & ENABLE_PROCESSED_INPUT, 0u) << "Ctrl-C must stay a signal";
        if (ending == Ending::Exit) {
            ::SetEvent(child.finish);
        } else {
            // Every process on the console gets the event, as from the keyboard; this one
            // takes it and goes on.
            ::SetConsoleCtrlHandler(carryOn, TRUE);
            EXPECT_TRUE(::GenerateConsoleCtrlEvent(
                ending == Ending::CtrlC ? CTRL_C_EVENT : CTRL_BREAK_EVENT, 0));
        }
        ASSERT_EQ(::WaitForSingleObject(child.process.hProcess, kPatienceMs), WAIT_OBJECT_0);
        ::SetConsoleCtrlHandler(carryOn, FALSE);
        DWORD exitCode = 0;
        ::GetExitCodeProcess(child.process.hProcess, &exitCode);
        EXPECT_EQ(exitCode, status);
        EXPECT_EQ(stateOf(input, output), before);
        for (const HANDLE h :
             {child.process.hProcess, child.process.hThread, child.ready, child.finish}) {
            ::CloseHandle(h);
        }
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 4 && std::strcmp(argv[1], "--child") == 0) {
        return runChild(argv[2], argv[3]);
    }
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
