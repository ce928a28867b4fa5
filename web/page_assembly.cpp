#include "web/page_assembly.h"

#include <cstdio>

AssemblyResult AssembleInPage(const std::string& name, const std::string& text) {
    AsmOptions options;
    options.include = [](const std::string&, const std::string&, AsmIncludedFile& file) {
        file.refusal = "INCLUDE is not available in the page: put the lines into this source";
        return false;
    };
    return Assemble(name, text, options);
}

bool ReadWholeFile(const char* path, std::string& text) {
    std::FILE* file = std::fopen(path, "rb");
    if (file == nullptr) return false;
    char buffer[65536];
    std::size_t got = 0;
    while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0) text.append(buffer, got);
    const bool ok = std::ferror(file) == 0;
    std::fclose(file);
    return ok;
}
