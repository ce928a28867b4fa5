// The runner's output: the first write that fails ends the run and is reported.
#include <cerrno>
#include <filesystem>
#include <sstream>
#include <streambuf>
#include <string>
#include <system_error>

#include <gtest/gtest.h>

#include "../files/file_test_support.h"
#include "tarvorun_output.h"
#include "tarvorun_session.h"

namespace {

// Fails every write as a full disk does.
class FullDisk : public std::streambuf {
protected:
    int_type overflow(int_type) override {
        errno = ENOSPC;
        return traits_type::eof();
    }
    std::streamsize xsputn(const char*, std::streamsize) override {
        errno = ENOSPC;
        return 0;
    }
};

TEST(CheckedOutput, TheFirstFailedWriteEndsTheRunAndIsReported) {
    TempFolder folder;
    FullDisk disk;
    std::ostream out(&disk);
    std::ostringstream err;
    RunOptions options;
    options.noRom = true;
    options.trace = true;
    options.passes = 100000;  // a million trace lines, were the run to go on
    // Written after the run: only a run that went on to its end writes it.
    options.saves.push_back(HexSave{{0x1800, 0x1800}, folder.Path("after.hex")});
    const int code = WithCheckedOutput(out, err, [&] { return RunBoardSession(options, "", '/', out, err); });
    EXPECT_EQ(code, kRunFailed);
    EXPECT_EQ(err.str(), "tarvorun: cannot write the output: " + std::generic_category().message(ENOSPC) + "\n");
    EXPECT_FALSE(std::filesystem::exists(options.saves[0].path));
}

}  // namespace
