// The Windows program's state: the one emulated board, the text buffers the
// window and the file dialogs share, and the window system objects made at
// start-up. Everything lives from start-up to exit and is never freed.
#pragma once

#include <cstddef>
#include <string>

#include <windows.h>

#include "board/board.h"

constexpr const char* kProgramName = "Tarvo Emulator";        // message captions
constexpr const wchar_t* kProgramNameWide = L"Tarvo Emulator";  // window class and title

constexpr std::size_t kWindowTitleCapacity = 512;
constexpr std::size_t kFilePathCapacity = 512;
constexpr std::size_t kFileTitleCapacity = 256;
constexpr std::size_t kModulePathCapacity = 512;
constexpr std::size_t kDriveCapacity = 3;        // "C:" and the terminator
constexpr std::size_t kDirectoryCapacity = 256;  // up to the last backslash, with the terminator

// The board the window shows; zero at start-up like the real board's RAM.
extern Board AppBoard;

// The window's texts are UTF-16 and go through the wide calls, so that a file
// name in any script shows as it is; the file code takes paths as UTF-8.
extern wchar_t WindowTitleBuffer[kWindowTitleCapacity];
// Shared by all four file dialogs: the last path chosen, and its file name
// alone ("Untitled" until the first dialog succeeds).
extern wchar_t FilePathBuffer[kFilePathCapacity];
extern wchar_t FileTitleBuffer[kFileTitleCapacity];

// The folder of the program file in UTF-8, drive and directory with its
// trailing backslash; empty when it could not be taken apart. The monitor ROM
// lies in its "tarvo" subfolder.
extern std::string ProgramFolder;

// What the main window makes and lays out; each panel keeps its own drawing
// objects in its file.
struct WindowObjects {
    HINSTANCE instance;
    HWND mainWindow;
    HWND displayWindow;    // null when it could not be made
    HWND keypadWindow;     // null when it could not be made
    HBITMAP keypadBitmap;  // null when the resource is missing
};

extern WindowObjects AppWindows;
