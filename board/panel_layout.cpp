#include "board/panel_layout.h"

#include "board/board_pictures.h"
#include "board/key_matrix.h"

PanelLayout LayoutPanels(int clientWidth, int clientHeight) {
    const int third = clientHeight / 3;
    PanelLayout layout;
    layout.display = PanelRect{0, 0, clientWidth, 2 * third};
    layout.keypad = PanelRect{0, 2 * third, clientWidth, third};
    return layout;
}

PanelRect DisplayWindowOnPanel(int clientWidth, int clientHeight) {
    constexpr int kPictureWidth = kBoardPictureWidth;
    constexpr int kPictureHeight = kBoardPictureHeight;
    constexpr int kLeft = 16, kTop = 405, kRight = 299, kBottom = 474;  // right and bottom exclusive
    const int left = kLeft * clientWidth / kPictureWidth - 2;
    const int top = kTop * clientHeight / kPictureHeight - 2;
    const int right = (kRight * clientWidth + kPictureWidth - 1) / kPictureWidth + 2;
    const int bottom = (kBottom * clientHeight + kPictureHeight - 1) / kPictureHeight + 2;
    return PanelRect{left, top, right - left, bottom - top};
}

bool KeypadCellAt(int x, int y, int clientWidth, int clientHeight, int& gridRow, int& gridColumn) {
    const int cellWidth = clientWidth / kGridColumns;
    const int cellHeight = clientHeight / kGridRows;
    if (cellWidth <= 0 || cellHeight <= 0) return false;
    gridRow = y / cellHeight;
    gridColumn = x / cellWidth;
    return true;
}
