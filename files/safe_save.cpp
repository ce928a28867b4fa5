#include "files/safe_save.h"

#include <cerrno>
#include <cstdio>
#include <string>

#include "files/rewrite_in_place.h"
#include "files/file_platform.h"

namespace {

// Temporary names tried beside the target before giving up: "<target>~0.tmp" to "<target>~15.tmp".
constexpr unsigned kTempNameTries = 16;

std::size_t WriteToStream(const void* bytes, std::size_t count, std::FILE* stream) {
    return std::fwrite(bytes, 1, count, stream);
}

int FlushAndClose(std::FILE* stream) {
    bool ok = std::fflush(stream) == 0 && SyncSaveFile(stream);
    const int reason = errno;
    ok = std::fclose(stream) == 0 && ok;
    if (!ok && errno == 0) errno = reason;
    return ok ? 0 : EOF;
}

bool CreateTempFile(SafeSave& save) {
    for (unsigned attempt = 0; attempt < kTempNameTries; ++attempt) {
        save.tempPath = save.target + "~" + std::to_string(attempt) + ".tmp";
        errno = 0;
        save.stream = OpenNewSaveFile(save.tempPath.c_str(), save.target.c_str());
        if (save.stream != nullptr) return true;
        if (errno != EEXIST) break;
    }
    save.tempPath.clear();
    return false;
}

// The route for what lies at save.target, with its stream open where the route writes one.
bool ChooseRoute(SafeSave& save, SaveTargetKind kind, int writeError) {
    switch (kind) {
        case SaveTargetKind::Folder: errno = EISDIR; return false;
        case SaveTargetKind::Other:
            save.route = SaveRoute::Device;
            save.stream = OpenDeviceForWriting(save.target.c_str());
            return save.stream != nullptr;
        case SaveTargetKind::RegularFile:
            if (writeError != 0) {
                errno = writeError;
                return false;
            }
            save.route = CreateTempFile(save) ? SaveRoute::Replace : SaveRoute::InPlace;
            return true;
        case SaveTargetKind::Missing:
            if (CreateTempFile(save)) {
                save.route = SaveRoute::Replace;
                return true;
            }
            save.route = SaveRoute::Create;
            errno = 0;
            save.stream = OpenNewSaveFile(save.target.c_str(), save.target.c_str());
            return save.stream != nullptr;
    }
    return false;
}

}  // namespace

const SaveStreamCalls kDefaultSaveStreamCalls = {WriteToStream, FlushAndClose};
SaveStreamCalls saveStreamCalls = kDefaultSaveStreamCalls;

bool BeginSafeSave(SafeSave& save, const char* target) {
    save = SafeSave{};
    if (target == nullptr || target[0] == '\0') {
        save.systemError = ENOENT;
        return false;
    }
    SaveTarget found;
    errno = 0;
    if (!FindSaveTarget(target, found)) {
        save.systemError = errno;
        return false;
    }
    save.target = found.path;
    if (!ChooseRoute(save, found.kind, found.writeError)) {
        save.systemError = errno;
        save.stream = nullptr;
        return false;
    }
    save.failed = false;
    return true;
}

void SaveBytes(SafeSave& save, const void* bytes, std::size_t count) {
    if (save.failed || count == 0) return;
    if (save.route == SaveRoute::InPlace) {
        save.held.append(static_cast<const char*>(bytes), count);
        return;
    }
    errno = 0;
    if (saveStreamCalls.write(bytes, count, save.stream) != count) {
        save.failed = true;
        save.systemError = errno;
    }
}

int ReportSaveFailure(const SafeSave& save, FileError* error) {
    if (error != nullptr) *error = FileError{save.systemError, 0, nullptr};
    return -1;
}

int FinishSafeSave(SafeSave& save) {
    if (save.route == SaveRoute::InPlace) {
        if (save.failed) return -1;
        errno = 0;
        const bool rewritten = RewriteInPlace(save.target.c_str(), save.held);
        if (!rewritten) save.systemError = errno;
        save.failed = !rewritten;
        save.held.clear();
        return rewritten ? 0 : -1;
    }
    if (save.stream == nullptr) return -1;
    errno = 0;
    bool ok = saveStreamCalls.close(save.stream) == 0 && !save.failed;
    save.stream = nullptr;
    if (ok && save.route == SaveRoute::Replace) {
        errno = 0;
        ok = MoveSaveFileOver(save.tempPath.c_str(), save.target.c_str());
    }
    if (ok) return 0;
    if (save.systemError == 0) save.systemError = errno;
    save.failed = true;
    // Only a file this save made is removed: the temporary one, or a target it created itself.
    if (save.route == SaveRoute::Replace) RemoveSaveFile(save.tempPath.c_str());
    if (save.route == SaveRoute::Create) RemoveSaveFile(save.target.c_str());
    return -1;
}
