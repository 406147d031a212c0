#include "state/game_files.hpp"

#include "platform/platform.hpp"

namespace {

GameFiles current;

// Where the installation puts the maps relative to the executable, such as "../share/pervaro"
// (the build works it out): an installation moved whole still finds them.
const char* const kInstalledMapsFromExecutable = PERVARO_INSTALLED_MAPS;

const char* const kFirstMap = "map01.txt";

std::string join(const std::string& folder, const std::string& name) {
    return folder.empty() || folder.back() == '/' ? folder + name : folder + "/" + name;
}

}  // namespace

std::string installedMapFolder(const std::string& executableFolder) {
    if (executableFolder.empty()) {
        return {};
    }
    // Each leading ".." takes one folder off the executable's (which has its links resolved),
    // so the result reads "/usr/share/pervaro" rather than "/usr/bin/../share/pervaro".
    std::string folder = executableFolder;
    std::string rest = kInstalledMapsFromExecutable;
    while (rest.rfind("../", 0) == 0) {
        const std::size_t slash = folder.find_last_of('/');
        if (slash == std::string::npos || folder.find_first_not_of('/') == std::string::npos) {
            break;
        }
        folder.erase(slash == 0 ? 1 : slash);
        rest.erase(0, 3);
    }
    return join(folder, rest);
}

std::string userGameFolder(const std::string& userDataFolder) {
    return userDataFolder.empty() ? std::string() : join(userDataFolder, "pervaro");
}

GameFiles findGameFiles() {
    GameFiles files;
    files.installedFolder = installedMapFolder(platform::executableFolder());
    files.userFolder = userGameFolder(platform::userDataFolder());
    // Started among the installed maps themselves, the game must still not write there.
    files.inWorkingFolder =
        platform::isRegularFile(kFirstMap) &&
        (files.installedFolder.empty() ||
         !platform::sameFile(kFirstMap, join(files.installedFolder, kFirstMap)));
    return files;
}

void useGameFiles(const GameFiles& files) {
    current = files;
}

const GameFiles& gameFiles() {
    return current;
}

void prepareGameFolder() {
    std::string ignored;
    makeSaveFolder(ignored);
}

std::string mapFilePath(const std::string& name) {
    if (current.inWorkingFolder || name.empty()) {
        return name;
    }
    if (!current.userFolder.empty()) {
        const std::string own = join(current.userFolder, name);
        if (current.installedFolder.empty() || platform::isRegularFile(own)) {
            return own;
        }
    }
    return current.installedFolder.empty() ? name : join(current.installedFolder, name);
}

std::string saveFilePath() {
    if (current.inWorkingFolder) {
        return "save.bin";
    }
    return current.userFolder.empty() ? std::string() : join(current.userFolder, "save.bin");
}

bool makeSaveFolder(std::string& problem) {
    if (current.inWorkingFolder) {
        return true;
    }
    if (current.userFolder.empty()) {
        problem.clear();  // nothing to make: there is no folder to name
        return false;
    }
    return platform::makePrivateFolder(current.userFolder, problem);
}
