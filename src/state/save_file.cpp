#include "state/save_file.hpp"

#include <string>
#include <string_view>

#include "console/console.hpp"
#include "console/platform.hpp"
#include "console/screen.hpp"
#include "state/save_record.hpp"

namespace {

const char* const kSaveFileName = "save.bin";

void reportFailure() {
    printText("%sのオープンが失敗しました\n", kSaveFileName);
}

}  // namespace

// The new save replaces the old one only once it is complete on disk, so an interrupted or
// failed save leaves the previous one as it was.
void saveGame() {
    const SaveBytes bytes = encodeSaveRecord(captureSaveRecord());
    const std::string_view contents(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    if (!platform::replaceFile(kSaveFileName, contents)) {
        reportFailure();
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
    if (!platform::readFile(kSaveFileName, kSaveRecordSize, contents, problem) ||
        !decodeSaveRecord(reinterpret_cast<const unsigned char*>(contents.data()), contents.size(),
                          record)) {
        reportFailure();  // missing, short or unreadable: the game stays as it is
        return;
    }
    applySaveRecord(record);
    clearPromptLine(0);
    printPlain("ロードが完了しました");
}
