// Where the window puts its two panels and how it reads a press on the keypad
// picture. Plain arithmetic on client sizes, so that it can be checked without
// a window system.
#pragma once

struct PanelRect {
    int x, y, width, height;
};

struct PanelLayout {
    PanelRect display;  // the upper two thirds
    PanelRect keypad;   // the third below it
};

// The display takes 2 * (height / 3) rows from the top, the keypad the next
// height / 3 rows; both span the full width. The 0 to 2 rows left at the
// bottom belong to neither.
PanelLayout LayoutPanels(int clientWidth, int clientHeight);

// The part of a display panel of the given client size that shows the board
// picture's display window (x 16 to 298, y 405 to 473 of 540 by 498, where all
// the digits lie) once the picture is stretched over the panel, with two
// pixels to spare on every side for the rounding of the stretch. Repainting
// this part is enough when only the digits have changed.
PanelRect DisplayWindowOnPanel(int clientWidth, int clientHeight);

// The keypad grid cell under a point of the keypad panel's client area, whose
// 9 by 4 cells are clientWidth / 9 by clientHeight / 4 pixels (truncated).
// Row and column are truncated towards zero, so a point in the strip right of
// or below the last whole cell gives column 9 or row 4, which PressKey
// ignores. false: the panel is narrower than 9 or lower than 4 pixels, so it
// has no cells, and the press does nothing.
bool KeypadCellAt(int x, int y, int clientWidth, int clientHeight, int& gridRow, int& gridColumn);
