// libFuzzer target: the exercise file reader (its JSON reader and the checks'
// fields) over any bytes. It must refuse or accept without a crash, and a
// refusal must say where.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "exercises/exercise.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    Exercise exercise;
    std::string error;
    if (!ReadExercise(text, exercise, error) && (error.empty() || error[0] < '1' || error[0] > '9')) std::abort();
    return 0;
}
