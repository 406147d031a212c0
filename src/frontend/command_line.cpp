#include "frontend/command_line.hpp"

#include <string_view>

#include "state/game_files.hpp"

namespace {

const char* const kUsage = "pervaro [--help | --version]";

const char* const kAbout = R"(
Pervaro is a sugoroku-style board game for the text terminal, in Japanese: roll the
die along each stage's track, meet square events and seven mini-games, beat the boss
at the goal, buy items in the shop. It needs a UTF-8 terminal of at least 80 columns
by 41 rows. Started without arguments, it plays.

Keys:
  a number, Enter  choose a menu entry
  any key          go on after a pause
  cursor keys      move the arrow in the boss battle; Enter chooses
  Ctrl-C           end the game at once (what was not saved is lost)
  Ctrl-Z           suspend the game; fg resumes it

Files:
  map01.txt to map05.txt  the stage maps: whitespace-separated numbers (width,
                          height, goal, start value, then the cells row by row)
  save.bin                the one saved game (main menu 8 saves, 9 loads)

  Started in a folder that holds map01.txt, the game reads the maps there and keeps
  save.bin there. Started anywhere else, it uses the game folder
)";

const char* const kOptionsAndStatus = R"(
Options:
  --help     show this help and exit
  --version  show the version and exit

Exit status:
  0  the game was ended from the title menu; --help, --version
  1  game over, a missing or unusable map file, or the input ended
  2  a wrong command-line argument

The manual page (man pervaro) tells more.
)";

std::string orNone(const std::string& folder, const char* none) {
    return folder.empty() ? none : folder;
}

}  // namespace

std::string helpText() {
    const GameFiles files = findGameFiles();
    std::string text = std::string("Usage: ") + kUsage + "\n" + kAbout;
    text += "    " + orNone(files.userFolder, "(none: no data folder is known for this user)") +
            "\n  (made on the first start): save.bin is kept there, and a map put there\n"
            "  replaces the installed one of the same name, from\n    " +
            orNone(files.installedFolder, "(unknown: the game's own folder was not found)") + "\n";
    if (files.inWorkingFolder) {
        text += "  The current folder holds map01.txt: a game started here plays from it.\n";
    }
    return text + kOptionsAndStatus;
}

CommandLineAnswer answerCommandLine(int argc, const char* const* argv) {
    CommandLineAnswer answer;
    if (argc <= 1) {
        return answer;
    }
    answer.play = false;
    const std::string_view argument = argv[1];
    if (argc == 2 && argument == "--help") {
        answer.output = helpText();
    } else if (argc == 2 && argument == "--version") {
        answer.output = "pervaro " PERVARO_VERSION "\n";
    } else {
        answer.status = 2;
        answer.error = argc == 2 ? "pervaro: unknown argument \"" + std::string(argument) + "\""
                                 : std::string("pervaro: too many arguments");
        answer.error += std::string("; usage: ") + kUsage + "\n";
    }
    return answer;
}
