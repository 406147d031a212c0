#pragma once
// Die faces (5 rows x 10 columns) and playing cards (9 rows x 14 columns).

// Draws the face 1 to 6 with its top-left corner at (column, row); returns the face.
int drawDieFace(int column, int row, int face);
// Draws the card (suit 0 to 3, value 1 to 13) with its top-left corner at (column, row).
void drawCard(int column, int row, int suit, int value);
