// The main window: its class, creation (which builds and starts the board),
// menu, commands, About box and the layout of its two panels.
#pragma once

#include <windows.h>

// Start-up failures have no window to belong to.
void ShowStartupError(const char* text);

// The class "Tarvo Emulator". false when it cannot be registered.
bool RegisterMainWindowClass(HINSTANCE instance);

// The main window, 540 by 740, titled from WindowTitleBuffer; null on failure.
HWND CreateMainWindow(HINSTANCE instance);

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// The display over the upper two thirds of the client area, the keypad over
// the third below it.
void LayoutChildWindows();
