// The last resort of a safe save: rewriting an existing regular file in place when no temporary
// file can be created beside it.
#pragma once

#include <string>

// Replaces the contents of the existing file at path (UTF-8) with bytes, writing through the save's
// stream calls. A file that grows gets its new tail first, so that a full disk shows before any
// old byte has changed; then the old bytes are overwritten and the file cut to its new length.
// false (errno set when the system named a reason): a step failed, and the old bytes and length
// were written back; only a failure after the file was cut shorter loses its old tail.
bool RewriteInPlace(const char* path, const std::string& bytes);
