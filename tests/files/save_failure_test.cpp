// A save that cannot be completed reports -1 and leaves any existing file of that name byte for
// byte as it was, with no temporary file left behind. Both savers are run through every case.
#include <cstdint>
#include <cstdio>
#include <memory>
#include <ostream>
#include <set>
#include <string>

#include <gtest/gtest.h>

#include "files/binary_file.h"
#include "files/hex_file.h"
#include "files/safe_save.h"
#include "tests/files/file_test_support.h"

#if defined(__linux__)
#include <csignal>

#include <sys/resource.h>
#include <unistd.h>
#endif

namespace {

struct Saver {
    const char* name;
    int (*save)(const char* path, const BoardMemory& memory, std::uint32_t from, std::uint32_t to);
    std::size_t wholeMemoryBytes;  // bytes written for 0x0000 to 0xFFFF
    int wholeMemoryResult;
};

int SaveHex(const char* path, const BoardMemory& memory, std::uint32_t from, std::uint32_t to) {
    return WriteHexFile(path, memory, from, to);
}
int SaveBinary(const char* path, const BoardMemory& memory, std::uint32_t from, std::uint32_t to) {
    return WriteBinaryFile(path, memory, from, to);
}

// 2048 lines of 32 bytes (75 characters and CR LF) and the end record (13 bytes).
const Saver kSavers[] = {{"Hex", SaveHex, 2048 * 77 + 13, 0}, {"Binary", SaveBinary, 0xFFFF, 0xFFFF}};

// Stream calls that fail like a full disk once `writeBudget` bytes have gone through, or at the close.
std::size_t writeBudget = 0;
bool failClose = false;

std::size_t BudgetedWrite(const void* bytes, std::size_t count, std::FILE* stream) {
    const std::size_t allowed = count < writeBudget ? count : writeBudget;
    writeBudget -= allowed;
    return kDefaultSaveStreamCalls.write(bytes, allowed, stream);
}
int FailingClose(std::FILE* stream) {
    const int result = kDefaultSaveStreamCalls.close(stream);
    return failClose ? EOF : result;
}

void PrintTo(const Saver& saver, std::ostream* out) { *out << saver.name; }

class SaveFailure : public testing::TestWithParam<Saver> {
protected:
    void SetUp() override {
        memory_ = std::make_unique<BoardMemory>();
        FillPattern(*memory_);
        WriteWholeFile(existing_, kOldContents);
    }
    void TearDown() override { saveStreamCalls = kDefaultSaveStreamCalls; }

    // The whole memory saved over the existing file and into a new name: both fail, nothing changes.
    void ExpectFailureLosesNothing(const std::string& what) {
        EXPECT_EQ(GetParam().save(existing_.c_str(), *memory_, 0x0000, 0xFFFF), -1) << what;
        EXPECT_EQ(ReadWholeFile(existing_), kOldContents) << what;
        EXPECT_EQ(folder_.Names(), std::set<std::string>{"kept"}) << what;
    }

    static constexpr const char* kOldContents = "the user's old file\r\n";
    TempFolder folder_;
    const std::string existing_ = folder_.Path("kept");
    std::unique_ptr<BoardMemory> memory_;
};

TEST_P(SaveFailure, FailingWriteAtAnyPoint) {
    const std::size_t total = GetParam().wholeMemoryBytes;
    for (const std::size_t budget :
         {std::size_t{0}, std::size_t{1}, std::size_t{76}, std::size_t{77}, total / 2, total - 1}) {
        saveStreamCalls = {BudgetedWrite, kDefaultSaveStreamCalls.close};
        writeBudget = budget;
        ExpectFailureLosesNothing("write fails after " + std::to_string(budget) + " bytes");
    }
    // With room for every byte the same save goes through, so the budget above was the cause.
    writeBudget = total;
    EXPECT_EQ(GetParam().save(existing_.c_str(), *memory_, 0x0000, 0xFFFF), GetParam().wholeMemoryResult);
    EXPECT_EQ(ReadWholeFile(existing_).size(), total);
    EXPECT_EQ(writeBudget, 0u);
}

TEST_P(SaveFailure, FailingClose) {
    saveStreamCalls = {kDefaultSaveStreamCalls.write, FailingClose};
    failClose = true;
    ExpectFailureLosesNothing("close fails");
    EXPECT_EQ(GetParam().save(folder_.Path("new").c_str(), *memory_, 0x1800, 0x1810), -1);
    EXPECT_EQ(folder_.Names(), std::set<std::string>{"kept"});
}

TEST_P(SaveFailure, TargetIsAFolder) {
    const std::string target = folder_.Path("folder");
    std::filesystem::create_directory(target);
    WriteWholeFile(target + "/inside", "x");
    EXPECT_EQ(GetParam().save(target.c_str(), *memory_, 0x1800, 0x1810), -1);
    EXPECT_TRUE(std::filesystem::is_directory(target));
    EXPECT_EQ(ReadWholeFile(target + "/inside"), "x");
    EXPECT_EQ(folder_.Names(), (std::set<std::string>{"folder", "kept"}));
}

// The temporary file gets a fresh name; a file that already has the first name tried stays.
TEST_P(SaveFailure, TemporaryNameNeverOverwritesAFile) {
    const std::string bystander = existing_ + "~0.tmp";
    WriteWholeFile(bystander, "bystander");
    EXPECT_EQ(GetParam().save(existing_.c_str(), *memory_, 0x1800, 0x1800), 0);
    EXPECT_EQ(ReadWholeFile(bystander), "bystander");
    EXPECT_EQ(folder_.Names(), (std::set<std::string>{"kept", "kept~0.tmp"}));
}

// A file that no temporary file fits beside (its name is at the system's limit) is rewritten in
// place. A failing write puts the old bytes and length back, whether the file was to grow or
// shrink; so does a failing close of a file that grew.
TEST_P(SaveFailure, FailureInPlaceRestoresTheOldFile) {
    const std::string path = folder_.Path(std::string(252, 'n'));
    const std::size_t total = GetParam().wholeMemoryBytes;
    for (const std::string& old : {std::string(kOldContents), std::string(total + 5000, 'o')}) {
        for (const std::size_t budget : {std::size_t{0}, std::size_t{1}, total / 2, total - 1}) {
            WriteWholeFile(path, old);
            saveStreamCalls = {BudgetedWrite, kDefaultSaveStreamCalls.close};
            writeBudget = budget;
            EXPECT_EQ(GetParam().save(path.c_str(), *memory_, 0x0000, 0xFFFF), -1) << budget;
            EXPECT_TRUE(ReadWholeFile(path) == old) << "old file of " << old.size() << " bytes, budget " << budget;
        }
    }
    WriteWholeFile(path, kOldContents);
    saveStreamCalls = {kDefaultSaveStreamCalls.write, FailingClose};
    failClose = true;
    EXPECT_EQ(GetParam().save(path.c_str(), *memory_, 0x0000, 0xFFFF), -1);
    EXPECT_EQ(ReadWholeFile(path), kOldContents);
    EXPECT_EQ(folder_.Names(), (std::set<std::string>{"kept", std::string(252, 'n')}));
}

#if defined(__linux__)
// A read-only file is not replaced. Root may write anything, so there is nothing to see then.
TEST_P(SaveFailure, ReadOnlyTargetIsKept) {
    if (geteuid() == 0) GTEST_SKIP() << "running as root";
    std::filesystem::permissions(existing_, std::filesystem::perms::owner_read);
    EXPECT_EQ(GetParam().save(existing_.c_str(), *memory_, 0x1800, 0x1810), -1);
    EXPECT_EQ(ReadWholeFile(existing_), kOldContents);
    EXPECT_EQ(folder_.Names(), std::set<std::string>{"kept"});
}

// A real write error from the system, even for root: the process may not grow files past 4 KiB.
TEST_P(SaveFailure, FileSizeLimitOfTheSystem) {
    rlimit saved{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    rlimit small = saved;
    small.rlim_cur = 4096;
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    const int result = GetParam().save(existing_.c_str(), *memory_, 0x0000, 0xFFFF);
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, oldHandler);
    EXPECT_EQ(result, -1);
    EXPECT_EQ(ReadWholeFile(existing_), kOldContents);
    EXPECT_EQ(folder_.Names(), std::set<std::string>{"kept"});
}
#endif

INSTANTIATE_TEST_SUITE_P(HexAndBinary, SaveFailure, testing::ValuesIn(kSavers),
                         [](const testing::TestParamInfo<Saver>& saver) { return std::string(saver.param.name); });

}  // namespace
