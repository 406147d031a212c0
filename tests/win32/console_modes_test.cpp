// The console is given back as it was, whichever way the game ends: the test program runs
// itself again as a child on the same console, which takes the console as the game does and is
// then ended, by a key or by Ctrl-C or Ctrl-Break. Also the tests' main, which runs that child.
#include <windows.h>
//
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "platform/platform.hpp"
#include "platform/waiting.hpp"

namespace {

// The status the system's own handler gives a program ended by Ctrl-C.
constexpr DWORD kControlCExit = 0xC000013A;
// Not a control event: the child is ended by a key.
constexpr DWORD kKey = ~DWORD{0};

HANDLE openConsole(const wchar_t* name) {
    SECURITY_ATTRIBUTES inherited{sizeof inherited, nullptr, TRUE};
    return ::CreateFileW(name, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                         &inherited, OPEN_EXISTING, 0, nullptr);
}

DWORD modeOf(HANDLE console) {
    DWORD mode = 0;
    ::GetConsoleMode(console, &mode);
    return mode;
}

// What the game changes and must give back, in words.
std::string stateOf(HANDLE input, HANDLE output) {
    CONSOLE_SCREEN_BUFFER_INFO buffer{};
    CONSOLE_CURSOR_INFO cursor{};
    ::GetConsoleScreenBufferInfo(output, &buffer);
    ::GetConsoleCursorInfo(output, &cursor);
    return "input mode " + std::to_string(modeOf(input)) + ", output mode " +
           std::to_string(modeOf(output)) + ", buffer " + std::to_string(buffer.dwSize.X) + "x" +
           std::to_string(buffer.dwSize.Y) + ", cursor " + (cursor.bVisible ? "shown" : "hidden");
}

BOOL WINAPI carryOn(DWORD) {
    return TRUE;
}

TEST(ConsoleModes, AreGivenBackAfterAnExitCtrlCAndCtrlBreak) {
    const HANDLE input = openConsole(L"CONIN$");
    const HANDLE output = openConsole(L"CONOUT$");
    const std::string before = stateOf(input, output);
    ASSERT_NE(modeOf(input) & ENABLE_LINE_INPUT, 0u) << before;
    wchar_t path[MAX_PATH];
    ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    // Wine 8 sends no Ctrl-Break ("not implemented"). Ctrl-C comes last: on a loaded machine
    // Wine's console now and then drops a key written just after one.
    const bool wine = ::GetProcAddress(::GetModuleHandleW(L"ntdll.dll"), "wine_get_version");
    for (const DWORD event : {kKey, wine ? kKey : CTRL_BREAK_EVENT, DWORD{CTRL_C_EVENT}}) {
        SCOPED_TRACE(event);
        // The child's standard input and output are the console, as the game's are.
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdInput = input;
        startup.hStdOutput = output;
        startup.hStdError = ::GetStdHandle(STD_ERROR_HANDLE);
        std::wstring command = L"\"" + std::wstring(path) + L"\" --child";
        PROCESS_INFORMATION child{};
        ASSERT_TRUE(::CreateProcessW(nullptr, command.data(), nullptr, nullptr, TRUE, 0, nullptr,
                                     nullptr, &startup, &child));
        for (int waited = 0; (modeOf(input) & ENABLE_LINE_INPUT) != 0 && waited < kPatienceMs;
             waited += 10) {
            ::Sleep(10);
        }
        EXPECT_EQ(modeOf(input) & (ENABLE_LINE_INPUT | ENABLE_ECHO_INPUT | ENABLE_PROCESSED_INPUT),
                  static_cast<DWORD>(ENABLE_PROCESSED_INPUT))
            << "no line editing, no echo; Ctrl-C stays a signal";
        if (event == kKey) {
            INPUT_RECORD key{KEY_EVENT, {}};
            key.Event.KeyEvent = {TRUE, 1, 'Q', 0, {L'q'}, 0};
            DWORD written = 0;
            ::WriteConsoleInputW(input, &key, 1, &written);
        } else {
            // Every process on the console gets the event, as from the keyboard; this one
            // takes it and goes on.
            ::SetConsoleCtrlHandler(carryOn, TRUE);
            EXPECT_TRUE(::GenerateConsoleCtrlEvent(event, 0));
        }
        ASSERT_EQ(::WaitForSingleObject(child.hProcess, kPatienceMs), WAIT_OBJECT_0);
        ::SetConsoleCtrlHandler(carryOn, FALSE);
        DWORD exitCode = 0;
        ::GetExitCodeProcess(child.hProcess, &exitCode);
        EXPECT_EQ(exitCode, event == kKey ? 0 : kControlCExit);
        EXPECT_EQ(stateOf(input, output), before);
        ::CloseHandle(child.hProcess);
        ::CloseHandle(child.hThread);
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 2 && std::strcmp(argv[1], "--child") == 0) {
        platform::start();
        platform::readByte(-1);
        platform::exitProcess(0, "");
    }
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
