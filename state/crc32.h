// CRC-32 as zlib and PNG compute it (reflected polynomial EDB88320h, the
// register starting at and finished with FFFFFFFFh): each part of a state
// file carries one of its bytes.
#pragma once

#include <cstddef>
#include <cstdint>

std::uint32_t Crc32(const std::uint8_t* bytes, std::size_t count);
