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

// Empty when the check holds, else what the board had.
std::string Evaluate(const ExerciseCheck& check, const RunSeen& seen) {
    const Board& board = seen.board;
    switch (check.kind) {
        case ExerciseCheck::Kind::Display: {
            const std::string shown = DisplayText(board.latches);
            if (shown == check.display) return "";
            return "the display shows " + Quoted(shown) + ", expected " + Quoted(check.display);
        }
        case ExerciseCheck::Kind::Register: {
            if (check.source == RegisterSource::Monitor && !ViewOfMonitor(board).holdsProgram) {
                return "the monitor holds no stopped program (was it stopped with MONI or RST 38h?)";
            }
            const int digits = RegisterWidth(check.registerName, check.source) / 4;
            const std::uint16_t value = ReadRegister(board, check.registerName, check.source);
            if (value == check.value) return "";
            return check.registerName + " is " + Hex(value, digits) + ", expected " + Hex(check.value, digits);
        }
        case ExerciseCheck::Kind::Memory: {
            std::vector<std::uint8_t> found;
            for (std::size_t i = 0; i < check.memory.bytes.size(); ++i) {
                found.push_back(board.memory.bytes[check.memory.address + i]);
            }
            if (found == check.memory.bytes) return "";
            return Hex(check.memory.address, 4) + "h holds " + BytesText(found) + ", expected " +
                   BytesText(check.memory.bytes);
        }
        case ExerciseCheck::Kind::PortWrites: break;
    }
    const std::uint64_t count = seen.writesTo[check.port];
    const std::string port = "port " + Hex(check.port, 2) + "h";
    if (count < check.minWrites || count > check.maxWrites) {
        return port + " was written " + std::to_string(count) + " times, expected " +
               (count < check.minWrites ? "at least " + std::to_string(check.minWrites)
                                        : "at most " + std::to_string(check.maxWrites));
    }
    std::size_t matched = 0;
    for (const PortWrite& write : seen.writes) {
        if (matched < check.wrote.size() && write.port == check.port && write.value == check.wrote[matched]) ++matched;
    }
    if (matched == check.wrote.size()) return "";
    return port + " was never written " + Hex(check.wrote[matched], 2) +
           (matched > 0
                ? " after " + BytesText(std::vector<std::uint8_t>(
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
        CheckResult result{name, Describe(check), false, check.message, ""};
        result.seen =
            delivered ? Evaluate(check, seen) : "the run stopped: " + keyError + " (the program never read it)";
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

std::size_t CountPassed(const std::vector<CheckResult>& results) {
    std::size_t passed = 0;
    for (const CheckResult& result : results) passed += result.passed ? 1 : 0;
    return passed;
}
