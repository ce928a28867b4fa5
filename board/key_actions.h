// What a press on the keypad does to the board.
#pragma once

struct Board;

// One press of the key at a grid position (row 0 to 3 from the top, column 0
// to 8 from the left). Matrix keys wait for a scan of their row; RESET, MONI
// and INTR act on the CPU at once; USER KEY waits for the next port A read;
// the tape keys run their file command through the board's hooks. Positions
// outside the grid do nothing.
void PressKey(Board& board, int gridRow, int gridColumn);

// Whether the last press of the key at a grid position still waits for the
// program to read it: a matrix key until a port A read of its row, the USER
// KEY until any port A read. Keys that act at once never wait.
bool IsKeyPending(const Board& board, int gridRow, int gridColumn);
