// The four memory-file commands with their Open and Save dialogs. Results:
// 0 (or, for a binary save, the number of bytes) done; 1 the user cancelled
// the file dialog; -1 the dialog failed or the file cannot be created; -2 a
// bad range, or a load that cannot open or read its file. The caller turns a
// negative result into a message. A successful load puts the file's name in
// the window title; a save never changes it.
#pragma once

#include <cstdint>

#include <windows.h>

int OpenHexFile(HWND mainWindow);
int SaveHexFile(HWND mainWindow, std::uint32_t from, std::uint32_t to);
int OpenBinaryFile(HWND mainWindow, std::uint32_t from, std::uint32_t to);
int SaveBinaryFile(HWND mainWindow, std::uint32_t from, std::uint32_t to);
