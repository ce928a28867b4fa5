// Runs one of the Z80 instruction exercisers (ZEXDOC or ZEXALL) and fails on
// any test line that reports ERROR, unless that test is named as an expected
// difference with --expect-error NAME.
//
//   run_exerciser DIR FILE [--expect-error NAME]...
//
// Exit codes: 0 pass, 1 fail, 77 skipped (folder absent and
// TARVO_REQUIRE_EXERCISERS is not 1).
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "cpm/cpm_harness.h"

namespace {

constexpr int kSkipped = 77;

void Echo(char c) {
    std::putchar(c);
    if (c == '\n') std::fflush(stdout);
}

bool Required() {
    const char* flag = std::getenv("TARVO_REQUIRE_EXERCISERS");
    return flag != nullptr && std::strcmp(flag, "1") == 0;
}

// The name of a result line is what stands before the run of dots.
std::string TestName(const std::string& line) {
    std::size_t dots = line.find("..");
    std::string name = dots == std::string::npos ? line : line.substr(0, dots);
    while (!name.empty() && (name.back() == ' ' || name.back() == '\r')) name.pop_back();
    return name;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: run_exerciser DIR FILE [--expect-error NAME]...\n");
        return 2;
    }
    std::string path = std::string(argv[1]) + "/" + argv[2];
    std::vector<std::string> expected;
    for (int i = 3; i + 1 < argc; i += 2) {
        if (std::strcmp(argv[i], "--expect-error") == 0) expected.emplace_back(argv[i + 1]);
    }

    std::ifstream file(path, std::ios::binary);
    if (!file) {
        if (Required()) {
            std::printf("FAIL: %s not found, and TARVO_REQUIRE_EXERCISERS=1\n", path.c_str());
            return 1;
        }
        std::printf("SKIPPED: %s not found (set TARVO_Z80_TESTS_DIR to the folder holding it)\n", path.c_str());
        return kSkipped;
    }
    std::vector<std::uint8_t> image((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());

    auto start = std::chrono::steady_clock::now();
    CpmRunResult result = RunCpmProgram(image, Echo);
    double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();

    int unexpected = 0;
    int expectedSeen = 0;
    int ok = 0;
    std::istringstream lines(result.output);
    for (std::string line; std::getline(lines, line);) {
        if (line.find("  OK") != std::string::npos) ++ok;
        if (line.find("ERROR") == std::string::npos) continue;
        std::string name = TestName(line);
        bool isExpected = false;
        for (const std::string& e : expected) isExpected = isExpected || e == name;
        if (isExpected) {
            ++expectedSeen;
        } else {
            ++unexpected;
            std::printf("UNEXPECTED ERROR: %s\n", name.c_str());
        }
    }
    bool complete = result.finished && result.output.find("Tests complete") != std::string::npos;
    std::printf("\n%s: %d OK, %d expected differences, %d unexpected errors; %llu instructions in %.1f s\n", argv[2],
                ok, expectedSeen, unexpected, static_cast<unsigned long long>(result.instructions), seconds);
    if (!complete) std::printf("FAIL: the exerciser did not run to its end\n");
    if (expectedSeen != static_cast<int>(expected.size())) {
        std::printf("FAIL: %d of %zu expected differences appeared; update the expected list\n", expectedSeen,
                    expected.size());
        return 1;
    }
    return unexpected == 0 && complete ? 0 : 1;
}
