// The Windows program's state: the one emulated board, the text buffers the
// window and the file dialogs share, and the window system objects made at
// start-up. Everything lives from start-up to exit and is never freed.
#pragma once

#include <cstddef>

#include <windows.h>

#include "board/board.h"

constexpr const char* kProgramName = "Tarvo Emulator";  // window class, title and message captions

constexpr std::size_t kWindowTitleCapacity = 512;
constexpr std::size_t kFilePathCapacity = 512;
constexpr std::size_t kFileTitleCapacity = 256;
constexpr std::size_t kModulePathCapacity = 512;
constexpr std::size_t kDriveCapacity = 3;        // "C:" and the terminator
constexpr std::size_t kDirectoryCapacity = 256;  // up to the last backslash, with the terminator

// The board the window shows; zero at start-up like the real board's RAM.
extern Board AppBoard;

extern char WindowTitleBuffer[kWindowTitleCapacity];
// Shared by all four file dialogs: the last path chosen, and its file name
// alone ("Untitled" until the first dialog succeeds).
extern char FilePathBuffer[kFilePathCapacity];
extern char FileTitleBuffer[kFileTitleCapacity];

// The folder of the program file, drive and directory with its trailing
// backslash; empty when it could not be taken apart. The monitor ROM lies in
// its "tarvo" subfolder.
extern char ProgramFolder[kDriveCapacity + kDirectoryCapacity];

struct WindowObjects {
    HINSTANCE instance;
    HWND mainWindow;
    HWND displayWindow;  // null when it could not be made
    HWND keypadWindow;   // null when it could not be made
    WNDPROC previousDisplayProc;
    WNDPROC previousKeypadProc;
    HBITMAP boardBitmap;   // null when the resource is missing
    HBITMAP keypadBitmap;  // null when the resource is missing
    HBRUSH unlitSegmentBrush;
    HBRUSH litSegmentBrush;
};

extern WindowObjects AppWindows;
