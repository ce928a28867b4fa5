// The page's one board and its run, shared by the page's C++ bindings.
#pragma once

#include "board/board.h"

// The board that the page shows, alive for the whole page.
Board& PageBoard();
