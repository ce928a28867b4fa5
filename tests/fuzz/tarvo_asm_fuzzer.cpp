// Feeds arbitrary bytes to the assembler as a source, with an INCLUDE that
// reads "again" (the input once more), "deep" (a chain of files as deep as
// the assembler lets it go), "part" (two lines of code) or nothing, then
// writes every text output. Every message must
// name a line that exists, and a run without errors must have written
// what its ranges say.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "asm/assembler.h"
#include "asm/listings.h"

namespace {

void Check(bool holds, const char* what) {
    if (holds) return;
    std::fprintf(stderr, "tarvo_asm_fuzzer: %s\n", what);
    std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string source(reinterpret_cast<const char*>(data), size);
    AsmOptions options;
    options.include = [&source](const std::string& written, const std::string& includer, AsmIncludedFile& file) {
        if (written == "again") {  // the input once more; its own "again" is a loop the assembler refuses
            file.name = "again.asm";
            file.text = source;
        } else if (written == "deep") {  // a new file each time, until the depth limit
            file.name = includer + "+";
            file.text = "\tINCLUDE deep\n";
        } else if (written == "part") {
            file.text = "\tLD A,(IX+5)\nlabel:\tDB 1,\"x\"\n";
        } else {
            file.refusal = "not here";
            return false;
        }
        return true;
    };
    const AssemblyResult result = Assemble("fuzz.asm", source, options);

    unsigned errors = 0;
    for (const AsmDiagnostic& d : result.diagnostics) {
        errors += d.severity == AsmSeverity::Error && d.line != 0 ? 1 : 0;  // not "stopped after 50 errors"
        Check(d.line == 0 || (d.column >= 1 && d.column <= d.sourceLine.size() + 1), "a column outside its line");
        Check(!DiagnosticText(d).empty(), "an empty message");
    }
    Check(errors <= result.errors && result.errors <= options.maxErrors, "errors miscounted");
    Check(result.memory.size() == 0x10000, "the image is not 64 KiB");
    for (const AsmLine& line : result.lines) Check(line.file < result.files.size(), "a line of no file");
    if (result.Succeeded()) {
        for (const AsmRange& range : result.ranges) Check(range.from <= range.to, "a range turned round");
        ListingText(result);
        KeypadListingText(result);
        LineMapText(result);
        SymbolTableText(result);
    }
    return 0;
}
