#include <windows.h>

#include "tarvorun_output.h"

// A process started without a standard output has no handle for it at all.
bool StandardOutputIsOpen() {
    const HANDLE handle = GetStdHandle(STD_OUTPUT_HANDLE);
    return handle != nullptr && handle != INVALID_HANDLE_VALUE;
}
