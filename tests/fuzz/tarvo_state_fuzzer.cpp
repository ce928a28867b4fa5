// libFuzzer target: the state file reader over any bytes. It must refuse or
// accept without a crash; a refusal must say why and leave the state as it
// was, and a file it accepts must write back to bytes that read the same.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "state/state_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const std::vector<std::uint8_t> empty = EncodeState(*std::make_unique<SavedState>());
    auto state = std::make_unique<SavedState>();
    std::string error;
    if (!DecodeState(data, size, *state, error)) {
        if (error.empty() || EncodeState(*state) != empty) std::abort();
        return 0;
    }
    const std::vector<std::uint8_t> written = EncodeState(*state);
    auto again = std::make_unique<SavedState>();
    if (!DecodeState(written.data(), written.size(), *again, error) || EncodeState(*again) != written) std::abort();
    return 0;
}
