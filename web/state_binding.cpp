// The page's whole state as a state file (state/state_file.h): Save state,
// Load state and the autosave. The board's parts come from the page's board,
// its key queue and its place in the idle pass; the page's own parts (its
// source, and its settings as JSON) cross as files in the core's file system,
// since they may be long.
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include <emscripten/emscripten.h>

#include "history/board_history.h"
#include "history/stopping_run.h"
#include "state/state_file_io.h"
#include "web/web_board.h"

namespace {

// The page's parts; the parts of a loaded file that the page does not know
// (a later version's) are kept and written back with the next save.
const char kSourceTag[] = "SRC ";
const char kPageTag[] = "PAGE";
std::vector<StatePart> foreignParts;
std::string stateError;

bool ReadWhole(const char* path, std::vector<std::uint8_t>& bytes) {
    std::FILE* file = std::fopen(path, "rb");
    if (file == nullptr) return false;
    std::uint8_t chunk[4096];
    std::size_t got = 0;
    while ((got = std::fread(chunk, 1, sizeof chunk, file)) > 0) bytes.insert(bytes.end(), chunk, chunk + got);
    const bool failed = std::ferror(file) != 0;
    std::fclose(file);
    return !failed;
}

bool WriteWhole(const char* path, const std::vector<std::uint8_t>& bytes) {
    std::FILE* file = std::fopen(path, "wb");
    if (file == nullptr) return false;
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return std::fclose(file) == 0 && written;
}

}  // namespace

extern "C" {

// Writes the page's state to outPath, with the files at sourcePath and
// pagePath as the page's parts. 0, or -1 with the reason in tarvo_state_error.
EMSCRIPTEN_KEEPALIVE int tarvo_state_save(const char* sourcePath, const char* pagePath, const char* outPath) {
    auto state = std::make_unique<SavedState>();
    state->run.board = PageBoard();
    state->run.keys = PageKeys();
    state->run.position = PagePassPosition();
    state->run.passes = PagePasses();
    state->kept = {StatePart{kSourceTag, {}}, StatePart{kPageTag, {}}};
    if (!ReadWhole(sourcePath, state->kept[0].bytes) || !ReadWhole(pagePath, state->kept[1].bytes)) {
        stateError = "the page's parts could not be handed to the core";
        return -1;
    }
    state->kept.insert(state->kept.end(), foreignParts.begin(), foreignParts.end());
    return WriteStateFile(outPath, *state, stateError) ? 0 : -1;
}

// Reads the state file at inPath and, when it is all good, puts the board,
// the key queue and the place in the pass in place of the page's; the history
// starts anew there. The page's parts go to sourcePath and pagePath (empty
// when the file has none). 0, or -1 with the reason in tarvo_state_error and
// nothing changed.
EMSCRIPTEN_KEEPALIVE int tarvo_state_load(const char* inPath, const char* sourcePath, const char* pagePath) {
    auto state = std::make_unique<SavedState>();
    if (!ReadStateFile(inPath, *state, stateError)) return -1;
    std::vector<std::uint8_t> source;
    std::vector<std::uint8_t> page;
    std::vector<StatePart> foreign;
    for (StatePart& part : state->kept) {
        if (part.tag == kSourceTag) source = part.bytes;
        else if (part.tag == kPageTag) page = part.bytes;
        else foreign.push_back(part);
    }
    if (!WriteWhole(sourcePath, source) || !WriteWhole(pagePath, page)) {
        stateError = "the page's parts could not be handed back to the page";
        return -1;
    }
    foreignParts = foreign;
    PutBoard(state->run.board, PageBoard());
    PageKeys() = state->run.keys;
    ResumePageRun(state->run.position, state->run.passes);
    PageHistory().Begin();
    PageStops().GoOnFromHere();
    return 0;
}

EMSCRIPTEN_KEEPALIVE const char* tarvo_state_error() { return stateError.c_str(); }

}  // extern "C"
