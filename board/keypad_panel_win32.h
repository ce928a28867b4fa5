// The keypad panel: the keypad picture in the lower part of the main window;
// a left or right button press on a key presses it on the board.
#pragma once

#include <windows.h>

struct Board;

// Makes the panel, a read-only multi-line EDIT child of parent whose painting
// and button presses are replaced, and shows it; its presses go to board.
// Null when it cannot be made.
HWND CreateKeypadPanel(HWND parent, HINSTANCE instance, Board& board);

// The picture the panel draws, which the main window loads after making the
// panel; null draws nothing.
void SetKeypadPicture(HBITMAP picture);
