#include "console/console.hpp"
#include "console/screen.hpp"
#include "frontend/frontend.hpp"

namespace {

constexpr PlacedText kCreditPages[2][2] = {
    {{16, 20, "Presents  by"}, {24, 21, "Pervaro team"}},
    {{16, 20, "sub program presents by :"}, {24, 21, "Pervaro team"}},
};

constexpr PlacedText kTitleLines[] = {
    {24, 5, "◆ ペルヴァロ ◆"},
    {16, 13, "Welcome  !!   ようこそ !!"},
    {16, 15, "ペルヴァロへ！！"},
    {12, 20, "+--------+          +--------+          +--------+"},
    {12, 21, "|        |          |●      |          |●    ●|"},
    {12, 22, "|   ●   |          |   ●   |          |   ●   |"},
    {12, 23, "|        |          |      ●|          |●    ●|"},
    {12, 24, "+--------+          +--------+          +--------+"},
    {8, 30, "～メニュー～"},
    {8, 32, "1.  ゲームをはじめる"},
    {8, 34, "0.  ゲームを終了する"},
};

constexpr PlacedText kClosingLines[] = {
    {20, 20, "ペルヴァロ  制作 : Pervaro team"},
    {20, 23, "制作開始日 : 2026-12-06"},
    {20, 25, "最終更新日 : 2026-12-06"},
};

}  // namespace

void showStartupHint() {
    printPlain(
        "<< ゲームを始める前に画面を最大にしましょう。 >>\n"
        "<< いずれかのキーを押すとゲームをスタートします >>");
    waitKey();
}

void showCreditPages() {
    for (const auto& page : kCreditPages) {
        clearScreen();
        printPlaced(page);
        sleepMs(3000);
    }
}

int titleMenu() {
    clearScreen();
    drawFrame();
    printPlaced(kTitleLines);
    return promptNumberFrom(40, "  メニューから数字を選び入力してください  >>  ", {0, 1});
}

void showClosingLines() {
    clearScreen();
    printPlaced(kClosingLines);
    waitKeyAt(1, 40);
}
