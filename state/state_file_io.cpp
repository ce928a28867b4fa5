#include "state/state_file_io.h"

#include <cerrno>
#include <cstdio>
#include <system_error>
#include <vector>

#include "files/open_for_reading.h"
#include "files/safe_save.h"

namespace {

std::string Reason(int systemError) {
    return systemError > 0 ? std::generic_category().message(systemError) : "the system gave no reason";
}

std::string Named(const char* path) { return "the state file '" + std::string(path) + "'"; }

}  // namespace

bool ReadStateFile(const char* path, SavedState& state, std::string& error) {
    std::FILE* stream = OpenForReading(path);
    if (stream == nullptr) {
        error = "cannot open " + Named(path) + ": " + Reason(errno);
        return false;
    }
    // In chunks, up to one byte more than the largest, to tell a file too
    // large from one that fits without holding room for the largest.
    std::vector<std::uint8_t> bytes;
    std::size_t got = 0;
    while (got <= kLargestStateFile && !std::feof(stream) && !std::ferror(stream)) {
        bytes.resize(got + (std::size_t{1} << 17));
        got += std::fread(bytes.data() + got, 1, bytes.size() - got, stream);
    }
    const bool failed = std::ferror(stream) != 0;
    const int reason = errno;
    std::fclose(stream);
    if (failed) {
        error = "cannot read " + Named(path) + ": " + Reason(reason);
        return false;
    }
    if (got > kLargestStateFile) {
        error = Named(path) + " is larger than " + std::to_string(kLargestStateFile >> 20) +
                " MiB: it is no state file of this program";
        return false;
    }
    std::string why;
    if (!DecodeState(bytes.data(), got, state, why)) {
        error = Named(path) + ": " + why;
        return false;
    }
    return true;
}

bool WriteStateFile(const char* path, const SavedState& state, std::string& error) {
    const std::vector<std::uint8_t> bytes = EncodeState(state);
    SafeSave save;
    if (BeginSafeSave(save, path)) {
        SaveBytes(save, bytes.data(), bytes.size());
        if (FinishSafeSave(save) == 0) return true;
    }
    error = "cannot write " + Named(path) + ": " + Reason(save.systemError);
    return false;
}
