// The keypad panel: the keypad picture in the lower part of the main window;
// a left or right button press on a key presses it on the board.
#pragma once

#include <windows.h>

// Makes the panel, a read-only multi-line EDIT child of parent whose painting
// and button presses are replaced, and shows it. Null when it cannot be made.
// The picture is AppWindows.keypadBitmap, loaded by the main window.
HWND CreateKeypadPanel(HWND parent, HINSTANCE instance);
