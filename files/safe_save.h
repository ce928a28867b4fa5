// Saving a file without leaving a half-written one under the user's name, as far as the system
// lets a program. Symbolic links are followed: a link stays a link, and the file it leads to gets
// the new contents. What happens next depends on what lies at that name:
// - a regular file, or nothing: the bytes go into a new temporary file beside it, which replaces
//   it only once every write, the flush and the close have succeeded. On a failure the temporary
//   file is removed and an old file stays byte for byte as it was.
// - a regular file beside which no temporary file can be created (a folder the user may not
//   write, a name too long for the temporary suffix): the file is rewritten in place, in a way
//   that puts the old bytes back when a write fails (see FinishSafeSave).
// - nothing, and no temporary file can be created: the file is created directly, and removed
//   again when the save fails.
// - a FIFO or a device: written directly; it cannot be replaced, and bytes that went through
//   before a failure stay gone.
// - a folder, or a regular file the user may not write: refused, nothing is touched.
// The Intel HEX and binary savers both write through this.
#pragma once

#include <cstddef>
#include <cstdio>
#include <string>

#include "files/file_error.h"

enum class SaveRoute { Replace, InPlace, Create, Device };

struct SafeSave {
    std::FILE* stream = nullptr;
    bool failed = true;
    int systemError = 0;  // errno of the step that failed; 0 when the system named no reason
    SaveRoute route = SaveRoute::Replace;
    std::string target;    // the name the bytes go to, every link followed
    std::string tempPath;  // Replace: the temporary file
    std::string held;      // InPlace: the new contents, written at the finish
};

// Prepares the save of the file at target (UTF-8). false: it cannot be written (a missing folder,
// a folder, a read-only file, a loop of links); systemError says why, nothing was created and there
// is nothing to finish.
bool BeginSafeSave(SafeSave& save, const char* target);

// Appends bytes. After the first failing write the save is marked failed and the rest is skipped.
void SaveBytes(SafeSave& save, const void* bytes, std::size_t count);

// Completes the save. 0 saved; -1 a write, the close or the replacement failed (systemError says
// why when the system did): the temporary file is gone and the target is as it was, except for a
// FIFO or a device. A file rewritten in place grows by its new tail first, so that a full disk
// shows before any old byte has changed; then the old bytes are overwritten and the file cut to
// its new length. When a step fails the old bytes are written back and the old length restored.
// Only a failure of the system itself during the rewrite (a crash, a lost disk), or one after the
// file was cut shorter, can leave it mixed.
int FinishSafeSave(SafeSave& save);

// -1, after handing the save's reason to error when there is one to fill.
int ReportSaveFailure(const SafeSave& save, FileError* error);

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
