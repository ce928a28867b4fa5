#include "board/keypad_panel_win32.h"

#include "board/board.h"
#include "board/board_pictures.h"
#include "board/key_actions.h"
#include "board/panel_layout.h"

namespace {

// Set by CreateKeypadPanel and SetKeypadPicture, kept for the whole run.
struct KeypadPanelState {
    Board* board;
    WNDPROC previousProc;
    HBITMAP picture;  // the main window's; null when the resource is missing
};

KeypadPanelState panelState;

// The picture is drawn on every paint: after a dialog or another window has
// covered the panel, only the part it uncovered is repainted.
void PaintKeypadPanel(HWND window) {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    if (dc != nullptr && panelState.picture != nullptr) {
        RECT client;
        GetClientRect(window, &client);
        HDC memoryDc = CreateCompatibleDC(dc);
        if (memoryDc != nullptr) {
            const HGDIOBJ previousBitmap = SelectObject(memoryDc, panelState.picture);
            // Averaged, so that the thin white legends survive the scaling.
            SetStretchBltMode(dc, HALFTONE);
            SetBrushOrgEx(dc, 0, 0, nullptr);
            StretchBlt(dc, 0, 0, client.right - client.left, client.bottom - client.top, memoryDc, 0, 0,
                       kKeypadPictureWidth, kKeypadPictureHeight, SRCCOPY);
            SelectObject(memoryDc, previousBitmap);
            DeleteDC(memoryDc);
        }
    }
    EndPaint(window, &paint);
}

// The cursor's position now, not the one the message carries: the key under
// the mouse when the press is handled.
void PressKeyUnderCursor(HWND window) {
    POINT cursor;
    if (!GetCursorPos(&cursor) || !ScreenToClient(window, &cursor)) return;
    RECT client;
    if (!GetClientRect(window, &client)) return;
    int gridRow = 0;
    int gridColumn = 0;
    if (!KeypadCellAt(cursor.x, cursor.y, client.right - client.left, client.bottom - client.top, gridRow,
                      gridColumn)) {
        return;  // a panel too small to have cells
    }
    PressKey(*panelState.board, gridRow, gridColumn);
}

LRESULT CALLBACK KeypadPanelProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_PAINT: PaintKeypadPanel(window); return 0;
        // The second click of a quick pair arrives as a double-click: it is
        // a press like the first, or clicking a key twice would press it once.
        case WM_LBUTTONDOWN:
        case WM_RBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
        case WM_RBUTTONDBLCLK: PressKeyUnderCursor(window); return 0;
        // A right-button press is a key press like any other: no edit menu
        // (whose modal loop would also hold the board still) after it.
        case WM_CONTEXTMENU: return 0;
        default: return CallWindowProcA(panelState.previousProc, window, message, wParam, lParam);
    }
}

}  // namespace

HWND CreateKeypadPanel(HWND parent, HINSTANCE instance, Board& board) {
    HWND panel = CreateWindowExA(WS_EX_CLIENTEDGE, "EDIT", "",
                                 WS_CHILD | ES_MULTILINE | ES_AUTOHSCROLL | ES_READONLY | ES_WANTRETURN, 0, 0, 10, 10,
                                 parent, nullptr, instance, nullptr);
    if (panel == nullptr) return nullptr;
    panelState.board = &board;
    panelState.previousProc =
        reinterpret_cast<WNDPROC>(SetWindowLongPtrA(panel, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&KeypadPanelProc)));
    ShowWindow(panel, SW_SHOW);
    return panel;
}

void SetKeypadPicture(HBITMAP picture) { panelState.picture = picture; }
