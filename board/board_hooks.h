// The places where the board reaches the program around it. The Windows
// program fills them in with its window calls; the headless runner and the
// tests with their own. A null function means "nobody listens".
#pragma once

enum class TapeCommand {
    OpenHexFile,  // TAPE RD: the "Open &hex file" command
    SaveHexFile,  // TAPE WR: the "Save hex f&ile" command
};

struct BoardHooks {
    void* context;
    // Mark the whole display panel for repainting, background erased. Requests
    // may merge: the display is drawn from DigitLatches whenever it is painted.
    void (*requestRepaint)(void* context);
    // Run a tape key's file command and return when it has finished.
    void (*tapeCommand)(void* context, TapeCommand command);
};

inline void RequestRepaint(const BoardHooks& hooks) {
    if (hooks.requestRepaint != nullptr) hooks.requestRepaint(hooks.context);
}

inline void RunTapeCommand(const BoardHooks& hooks, TapeCommand command) {
    if (hooks.tapeCommand != nullptr) hooks.tapeCommand(hooks.context, command);
}
