// Intel HEX files, 16-bit subset: data records (type 00) and the end-of-file record (type 01).
// Loads and saves go straight into and out of BoardMemory, never through the CPU's view of it.
#pragma once

#include <bitset>
#include <cstddef>
#include <cstdint>

#include "cpu/memory_bus.h"
#include "files/file_error.h"

struct HexRecord {
    std::uint8_t count;
    std::uint16_t address;
    std::uint8_t type;
    std::uint8_t data[255];
    std::uint8_t checksum;        // as the line gives it
    std::uint8_t wantedChecksum;  // what the line's other bytes need
};

// The reason ParseHexRecord gives when a line's checksum does not fit its bytes.
inline constexpr char kHexChecksumMismatch[] = "checksum mismatch";

// Checks and decodes one record line, given without its line end. Every field must be exactly two
// hexadecimal digits (the address four), in either case; text after the checksum is ignored. On
// false the record holds nothing of use but, after a "checksum mismatch", its two checksums; reason,
// when given, says what is wrong with the line ("checksum mismatch", "not a hexadecimal field
// (address)", ...); on true it is set to null.
bool ParseHexRecord(const char* line, std::size_t length, HexRecord& record, const char** reason = nullptr);

// Loads every data record until the end-of-file record or the end of the file; other record types
// are checked and skipped. Lines end in CR, LF or CR LF. A Ctrl-Z (1Ah) ends the file where nothing
// but Ctrl-Z bytes and white space follows it, the padding of old systems; any other text after it
// makes the file invalid. 0 loaded; -1 the file cannot be opened or read (error, when given, has
// the system's reason); -2 an invalid line (error, when given, has its number and what is wrong).
// On -1 and -2 the records before the failure stay loaded. written, when given, gets a mark at
// every address a data record wrote (it is not cleared first).
int ReadHexFile(const char* path, BoardMemory& memory, FileError* error = nullptr,
                std::bitset<65536>* written = nullptr);

// Saves From to To, both included, in records of 32 data bytes and an end-of-file record, each
// line ending in CR LF, through a safe save (files/safe_save.h). 0 saved; -1 the file cannot be
// created or a write or close failed (any existing file of that name is left as it was; error,
// when given, says why); -2 From above To or To above 0xFFFF (the file is not touched).
int WriteHexFile(const char* path, const BoardMemory& memory, std::uint32_t from, std::uint32_t to,
                 FileError* error = nullptr);

struct HexFileRange {
    std::uint32_t from;
    std::uint32_t to;  // included
};

// Saves several ranges into one file, each as WriteHexFile does, in the order given, then the
// end-of-file record. Results as WriteHexFile's; -2 when any range is not From to To as above.
int WriteHexFileRanges(const char* path, const BoardMemory& memory, const HexFileRange* ranges, std::size_t count,
                       FileError* error = nullptr);
