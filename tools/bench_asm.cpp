// How long the assembler takes: the monitor's source, and a generated source
// of 10,000 lines in the style of the examples (labels, EQUs, loads, jumps
// back and forward, indexed operands, data). Times are processor time of this
// program per assembly, the best and the median of several runs, after one
// run that builds the instruction table (its time is printed too).
//
//   bench_asm [MONITOR_SOURCE]
#include <algorithm>
#include <cstdio>
#include <ctime>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "asm/assembler.h"

namespace {

double Milliseconds(std::clock_t from, std::clock_t to) {
    return 1000.0 * static_cast<double>(to - from) / CLOCKS_PER_SEC;
}

// Processor time of one assembly, checked to succeed.
double TimeOnce(const std::string& name, const std::string& text) {
    const std::clock_t start = std::clock();
    const AssemblyResult result = Assemble(name, text);
    const std::clock_t end = std::clock();
    if (!result.Succeeded()) {
        std::fprintf(stderr, "bench_asm: %s does not assemble: %s\n", name.c_str(),
                     result.diagnostics.front().message.c_str());
        std::exit(1);
    }
    return Milliseconds(start, end);
}

void Report(const char* what, std::size_t lines, const std::string& name, const std::string& text, int runs,
            double target) {
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) times.push_back(TimeOnce(name, text));
    std::sort(times.begin(), times.end());
    std::printf("%-28s %6zu lines: best %7.3f ms, median %7.3f ms per assembly (%d runs; target under %g ms)\n", what,
                lines, times.front(), times[times.size() / 2], runs, target);
}

// 10,000 lines: a block of 20 with labels of their own, repeated; each block
// calls the next one (forward) and jumps to its own start (backward).
std::string GeneratedSource(std::size_t& lines) {
    std::string text = "; generated for bench_asm\nPORT\tEQU 02h\nBASE\tEQU 1800h\n\tORG BASE\n";
    lines = 4;
    int block = 0;
    for (; lines < 10000; ++block) {
        const std::string n = std::to_string(block);
        const std::string next = std::to_string(block + 1);
        text += "loop" + n +
                ":\tLD A,(IX+5)\t; a comment\n"
                "\tADD A,C\n"
                "\tLD (HL),A\n"
                "\tINC HL\n"
                "\tDJNZ loop" +
                n +
                "\n"
                "\tLD B,count" +
                n +
                "\n"
                "\tCP 'A'+1\n"
                "\tJR NZ,skip" +
                n +
                "\n"
                "\tOUT (PORT),A\n"
                "skip" +
                n + ":\tLD DE,table" + n +
                "+2\n"
                "\tCALL NZ,loop" +
                next +
                "\n"
                "\tLD HL,(table" +
                n +
                ")\n"
                "\tRES 3,(IY-2)\n"
                "\tAND NOT 40h\n"
                "\tEX AF,AF'\n"
                "count" +
                n + "\tEQU 10h+" + std::to_string(block % 7) +
                "\n"
                "table" +
                n +
                ":\tDB 1,2,3,\"ab\"\n"
                "\tDW loop" +
                n +
                ",$\n"
                "\tJP loop" +
                n +
                "\n"
                "\tRET\n";
        lines += 20;
    }
    text += "loop" + std::to_string(block) + ":\tNOP\n";
    ++lines;
    return text;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string monitorPath = argc > 1 ? argv[1] : "monitor/monitor.asm";
    std::ifstream in(monitorPath, std::ios::binary);
    const std::string monitor((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (monitor.empty()) {
        std::fprintf(stderr, "bench_asm: cannot read %s (give the path of monitor/monitor.asm)\n", monitorPath.c_str());
        return 1;
    }
    const std::size_t monitorLines = static_cast<std::size_t>(std::count(monitor.begin(), monitor.end(), '\n'));
    std::printf("first assembly, building the instruction table: %.3f ms\n", TimeOnce("monitor.asm", monitor));
    Report("monitor/monitor.asm", monitorLines, "monitor.asm", monitor, 200, 2);
    std::size_t lines = 0;
    const std::string generated = GeneratedSource(lines);
    Report("generated source", lines, "generated.asm", generated, 20, 50);
    return 0;
}
