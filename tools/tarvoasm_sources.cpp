#include "tarvoasm_sources.h"

#include <cerrno>
#include <cstdio>
#include <system_error>

#include "asm/assembly_hex.h"
#include "asm/listings.h"
#include "files/open_for_reading.h"

namespace {

std::string Reason(int systemError) {
    return systemError > 0 ? std::generic_category().message(systemError) : "the system gave no reason";
}

bool IsSeparator(char c) { return c == '/' || c == '\\'; }

// An INCLUDE's name as a path: relative names start from the includer's folder.
std::string IncludePath(const std::string& written, const std::string& includer) {
    const bool absolute = IsSeparator(written[0]) || (written.size() > 1 && written[1] == ':');
    if (absolute) return written;
    const std::size_t slash = includer.find_last_of("/\\");
    return slash == std::string::npos ? written : includer.substr(0, slash + 1) + written;
}

std::string Count(unsigned n, const char* what) { return std::to_string(n) + " " + what + (n == 1 ? "" : "s"); }

}  // namespace

bool ReadSourceFile(const std::string& path, std::string& text, std::string& reason) {
    std::FILE* stream = OpenForReading(path.c_str());
    if (stream == nullptr) {
        reason = Reason(errno);
        return false;
    }
    std::string read;
    char buffer[65536];
    bool tooLarge = false;
    std::size_t got = 0;
    while ((got = std::fread(buffer, 1, sizeof buffer, stream)) > 0) {
        read.append(buffer, got);
        if (read.size() > static_cast<std::size_t>(kLargestSourceFile)) {
            tooLarge = true;
            break;
        }
    }
    const bool failed = std::ferror(stream) != 0;
    const int error = errno;
    std::fclose(stream);
    if (tooLarge) {
        reason = "it is larger than 16 MiB";
        return false;
    }
    if (failed) {
        reason = Reason(error);
        return false;
    }
    text.swap(read);
    return true;
}

bool AssembleFile(const std::string& path, AssemblyResult& result, std::string& reason) {
    std::string text;
    if (!ReadSourceFile(path, text, reason)) return false;
    AsmOptions options;
    options.include = [](const std::string& written, const std::string& includer, AsmIncludedFile& file) {
        file.name = IncludePath(written, includer);
        return ReadSourceFile(file.name, file.text, file.refusal);
    };
    result = Assemble(path, text, options);
    return true;
}

std::string DiagnosticsReport(const AssemblyResult& result) {
    std::string text;
    for (const AsmDiagnostic& d : result.diagnostics) text += DiagnosticText(d);
    if (result.errors + result.warnings > 0) {
        text += result.files.front().name + ": " + Count(result.errors, "error") + ", " +
                Count(result.warnings, "warning") + "\n";
    }
    return text;
}

bool LoadAssembledFile(const std::string& path, const char* program, BoardMemory& memory, std::ostream& err) {
    AssemblyResult result;
    std::string reason;
    if (!AssembleFile(path, result, reason)) {
        err << program << ": cannot read '" << path << "': " << reason << "\n";
        return false;
    }
    err << DiagnosticsReport(result);
    if (!result.Succeeded()) return false;
    LoadAssembly(result, memory);
    return true;
}
