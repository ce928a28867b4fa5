#include "tarvorun_arguments.h"

// These systems hand the arguments over as they were given, UTF-8 where the locale is.
std::vector<std::string> ProgramArguments(int argc, char** argv) { return std::vector<std::string>(argv, argv + argc); }
