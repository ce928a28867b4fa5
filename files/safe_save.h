// Saving a file without ever leaving a half-written one under the user's name. The bytes go into
// a new temporary file in the target's folder; only when every write, the flush and the close have
// succeeded is it moved over the target. Otherwise the temporary file is removed and any existing
// target stays byte for byte as it was. The Intel HEX and binary savers both write through this.
#pragma once

#include <cstddef>
#include <cstdio>

constexpr std::size_t kSafeSavePathCapacity = 640;

struct SafeSave {
    std::FILE* stream;
    bool failed;
    const char* target;
    char tempPath[kSafeSavePathCapacity];
};

// Creates the temporary file. false: the target cannot be written (its folder is missing, it is
// read-only or a folder, the path is too long); nothing was created and there is nothing to finish.
bool BeginSafeSave(SafeSave& save, const char* target);

// Appends bytes. After the first failing write the save is marked failed and the rest is skipped.
void SaveBytes(SafeSave& save, const void* bytes, std::size_t count);

// Closes the temporary file and puts it in place of the target when nothing failed. 0 saved;
// -1 a write, the close or the replacement failed, the temporary file is gone.
int FinishSafeSave(SafeSave& save);

// The two stream calls of a save. Tests replace them to make a write or the close fail; the
// program never changes them.
struct SaveStreamCalls {
    // Returns how many of the bytes were written.
    std::size_t (*write)(const void* bytes, std::size_t count, std::FILE* stream);
    // Flushes the stream to the disk and closes it; 0 on success.
    int (*close)(std::FILE* stream);
};

extern SaveStreamCalls saveStreamCalls;
extern const SaveStreamCalls kDefaultSaveStreamCalls;
