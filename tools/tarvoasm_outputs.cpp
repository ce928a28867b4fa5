#include "tarvoasm_outputs.h"

#include <system_error>

#include "asm/assembly_hex.h"
#include "asm/listings.h"
#include "files/safe_save.h"

namespace {

std::string Reason(int systemError) {
    return systemError > 0 ? std::generic_category().message(systemError) : "the system gave no reason";
}

bool Failed(const std::string& path, int systemError, std::string& error) {
    error = "cannot write '" + path + "': " + Reason(systemError);
    return false;
}

bool SaveText(const std::string& path, const std::string& text, std::ostream& out, std::string& error) {
    if (path.empty()) return true;
    if (path == "-") {
        out << text;
        return true;
    }
    SafeSave save;
    if (!BeginSafeSave(save, path.c_str())) return Failed(path, save.systemError, error);
    SaveBytes(save, text.data(), text.size());
    if (FinishSafeSave(save) != 0) return Failed(path, save.systemError, error);
    return true;
}

bool SaveHex(const AssemblyResult& result, const std::string& path, std::string& error) {
    FileError fileError;
    if (WriteAssemblyHex(path.c_str(), result, &fileError) != 0) return Failed(path, fileError.systemError, error);
    return true;
}

// From the lowest address written to the highest, as pasmo --bin writes it.
bool SaveBinary(const AssemblyResult& result, const std::string& path, std::string& error) {
    SafeSave save;
    if (!BeginSafeSave(save, path.c_str())) return Failed(path, save.systemError, error);
    if (!result.ranges.empty()) {
        const std::size_t from = result.ranges.front().from;
        const std::size_t to = result.ranges.back().to;
        SaveBytes(save, result.memory.data() + from, to - from + 1);
    }
    if (FinishSafeSave(save) != 0) return Failed(path, save.systemError, error);
    return true;
}

}  // namespace

bool WriteAsmOutputs(const AssemblyResult& result, const AsmToolOptions& options, std::ostream& out,
                     std::string& error) {
    if (options.format == ObjectFormat::Hex && !SaveHex(result, options.object, error)) return false;
    if (options.format == ObjectFormat::Binary && !SaveBinary(result, options.object, error)) return false;
    return SaveText(options.listing, options.listing.empty() ? "" : ListingText(result), out, error) &&
           SaveText(options.keys, options.keys.empty() ? "" : KeypadListingText(result), out, error) &&
           SaveText(options.symbols, options.symbols.empty() ? "" : SymbolTableText(result), out, error) &&
           SaveText(options.lineMap, options.lineMap.empty() ? "" : LineMapText(result), out, error);
}
