// Emulated instructions per second of the Z80 core, on the flat RAM bus and on
// the board's bus, for a fixed program; and, when the exerciser is at hand, a
// whole ZEXDOC run on the flat bus. Rates are per second of processor time
// used by this program (wall time is printed beside them), so that other work
// on a shared machine disturbs the figures less.
//
//   bench_cpu [--instructions N] [--zexdoc PATH | --no-zexdoc]
//
// With --instructions 0 only ZEXDOC runs (tools/bench_peers.sh times it so).
#include <chrono>
#include <ctime>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "board/board.h"
#include "board/idle_pass.h"
#include "cpm/cpm_harness.h"
#include "cpu/flat_bus.h"
#include "cpu/memory_bus.h"
#include "cpu/z80.h"

namespace {

// A loop over a 256-byte table in board RAM: loads, 8-bit arithmetic, a
// rotate, indexed memory, a call with push/pop, a shift and DJNZ. It stays in
// 1800h-27FFh, so it runs the same on both buses. Its code also runs from
// 0000h, in ROM as the monitor's does, with its two jump targets moved.
const std::uint8_t kProgram[] = {
    0x31, 0x00, 0x28,        // 1800 LD SP,2800h
    0xDD, 0x21, 0x00, 0x20,  // 1803 LD IX,2000h
    0x06, 0x00,              // 1807 outer: LD B,0
    0x21, 0x00, 0x20,        // 1809 LD HL,2000h
    0x7E,                    // 180C loop: LD A,(HL)
    0x81,                    // 180D ADD A,C
    0x07,                    // 180E RLCA
    0xDD, 0xAE, 0x05,        // 180F XOR (IX+5)
    0x77,                    // 1812 LD (HL),A
    0x23,                    // 1813 INC HL
    0x4F,                    // 1814 LD C,A
    0xCD, 0x20, 0x18,        // 1815 CALL 1820h
    0x10, 0xF2,              // 1818 DJNZ loop
    0xC3, 0x07, 0x18,        // 181A JP outer
    0x00, 0x00, 0x00,        // 181D
    0xC5,                    // 1820 PUSH BC
    0xCB, 0x39,              // 1821 SRL C
    0x79,                    // 1823 LD A,C
    0xE6, 0x0F,              // 1824 AND 0Fh
    0xDD, 0x34, 0x01,        // 1826 INC (IX+1)
    0xC1,                    // 1829 POP BC
    0xC9,                    // 182A RET
};
constexpr std::uint16_t kProgramStart = 0x1800;
constexpr std::size_t kJumpTargets[] = {0x16, 0x1B};  // CALL 1820h, JP 1807h

void LoadProgram(std::uint8_t* memory, std::uint16_t at) {
    std::memcpy(memory + at, kProgram, sizeof kProgram);
    for (std::size_t operand : kJumpTargets) {
        unsigned target = (kProgram[operand] | kProgram[operand + 1] * 256u) - kProgramStart + at;
        memory[at + operand] = static_cast<std::uint8_t>(target);
        memory[at + operand + 1] = static_cast<std::uint8_t>(target >> 8);
    }
}

struct NoPorts {
    std::uint8_t BoardPortIn(std::uint16_t) { return 0xFF; }
    void BoardPortOut(std::uint16_t, std::uint8_t) {}
};

struct Timer {
    std::clock_t cpuStart = std::clock();
    std::chrono::steady_clock::time_point wallStart = std::chrono::steady_clock::now();
    double CpuSeconds() const { return static_cast<double>(std::clock() - cpuStart) / CLOCKS_PER_SEC; }
    double WallSeconds() const {
        return std::chrono::duration<double>(std::chrono::steady_clock::now() - wallStart).count();
    }
};

void Report(const char* what, std::uint64_t count, const Timer& timer) {
    double cpu = timer.CpuSeconds();
    std::printf("  %-10s %8.1f million instructions/s  (%.2f s processor, %.2f s wall)\n", what,
                static_cast<double>(count) / cpu / 1e6, cpu, timer.WallSeconds());
}

template <class Bus>
void Measure(const char* what, Bus& bus, std::uint64_t count, std::uint16_t start = kProgramStart) {
    CpuState cpu{};
    ResetCpu(cpu);
    cpu.PC = start;
    std::uint64_t tStates = 0;  // counted, as the board counts them
    Timer timer;
    RunCpu(cpu, bus, count, [](std::uint16_t) { return false; }, tStates);
    Report(what, count, timer);
    // Keep the result observable so the loop cannot be dropped.
    if (cpu.PC == 0xFFFF && cpu.AF == 0x1234 && tStates == 1) std::puts("");
}

void RunFlat(std::uint64_t count) {
    auto bus = std::make_unique<FlatBus>();
    LoadProgram(bus->memory, kProgramStart);
    Measure("flat bus:", *bus, count);
}

void RunBoard(std::uint64_t count) {
    auto memory = std::make_unique<BoardMemory>();
    LoadProgram(memory->bytes, kProgramStart);
    LoadProgram(memory->bytes, 0x0000);
    MemoryWindow window{0x0800, 0xFFFF};
    NoPorts ports;
    BoardBus<NoPorts> bus{*memory, window, ports};
    Measure("board bus:", bus, count);
    Measure("from ROM:", bus, count, 0x0000);
}

// The same program on a whole board, in idle passes of ten instructions: one
// pass a call, as the window and tarvorun run them, and many passes a call, as
// the page runs flat out.
void RunIdlePasses(std::uint64_t count, std::uint64_t passesPerCall, const char* what) {
    auto board = std::make_unique<Board>();
    SetUpBoard(*board);
    LoadProgram(board->memory.bytes, kProgramStart);
    StartBoard(*board);
    board->cpu.PC = kProgramStart;
    Timer timer;
    const std::uint64_t calls = count / kInstructionsPerPass / passesPerCall;
    for (std::uint64_t call = 0; call < calls; ++call) RunIdlePasses(*board, passesPerCall);
    Report(what, calls * passesPerCall * kInstructionsPerPass, timer);
    if (board->cpu.PC == 0xFFFF && board->cpu.AF == 0x1234) std::puts("");
}

}  // namespace

int main(int argc, char** argv) {
    std::uint64_t count = 500000000;
    std::string zexdoc = std::string(TARVO_DEFAULT_Z80_TESTS_DIR) + "/zexdoc.com";
    bool runZexdoc = true;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--instructions") == 0 && i + 1 < argc) {
            count = std::strtoull(argv[++i], nullptr, 10);
        } else if (std::strcmp(argv[i], "--zexdoc") == 0 && i + 1 < argc) {
            zexdoc = argv[++i];
        } else if (std::strcmp(argv[i], "--no-zexdoc") == 0) {
            runZexdoc = false;
        } else {
            std::fprintf(stderr, "usage: bench_cpu [--instructions N] [--zexdoc PATH | --no-zexdoc]\n");
            return 2;
        }
    }

    if (count > 0) {  // --instructions 0: ZEXDOC alone
        std::printf("fixed program, %llu instructions each\n", static_cast<unsigned long long>(count));
        RunFlat(count);
        RunBoard(count);
        RunIdlePasses(count, 1, "a pass:");
        RunIdlePasses(count, 1000, "passes:");
    }

    if (!runZexdoc) return 0;
    std::ifstream file(zexdoc, std::ios::binary);
    if (!file) {
        std::printf("zexdoc: %s not found, skipped\n", zexdoc.c_str());
        return 0;
    }
    std::vector<std::uint8_t> image((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    std::printf("zexdoc on the flat bus (%s)\n", zexdoc.c_str());
    Timer timer;
    CpmRunResult result = RunCpmProgram(image);
    Report("zexdoc:", result.instructions, timer);
    bool passed = result.finished && result.output.find("ERROR") == std::string::npos;
    std::printf("  %llu instructions, %llu T-states, %s\n", static_cast<unsigned long long>(result.instructions),
                static_cast<unsigned long long>(result.tStates), passed ? "every test OK" : "ERRORS");
    return passed ? 0 : 1;
}
