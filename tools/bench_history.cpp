// What going back in time costs: the step-back latency with 10 million
// instructions of history behind it (worst and median), Run back and "who
// last wrote" over the whole depth, the memory the history holds, and the
// flat-out rate with the history off, on, and on with one watchpoint set,
// measured in alternating rounds of the same run.
//
//   bench_history [--rounds N]
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "board/key_queue_run.h"
#include "history/board_history.h"

namespace {

// A RAM loop that counts through a 256-byte table, pushes and pops, and
// writes every count to the 8255's port B.
const std::uint8_t kProgram[] = {
    0x31, 0x00, 0x28,  // 1800 LD SP,2800h
    0x21, 0x00, 0x20,  // 1803 outer: LD HL,2000h
    0x06, 0x00,        // 1806 LD B,0
    0x7E,              // 1808 loop: LD A,(HL)
    0x3C,              // 1809 INC A
    0x77,              // 180A LD (HL),A
    0x23,              // 180B INC HL
    0xD3, 0x01,        // 180C OUT (01h),A
    0xC5,              // 180E PUSH BC
    0xC1,              // 180F POP BC
    0x10, 0xF6,        // 1810 DJNZ loop
    0x18, 0xEF,        // 1812 JR outer
};

constexpr std::uint64_t kPassesPerCall = 10000;  // one call of the page's flat-out run, about
constexpr std::uint64_t kDepth = 10000000;

// A started board running the program, with what the page keeps beside it.
struct Run {
    std::unique_ptr<Board> owner = std::make_unique<Board>();
    Board& board = *owner;
    BoardCpu access{board};
    PassCursor<BoardCpuBus> cursor{board, access.bus};
    KeyQueue keys;

    Run() {
        SetUpBoard(board);
        std::memcpy(board.memory.bytes + 0x1800, kProgram, sizeof kProgram);
        StartBoard(board);
        board.cpu.PC = 0x1800;
    }
    BoardRun Parts() { return BoardRun{board, access.bus, cursor, keys}; }
};

double CpuSeconds(std::clock_t since) { return static_cast<double>(std::clock() - since) / CLOCKS_PER_SEC; }

double Milliseconds(std::chrono::steady_clock::time_point since) {
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - since).count();
}

void Rates(int rounds) {
    Run off;
    Run on;
    Run watched;
    BoardHistory onHistory(on.Parts());
    BoardHistory watchedHistory(watched.Parts());
    Watchpoints watches;
    std::string error;
    watches.AddMemory(WatchKind::Write, 0x3000, 0x3000, error);  // never written
    WatchBus bus(watched.board, watches);
    WatchStop stop(bus, watches);
    stop.Prime(watched.board);

    constexpr std::uint64_t kCalls = 500;  // 50 million instructions a round
    double best[3] = {1e9, 1e9, 1e9};
    for (int round = 0; round < rounds; ++round) {
        std::clock_t start = std::clock();
        for (std::uint64_t i = 0; i < kCalls; ++i) RunPassesWithKeys(off.cursor, off.keys, off.board, kPassesPerCall);
        best[0] = std::min(best[0], CpuSeconds(start));
        start = std::clock();
        for (std::uint64_t i = 0; i < kCalls; ++i) onHistory.RunPasses(kPassesPerCall);
        best[1] = std::min(best[1], CpuSeconds(start));
        start = std::clock();
        for (std::uint64_t i = 0; i < kCalls; ++i) {
            watchedHistory.RunUntilOn(bus, kPassesPerCall * kInstructionsPerPass, stop);
        }
        best[2] = std::min(best[2], CpuSeconds(start));
    }
    const double instructions = static_cast<double>(kCalls * kPassesPerCall * kInstructionsPerPass);
    const char* names[] = {"history off:", "history on:", "one watchpoint:"};
    std::printf("flat-out rate, best of %d alternating rounds of %.0f million instructions:\n", rounds,
                instructions / 1e6);
    for (int i = 0; i < 3; ++i) {
        std::printf("  %-16s %8.1f million instructions/s\n", names[i], instructions / best[i] / 1e6);
    }
    std::printf("  history on runs at %.1f%% of the rate with it off\n", 100.0 * best[0] / best[1]);
    if (off.board.cpu.PC != on.board.cpu.PC) std::printf("  (the runs ended apart: PC %04X and %04X)\n",
                                                        off.board.cpu.PC, on.board.cpu.PC);
}

void Depth(int samples) {
    Run run;
    BoardHistory history(run.Parts());
    // Ten million instructions and more, with an edit from outside every million.
    for (int i = 0; i < 11; ++i) {
        history.RunPasses(kDepth / 10 / kInstructionsPerPass);
        history.Input([&] { run.board.memory.bytes[0x2100 + i] = static_cast<std::uint8_t>(i); });
    }
    const std::uint64_t end = history.Now();
    std::printf("history: %llu instructions run, %llu kept (%.1f million back), %.1f MB held\n",
                static_cast<unsigned long long>(end), static_cast<unsigned long long>(end - history.Oldest()),
                static_cast<double>(end - history.Oldest()) / 1e6,
                static_cast<double>(history.MemoryBytes()) / (1 << 20));

    std::mt19937_64 random(18);
    std::vector<double> times;
    for (int i = 0; i < samples; ++i) {
        const std::uint64_t at = history.Oldest() + 1 + random() % (end - history.Oldest());
        history.GoTo(at);
        const auto start = std::chrono::steady_clock::now();
        history.StepBack();
        times.push_back(Milliseconds(start));
    }
    std::sort(times.begin(), times.end());
    std::printf("step back, %d points anywhere in the history: median %.3f ms, worst %.3f ms\n", samples,
                times[times.size() / 2], times.back());

    history.GoTo(end);
    auto start = std::chrono::steady_clock::now();
    const auto never = [](const Board& b) { return b.cpu.PC == 0x0000; };
    history.RunBack(never);
    std::printf("Run back with no stop on the way (every instruction kept asked): %.0f ms\n", Milliseconds(start));
    history.GoTo(end);
    start = std::chrono::steady_clock::now();
    const LastWrite last = history.LastWriteTo(0x2FFF);
    std::printf("who last wrote a byte nothing wrote (the whole history run again): %.0f ms%s\n", Milliseconds(start),
                last.by == LastWrite::By::Nobody ? "" : " (it found a writer!)");
}

}  // namespace

int main(int argc, char** argv) {
    int rounds = 5;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--rounds") == 0 && i + 1 < argc) {
            rounds = std::max(1, std::atoi(argv[++i]));
        } else {
            std::fprintf(stderr, "usage: bench_history [--rounds N]\n");
            return 2;
        }
    }
    Depth(200);
    Rates(rounds);
    return 0;
}
