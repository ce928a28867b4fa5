#include <cerrno>
#include <cstddef>
#include <cstdint>
#include <cstdio>

#include "files/file_error.h"
#include "files/hex_file.h"
#include "files/open_for_reading.h"

namespace {

// The Windows program has always read a HEX file in pieces of at most 999 characters (a line end
// counting as one of them); a longer line is checked piece by piece. The file is read in binary
// mode and the line ends found by hand, so that every system reads a file alike: CR, LF and CR LF
// each end a line.
constexpr std::size_t kPieceCapacity = 999;
constexpr int kCtrlZ = 0x1A;
constexpr const char* kTextAfterCtrlZ = "text after a Ctrl-Z (1Ah) end-of-file mark";

struct HexLineReader {
    std::FILE* stream;
    bool ended;           // the end of the file or a Ctrl-Z has been reached
    bool textAfterCtrlZ;  // that Ctrl-Z had more than padding after it: the file is invalid
    unsigned long line;   // the line that the next piece belongs to, from 1
};

struct Piece {
    std::size_t length;  // without the line end
    bool endsLine;
};

bool IsPadding(int c) {
    return c == kCtrlZ || c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

// After a Ctrl-Z: true when the rest of the file is padding only (or a read error, which the
// caller sees on the stream).
bool OnlyPaddingFollows(std::FILE* stream) {
    for (int c = std::getc(stream); c != EOF; c = std::getc(stream)) {
        if (!IsPadding(c)) return false;
    }
    return true;
}

// Reads the next piece of a line. false: nothing more to read (the file or a read has ended).
bool ReadPiece(HexLineReader& reader, char (&text)[kPieceCapacity], Piece& piece) {
    piece = Piece{0, false};
    while (!reader.ended && piece.length < kPieceCapacity) {
        const int c = std::getc(reader.stream);
        if (c == EOF) {
            reader.ended = true;
        } else if (c == kCtrlZ) {
            reader.ended = true;
            reader.textAfterCtrlZ = !OnlyPaddingFollows(reader.stream);
        } else if (c == '\r' || c == '\n') {
            if (c == '\r') {
                const int next = std::getc(reader.stream);
                if (next != '\n' && next != EOF) std::ungetc(next, reader.stream);
            }
            piece.endsLine = true;
            break;
        } else {
            text[piece.length++] = static_cast<char>(c);
        }
    }
    // A read error ends the load; the piece it cut short is not used.
    if (std::ferror(reader.stream)) return false;
    return piece.length > 0 || piece.endsLine;
}

int Fail(int result, FileError* error, FileError reason) {
    if (error != nullptr) *error = reason;
    return result;
}

// Reads the file's records into memory until the end record or the end of the file.
int LoadRecords(HexLineReader& reader, BoardMemory& memory, FileError* error) {
    char text[kPieceCapacity];
    Piece piece;
    HexRecord record;
    while (ReadPiece(reader, text, piece)) {
        const char* reason = nullptr;
        if (!ParseHexRecord(text, piece.length, record, &reason)) return Fail(-2, error, {0, reader.line, reason});
        if (record.type == 0x01) return 0;  // nothing after the end record is read
        if (record.type == 0x00) {
            for (unsigned i = 0; i < record.count; ++i) {
                memory.bytes[static_cast<std::uint16_t>(record.address + i)] = record.data[i];
            }
        }
        if (piece.endsLine) ++reader.line;
    }
    if (std::ferror(reader.stream)) return Fail(-1, error, {errno, reader.line, nullptr});
    if (reader.textAfterCtrlZ) return Fail(-2, error, {0, reader.line, kTextAfterCtrlZ});
    return 0;
}

}  // namespace

int ReadHexFile(const char* path, BoardMemory& memory, FileError* error) {
    std::FILE* stream = OpenForReading(path);
    if (stream == nullptr) return Fail(-1, error, {errno, 0, nullptr});
    HexLineReader reader{stream, false, false, 1};
    errno = 0;
    const int result = LoadRecords(reader, memory, error);
    std::fclose(stream);
    return result;
}
