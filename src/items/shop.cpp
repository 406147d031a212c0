#include "console/console.hpp"
#include "console/screen.hpp"
#include "items/items.hpp"
#include "state/player_state.hpp"

namespace {

const char* const kNoMoneyLines[] = {
    "あら？・・・お客さん、お金持っていないんじゃない？",
    "うふふ。私、商売柄、ひやかし客とそうでない客を沢山みてきたから",
    "文無し客は、ちゃ～んと分かっちゃうの。",
    "ごめんなさいね、こっちも商売だから・・・さ帰ってくれるかしら？",
    "・・・門前払いされてしまった・・・",
    "今度はちゃんとお金を持ってこよう!",
};

const char* const kStoryLines[] = {
    "えっと、今の品揃えはこんなトコロね。。",
    "お店をやってる私が言うのもなんだけど・・・",
    "ウチで扱ってる商品、種類も数も、少なくて、申し訳ないと思ってるの。",
    "私もおじいちゃんから聞いたんだけどね、昔はもっと色んな商品を",
    "取り扱ってたみたいなの。でも、魔物達の支配が始まってから、交易路が",
    "どんどん減っちゃって、他の土地との交易ができなくなったの。",
    "今ではこの土地で何とか作れるものを販売してるんだけどね。。",
    "あなたが、頑張って魔物から交易路を取り戻してくれたら、",
    "きっと、もっと色んな商品を扱えるようになると思うの。",
    "だから、私、あなたの事、蔭ながら応援してるわ。がんばってね。",
};

// The highest stage unlocked from which each item is on sale, by item index.
constexpr int kStockThreshold[kItemCount] = {2, 2, 3, 4, 5, 1, 3, 4, 5, 1, 3};
// The story is told while the highest stage unlocked is below this.
constexpr int kStoryBeforeStage = 4;

bool isOffered(int index) {
    const int highest = player.highestStage;
    if (highest < 1 || highest > kStageCount || kStockThreshold[index] > highest) {
        return false;
    }
    const ItemRecord& item = itemTable[index];
    if (index == 0) {
        return item.count == 0 && player.cardMove == 0;
    }
    if (index < kFirstUsableItem) {
        return item.count == 0;
    }
    return item.count < kUsableItemLimit;
}

void printLines(const char* const* lines, int count, int firstRow) {
    for (int i = 0; i < count; ++i) {
        moveCursor(8, firstRow + 2 * i);
        printPlain(lines[i]);
    }
}

// Greeting, the no-money dialogue and the story; false when the player is turned away.
bool greetCustomer() {
    clearScreen();
    moveCursor(8, 5);
    printPlain("ショップ店主");
    moveCursor(8, 7);
    printPlain("『いらっしゃいませー！！』");
    waitKey();
    if (player.coin <= 0) {
        printLines(kNoMoneyLines, 6, 10);
        return false;
    }
    if (player.highestStage < kStoryBeforeStage) {
        printLines(kStoryLines, 10, 11);
        waitKeyAt(1, 40);
    }
    return true;
}

// Draws the shop page and numbers the offered items; returns how many are offered.
int drawShopPage() {
    clearScreen();
    drawFrame();
    moveCursor(8, 3);
    printPlain("番号");
    moveCursor(16, 3);
    printPlain("商品名");
    moveCursor(40, 3);
    printPlain("価格");
    moveCursor(48, 3);
    printPlain("所持数");
    int offered = 0;
    for (int index = 0; index < kItemCount; ++index) {
        if (!isOffered(index)) {
            continue;
        }
        ItemRecord& item = itemTable[index];
        ++offered;
        item.listNumber = offered;
        printItemRow(offered, item, true, index >= kFirstUsableItem);
    }
    if (offered == 0) {
        moveCursor(8, 10);
        printPlain("店主");
        moveCursor(8, 12);
        printPlain("『ごめんなさい。。今、あなたに売れる商品はないの。。。』");
    } else {
        moveCursor(8, 33);
        printPlain("-1. 商品の説明をみる");
    }
    moveCursor(8, 34);
    printPlain(" 0. 戻る");
    moveCursor(8, 37);
    printStatusLine();
    return offered;
}

void sellItem(int index, int& refusalCount) {
    ItemRecord& item = itemTable[index];
    if (item.price > player.coin) {
        // Every fourth refusal of a visit the shop-keeper loses patience.
        if (refusalCount == 3) {
            printPlain("・・・ねぇ、あなた、わざとやってないかしら？・・・");
            refusalCount = 0;
        } else {
            printPlain("お金が足りないわ。ちゃんとお金を払える商品を選んで下さいね。");
            ++refusalCount;
        }
        waitKey();
        clearPromptLine(0);
        return;
    }
    printPlain("お買い上げ、ありがとうございます。");
    waitKey();
    clearPromptLine(0);
    if (item.effectKind == CardMoveUnlock) {
        player.cardMove = 1;
    } else if (item.effectKind == MaxLifeUp) {
        ++player.maxLifeUnits;
    }
    ++item.count;
    player.coin -= item.price;
}

// All eleven items with their descriptions, five to a page.
void showDescriptions() {
    constexpr int kPerPage = 5;
    for (int index = 0; index < kItemCount; ++index) {
        const int k = index % kPerPage;
        if (k == 0) {
            clearScreen();
        }
        const ItemRecord& item = itemTable[index];
        moveCursor(8, 4 * k + 4);
        printPlain(item.name);
        moveCursor(8, 4 * k + 5);
        printPlain(itemDescriptions[item.effectKind]);
        if (k == kPerPage - 1 || index == kItemCount - 1) {
            waitKeyAt(1, 40);
        }
    }
}

}  // namespace

int shopScreen() {
    if (!greetCustomer()) {
        return 0;
    }
    int refusalCount = 0;
    for (;;) {
        resetListNumbers();
        const int offered = drawShopPage();
        const int choice =
            promptNumberInRange(40, "どれをお買い上げいただけますか？  > ", -1, offered);
        if (choice == 0) {
            break;
        }
        if (choice == -1) {
            resetListNumbers();  // the description pages show no list
            showDescriptions();
        } else {
            clearPromptLine(0);
            sellItem(itemWithListNumber(choice), refusalCount);
        }
    }
    resetListNumbers();
    clearScreen();
    moveCursor(24, 20);
    printPlain("ありがとうございました～。");
    moveCursor(1, 40);
    return 0;
}
