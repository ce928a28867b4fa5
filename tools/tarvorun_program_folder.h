// Where the runner's own program file lies: the default monitor ROM image is
// looked for beside it, whatever the working folder.
#pragma once

#include <string>

// The folder of the running program, ending with its separator, and that
// separator. argv0 is a fallback for systems that cannot say. Empty when the
// folder cannot be found.
std::string ProgramFolder(const char* argv0, char& separator);

// The folder part of a path, up to and including its last separator ('/' or,
// when backslash is true, '\\' as well); empty when there is none.
std::string FolderOfPath(const std::string& path, bool backslash);
