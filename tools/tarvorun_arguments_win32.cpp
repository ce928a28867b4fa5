#include <windows.h>

#include <shellapi.h>

#include "files/utf8_path_win32.h"
#include "tarvorun_arguments.h"

// The wide command line holds every character of the arguments; the ANSI ones would have turned
// those outside the code page into '?'.
std::vector<std::string> ProgramArguments(int argc, char** argv) {
    int count = 0;
    LPWSTR* wide = CommandLineToArgvW(GetCommandLineW(), &count);
    if (wide == nullptr || count != argc) {
        if (wide != nullptr) LocalFree(wide);
        return std::vector<std::string>(argv, argv + argc);
    }
    std::vector<std::string> arguments;
    for (int i = 0; i < count; ++i) arguments.push_back(wide[i][0] == L'\0' ? std::string() : Utf8Path(wide[i]));
    LocalFree(wide);
    return arguments;
}
