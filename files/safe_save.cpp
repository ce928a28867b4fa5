#include "files/safe_save.h"

#include <cerrno>
#include <cstdio>

#include "files/open_platform.h"
#include "files/save_platform.h"

namespace {

// Temporary names tried beside the target before giving up: "<target>~0.tmp" to "<target>~15.tmp".
constexpr unsigned kTempNameTries = 16;

std::size_t WriteToStream(const void* bytes, std::size_t count, std::FILE* stream) {
    return std::fwrite(bytes, 1, count, stream);
}

int FlushAndClose(std::FILE* stream) {
    bool ok = std::fflush(stream) == 0 && SyncSaveFile(stream);
    ok = std::fclose(stream) == 0 && ok;
    return ok ? 0 : EOF;
}

// An existing target must be writable: a save may not replace what the user could not overwrite,
// nor a folder. A missing target is fine; whether its folder exists shows when the temporary file
// is created.
bool TargetIsWritable(const char* target) {
    errno = 0;
    std::FILE* probe = OpenPathStream(target, "r+b");
    if (probe == nullptr) return errno == ENOENT;
    std::fclose(probe);
    return true;
}

}  // namespace

const SaveStreamCalls kDefaultSaveStreamCalls = {WriteToStream, FlushAndClose};
SaveStreamCalls saveStreamCalls = kDefaultSaveStreamCalls;

bool BeginSafeSave(SafeSave& save, const char* target) {
    save.stream = nullptr;
    save.failed = true;
    save.target = target;
    save.tempPath[0] = '\0';
    if (target == nullptr || target[0] == '\0' || !TargetIsWritable(target)) return false;
    for (unsigned attempt = 0; attempt < kTempNameTries; ++attempt) {
        const int length = std::snprintf(save.tempPath, sizeof save.tempPath, "%s~%u.tmp", target, attempt);
        if (length < 0 || static_cast<std::size_t>(length) >= sizeof save.tempPath) break;
        errno = 0;
        save.stream = OpenNewSaveFile(save.tempPath, target);
        if (save.stream != nullptr) {
            save.failed = false;
            return true;
        }
        if (errno != EEXIST) break;
    }
    save.tempPath[0] = '\0';
    return false;
}

void SaveBytes(SafeSave& save, const void* bytes, std::size_t count) {
    if (save.failed || count == 0) return;
    if (saveStreamCalls.write(bytes, count, save.stream) != count) save.failed = true;
}

int FinishSafeSave(SafeSave& save) {
    if (save.stream == nullptr) return -1;
    const bool closed = saveStreamCalls.close(save.stream) == 0;
    save.stream = nullptr;
    if (!save.failed && closed && MoveSaveFileOver(save.tempPath, save.target)) return 0;
    save.failed = true;
    RemoveSaveFile(save.tempPath);
    return -1;
}
