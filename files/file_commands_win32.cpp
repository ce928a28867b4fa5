#include "files/file_commands_win32.h"

#include <cstring>
#include <cwchar>
#include <string>

#include <commdlg.h>

#include "files/binary_file.h"
#include "files/hex_file.h"
#include "files/utf8_path_win32.h"

namespace {

// The Unicode dialogs: a name in any script comes back as it is, where the
// ANSI ones turn what the code page lacks into '?'.
constexpr wchar_t kHexFilter[] = L"Text Documents\0*.hex\0All Files (*.*)\0*.*\0";
constexpr wchar_t kBinaryFilter[] = L"Binary files\0*.bin\0All Files (*.*)\0*.*\0";

enum class FileDialog { Open, Save };

// 1 the file was chosen (its path is in buffers.path, its name in
// buffers.fileName), 0 the user cancelled, -1 the dialog failed.
int ChooseFile(HWND owner, const FileDialogBuffers& buffers, FileDialog kind, const wchar_t* filter,
               const wchar_t* defaultExtension) {
    OPENFILENAMEW dialog;
    std::memset(&dialog, 0, sizeof dialog);
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = owner;
    dialog.lpstrFilter = filter;
    dialog.nFilterIndex = 1;
    dialog.lpstrFile = buffers.path;
    dialog.nMaxFile = static_cast<DWORD>(buffers.pathCapacity);
    dialog.lpstrFileTitle = buffers.fileName;
    dialog.nMaxFileTitle = static_cast<DWORD>(buffers.fileNameCapacity);
    dialog.lpstrDefExt = defaultExtension;
    dialog.Flags = OFN_PATHMUSTEXIST | OFN_CREATEPROMPT | OFN_NOREADONLYRETURN;
    if (kind == FileDialog::Save) dialog.Flags |= OFN_OVERWRITEPROMPT;
    const BOOL chosen = kind == FileDialog::Open ? GetOpenFileNameW(&dialog) : GetSaveFileNameW(&dialog);
    if (chosen) return 1;
    return CommDlgExtendedError() == 0 ? 0 : -1;
}

// "prog.hex - Tarvo Emulator" after a successful load.
void ShowLoadedFileInTitle(HWND mainWindow, const FileDialogBuffers& buffers) {
    std::wmemset(buffers.windowTitle, 0, buffers.windowTitleCapacity);
    std::swprintf(buffers.windowTitle, buffers.windowTitleCapacity, L"%ls - %ls", buffers.fileName,
                  buffers.programName);
    SendMessageW(mainWindow, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(buffers.windowTitle));
}

// The chosen path as the file code takes it.
std::string ChosenPath(const FileDialogBuffers& buffers) { return Utf8Path(buffers.path); }

}  // namespace

int OpenHexFile(HWND mainWindow, const FileDialogBuffers& buffers, BoardMemory& memory) {
    const int chosen = ChooseFile(mainWindow, buffers, FileDialog::Open, kHexFilter, L"hex");
    if (chosen <= 0) return chosen == 0 ? 1 : -1;
    if (ReadHexFile(ChosenPath(buffers).c_str(), memory) < 0) return -2;
    ShowLoadedFileInTitle(mainWindow, buffers);
    return 0;
}

int SaveHexFile(HWND mainWindow, const FileDialogBuffers& buffers, const BoardMemory& memory, std::uint32_t from,
                std::uint32_t to) {
    const int chosen = ChooseFile(mainWindow, buffers, FileDialog::Save, kHexFilter, L"hex");
    if (chosen <= 0) return chosen == 0 ? 1 : -1;
    return WriteHexFile(ChosenPath(buffers).c_str(), memory, from, to);
}

int OpenBinaryFile(HWND mainWindow, const FileDialogBuffers& buffers, BoardMemory& memory, std::uint32_t from,
                   std::uint32_t to) {
    const int chosen = ChooseFile(mainWindow, buffers, FileDialog::Open, kBinaryFilter, L"bin");
    if (chosen <= 0) return chosen == 0 ? 1 : -1;
    if (ReadBinaryFile(ChosenPath(buffers).c_str(), memory, from, to) < 0) return -2;
    ShowLoadedFileInTitle(mainWindow, buffers);
    return 0;
}

int SaveBinaryFile(HWND mainWindow, const FileDialogBuffers& buffers, const BoardMemory& memory, std::uint32_t from,
                   std::uint32_t to) {
    const int chosen = ChooseFile(mainWindow, buffers, FileDialog::Save, kBinaryFilter, L"bin");
    if (chosen <= 0) return chosen == 0 ? 1 : -1;
    return WriteBinaryFile(ChosenPath(buffers).c_str(), memory, from, to);
}
