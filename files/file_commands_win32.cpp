#include "files/file_commands_win32.h"

#include <cstdio>
#include <cstring>

#include <commdlg.h>

#include "app/app_state_win32.h"
#include "files/binary_file.h"
#include "files/hex_file.h"

namespace {

constexpr char kHexFilter[] = "Text Documents\0*.hex\0All Files (*.*)\0*.*\0";
constexpr char kBinaryFilter[] = "Binary files\0*.bin\0All Files (*.*)\0*.*\0";

enum class FileDialog { Open, Save };

// 1 the file was chosen (its path is in FilePathBuffer, its name in
// FileTitleBuffer), 0 the user cancelled, -1 the dialog failed.
int ChooseFile(HWND owner, FileDialog kind, const char* filter, const char* defaultExtension) {
    OPENFILENAMEA dialog;
    std::memset(&dialog, 0, sizeof dialog);
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = owner;
    dialog.lpstrFilter = filter;
    dialog.nFilterIndex = 1;
    dialog.lpstrFile = FilePathBuffer;
    dialog.nMaxFile = static_cast<DWORD>(sizeof FilePathBuffer);
    dialog.lpstrFileTitle = FileTitleBuffer;
    dialog.nMaxFileTitle = static_cast<DWORD>(sizeof FileTitleBuffer);
    dialog.lpstrDefExt = defaultExtension;
    dialog.Flags = OFN_PATHMUSTEXIST | OFN_CREATEPROMPT | OFN_NOREADONLYRETURN;
    if (kind == FileDialog::Save) dialog.Flags |= OFN_OVERWRITEPROMPT;
    const BOOL chosen = kind == FileDialog::Open ? GetOpenFileNameA(&dialog) : GetSaveFileNameA(&dialog);
    if (chosen) return 1;
    return CommDlgExtendedError() == 0 ? 0 : -1;
}

// "prog.hex - Tarvo Emulator" after a successful load.
void ShowLoadedFileInTitle(HWND mainWindow) {
    std::memset(WindowTitleBuffer, 0, sizeof WindowTitleBuffer);
    std::snprintf(WindowTitleBuffer, sizeof WindowTitleBuffer, "%s - %s", FileTitleBuffer, kProgramName);
    SendMessageA(mainWindow, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(WindowTitleBuffer));
}

}  // namespace

int OpenHexFile(HWND mainWindow) {
    const int chosen = ChooseFile(mainWindow, FileDialog::Open, kHexFilter, "hex");
    if (chosen <= 0) return chosen == 0 ? 1 : -1;
    if (ReadHexFile(FilePathBuffer, AppBoard.memory) < 0) return -2;
    ShowLoadedFileInTitle(mainWindow);
    return 0;
}

int SaveHexFile(HWND mainWindow, std::uint32_t from, std::uint32_t to) {
    const int chosen = ChooseFile(mainWindow, FileDialog::Save, kHexFilter, "hex");
    if (chosen <= 0) return chosen == 0 ? 1 : -1;
    return WriteHexFile(FilePathBuffer, AppBoard.memory, from, to);
}

int OpenBinaryFile(HWND mainWindow, std::uint32_t from, std::uint32_t to) {
    const int chosen = ChooseFile(mainWindow, FileDialog::Open, kBinaryFilter, "bin");
    if (chosen <= 0) return chosen == 0 ? 1 : -1;
    if (ReadBinaryFile(FilePathBuffer, AppBoard.memory, from, to) < 0) return -2;
    ShowLoadedFileInTitle(mainWindow);
    return 0;
}

int SaveBinaryFile(HWND mainWindow, std::uint32_t from, std::uint32_t to) {
    const int chosen = ChooseFile(mainWindow, FileDialog::Save, kBinaryFilter, "bin");
    if (chosen <= 0) return chosen == 0 ? 1 : -1;
    return WriteBinaryFile(FilePathBuffer, AppBoard.memory, from, to);
}
