#include "exercises/exercise_check.h"

#include <memory>

#include "board/display_text.h"
#include "board/key_delivery.h"
#include "board/monitor_view.h"
#include "board/pass_runner.h"
#include "exercises/register_names.h"

namespace {

// The most T-states one instruction takes outside a block repeat, times ten:
// a stretch of passes this long cannot overshoot the bound by more than one pass.
constexpr std::uint64_t kMostTStatesAPass = 23 * 10;

std::string Hex(unsigned value, int digits) {
    std::string text;
    for (int shift = (digits - 1) * 4; shift >= 0; shift -= 4) text += "0123456789ABCDEF"[(value >> shift) & 0xFu];
    return text;
}

std::string Quoted(const std::string& text) { return "'" + text + "'"; }

void Write(Board& board, const std::vector<MemoryBytes>& memory) {
    for (const MemoryBytes& part : memory) {
        for (std::size_t i = 0; i < part.bytes.size(); ++i) board.memory.bytes[part.address + i] = part.bytes[i];
    }
}

// T-states from where the board stands, stopping at the first pass boundary at or after them.
void RunTStates(PassRunner& runner, const Board& board, std::uint64_t tStates) {
    const std::uint64_t target = board.tStates + tStates;
    while (board.run.running && board.tStates < target) {
        const std::uint64_t passes = (target - board.tStates) / kMostTStatesAPass;
        runner.RunPasses(passes > 0 ? passes : 1);
    }
}

std::string Describe(const ExerciseCheck& check) {
    switch (check.kind) {
        case ExerciseCheck::Kind::Display: return "display";
        case ExerciseCheck::Kind::Register:
            return "register " + check.registerName + (check.source == RegisterSource::Cpu ? " (cpu)" : " (monitor)");
        case ExerciseCheck::Kind::Memory: return "memory " + Hex(check.memory.address, 4);
        case ExerciseCheck::Kind::PortWrites: break;
    }
    return "port " + Hex(check.port, 2);
}

std::string BytesText(const std::vector<std::uint8_t>& bytes) {
    std::string text;
    for (std::uint8_t byte : bytes) text += (text.empty() ? "" : " ") + Hex(byte, 2);
    return text;
}

// What a run left to look at: the board, and the port writes after the last key.
struct RunSeen {
    const Board& board;
    std::uint64_t writesTo[4];
    const std::vector<PortWrite>& writes;
};

std::string Writes(std::uint64_t count) { return std::to_string(count) + (count == 1 ? " write" : " writes"); }

// A port check's bounds as the learner reads them: "at least 1 write", "1 to 11 writes".
std::string Bounds(const ExerciseCheck& check) {
    const bool low = check.minWrites > 0;
    const bool high = check.maxWrites != UINT64_MAX;
    if (low && high) return std::to_string(check.minWrites) + " to " + Writes(check.maxWrites);
    if (low) return "at least " + Writes(check.minWrites);
    return high ? "at most " + Writes(check.maxWrites) : "";
}

// The first values written to the port, enough to see a pattern.
constexpr std::size_t kPortValuesShown = 8;

std::string PortValues(std::uint8_t port, const std::vector<PortWrite>& writes) {
    std::vector<std::uint8_t> values;
    for (const PortWrite& write : writes) {
        if (write.port != port) continue;
        if (values.size() == kPortValuesShown) return BytesText(values) + " ...";
        values.push_back(write.value);
    }
    return BytesText(values);
}

// Fills what the check expected and what it found, and seen when they differ
// (empty: the check holds).
void Evaluate(const ExerciseCheck& check, const RunSeen& seen, CheckResult& result) {
    const Board& board = seen.board;
    std::string& expected = result.expected;
    std::string& actual = result.actual;
    switch (check.kind) {
        case ExerciseCheck::Kind::Display: {
            expected = Quoted(check.display);
            actual = Quoted(DisplayText(board.latches));
            if (actual != expected) result.seen = "the display shows " + actual + ", expected " + expected;
            return;
        }
        case ExerciseCheck::Kind::Register: {
            const int digits = RegisterWidth(check.registerName, check.source) / 4;
            expected = Hex(check.value, digits);
            if (check.source == RegisterSource::Monitor && !ViewOfMonitor(board).holdsProgram) {
                actual = "no stopped program";
                result.seen = "the monitor holds no stopped program (was it stopped with MONI or RST 38h?)";
                return;
            }
            const std::uint16_t value = ReadRegister(board, check.registerName, check.source);
            actual = Hex(value, digits);
            if (value != check.value) result.seen = check.registerName + " is " + actual + ", expected " + expected;
            return;
        }
        case ExerciseCheck::Kind::Memory: {
            std::vector<std::uint8_t> found;
            for (std::size_t i = 0; i < check.memory.bytes.size(); ++i) {
                found.push_back(board.memory.bytes[check.memory.address + i]);
            }
            expected = BytesText(check.memory.bytes);
            actual = BytesText(found);
            if (found != check.memory.bytes) {
                result.seen = Hex(check.memory.address, 4) + "h holds " + actual + ", expected " + expected;
            }
            return;
        }
        case ExerciseCheck::Kind::PortWrites: break;
    }
    const std::uint64_t count = seen.writesTo[check.port];
    const std::string port = "port " + Hex(check.port, 2) + "h";
    const std::string bounds = Bounds(check);
    expected =
        check.wrote.empty() ? bounds : BytesText(check.wrote) + " in order" + (bounds.empty() ? "" : ", " + bounds);
    actual = Writes(count) + (count > 0 ? ": " + PortValues(check.port, seen.writes) : "");
    if (count < check.minWrites || count > check.maxWrites) {
        result.seen = port + " was written " + std::to_string(count) + " times, expected " +
                      (count < check.minWrites ? "at least " + std::to_string(check.minWrites)
                                               : "at most " + std::to_string(check.maxWrites));
        return;
    }
    std::size_t matched = 0;
    for (const PortWrite& write : seen.writes) {
        if (matched < check.wrote.size() && write.port == check.port && write.value == check.wrote[matched]) ++matched;
    }
    if (matched == check.wrote.size()) return;
    result.seen =
        port + " was never written " + Hex(check.wrote[matched], 2) +
        (matched > 0 ? " after " + BytesText(std::vector<std::uint8_t>(
                                       check.wrote.begin(), check.wrote.begin() + static_cast<std::ptrdiff_t>(matched)))
                     : std::string());
}

void Run(const Exercise& exercise, const ExerciseRun& run, const std::string& name, const Board& loaded,
         std::vector<CheckResult>& results) {
    auto board = std::make_unique<Board>(loaded);
    Write(*board, exercise.memory);
    Write(*board, run.memory);
    StartBoard(*board);
    PassRunner runner(*board, false);
    runner.SendNmiLogTo([](const std::string&) {});
    // The port writes are those from the last key on: its delivery and settle time, then the run.
    std::vector<PortWrite> writes;
    RunSeen seen{*board, {}, writes};
    auto startLog = [&] {
        for (std::uint8_t port = 0; port < 4; ++port) seen.writesTo[port] = runner.PortWritesTo(port);
        runner.LogPortWritesTo(&writes, kMostPortWritesKept);
    };
    if (run.keys.empty()) startLog();
    std::string keyError;
    const bool delivered = DeliverKeys(runner, *board, run.keys, KeyTiming{}, keyError, [&](std::size_t i) {
                               if (i + 1 == run.keys.size()) startLog();
                           }) == run.keys.size();
    if (delivered && run.byTStates) RunTStates(runner, *board, run.length);
    if (delivered && !run.byTStates) runner.RunPasses(run.length);
    runner.LogPortWritesTo(nullptr, 0);
    for (std::uint8_t port = 0; port < 4; ++port) seen.writesTo[port] = runner.PortWritesTo(port) - seen.writesTo[port];
    for (const ExerciseCheck& check : run.checks) {
        CheckResult result{name, Describe(check), false, check.message, "", "", ""};
        if (delivered) {
            Evaluate(check, seen, result);
        } else {
            result.seen = "the run stopped: " + keyError + " (the program never read it)";
        }
        result.passed = result.seen.empty();
        results.push_back(result);
    }
}

}  // namespace

std::vector<CheckResult> CheckExercise(const Exercise& exercise, const Board& loaded) {
    std::vector<CheckResult> results;
    for (std::size_t i = 0; i < exercise.runs.size(); ++i) {
        const ExerciseRun& run = exercise.runs[i];
        Run(exercise, run, run.name.empty() ? "run " + std::to_string(i + 1) : run.name, loaded, results);
    }
    return results;
}

CheckResult LoadFailure(const std::string& reason) {
    return CheckResult{"submission", "load", false, "the program does not assemble or load", reason, "", ""};
}

std::size_t CountPassed(const std::vector<CheckResult>& results) {
    std::size_t passed = 0;
    for (const CheckResult& result : results) passed += result.passed ? 1 : 0;
    return passed;
}
