#pragma once
// The command line. The game plays without arguments; --help and --version answer as a program
// on the PATH should, before the terminal is touched.
#include <string>

struct CommandLineAnswer {
    bool play = true;    // no arguments: play
    int status = 0;      // otherwise the exit status,
    std::string output;  // what goes to standard output
    std::string error;   // and what goes to standard error
};

CommandLineAnswer answerCommandLine(int argc, const char* const* argv);

// The --help text, naming the folders this start would use.
std::string helpText();
