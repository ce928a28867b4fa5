// The file commands as the page runs them. The page writes an opened file into
// the module's in-memory file system and reads a saved one back from it, so
// the same readers and writers as the window's do all the work.
#include <cstdint>

#include <emscripten/emscripten.h>

#include "files/address_range.h"
#include "files/address_text.h"
#include "files/binary_file.h"
#include "files/hex_file.h"
#include "web/web_board.h"

extern "C" {

// The From / To texts read as the window's dialog reads them.
EMSCRIPTEN_KEEPALIVE std::uint32_t tarvo_address_from_text(const char* text) {
    return text != nullptr ? AddressFromText(text) : 0;
}

EMSCRIPTEN_KEEPALIVE int tarvo_is_file_range(std::uint32_t from, std::uint32_t to) {
    return IsFileAddressRange(from, to) ? 1 : 0;
}

// Results as the readers and writers give them: 0 (or more) done, -1 the file
// could not be read or written, -2 an invalid line or a bad range.
EMSCRIPTEN_KEEPALIVE int tarvo_open_hex(const char* path) { return ReadHexFile(path, PageBoard().memory); }

EMSCRIPTEN_KEEPALIVE int tarvo_open_binary(const char* path, std::uint32_t from, std::uint32_t to) {
    return ReadBinaryFile(path, PageBoard().memory, from, to);
}

EMSCRIPTEN_KEEPALIVE int tarvo_save_hex(const char* path, std::uint32_t from, std::uint32_t to) {
    return WriteHexFile(path, PageBoard().memory, from, to);
}

EMSCRIPTEN_KEEPALIVE int tarvo_save_binary(const char* path, std::uint32_t from, std::uint32_t to) {
    return WriteBinaryFile(path, PageBoard().memory, from, to);
}

}  // extern "C"
