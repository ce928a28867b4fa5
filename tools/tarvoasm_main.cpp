// tarvoasm: assembles a Z80 source in pasmo's syntax for the Tarvo board.
#include <iostream>
#include <string>
#include <vector>

#include "tarvoasm_options.h"
#include "tarvoasm_outputs.h"
#include "tarvoasm_sources.h"
#include "tarvorun_arguments.h"

int main(int argc, char** argv) {
    const std::vector<std::string> arguments = ProgramArguments(argc, argv);
    std::vector<const char*> pointers;
    for (const std::string& argument : arguments) pointers.push_back(argument.c_str());
    pointers.push_back(nullptr);
    AsmToolOptions options;
    std::string error;
    if (!ParseAsmToolOptions(static_cast<int>(arguments.size()), pointers.data(), options, error)) {
        std::cerr << "tarvoasm: " << error << "\n";
        return 2;
    }
    if (options.help) {
        std::cout << AsmToolUsage();
        return 0;
    }
    AssemblyResult result;
    if (!AssembleFile(options.input, result, error)) {
        std::cerr << "tarvoasm: cannot read '" << options.input << "': " << error << "\n";
        return 1;
    }
    std::cerr << DiagnosticsReport(result);
    // Nothing is written for a source with errors: an older output stays as it was.
    if (!result.Succeeded()) return 1;
    if (!WriteAsmOutputs(result, options, std::cout, error)) {
        std::cerr << "tarvoasm: " << error << "\n";
        return 1;
    }
    std::cout.flush();
    if (!std::cout) {
        std::cerr << "tarvoasm: cannot write the output\n";
        return 1;
    }
    return 0;
}
