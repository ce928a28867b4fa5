#include <cstddef>
#include <cstdint>
#include <cstdio>

#include "files/hex_file.h"
#include "files/open_for_reading.h"

namespace {

// The Windows program reads a HEX file through a text stream, in pieces of at most 999 characters.
// The file is opened in binary mode here and the text stream's work done by hand, so that every
// system reads a file as Windows does: CR LF arrives as one LF (and counts as one character of a
// piece), a lone CR stays, and Ctrl-Z ends the file.
constexpr std::size_t kPieceCapacity = 999;
constexpr int kCtrlZ = 0x1A;

struct HexLineReader {
    std::FILE* stream;
    bool ended;
};

// Reads up to and including the next LF, at most kPieceCapacity characters. 0: the file has ended
// or a read failed.
std::size_t ReadPiece(HexLineReader& reader, char (&piece)[kPieceCapacity]) {
    std::size_t length = 0;
    while (!reader.ended && length < kPieceCapacity) {
        int c = std::getc(reader.stream);
        if (c == EOF || c == kCtrlZ) {
            reader.ended = true;
            break;
        }
        if (c == '\r') {
            const int next = std::getc(reader.stream);
            if (next == '\n') {
                c = '\n';
            } else if (next != EOF) {
                std::ungetc(next, reader.stream);
            }
        }
        piece[length++] = static_cast<char>(c);
        if (c == '\n') break;
    }
    // A read error ends the load as the end of the file does, without the piece it cut short.
    if (std::ferror(reader.stream)) return 0;
    return length;
}

}  // namespace

int ReadHexFile(const char* path, BoardMemory& memory) {
    std::FILE* stream = OpenForReading(path);
    if (stream == nullptr) return -1;
    HexLineReader reader{stream, false};
    char piece[kPieceCapacity];
    HexRecord record;
    int result = 0;
    for (;;) {
        std::size_t length = ReadPiece(reader, piece);
        if (length == 0) break;
        if (piece[length - 1] == '\n') --length;
        if (length > 0 && piece[length - 1] == '\r') --length;
        if (!ParseHexRecord(piece, length, record)) {
            result = -2;
            break;
        }
        if (record.type == 0x01) break;
        if (record.type != 0x00) continue;
        for (unsigned i = 0; i < record.count; ++i) {
            memory.bytes[static_cast<std::uint16_t>(record.address + i)] = record.data[i];
        }
    }
    std::fclose(stream);
    return result;
}
