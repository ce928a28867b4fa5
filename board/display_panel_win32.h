// The display panel: the board picture with the six digits drawn into its
// display window, in the upper part of the main window.
#pragma once

#include <windows.h>

// Makes the two segment brushes, the panel (a STATIC child of parent whose
// painting is replaced) and loads the board picture. On failure it tells the
// user itself and gives null.
HWND CreateDisplayPanel(HWND parent, HINSTANCE instance);

// Marks the whole panel for repainting. Requests merge into one paint.
void RequestDisplayRepaint();
