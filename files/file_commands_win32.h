// The four memory-file commands with their Open and Save dialogs. Results:
// 0 (or, for a binary save, the number of bytes) done; 1 the user cancelled
// the file dialog; -1 the dialog failed or the file cannot be created; -2 a
// bad range, or a load that cannot open or read its file. The caller turns a
// negative result into a message. A successful load puts the file's name in
// the window title; a save never changes it.
#pragma once

#include <cstddef>
#include <cstdint>

#include <windows.h>

#include "cpu/memory_bus.h"

// The texts the commands share with the window, owned by the caller and kept
// from one command to the next. Capacities count characters.
struct FileDialogBuffers {
    wchar_t* path;  // the last path chosen: every dialog starts from it
    std::size_t pathCapacity;
    wchar_t* fileName;  // that path's file name alone
    std::size_t fileNameCapacity;
    wchar_t* windowTitle;  // "FILE NAME - programName" after a load
    std::size_t windowTitleCapacity;
    const wchar_t* programName;
};

int OpenHexFile(HWND mainWindow, const FileDialogBuffers& buffers, BoardMemory& memory);
int SaveHexFile(HWND mainWindow, const FileDialogBuffers& buffers, const BoardMemory& memory, std::uint32_t from,
                std::uint32_t to);
int OpenBinaryFile(HWND mainWindow, const FileDialogBuffers& buffers, BoardMemory& memory, std::uint32_t from,
                   std::uint32_t to);
int SaveBinaryFile(HWND mainWindow, const FileDialogBuffers& buffers, const BoardMemory& memory, std::uint32_t from,
                   std::uint32_t to);
