#pragma once
// The four stage bosses and their pictures: ASCII art, every line as wide as its picture.

enum BossKind : int { BossGoblin = 0, BossWizard = 1, BossDemon = 2, BossElfQueen = 3 };

struct BossPicture {
    const char* const* lines;
    int rows;
    int columns;
};

const BossPicture& bossPicture(BossKind kind);
