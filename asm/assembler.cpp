// The run: read the lines (and INCLUDEs), lay out addresses and values in as
// many passes as they need to settle, then the final pass writes memory and
// reports, and the placement checks follow.
#include "asm/assembler.h"

#include <algorithm>
#include <utility>

#include "asm/assembly.h"
#include "asm/nearest_name.h"

Assembly::Assembly(const AsmOptions& runOptions) : options(runOptions), memory(0x10000, 0), owner(0x10000, kNone) {}

// Kept on purpose: names are case-sensitive, as in pasmo.
std::uint32_t Assembly::SymbolIndex(const std::string& name) {
    const auto found = symbolIndex.find(name);
    if (found != symbolIndex.end()) return found->second;
    const auto index = static_cast<std::uint32_t>(symbols.size());
    symbols.emplace_back();
    symbols.back().name = name;
    symbolIndex.emplace(name, index);
    return index;
}

SymbolState Assembly::State(std::uint32_t symbol) const {
    const Symbol& s = symbols[symbol];
    return {s.known, s.pass == pass && !s.provisional, s.value};
}

std::string Assembly::LineText(std::uint32_t line) const {
    const AsmLine& l = lines[line];
    return files[l.file].text.substr(l.offset, l.length);
}

void Assembly::Report(std::uint32_t statement, AsmSeverity severity, std::uint32_t column, std::string message) {
    if (!final || stopped) return;
    if (severity == AsmSeverity::Error) {
        ++errors;
    } else if (++warnings > options.maxWarnings) {
        return;
    }
    const std::uint32_t lineIndex = statements[statement].line;
    const AsmLine& line = lines[lineIndex];
    diagnostics.push_back(
        {severity, files[line.file].name, line.line, column + 1, std::move(message), LineText(lineIndex)});
    diagnosticOrder.push_back(statement);
    if (options.maxErrors != 0 && errors >= options.maxErrors) stopped = true;
}

std::string Assembly::UnknownName(std::uint32_t symbol) const {
    const Symbol& s = symbols[symbol];
    if (s.statement != kNone) {
        return "'" + s.name + "' has no value: its definition on line " +
               std::to_string(lines[statements[s.statement].line].line) + " did not give it one";
    }
    std::string message = "unknown name '" + s.name + "'";
    std::vector<const std::string*> known;
    for (const Symbol& candidate : symbols) {
        if (candidate.statement != kNone) known.push_back(&candidate.name);
    }
    const std::string near = NearestName(s.name, known);
    if (!near.empty()) {
        message += "; did you mean '" + near + "'?";
        if (UpperCase(near) == UpperCase(s.name)) message += " (names are case-sensitive)";
        return message;
    }
    // FFh is a name: a hexadecimal number must start with a digit.
    const bool hexLike = s.name.size() > 1 && (s.name.back() == 'h' || s.name.back() == 'H') &&
                         s.name.find_first_not_of("0123456789ABCDEFabcdef", 0) == s.name.size() - 1;
    if (hexLike) message += "; a hexadecimal number must start with a digit: 0" + s.name;
    return message;
}

void JoinSpans(Assembly& a) {
    std::vector<AsmRange> spans = a.spans;
    std::sort(spans.begin(), spans.end(), [](const AsmRange& x, const AsmRange& y) { return x.from < y.from; });
    for (const AsmRange& span : spans) {
        if (!a.ranges.empty() && span.from <= a.ranges.back().to + 1u) {
            if (span.to > a.ranges.back().to) a.ranges.back().to = span.to;
        } else {
            a.ranges.push_back(span);
        }
    }
}

namespace {

void ReadFile(Assembly& a, std::uint32_t file, std::vector<std::uint32_t>& including);

// Reads the file an INCLUDE statement names, after the statement's own lines.
void Include(Assembly& a, std::uint32_t si, std::vector<std::uint32_t>& including) {
    auto refuse = [&](std::string message) {
        Statement& s = a.statements[si];
        a.messages.push_back({AsmSeverity::Error, s.column, std::move(message)});
        ++s.messageCount;
        s.broken = true;
    };
    const std::string written = a.statements[si].text;
    if (including.size() >= kAsmMaxIncludeDepth) {
        return refuse("INCLUDE files nest more than " + std::to_string(kAsmMaxIncludeDepth) + " deep");
    }
    if (a.files.size() >= kAsmMaxIncludedFiles) {
        return refuse("more than " + std::to_string(kAsmMaxIncludedFiles) + " files are included");
    }
    if (!a.options.include) return refuse("INCLUDE is not available here");
    AsmIncludedFile file;
    if (!a.options.include(written, a.files[including.back()].name, file)) {
        return refuse("cannot include '" + written + "': " + file.refusal);
    }
    if (file.name.empty()) file.name = written;
    for (std::uint32_t open : including) {
        if (a.files[open].name == file.name) return refuse("'" + file.name + "' would include itself");
    }
    a.files.push_back({file.name, std::move(file.text)});
    ReadFile(a, static_cast<std::uint32_t>(a.files.size() - 1), including);
}

// Lines end in LF, CR LF or CR. A UTF-8 byte order mark in front (Windows'
// Notepad writes one) is passed over.
void ReadFile(Assembly& a, std::uint32_t file, std::vector<std::uint32_t>& including) {
    const std::string& text = a.files[file].text;
    including.push_back(file);
    std::size_t at = text.compare(0, 3, "\xEF\xBB\xBF") == 0 ? 3 : 0;
    unsigned number = 0;
    while (at < text.size()) {
        std::size_t end = at;
        while (end < text.size() && text[end] != '\n' && text[end] != '\r') ++end;
        AsmLine line{};
        line.file = file;
        line.line = ++number;
        line.offset = static_cast<std::uint32_t>(at);
        line.length = static_cast<std::uint32_t>(end - at);
        a.lines.push_back(line);
        const auto si = static_cast<std::uint32_t>(a.statements.size());
        a.statements.emplace_back();
        a.statements.back().line = static_cast<std::uint32_t>(a.lines.size() - 1);
        ParseStatement(a, a.statements.back(), text.substr(at, end - at));
        at = end;
        if (at < text.size()) at += text[at] == '\r' && at + 1 < text.size() && text[at + 1] == '\n' ? 2u : 1u;
        if (a.statements[si].directive == Directive::Include && !a.statements[si].broken) Include(a, si, including);
    }
    including.pop_back();
}

std::vector<std::pair<std::int64_t, bool>> Snapshot(const Assembly& a) {
    std::vector<std::pair<std::int64_t, bool>> values;
    values.reserve(a.symbols.size());
    for (const Symbol& s : a.symbols) values.emplace_back(s.value, s.known);
    return values;
}

// Passes until the values that decide addresses and names stop changing,
// then the final one. Returns the symbol that never settled, or kNone.
std::uint32_t RunPasses(Assembly& a) {
    unsigned pass = 1;
    std::uint32_t unsettled = kNone;
    if (RunPass(a, pass, false)) {
        std::vector<std::pair<std::int64_t, bool>> last = Snapshot(a);
        while (true) {
            RunPass(a, ++pass, false);
            std::vector<std::pair<std::int64_t, bool>> now = Snapshot(a);
            if (now == last) break;
            if (pass >= kAsmMaxPasses) {
                for (std::uint32_t i = 0; i < now.size() && unsettled == kNone; ++i) {
                    if (now[i] != last[i]) unsettled = i;
                }
                break;
            }
            last = std::move(now);
        }
    }
    RunPass(a, pass + 1, true);
    return unsettled;
}

void CollectResult(Assembly& a, AssemblyResult& result) {
    // Messages in source order; those found after the pass (IF without ENDIF,
    // placement) move to their lines.
    std::vector<std::size_t> order(a.diagnostics.size());
    for (std::size_t i = 0; i < order.size(); ++i) order[i] = i;
    std::stable_sort(order.begin(), order.end(),
                     [&](std::size_t x, std::size_t y) { return a.diagnosticOrder[x] < a.diagnosticOrder[y]; });
    for (std::size_t i : order) result.diagnostics.push_back(std::move(a.diagnostics[i]));
    if (a.stopped) {
        result.diagnostics.push_back(
            {AsmSeverity::Error, "", 0, 0, "stopped after " + std::to_string(a.options.maxErrors) + " errors", ""});
    }
    if (a.warnings > a.options.maxWarnings) {
        result.diagnostics.push_back({AsmSeverity::Warning, "", 0, 0,
                                      std::to_string(a.warnings - a.options.maxWarnings) + " more warnings not shown",
                                      ""});
    }
    result.errors = a.errors;
    result.warnings = a.warnings;

    result.ranges = a.ranges;
    for (const Symbol& s : a.symbols) {
        if (s.statement == kNone || !s.known) continue;
        const AsmLine& line = a.lines[a.statements[s.statement].line];
        result.symbols.push_back({s.name, s.value, s.kind, line.file, line.line});
    }
    std::sort(result.symbols.begin(), result.symbols.end(),
              [](const AsmSymbol& x, const AsmSymbol& y) { return x.name < y.name; });
    result.memory = std::move(a.memory);
    result.lines = std::move(a.lines);
    for (AsmSourceFile& f : a.files) result.files.push_back(std::move(f));
    result.hasEntry = a.hasEntry;
    result.entry = a.entry;
    result.hasOrigin = a.hasOrigin;
    result.origin = a.origin;
}

}  // namespace

AssemblyResult Assemble(const std::string& fileName, const std::string& text, const AsmOptions& options) {
    Assembly a(options);
    a.files.push_back({fileName, text});
    const auto lines = static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n')) + 1;
    a.lines.reserve(lines);
    a.statements.reserve(lines);
    std::vector<std::uint32_t> including;
    ReadFile(a, 0, including);
    const std::uint32_t unsettled = RunPasses(a);
    if (unsettled != kNone && !a.stopped) {
        const Symbol& s = a.symbols[unsettled];
        a.Report(s.statement, AsmSeverity::Error, a.statements[s.statement].labelColumn,
                 "the value of '" + s.name + "' still changes after " + std::to_string(kAsmMaxPasses) +
                     " passes: does it depend on itself?");
    }
    JoinSpans(a);
    CheckBoardPlacement(a);
    AssemblyResult result;
    CollectResult(a, result);
    return result;
}

std::string AsmLineText(const AssemblyResult& result, const AsmLine& line) {
    return result.files[line.file].text.substr(line.offset, line.length);
}
