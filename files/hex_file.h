// Intel HEX files, 16-bit subset: data records (type 00) and the end-of-file record (type 01).
// Loads and saves go straight into and out of BoardMemory, never through the CPU's view of it.
#pragma once

#include <cstddef>
#include <cstdint>

#include "cpu/memory_bus.h"
#include "files/file_error.h"

struct HexRecord {
    std::uint8_t count;
    std::uint16_t address;
    std::uint8_t type;
    std::uint8_t data[255];
};

// Checks and decodes one record line, given without its line end. Every field must be exactly two
// hexadecimal digits (the address four), in either case; text after the checksum is ignored. On
// false the record holds nothing of use.
bool ParseHexRecord(const char* line, std::size_t length, HexRecord& record);

// Loads every data record until the end-of-file record or the end of the file; other record types
// are checked and skipped. 0 loaded, -1 the file cannot be opened, -2 an invalid line (the records
// before it stay loaded).
int ReadHexFile(const char* path, BoardMemory& memory);

// Saves From to To, both included, in records of 32 data bytes and an end-of-file record, each
// line ending in CR LF, through a safe save (files/safe_save.h). 0 saved; -1 the file cannot be
// created or a write or close failed (any existing file of that name is left as it was; error,
// when given, says why); -2 From above To or To above 0xFFFF (the file is not touched).
int WriteHexFile(const char* path, const BoardMemory& memory, std::uint32_t from, std::uint32_t to,
                 FileError* error = nullptr);
