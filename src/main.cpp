#include <cstdio>

#include "frontend/command_line.hpp"
#include "frontend/main_loop.hpp"

int main(int argc, char** argv) {
    const CommandLineAnswer answer = answerCommandLine(argc, argv);
    if (!answer.play) {
        // Nothing has touched the terminal: these are plain lines, as from any command.
        std::fputs(answer.output.c_str(), stdout);
        std::fputs(answer.error.c_str(), stderr);
        return std::fflush(stdout) == 0 ? answer.status : 1;
    }
    runGame();
}
