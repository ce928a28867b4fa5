// tarvorun: the Tarvo board without a window, for scripts and tests.
#include <cstdio>
#include <iostream>
#include <string>

#include "tarvorun_options.h"
#include "tarvorun_program_folder.h"
#include "tarvorun_session.h"

int main(int argc, char** argv) {
    RunOptions options;
    std::string error;
    if (!ParseRunOptions(argc, argv, options, error)) {
        std::cerr << "tarvorun: " << error << "\n";
        return kRunUsage;
    }
    if (options.help) {
        std::cout << RunUsageText();
        return kRunOk;
    }
    char separator = '/';
    const std::string folder = ProgramFolder(argc > 0 ? argv[0] : nullptr, separator);
    const int result = RunBoardSession(options, folder, separator, std::cout, std::cerr);
    std::cout.flush();
    if (!std::cout) {
        std::cerr << "tarvorun: cannot write the output\n";
        return kRunFailed;
    }
    return result;
}
