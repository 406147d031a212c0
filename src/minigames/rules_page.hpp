#pragma once
// The rules page every mini-game opens with: a framed page of texts at fixed positions.
#include <span>

#include "console/screen.hpp"

// Clears the screen, draws the frame, prints the heading every game shares and then each line
// at its position (no newlines), and waits for a key at (1,40).
void showRulesPage(std::span<const PlacedText> lines);
