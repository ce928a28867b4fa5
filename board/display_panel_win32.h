// The display panel: the board picture with the six digits drawn into its
// display window, in the upper part of the main window.
#pragma once

#include <windows.h>

struct Board;

// Makes the two segment brushes, the panel (a STATIC child of parent whose
// painting is replaced) and loads the board picture; the panel draws the
// digits of board. On failure it tells the user itself, in a message box
// captioned programName, and gives null.
HWND CreateDisplayPanel(HWND parent, HINSTANCE instance, const Board& board, const char* programName);

// Marks the digits of panel (the one CreateDisplayPanel made, or null) for
// repainting. Requests merge into one paint.
void RequestDisplayRepaint(HWND panel);
