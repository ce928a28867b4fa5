#include <string>

#include "asm/listings.h"

std::string DiagnosticText(const AsmDiagnostic& d) {
    const std::string severity = d.severity == AsmSeverity::Error ? "error: " : "warning: ";
    if (d.line == 0) return (d.file.empty() ? "" : d.file + ": ") + severity + d.message + "\n";
    std::string text = d.file + ":" + std::to_string(d.line) + ":" + std::to_string(d.column) + ": " + severity +
                       d.message + "\n" + d.sourceLine + "\n";
    for (std::size_t i = 0; i + 1 < d.column; ++i)
        text += i < d.sourceLine.size() && d.sourceLine[i] == '\t' ? '\t' : ' ';
    return text + "^\n";
}
