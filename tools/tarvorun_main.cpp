// tarvorun: the Tarvo board without a window, for scripts and tests.
#include <iostream>
#include <string>
#include <vector>

#include "tarvorun_arguments.h"
#include "tarvorun_exercise.h"
#include "tarvorun_options.h"
#include "tarvorun_output.h"
#include "tarvorun_program_folder.h"
#include "tarvorun_session.h"

int main(int argc, char** argv) {
    const std::vector<std::string> arguments = ProgramArguments(argc, argv);
    std::vector<const char*> pointers;
    for (const std::string& argument : arguments) pointers.push_back(argument.c_str());
    pointers.push_back(nullptr);
    RunOptions options;
    std::string error;
    if (!ParseRunOptions(static_cast<int>(arguments.size()), pointers.data(), options, error)) {
        std::cerr << "tarvorun: " << error << "\n";
        return kRunUsage;
    }
    if (!StandardOutputIsOpen()) {
        std::cerr << "tarvorun: cannot write the output: the standard output is closed\n";
        return kRunFailed;
    }
    return WithCheckedOutput(std::cout, std::cerr, [&]() -> int {
        if (options.help) {
            std::cout << RunUsageText();
            return kRunOk;
        }
        char separator = '/';
        const std::string folder = ProgramFolder(arguments.empty() ? nullptr : arguments[0].c_str(), separator);
        if (!options.exercisePath.empty()) return RunExerciseSession(options, folder, separator, std::cout, std::cerr);
        return RunBoardSession(options, folder, separator, std::cout, std::cerr);
    });
}
