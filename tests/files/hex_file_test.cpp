#include "files/hex_file.h"

#include <bitset>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <memory>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "tests/files/file_test_support.h"

namespace {

struct Bytes {
    std::uint32_t address;
    std::vector<std::uint8_t> values;
};

// Memory that starts all zero with the given bytes stored, wrapping past 0xFFFF.
std::unique_ptr<BoardMemory> Expected(const std::vector<Bytes>& stored) {
    auto memory = std::make_unique<BoardMemory>();
    for (const Bytes& run : stored) {
        for (std::size_t i = 0; i < run.values.size(); ++i) {
            memory->bytes[(run.address + i) & 0xFFFF] = run.values[i];
        }
    }
    return memory;
}

void ExpectSameMemory(const BoardMemory& actual, const BoardMemory& expected, const char* name) {
    for (std::uint32_t a = 0; a < 0x10000; ++a) {
        if (actual.bytes[a] != expected.bytes[a]) {
            ADD_FAILURE() << name << ": byte at " << std::hex << a << " is " << unsigned(actual.bytes[a])
                          << ", expected " << unsigned(expected.bytes[a]);
            return;
        }
    }
}

const char kRecord1800[] = ":051800003E01D300765B";
const std::vector<std::uint8_t> kBytes1800 = {0x3E, 0x01, 0xD3, 0x00, 0x76};
const char kRecord0030[] = ":0300300002337A1E";
const std::vector<std::uint8_t> kBytes0030 = {0x02, 0x33, 0x7A};

// One read of a line takes at most 999 characters; the rest is read as a line of its own.
std::string PaddedTo(std::string line, std::size_t length) {
    line.resize(length, ' ');
    return line;
}

TEST(HexRead, LoadsFilesAsTheBoardWritesThem) {
    const std::string r1800 = kRecord1800;
    const std::string r0030 = kRecord0030;
    const std::vector<Bytes> both = {{0x1800, kBytes1800}, {0x30, kBytes0030}};
    const std::vector<Bytes> first = {{0x1800, kBytes1800}};
    const char* const kCtrlZ = "text after a Ctrl-Z (1Ah) end-of-file mark";
    const struct {
        const char* name;
        std::string text;
        int result;
        std::vector<Bytes> stored;
        unsigned long badLine;  // for -2: the line reported, and why
        const char* reason;
    } cases[] = {
        {"CR LF line ends", r1800 + "\r\n" + r0030 + "\r\n:00000001FF\r\n", 0, both, 0, nullptr},
        {"LF line ends", r1800 + "\n" + r0030 + "\n:00000001FF\n", 0, both, 0, nullptr},
        {"CR line ends", r1800 + "\r" + r0030 + "\r:00000001FF\r", 0, both, 0, nullptr},
        {"mixed line ends", r1800 + "\r" + r0030 + "\n:00000001FF\r\n", 0, both, 0, nullptr},
        {"lower case", ":051800003e01d300765b\r\n:00000001ff\r\n", 0, first, 0, nullptr},
        {"no end record, last line ends", r1800 + "\r\n" + r0030 + "\r\n", 0, both, 0, nullptr},
        {"no end record, last line open", r1800 + "\r\n" + r0030, 0, both, 0, nullptr},
        {"end record only", ":00000001FF\r\n", 0, {}, 0, nullptr},
        {"empty file", "", 0, {}, 0, nullptr},
        {"empty line between records", r1800 + "\r\n\r\n" + r0030 + "\r\n", -2, first, 2, "empty line"},
        {"CR CR LF is a line end and an empty line", r1800 + "\r\r\n" + r0030, -2, first, 2, "empty line"},
        {"wrong checksum digit after a good record", r1800 + "\n:0300300002337A1F\n", -2, first, 2,
         "checksum mismatch"},
        {"line numbers count CR, LF and CR LF alike", r1800 + "\r" + r1800 + "\n" + r1800 + "\r\n:03003G0002337A1E", -2,
         first, 4, "not a hexadecimal field (address)"},
        {"record past FFFF wraps to 0000",
         ":20FFF000000102030405060708090A0B0C0D0E0F101112131415161718191A1B1C1D1E1F01\r\n",
         0,
         {{0xFFF0, {0x00, 0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07, 0x08, 0x09, 0x0A, 0x0B, 0x0C, 0x0D, 0x0E, 0x0F,
                    0x10, 0x11, 0x12, 0x13, 0x14, 0x15, 0x16, 0x17, 0x18, 0x19, 0x1A, 0x1B, 0x1C, 0x1D, 0x1E, 0x1F}}},
         0,
         nullptr},
        {"type 04 ignored, data at 16-bit addresses", ":020000040001F9\r\n" + r1800 + "\r\n", 0, first, 0, nullptr},
        {"text after the end record not read", r1800 + "\r\n:00000001FF\r\nnot a record\r\n", 0, first, 0, nullptr},
        {"characters after the checksum", r1800 + "   ; start\r\n", 0, first, 0, nullptr},
        {"characters after the checksum, CR line ends", r1800 + " ; start\r" + r0030 + "\r", 0, both, 0, nullptr},
        {"Ctrl-Z ends the file", r1800 + "\r\n\x1A\x1A\x1A", 0, first, 0, nullptr},
        {"Ctrl-Z, then white space and Ctrl-Z", r1800 + "\x1A \r\n\t\x1A\n\v\f", 0, first, 0, nullptr},
        {"Ctrl-Z between records", r1800 + "\r\n\x1A" + r0030 + "\r\n", -2, first, 2, kCtrlZ},
        {"Ctrl-Z after a record, a record after it", r1800 + "\x1A\r\n" + r0030, -2, first, 1, kCtrlZ},
        {"Ctrl-Z and text after the end record not read", r1800 + "\r\n:00000001FF\x1Ajunk", 0, first, 0, nullptr},
        {"998 characters and CR LF read as one line", PaddedTo(r1800, 998) + "\r\n" + r0030, 0, both, 0, nullptr},
        {"998 characters and CR read as one line", PaddedTo(r1800, 998) + "\r" + r0030, 0, both, 0, nullptr},
        {"999 characters and LF leave an empty line", PaddedTo(r1800, 999) + "\n" + r0030, -2, first, 1, "empty line"},
        {"record at column 999 read as its own line", PaddedTo(r1800, 999) + r0030 + "\n", 0, both, 0, nullptr},
        {"long line with junk past column 999", PaddedTo(r1800, 999) + "junk\n", -2, first, 1, "no start code ':'"},
    };
    for (const auto& c : cases) {
        TempFolder folder;
        const std::string path = folder.Path("prog.hex");
        WriteWholeFile(path, c.text);
        auto memory = std::make_unique<BoardMemory>();
        FileError error;
        EXPECT_EQ(ReadHexFile(path.c_str(), *memory, &error), c.result) << c.name;
        ExpectSameMemory(*memory, *Expected(c.stored), c.name);
        EXPECT_EQ(error.line, c.badLine) << c.name;
        EXPECT_STREQ(error.reason, c.reason) << c.name;
        EXPECT_EQ(error.systemError, 0) << c.name;
    }
}

// What the page tells about a load: the addresses written, and for a checksum mismatch both checksums.
TEST(HexRead, MarksWhatItWroteAndGivesTheChecksumsOfAMismatch) {
    TempFolder folder;
    const std::string path = folder.Path("prog.hex");
    WriteWholeFile(path, ":02FFFF00AABB9B\n:0300300002337A1F\n");  // wraps to 0000h; then a wrong checksum
    auto memory = std::make_unique<BoardMemory>();
    FileError error;
    std::bitset<65536> written;
    EXPECT_EQ(ReadHexFile(path.c_str(), *memory, &error, &written), -2);
    EXPECT_EQ(written.count(), 2u);
    EXPECT_TRUE(written.test(0xFFFF) && written.test(0x0000));
    EXPECT_EQ(error.line, 2u);
    EXPECT_EQ(error.checksumGiven, 0x1F);
    EXPECT_EQ(error.checksumWanted, 0x1E);

    WriteWholeFile(path, ":0300300002337A1E\n:03003G0002337A1E\n");
    EXPECT_EQ(ReadHexFile(path.c_str(), *memory, &error), -2);
    EXPECT_EQ(error.checksumGiven, -1);  // no checksum to speak of
}

// A folder opens like a file on some systems; it still cannot be loaded.
TEST(HexRead, MissingFileOrFolderCannotBeOpened) {
    TempFolder folder;
    auto memory = std::make_unique<BoardMemory>();
    FileError error;
    EXPECT_EQ(ReadHexFile(folder.Path("absent.hex").c_str(), *memory, &error), -1);
    EXPECT_EQ(error.systemError, ENOENT);
    EXPECT_EQ(ReadHexFile(folder.Path("").c_str(), *memory, &error), -1);
    EXPECT_EQ(error.systemError, EISDIR);
}

std::vector<std::string> CrLfLines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2) {
        lines.push_back(text.substr(start, end - start));
    }
    EXPECT_EQ(start, text.size()) << "text after the last CR LF";
    return lines;
}

TEST(HexWrite, WritesTheExactBytesOfAShortRange) {
    TempFolder folder;
    const std::string path = folder.Path("out.hex");
    auto memory = Expected({{0x1800, kBytes1800}});
    ASSERT_EQ(WriteHexFile(path.c_str(), *memory, 0x1800, 0x1804), 0);
    EXPECT_EQ(ReadWholeFile(path), ":051800003E01D300765B\r\n:00000001FF\r\n");
}

// Records of 32 bytes; the last one takes what is left, down to one byte, including the byte at To.
TEST(HexWrite, SplitsRangesIntoRecordsOf32Bytes) {
    const struct {
        std::uint32_t from, to;
        std::vector<std::pair<unsigned, unsigned>> records;  // address, count
    } cases[] = {
        {0x0000, 0x0040, {{0x0000, 32}, {0x0020, 32}, {0x0040, 1}}},
        {0x1805, 0x1824, {{0x1805, 32}}},
        {0x1805, 0x1825, {{0x1805, 32}, {0x1825, 1}}},
        {0xFFFF, 0xFFFF, {{0xFFFF, 1}}},
        {0xFFE0, 0xFFFF, {{0xFFE0, 32}}},
    };
    auto memory = std::make_unique<BoardMemory>();
    FillPattern(*memory);
    for (const auto& c : cases) {
        TempFolder folder;
        const std::string path = folder.Path("out.hex");
        ASSERT_EQ(WriteHexFile(path.c_str(), *memory, c.from, c.to), 0);
        const std::vector<std::string> lines = CrLfLines(ReadWholeFile(path));
        ASSERT_EQ(lines.size(), c.records.size() + 1) << std::hex << c.from << "-" << c.to;
        for (std::size_t i = 0; i < c.records.size(); ++i) {
            HexRecord record{};
            ASSERT_TRUE(ParseHexRecord(lines[i].data(), lines[i].size(), record)) << lines[i];
            EXPECT_EQ(lines[i].size(), 11 + 2 * record.count) << lines[i];
            EXPECT_EQ(record.type, 0);
            EXPECT_EQ(record.address, c.records[i].first);
            EXPECT_EQ(record.count, c.records[i].second);
            for (unsigned k = 0; k < record.count; ++k) EXPECT_EQ(record.data[k], PatternByte(record.address + k));
        }
        EXPECT_EQ(lines.back(), ":00000001FF");
    }
}

TEST(HexWrite, WholeMemoryRoundTrips) {
    TempFolder folder;
    const std::string path = folder.Path("all.hex");
    auto memory = std::make_unique<BoardMemory>();
    FillPattern(*memory);
    ASSERT_EQ(WriteHexFile(path.c_str(), *memory, 0x0000, 0xFFFF), 0);
    const std::string text = ReadWholeFile(path);
    EXPECT_EQ(CrLfLines(text).size(), 2048u + 1);
    EXPECT_EQ(text.find_first_of("abcdef"), std::string::npos) << "digits are written in upper case";
    auto loaded = std::make_unique<BoardMemory>();
    ASSERT_EQ(ReadHexFile(path.c_str(), *loaded), 0);
    ExpectSameMemory(*loaded, *memory, "round trip");
}

TEST(HexWrite, ReplacesAnExistingFileWhole) {
    TempFolder folder;
    const std::string path = folder.Path("out.hex");
    WriteWholeFile(path, std::string(5000, 'x'));
    auto memory = Expected({{0x1800, kBytes1800}});
    ASSERT_EQ(WriteHexFile(path.c_str(), *memory, 0x1800, 0x1804), 0);
    EXPECT_EQ(ReadWholeFile(path), ":051800003E01D300765B\r\n:00000001FF\r\n");
    EXPECT_EQ(folder.Names(), std::set<std::string>{"out.hex"});
}

TEST(HexWrite, BadRangeLeavesTheFileAlone) {
    const std::pair<std::uint32_t, std::uint32_t> ranges[] = {
        {0x2000, 0x1000}, {0x0000, 0x10000}, {0x1800, 0xFFFFFFFF}, {0xFFFFFFFF, 0xFFFFFFFF}, {0x0001, 0x0000}};
    auto memory = std::make_unique<BoardMemory>();
    for (const auto& range : ranges) {
        TempFolder folder;
        const std::string kept = folder.Path("kept.hex");
        WriteWholeFile(kept, "old contents\r\n");
        EXPECT_EQ(WriteHexFile(kept.c_str(), *memory, range.first, range.second), -2);
        EXPECT_EQ(ReadWholeFile(kept), "old contents\r\n");
        EXPECT_EQ(WriteHexFile(folder.Path("new.hex").c_str(), *memory, range.first, range.second), -2);
        EXPECT_EQ(folder.Names(), std::set<std::string>{"kept.hex"});
    }
}

TEST(HexWrite, MissingFolderCannotBeCreated) {
    TempFolder folder;
    auto memory = std::make_unique<BoardMemory>();
    EXPECT_EQ(WriteHexFile(folder.Path("no-such-folder/out.hex").c_str(), *memory, 0, 0x10), -1);
    EXPECT_TRUE(folder.Names().empty());
}

}  // namespace
