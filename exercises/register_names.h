// The registers an exercise may check, by name, from the CPU or from the
// monitor's saved frame.
#pragma once

#include <cstdint>
#include <string>

#include "board/board.h"
#include "exercises/exercise.h"

std::string UpperCase(const std::string& text);

// 8 or 16 bits for a known upper-case name (A F B C D E H L I R, AF BC DE HL,
// AF' BC' DE' HL', IX IY SP PC), 0 for an unknown one. The monitor's frame
// keeps no R.
int RegisterWidth(const std::string& name, RegisterSource source);
std::string UnknownRegisterText(const std::string& name, RegisterSource source);

// The register's value on the board; the name must be known.
std::uint16_t ReadRegister(const Board& board, const std::string& name, RegisterSource source);
