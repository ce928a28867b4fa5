// The runner's command-line arguments, in UTF-8 on every system: the file code takes paths in
// UTF-8, and a Windows program's char arguments are in the ANSI code page.
#pragma once

#include <string>
#include <vector>

// argv[0] to argv[argc - 1] in UTF-8.
std::vector<std::string> ProgramArguments(int argc, char** argv);
