// Raw binary files: byte i of the file belongs to address From + i. The range moved is From up to
// To - 1; the byte at To is not included. Loads and saves use BoardMemory directly.
#pragma once

#include <cstdint>

#include "cpu/memory_bus.h"
#include "files/file_error.h"

// -2 From above To or To above 0xFFFF (the file is not opened), -1 the file cannot be opened or
// read (error, when given, says why), 1 the whole range was filled, 0 the file ended first (the
// rest of the range keeps its bytes).
int ReadBinaryFile(const char* path, BoardMemory& memory, std::uint32_t from, std::uint32_t to,
                   FileError* error = nullptr);

// -2 From above To or To above 0xFFFF (the file is not touched), -1 the file cannot be created or
// a write or close failed (any existing file of that name is left as it was; error, when given,
// says why), otherwise To - From. Saves through a safe save (files/safe_save.h).
int WriteBinaryFile(const char* path, const BoardMemory& memory, std::uint32_t from, std::uint32_t to,
                    FileError* error = nullptr);
