#include "console/console.hpp"
#include "console/screen.hpp"
#include "endings/endings.hpp"

namespace {

// Drawn first on every page; the lines below may cover them.
constexpr PlacedText kHeading[] = {
    {24, 8, "Congratulation !!"},
    {16, 10, "ステージクリア おめでとうございます !!"},
};

// The next stage is open: the heading again one column further left, and the story, covering
// the first heading.
constexpr PlacedText kUnlocked[] = {
    {8, 6, "Congratulation !!"},
    {8, 8, "ステージクリア おめでとうございます !!"},
    {8, 10, "支配していた魔物が隠し持っていた秘蔵の書を発見しました。"},
    {8, 12, "--あなたが触った瞬間、書物にかけられた封印が解かれた！--"},
    {8, 14, "秘蔵の書には新たな土地への移動ルートが書かれていました。"},
    {8, 16, "これで新たなステージに挑戦する事ができます。"},
    {8, 18, "ぜひ次のステージも挑戦してくださいね。"},
};

// The level is too low for the next stage (or it was open already): the find, over the
// heading's second line.
constexpr PlacedText kStillLocked[] = {
    {8, 10, "支配していた魔物が隠し持っていた秘蔵の書を発見しました。"},
    {8, 12, "しかし、あなたのLVが足りず、秘蔵の書の封印を解くことが出来ない。"},
    {8, 14, "再びステージに挑戦し、LVを上げましょう。"},
};

constexpr PlacedText kAlreadyCleared[] = {
    {16, 20, "このエリアは既にクリアしています。"},
};

constexpr PlacedText kFirstClear[] = {
    {8, 30, "ショップの品揃えが増えたとの連絡が来ました。"},
    {8, 32, "次のステージに進む場合、敵が強くなる事が予想されます。"},
    {8, 34, "来たる時に備え、しっかり準備してから進みましょう。"},
};

}  // namespace

// Each flag counts when it is 1.
void stageClearScreen(int newStageUnlocked, int alreadyCleared, int firstClear) {
    const bool unlocked = newStageUnlocked == 1;
    const bool clearedBefore = alreadyCleared == 1;
    const bool first = firstClear == 1;
    clearScreen();
    drawFrame();
    printPlaced(kHeading);
    printPlaced(unlocked ? std::span<const PlacedText>(kUnlocked) : kStillLocked);
    if (clearedBefore) {
        printPlaced(kAlreadyCleared);
    }
    if (first) {
        printPlaced(kFirstClear);
    }
}
