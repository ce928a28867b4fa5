#include "files/rewrite_in_place.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <string>

#include "files/safe_save.h"
#include "files/file_platform.h"

namespace {

bool SeekTo(std::FILE* stream, std::size_t offset) {
    if (offset > static_cast<std::size_t>(LONG_MAX)) {
        errno = EFBIG;
        return false;
    }
    return std::fseek(stream, static_cast<long>(offset), SEEK_SET) == 0;
}

bool WriteAt(std::FILE* stream, std::size_t offset, const char* bytes, std::size_t count) {
    return SeekTo(stream, offset) && saveStreamCalls.write(bytes, count, stream) == count && std::fflush(stream) == 0;
}

// Best effort: the old bytes back at the start and, where the file was no longer, its old length.
void PutBack(std::FILE* stream, const std::string& old, bool oldWasLonger) {
    const int reason = errno;
    if (SeekTo(stream, 0) && std::fwrite(old.data(), 1, old.size(), stream) == old.size() && std::fflush(stream) == 0) {
        if (!oldWasLonger) (void)TruncateSaveFile(stream, old.size());
        (void)SyncSaveFile(stream);
    }
    std::fclose(stream);
    errno = reason;
}

}  // namespace

bool RewriteInPlace(const char* path, const std::string& bytes) {
    std::FILE* stream = OpenPathStream(path, "r+b");
    if (stream == nullptr) return false;
    // The old bytes that the new ones cover, and one more to learn whether the old file is longer.
    const std::size_t size = bytes.size();
    std::string old(size + 1, '\0');
    const std::size_t got = std::fread(&old[0], 1, old.size(), stream);
    if (std::ferror(stream)) {
        const int reason = errno;
        std::fclose(stream);
        errno = reason;
        return false;
    }
    const bool oldWasLonger = got > size;
    old.resize(oldWasLonger ? size : got);

    errno = 0;
    bool ok = size <= old.size() || WriteAt(stream, old.size(), bytes.data() + old.size(), size - old.size());
    ok = ok && WriteAt(stream, 0, bytes.data(), old.size());
    ok = ok && (!oldWasLonger || TruncateSaveFile(stream, size));
    if (!ok) {
        PutBack(stream, old, oldWasLonger);
        return false;
    }
    errno = 0;
    if (saveStreamCalls.close(stream) == 0) return true;
    // The close or the push to the disk failed: open the file again to put the old bytes back.
    const int reason = errno;
    stream = OpenPathStream(path, "r+b");
    if (stream != nullptr) PutBack(stream, old, oldWasLonger);
    errno = reason;
    return false;
}
