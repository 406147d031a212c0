#include "state/save_file.hpp"

#include <string>
#include <string_view>

#include "console/console.hpp"
#include "console/screen.hpp"
#include "platform/platform.hpp"
#include "state/game_files.hpp"
#include "state/save_record.hpp"

namespace {

const char* const kSaveFileName = "save.bin";

// Started from a folder with the maps, the message is the one it always was. In the player's
// game folder it also says where the save was looked for and why the folder is not there, so
// the player can mend it; the game plays on either way.
void reportFailure(const std::string& path, const std::string& folderProblem) {
    printText("%sのオープンが失敗しました\n", kSaveFileName);
    if (gameFiles().inWorkingFolder) {
        return;
    }
    if (path.empty()) {
        printPlain("保存先のフォルダがありません（このユーザーのデータフォルダが分かりません）\n");
    } else {
        printText("保存先 : %s\n", path.c_str());
    }
    if (!folderProblem.empty()) {
        printText("フォルダを作れません : %s\n", folderProblem.c_str());
    }
    printPlain("ゲームはこのまま続けられます\n");
}

}  // namespace

// The new save replaces the old one only once it is complete on disk, so an interrupted or
// failed save leaves the previous one as it was.
void saveGame() {
    const SaveBytes bytes = encodeSaveRecord(captureSaveRecord());
    const std::string_view contents(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    const std::string path = saveFilePath();
    std::string folderProblem;
    if (!makeSaveFolder(folderProblem)) {
        reportFailure(path, folderProblem);
        return;
    }
    if (!platform::replaceFile(path, contents)) {
        reportFailure(path, "");
        return;
    }
    clearPromptLine(0);
    printPlain("セーブが完了しました");
}

void loadGame() {
    // A longer file loads its first 108 bytes, as it always has.
    std::string contents;
    std::string problem;
    SaveRecord record{};
    const std::string path = saveFilePath();
    if (path.empty() || !platform::readFile(path, kSaveRecordSize, contents, problem) ||
        !decodeSaveRecord(reinterpret_cast<const unsigned char*>(contents.data()), contents.size(),
                          record)) {
        reportFailure(path, "");  // missing, short or unreadable: the game stays as it is
        return;
    }
    applySaveRecord(record);
    clearPromptLine(0);
    printPlain("ロードが完了しました");
}
