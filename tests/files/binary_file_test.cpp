#include "files/binary_file.h"

#include <cstdint>
#include <memory>
#include <string>
#include <utility>

#include <gtest/gtest.h>

#include "tests/files/file_test_support.h"

namespace {

std::string Sequence(std::size_t length, unsigned first) {
    std::string bytes;
    for (std::size_t i = 0; i < length; ++i) bytes += static_cast<char>((first + i) & 0xFF);
    return bytes;
}

// Loads land at From; the byte at To is never written; everything outside the loaded bytes keeps
// its contents.
TEST(BinaryRead, LoadsFromUpToTo) {
    const struct {
        const char* name;
        std::size_t fileLength;
        std::uint32_t from, to;
        int result;
        std::size_t loaded;
    } cases[] = {
        {"file shorter than the range", 16, 0x1800, 0x1900, 0, 16},
        {"file fills the range exactly", 256, 0x1800, 0x1900, 1, 256},
        {"file longer than the range", 300, 0x1800, 0x1900, 1, 256},
        {"empty range reads nothing", 16, 0x1800, 0x1800, 0, 0},
        {"empty file", 0, 0x1800, 0x1900, 0, 0},
        {"range up to FFFE", 0x10000, 0x0000, 0xFFFF, 1, 0xFFFF},
    };
    for (const auto& c : cases) {
        TempFolder folder;
        const std::string path = folder.Path("prog.bin");
        WriteWholeFile(path, Sequence(c.fileLength, 0x40));
        auto memory = std::make_unique<BoardMemory>();
        FillPattern(*memory);
        EXPECT_EQ(ReadBinaryFile(path.c_str(), *memory, c.from, c.to), c.result) << c.name;
        for (std::uint32_t a = 0; a < 0x10000; ++a) {
            const bool loaded = a >= c.from && a < c.from + c.loaded;
            const std::uint8_t expected =
                loaded ? static_cast<std::uint8_t>((0x40 + a - c.from) & 0xFF) : PatternByte(a);
            if (memory->bytes[a] != expected) {
                ADD_FAILURE() << c.name << ": byte at " << std::hex << a;
                break;
            }
        }
    }
}

TEST(BinaryRead, BadRangeIsCheckedBeforeTheFile) {
    TempFolder folder;
    const std::string present = folder.Path("prog.bin");
    WriteWholeFile(present, Sequence(16, 0));
    const std::string absent = folder.Path("absent.bin");
    auto memory = std::make_unique<BoardMemory>();
    for (const auto& range :
         {std::pair<std::uint32_t, std::uint32_t>{0x1900, 0x1800}, {0x0000, 0x10000}, {0x1800, 0xFFFFFFFF}}) {
        EXPECT_EQ(ReadBinaryFile(present.c_str(), *memory, range.first, range.second), -2);
        EXPECT_EQ(ReadBinaryFile(absent.c_str(), *memory, range.first, range.second), -2);
    }
    EXPECT_EQ(ReadBinaryFile(absent.c_str(), *memory, 0x1800, 0x1900), -1);
    EXPECT_EQ(ReadBinaryFile(folder.Path("").c_str(), *memory, 0x1800, 0x1900), -1);
    for (std::uint32_t a = 0; a < 0x10000; ++a) ASSERT_EQ(memory->bytes[a], 0) << std::hex << a;
}

TEST(BinaryWrite, SavesFromUpToTo) {
    const struct {
        std::uint32_t from, to;
    } cases[] = {{0x0000, 0x0800}, {0x1800, 0x1800}, {0x0000, 0xFFFF}, {0x1234, 0x1235}};
    auto memory = std::make_unique<BoardMemory>();
    FillPattern(*memory);
    for (const auto& c : cases) {
        TempFolder folder;
        const std::string path = folder.Path("out.hex");  // a name the dialog completed with .hex
        EXPECT_EQ(WriteBinaryFile(path.c_str(), *memory, c.from, c.to), static_cast<int>(c.to - c.from));
        const std::string saved = ReadWholeFile(path);
        ASSERT_EQ(saved.size(), c.to - c.from) << std::hex << c.from << "-" << c.to;
        EXPECT_EQ(saved, std::string(reinterpret_cast<const char*>(memory->bytes) + c.from, c.to - c.from));
    }
}

TEST(BinaryWrite, ReplacesAnExistingFileWhole) {
    TempFolder folder;
    const std::string path = folder.Path("out.bin");
    WriteWholeFile(path, std::string(5000, 'x'));
    auto memory = std::make_unique<BoardMemory>();
    FillPattern(*memory);
    ASSERT_EQ(WriteBinaryFile(path.c_str(), *memory, 0x1800, 0x1810), 16);
    EXPECT_EQ(ReadWholeFile(path), std::string(reinterpret_cast<const char*>(memory->bytes) + 0x1800, 16));
    EXPECT_EQ(folder.Names(), std::set<std::string>{"out.bin"});
}

TEST(BinaryWrite, BadRangeOrMissingFolderLeavesFilesAlone) {
    TempFolder folder;
    const std::string kept = folder.Path("kept.bin");
    WriteWholeFile(kept, "old");
    auto memory = std::make_unique<BoardMemory>();
    for (const auto& range :
         {std::pair<std::uint32_t, std::uint32_t>{0x1900, 0x1800}, {0x0000, 0x10000}, {0xFFFFFFFF, 0xFFFFFFFF}}) {
        EXPECT_EQ(WriteBinaryFile(kept.c_str(), *memory, range.first, range.second), -2);
        EXPECT_EQ(WriteBinaryFile(folder.Path("new.bin").c_str(), *memory, range.first, range.second), -2);
    }
    EXPECT_EQ(WriteBinaryFile(folder.Path("missing/new.bin").c_str(), *memory, 0, 16), -1);
    EXPECT_EQ(ReadWholeFile(kept), "old");
    EXPECT_EQ(folder.Names(), std::set<std::string>{"kept.bin"});
}

}  // namespace
