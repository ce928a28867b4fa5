#include "board/display_panel_win32.h"

#include "board/board.h"
#include "board/board_pictures.h"
#include "board/panel_layout.h"
#include "board/segment_geometry.h"
#include "res/resource_ids.h"

namespace {

COLORREF ColourRef(SegmentColour colour) { return RGB(colour.red, colour.green, colour.blue); }

// Made once by CreateDisplayPanel and kept for the whole run.
struct DisplayPanelState {
    const Board* board;
    WNDPROC previousProc;
    HBITMAP picture;  // null when the resource is missing: the panel is drawn black
    HBRUSH unlitSegmentBrush;
    HBRUSH litSegmentBrush;
    // Set while a paint of the panel is on its way: further requests would
    // only ask the window system for the same thing again.
    bool repaintPending;
};

DisplayPanelState panelState;

// Draws every segment of every digit, lit or unlit, into the board picture
// selected into memoryDc.
void DrawDigits(HDC memoryDc, const DigitLatches& latches) {
    for (int digit = 0; digit < kDigitCount; ++digit) {
        for (const SegmentShape& shape : kSegmentShapes) {
            const bool lit = (latches.digits[digit] & shape.bit) != 0;
            SelectObject(memoryDc, lit ? panelState.litSegmentBrush : panelState.unlitSegmentBrush);
            const SegmentRect r = SegmentRectOnBoard(digit, shape, lit);
            Rectangle(memoryDc, r.left, r.top, r.right, r.bottom);
        }
    }
}

// Brings the digits of the picture up to date and copies it, stretched, over
// the whole client area: nothing of the panel is left for an erase to show.
void DrawDisplayPanel(HDC dc, const RECT& client) {
    if (panelState.picture == nullptr) {
        FillRect(dc, &client, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
        return;
    }
    HDC memoryDc = CreateCompatibleDC(dc);
    if (memoryDc == nullptr) return;
    SetGraphicsMode(memoryDc, GM_ADVANCED);  // rectangles include their right and bottom edges
    const HGDIOBJ previousBitmap = SelectObject(memoryDc, panelState.picture);
    const HGDIOBJ previousBrush = GetCurrentObject(memoryDc, OBJ_BRUSH);
    DrawDigits(memoryDc, panelState.board->latches);
    SelectObject(memoryDc, previousBrush);
    // Whole pixels taken or dropped: every segment keeps its exact colours.
    SetStretchBltMode(dc, COLORONCOLOR);
    StretchBlt(dc, 0, 0, client.right - client.left, client.bottom - client.top, memoryDc, 0, 0, kBoardPictureWidth,
               kBoardPictureHeight, SRCCOPY);
    SelectObject(memoryDc, previousBitmap);
    DeleteDC(memoryDc);
}

void PaintDisplayPanel(HWND window) {
    panelState.repaintPending = false;
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    if (dc != nullptr) {
        RECT client;
        GetClientRect(window, &client);
        DrawDisplayPanel(dc, client);
    }
    EndPaint(window, &paint);
}

LRESULT CALLBACK DisplayPanelProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_PAINT: PaintDisplayPanel(window); return 0;
        // The paint covers the whole panel; erasing first would only flash it.
        case WM_ERASEBKGND: return 1;
        default: return CallWindowProcA(panelState.previousProc, window, message, wParam, lParam);
    }
}

}  // namespace

HWND CreateDisplayPanel(HWND parent, HINSTANCE instance, const Board& board, const char* programName) {
    panelState.board = &board;
    panelState.unlitSegmentBrush = CreateSolidBrush(ColourRef(kUnlitSegmentColour));
    panelState.litSegmentBrush = CreateSolidBrush(ColourRef(kLitSegmentColour));
    HWND panel = CreateWindowExA(WS_EX_CLIENTEDGE, "STATIC", "", WS_CHILD | WS_VISIBLE, 10, 10, 20, 20, parent, nullptr,
                                 instance, nullptr);
    if (panel == nullptr) {
        MessageBoxA(nullptr, "Could not create seven segment control!", programName, MB_ICONERROR | MB_OK);
        return nullptr;
    }
    ShowWindow(panel, SW_SHOW);
    panelState.picture = LoadBitmapA(instance, MAKEINTRESOURCEA(IDB_BOARD));
    panelState.previousProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(panel, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&DisplayPanelProc)));
    return panel;
}

void RequestDisplayRepaint(HWND panel) {
    if (panel == nullptr || panelState.repaintPending) return;
    // Only the digits change between paints: the rest of the picture is never
    // copied again for them. Exposing or resizing the panel still repaints
    // whatever the window system asks for.
    RECT client;
    if (!GetClientRect(panel, &client)) return;
    const PanelRect r = DisplayWindowOnPanel(client.right - client.left, client.bottom - client.top);
    const RECT digitWindow = {client.left + r.x, client.top + r.y, client.left + r.x + r.width,
                              client.top + r.y + r.height};
    if (InvalidateRect(panel, &digitWindow, TRUE)) panelState.repaintPending = true;
}
