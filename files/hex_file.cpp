#include <cerrno>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>

#include "files/address_range.h"
#include "files/file_error.h"
#include "files/hex_file.h"
#include "files/open_for_reading.h"
#include "files/safe_save.h"

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

// What is wrong with a bad line, its two checksums when they disagree.
FileError BadLine(unsigned long line, const char* reason, const HexRecord& record) {
    FileError error{0, line, reason};
    if (reason != nullptr && std::strcmp(reason, kHexChecksumMismatch) == 0) {
        error.checksumGiven = record.checksum;
        error.checksumWanted = record.wantedChecksum;
    }
    return error;
}

// Reads the file's records into memory until the end record or the end of the file.
int LoadRecords(HexLineReader& reader, BoardMemory& memory, FileError* error, std::bitset<65536>* written) {
    char text[kPieceCapacity];
    Piece piece;
    HexRecord record;
    while (ReadPiece(reader, text, piece)) {
        const char* reason = nullptr;
        if (!ParseHexRecord(text, piece.length, record, &reason)) {
            return Fail(-2, error, BadLine(reader.line, reason, record));
        }
        if (record.type == 0x01) return 0;  // nothing after the end record is read
        // Kept on purpose: other record types are checked, then ignored (no extended address), and
        // data goes straight into memory, over the ROM too, wrapping from FFFFh to 0000h.
        if (record.type == 0x00) {
            for (unsigned i = 0; i < record.count; ++i) {
                const auto address = static_cast<std::uint16_t>(record.address + i);
                memory.bytes[address] = record.data[i];
                if (written != nullptr) written->set(address);
            }
        }
        if (piece.endsLine) ++reader.line;
    }
    if (std::ferror(reader.stream)) return Fail(-1, error, {errno, reader.line, nullptr});
    if (reader.textAfterCtrlZ) return Fail(-2, error, {0, reader.line, kTextAfterCtrlZ});
    return 0;
}

}  // namespace

int ReadHexFile(const char* path, BoardMemory& memory, FileError* error, std::bitset<65536>* written) {
    std::FILE* stream = OpenForReading(path);
    if (stream == nullptr) return Fail(-1, error, {errno, 0, nullptr});
    HexLineReader reader{stream, false, false, 1};
    errno = 0;
    const int result = LoadRecords(reader, memory, error, written);
    std::fclose(stream);
    return result;
}

namespace {

constexpr std::uint32_t kBytesPerRecord = 32;
// ":" + count, address, type + 32 data bytes + checksum + CR LF
constexpr std::size_t kLineCapacity = 1 + 8 + 2 * kBytesPerRecord + 2 + 2;

// Every line ends in CR LF, written as bytes so that every system saves the same file.
constexpr char kEndOfFileRecord[] = ":00000001FF\r\n";

void PutHexByte(char*& out, unsigned value) {
    static const char kDigits[] = "0123456789ABCDEF";
    *out++ = kDigits[(value >> 4) & 0xF];
    *out++ = kDigits[value & 0xF];
}

std::size_t FormatDataRecord(char (&line)[kLineCapacity], const BoardMemory& memory, std::uint32_t start,
                             std::uint32_t count) {
    char* out = line;
    *out++ = ':';
    const unsigned high = (start >> 8) & 0xFF;
    const unsigned low = start & 0xFF;
    PutHexByte(out, count);
    PutHexByte(out, high);
    PutHexByte(out, low);
    PutHexByte(out, 0x00);
    unsigned sum = count + high + low;
    for (std::uint32_t i = 0; i < count; ++i) {
        const unsigned byte = memory.bytes[start + i];
        PutHexByte(out, byte);
        sum += byte;
    }
    PutHexByte(out, (0x100 - (sum & 0xFF)) & 0xFF);
    *out++ = '\r';
    *out++ = '\n';
    return static_cast<std::size_t>(out - line);
}

}  // namespace

int WriteHexFile(const char* path, const BoardMemory& memory, std::uint32_t from, std::uint32_t to, FileError* error) {
    const HexFileRange range{from, to};
    return WriteHexFileRanges(path, memory, &range, 1, error);
}

int WriteHexFileRanges(const char* path, const BoardMemory& memory, const HexFileRange* ranges, std::size_t count,
                       FileError* error) {
    for (std::size_t r = 0; r < count; ++r) {
        if (!IsFileAddressRange(ranges[r].from, ranges[r].to)) return -2;
    }
    SafeSave save;
    if (!BeginSafeSave(save, path)) return ReportSaveFailure(save, error);
    char line[kLineCapacity];
    for (std::size_t r = 0; r < count; ++r) {
        const std::uint32_t to = ranges[r].to;
        // Kept on purpose: the byte at To is saved too, unlike the binary commands.
        for (std::uint32_t start = ranges[r].from; start <= to; start += kBytesPerRecord) {
            const std::uint32_t left = to - start + 1;
            const std::uint32_t bytes = left < kBytesPerRecord ? left : kBytesPerRecord;
            SaveBytes(save, line, FormatDataRecord(line, memory, start, bytes));
        }
    }
    SaveBytes(save, kEndOfFileRecord, sizeof kEndOfFileRecord - 1);
    if (FinishSafeSave(save) != 0) return ReportSaveFailure(save, error);
    return 0;
}
