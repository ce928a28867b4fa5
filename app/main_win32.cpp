// The program's entry and its message loop, which is also the emulation's
// only clock: whenever no message is waiting, one idle pass of the board runs.
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include <windows.h>

#include "app/app_state_win32.h"
#include "app/main_window_win32.h"
#include "board/idle_pass.h"
#include "res/resource_ids.h"

namespace {

// Splits the program file's path into drive and directory (trailing backslash
// kept) into ProgramFolder. A directory too long for its 256 characters
// leaves ProgramFolder empty: the monitor ROM then counts as not found.
void KeepProgramFolder(const char* modulePath) {
    ProgramFolder[0] = '\0';
    const char* lastSeparator = std::strrchr(modulePath, '\\');
    const char* lastSlash = std::strrchr(modulePath, '/');
    if (lastSlash != nullptr && (lastSeparator == nullptr || lastSlash > lastSeparator)) lastSeparator = lastSlash;
    if (lastSeparator == nullptr) return;
    const char* directoryStart = modulePath[0] != '\0' && modulePath[1] == ':' ? modulePath + 2 : modulePath;
    if (lastSeparator < directoryStart) return;
    const std::size_t directoryLength = static_cast<std::size_t>(lastSeparator - directoryStart) + 1;
    if (directoryLength >= kDirectoryCapacity) return;  // checked here, so the splitter never has to refuse

    char drive[kDriveCapacity] = {};
    char directory[kDirectoryCapacity] = {};
    if (_splitpath_s(modulePath, drive, sizeof drive, directory, sizeof directory, nullptr, 0, nullptr, 0) != 0) {
        return;
    }
    std::snprintf(ProgramFolder, sizeof ProgramFolder, "%s%s", drive, directory);
}

}  // namespace

int RunMessageLoop(HWND mainWindow, HACCEL accelerators) {
    MSG message;
    for (;;) {
        if (!PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            RunIdlePass(AppBoard);
            continue;
        }
        if (message.message == WM_QUIT) return static_cast<int>(message.wParam);
        // Kept on purpose: the board is worked with the mouse, typed characters reach no window while it runs.
        if (message.message == WM_CHAR && AppBoard.run.running) continue;
        if (!TranslateAcceleratorA(mainWindow, accelerators, &message)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
    }
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int showCommand) {
    char modulePath[kModulePathCapacity] = {};
    const DWORD pathLength = GetModuleFileNameA(nullptr, modulePath, static_cast<DWORD>(sizeof modulePath));
    if (pathLength == 0) return -1;
    // A path cut off at the buffer's end names no real folder.
    if (pathLength < sizeof modulePath) KeepProgramFolder(modulePath);

    std::memset(FilePathBuffer, 0, sizeof FilePathBuffer);
    std::memset(FileTitleBuffer, 0, sizeof FileTitleBuffer);
    std::snprintf(FileTitleBuffer, sizeof FileTitleBuffer, "%s", "Untitled");
    std::memset(WindowTitleBuffer, 0, sizeof WindowTitleBuffer);
    std::snprintf(WindowTitleBuffer, sizeof WindowTitleBuffer, "%s 1.01", kProgramName);

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
