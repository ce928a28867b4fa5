#include "app/main_window_win32.h"

#include <cstdint>

#include "app/app_state_win32.h"
#include "board/board.h"
#include "board/display_panel_win32.h"
#include "board/keypad_panel_win32.h"
#include "board/panel_layout.h"
#include "files/address_range_dialog_win32.h"
#include "files/address_text.h"
#include "files/file_commands_win32.h"
#include "files/monitor_rom.h"
#include "res/resource_ids.h"

namespace {

constexpr DWORD kMainWindowStyle = WS_OVERLAPPEDWINDOW | WS_VISIBLE;
constexpr int kMainWindowWidth = 540;
constexpr int kMainWindowHeight = 740;
constexpr int kAddressTextCapacity = 128;

constexpr char kAboutText[] =
    "Tarvo emulator - Version 1.01\n"
    "(c) 2026 the tarvosim authors\n"
    "\n"
    "This program is free to use.\n"
    "\n"
    "This program is provided \"as is\", without warranty of any kind, express or implied, including but not "
    "limited to the warranties of merchantability and fitness for a particular purpose. In no event shall the "
    "authors be liable for any claim, damages or other liability arising from the use of this program.";

void ShowError(const char* text) { MessageBoxA(AppWindows.mainWindow, text, kProgramName, MB_ICONERROR | MB_OK); }

void BuildMenu(HWND window) {
    HMENU bar = CreateMenu();
    HMENU file = CreatePopupMenu();
    HMENU help = CreatePopupMenu();
    AppendMenuA(file, MF_STRING, IDM_OPEN_HEX_FILE, "Open &hex file");
    AppendMenuA(file, MF_STRING, IDM_OPEN_BINARY_FILE, "Open &binary file");
    AppendMenuA(file, MF_STRING, IDM_SAVE_HEX_FILE, "Save hex f&ile");
    AppendMenuA(file, MF_STRING, IDM_SAVE_BINARY_FILE, "Save bina&ry file");
    AppendMenuA(file, MF_STRING, IDM_EXIT, "E&xit");
    AppendMenuA(help, MF_STRING, IDM_ABOUT, "&About");
    AppendMenuA(bar, MF_STRING | MF_POPUP, reinterpret_cast<UINT_PTR>(file), "&File");
    AppendMenuA(bar, MF_STRING | MF_POPUP, reinterpret_cast<UINT_PTR>(help), "&Help");
    SetMenu(window, bar);
}

// The board's hooks into the window: port writes repaint the display, the
// tape keys run the hex file commands as the menu does.
void RepaintDisplayHook(void*) { RequestDisplayRepaint(AppWindows.displayWindow); }

void TapeCommandHook(void*, TapeCommand command) {
    const WPARAM id = command == TapeCommand::OpenHexFile ? IDM_OPEN_HEX_FILE : IDM_SAVE_HEX_FILE;
    SendMessageA(AppWindows.mainWindow, WM_COMMAND, id, 0);
}

void LoadMonitor() {
    if (ProgramFolder.empty() || !LoadMonitorRom(ProgramFolder.c_str(), '\\', AppBoard.memory)) {
        ShowError("There was an error opening the Tarvo files!");
    }
}

// WM_CREATE: the menu, the panels and the pictures, then the board in its
// start order. Without a display the board is never started.
void OnCreate(HWND window) {
    BuildMenu(window);
    AppWindows.displayWindow = CreateDisplayPanel(window, AppWindows.instance, AppBoard, kProgramName);
    if (AppWindows.displayWindow == nullptr) return;
    AppWindows.keypadWindow = CreateKeypadPanel(window, AppWindows.instance, AppBoard);
    if (AppWindows.keypadWindow == nullptr) ShowError("Could not create edit control!");
    AppWindows.keypadBitmap = LoadBitmapA(AppWindows.instance, MAKEINTRESOURCEA(IDB_KEYPAD));
    SetKeypadPicture(AppWindows.keypadBitmap);
    if (AppWindows.keypadWindow != nullptr) InvalidateRect(AppWindows.keypadWindow, nullptr, TRUE);
    AppBoard.hooks = BoardHooks{nullptr, &RepaintDisplayHook, &TapeCommandHook};
    SetUpBoard(AppBoard);
    LoadMonitor();
    StartBoard(AppBoard);
}

// The file dialogs' shared buffers and the window title a load sets.
FileDialogBuffers FileBuffers() {
    return FileDialogBuffers{FilePathBuffer,    kFilePathCapacity,    FileTitleBuffer, kFileTitleCapacity,
                             WindowTitleBuffer, kWindowTitleCapacity, kProgramNameWide};
}

// Asks for From and To, then runs the command's file operation unless To is 0
// (which is also what Cancel leaves).
template <typename FileOperation>
void RunRangeCommand(const char* caption, FileOperation operation, const char* errorText) {
    char fromText[kAddressTextCapacity] = {};
    char toText[kAddressTextCapacity] = {};
    int checkState = 0;
    // The check box without a label is kept on purpose (docs/on-purpose.md).
    AskAddressRange(AppWindows.mainWindow, caption, "From (Hex address)", fromText, kAddressTextCapacity,
                    "To (Hex address)", toText, kAddressTextCapacity, "", &checkState);
    const std::uint32_t from = AddressFromText(fromText);
    const std::uint32_t to = AddressFromText(toText);
    if (to == 0) return;
    if (operation(AppWindows.mainWindow, FileBuffers(), AppBoard.memory, from, to) < 0) ShowError(errorText);
}

void OnCommand(unsigned id) {
    switch (id) {
        case IDM_OPEN_HEX_FILE:
            if (OpenHexFile(AppWindows.mainWindow, FileBuffers(), AppBoard.memory) < 0) {
                ShowError("There was an error opening the file!");
            }
            break;
        case IDM_SAVE_HEX_FILE:
            RunRangeCommand("Save mem as Intel Hex", &SaveHexFile, "There was an error saving the file!");
            break;
        case IDM_OPEN_BINARY_FILE:
            RunRangeCommand("Read binary file", &OpenBinaryFile, "There was an error opening the file!");
            break;
        case IDM_SAVE_BINARY_FILE:
            // "binay" is kept on purpose: the caption stands as users know it.
            RunRangeCommand("Save mem as binay file", &SaveBinaryFile, "There was an error saving the file!");
            break;
        case IDM_EXIT: PostQuitMessage(0); break;
        case IDM_ABOUT: MessageBoxA(AppWindows.mainWindow, kAboutText, "About", MB_OK); break;
        default: break;  // Ctrl+A, Ctrl+F (kept on purpose) and anything else: nothing
    }
}

// The read-only keypad EDIT asks for its colours here.
LRESULT OnCtlColorStatic(HDC dc) {
    SetBkColor(dc, RGB(255, 255, 255));
    return reinterpret_cast<LRESULT>(GetStockObject(WHITE_BRUSH));
}

}  // namespace

void ShowStartupError(const char* text) { MessageBoxA(nullptr, text, kProgramName, MB_ICONERROR | MB_OK); }

bool RegisterMainWindowClass(HINSTANCE instance) {
    // A Unicode window, so that its title can show a file name in any script.
    WNDCLASSEXW windowClass = {};
    windowClass.cbSize = sizeof windowClass;
    windowClass.style = CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS | CS_OWNDC;
    windowClass.lpfnWndProc = &MainWindowProc;
    windowClass.hInstance = instance;
    windowClass.hIcon = LoadIconA(nullptr, IDI_APPLICATION);
    windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    windowClass.hbrBackground = CreateSolidBrush(RGB(192, 192, 192));
    windowClass.lpszClassName = kProgramNameWide;
    return RegisterClassExW(&windowClass) != 0;
}

HWND CreateMainWindow(HINSTANCE instance) {
    return CreateWindowExW(WS_EX_CONTROLPARENT, kProgramNameWide, WindowTitleBuffer, kMainWindowStyle, CW_USEDEFAULT,
                           CW_USEDEFAULT, kMainWindowWidth, kMainWindowHeight, nullptr, nullptr, instance, nullptr);
}

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    AppWindows.mainWindow = window;
    switch (message) {
        case WM_CREATE: OnCreate(window); break;
        case WM_SIZE: LayoutChildWindows(); break;
        case WM_COMMAND: OnCommand(LOWORD(wParam)); break;
        case WM_CLOSE: PostQuitMessage(0); break;  // and the default handling destroys the window
        case WM_DESTROY: PostQuitMessage(0); break;
        case WM_CTLCOLORSTATIC: return OnCtlColorStatic(reinterpret_cast<HDC>(wParam));
        default: break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

void LayoutChildWindows() {
    RECT client;
    if (!GetClientRect(AppWindows.mainWindow, &client)) return;
    const PanelLayout layout = LayoutPanels(client.right - client.left, client.bottom - client.top);
    if (AppWindows.displayWindow != nullptr) {
        const PanelRect& r = layout.display;
        MoveWindow(AppWindows.displayWindow, client.left + r.x, client.top + r.y, r.width, r.height, TRUE);
    }
    if (AppWindows.keypadWindow != nullptr) {
        const PanelRect& r = layout.keypad;
        MoveWindow(AppWindows.keypadWindow, client.left + r.x, client.top + r.y, r.width, r.height, TRUE);
    }
}
