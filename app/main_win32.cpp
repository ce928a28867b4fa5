// The program's entry and its message loop, which is also the emulation's
// only clock: whenever no message is waiting, one idle pass of the board runs.
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <string>

#include <windows.h>

#include "app/app_state_win32.h"
#include "app/main_window_win32.h"
#include "board/idle_pass.h"
#include "files/utf8_path_win32.h"
#include "res/resource_ids.h"

namespace {

// Splits the program file's path into drive and directory (trailing backslash
// kept) and keeps them in ProgramFolder as UTF-8. A directory too long for its
// 256 characters leaves ProgramFolder empty: the monitor ROM then counts as
// not found.
void KeepProgramFolder(const wchar_t* modulePath) {
    ProgramFolder.clear();
    const wchar_t* lastSeparator = std::wcsrchr(modulePath, L'\\');
    const wchar_t* lastSlash = std::wcsrchr(modulePath, L'/');
    if (lastSlash != nullptr && (lastSeparator == nullptr || lastSlash > lastSeparator)) lastSeparator = lastSlash;
    if (lastSeparator == nullptr) return;
    const wchar_t* directoryStart = modulePath[0] != L'\0' && modulePath[1] == L':' ? modulePath + 2 : modulePath;
    if (lastSeparator < directoryStart) return;
    const std::size_t directoryLength = static_cast<std::size_t>(lastSeparator - directoryStart) + 1;
    if (directoryLength >= kDirectoryCapacity) return;  // checked here, so the splitter never has to refuse

    wchar_t drive[kDriveCapacity] = {};
    wchar_t directory[kDirectoryCapacity] = {};
    if (_wsplitpath_s(modulePath, drive, kDriveCapacity, directory, kDirectoryCapacity, nullptr, 0, nullptr, 0) != 0) {
        return;
    }
    ProgramFolder = Utf8Path((std::wstring(drive) + directory).c_str());
}

}  // namespace

int RunMessageLoop(HWND mainWindow, HACCEL accelerators) {
    MSG message;
    for (;;) {
        if (!PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            RunIdlePass(AppBoard);
            continue;
        }
        if (message.message == WM_QUIT) return static_cast<int>(message.wParam);
        // Kept on purpose: the board is worked with the mouse, typed characters reach no window while it runs.
        if (message.message == WM_CHAR && AppBoard.run.running) continue;
        if (!TranslateAcceleratorW(mainWindow, accelerators, &message)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int showCommand) {
    wchar_t modulePath[kModulePathCapacity] = {};
    const DWORD pathLength = GetModuleFileNameW(nullptr, modulePath, static_cast<DWORD>(kModulePathCapacity));
    if (pathLength == 0) return -1;
    // A path cut off at the buffer's end names no real folder.
    if (pathLength < kModulePathCapacity) KeepProgramFolder(modulePath);

    std::memset(FilePathBuffer, 0, sizeof FilePathBuffer);
    std::memset(FileTitleBuffer, 0, sizeof FileTitleBuffer);
    std::swprintf(FileTitleBuffer, kFileTitleCapacity, L"%ls", L"Untitled");
    std::memset(WindowTitleBuffer, 0, sizeof WindowTitleBuffer);
    std::swprintf(WindowTitleBuffer, kWindowTitleCapacity, L"%ls 1.01", kProgramNameWide);

    AppWindows.instance = instance;
    if (!RegisterMainWindowClass(instance)) {
        ShowStartupError("Could not register main window class!");
        return 0;
    }
    HWND mainWindow = CreateMainWindow(instance);
    if (mainWindow == nullptr) {
        ShowStartupError("Could not create window!");
        return 0;
    }
    ShowWindow(mainWindow, showCommand);
    SetForegroundWindow(mainWindow);
    HACCEL accelerators = LoadAcceleratorsA(instance, MAKEINTRESOURCEA(IDA_MAIN));
    if (accelerators == nullptr) {
        ShowStartupError("Failed to load accelerator table!");
        return 0;
    }
    return RunMessageLoop(mainWindow, accelerators);
}
