#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "files/hex_file.h"

namespace {

bool Parse(const std::string& line, HexRecord& record) { return ParseHexRecord(line.data(), line.size(), record); }

struct GoodLine {
    const char* name;
    std::string line;
    unsigned count;
    unsigned address;
    unsigned type;
    std::vector<unsigned> data;
};

// A record of 255 bytes 00..FE at 0000: the longest there is.
std::string LongestRecord() {
    std::string line = ":FF000000";
    unsigned sum = 0xFF;
    static const char kDigits[] = "0123456789ABCDEF";
    for (unsigned i = 0; i < 255; ++i) {
        line += kDigits[i >> 4];
        line += kDigits[i & 0xF];
        sum += i;
    }
    const unsigned checksum = (0x100 - (sum & 0xFF)) & 0xFF;
    line += kDigits[checksum >> 4];
    line += kDigits[checksum & 0xF];
    return line;
}

TEST(HexRecord, ValidLinesGiveTheirFields) {
    std::vector<unsigned> longest;
    for (unsigned i = 0; i < 255; ++i) longest.push_back(i);
    const GoodLine cases[] = {
        {"data record", ":0300300002337A1E", 3, 0x0030, 0, {0x02, 0x33, 0x7A}},
        {"lower case", ":0300300002337a1e", 3, 0x0030, 0, {0x02, 0x33, 0x7A}},
        {"end record", ":00000001FF", 0, 0, 1, {}},
        {"empty data record", ":00FFFF0002", 0, 0xFFFF, 0, {}},
        {"unknown type still checked and valid", ":020000040001F9", 2, 0, 4, {0x00, 0x01}},
        {"text after the checksum ignored", ":00000001FF  ; end", 0, 0, 1, {}},
        {"longest record", LongestRecord(), 255, 0, 0, longest},
    };
    for (const GoodLine& c : cases) {
        HexRecord record{};
        ASSERT_TRUE(Parse(c.line, record)) << c.name;
        EXPECT_EQ(record.count, c.count) << c.name;
        EXPECT_EQ(record.address, c.address) << c.name;
        EXPECT_EQ(record.type, c.type) << c.name;
        for (std::size_t i = 0; i < c.data.size(); ++i) EXPECT_EQ(record.data[i], c.data[i]) << c.name << " byte " << i;
    }
}

TEST(HexRecord, MalformedLinesAreRefusedWithTheirReason) {
    const struct {
        const char* name;
        std::string line;
        const char* reason;
    } cases[] = {
        {"empty line", "", "empty line"},
        {"no start code", "0300300002337A1E0", "no start code ':'"},
        {"other start code", ";0300300002337A1E", "no start code ':'"},
        {"ten characters", ":00000001F", "too short for a record"},
        {"checksum missing", ":0300300002337A", "shorter than its byte count says"},
        {"last data byte cut", ":0300300002337", "shorter than its byte count says"},
        {"count promises more than the line", ":FF00000000", "shorter than its byte count says"},
        {"wrong checksum", ":0300300002337A1F", "checksum mismatch"},
        {"wrong data digit", ":0300300002337B1E", "checksum mismatch"},
        {"non-digit in count", ":0G00300002337A1E", "not a hexadecimal field (byte count)"},
        {"non-digit in address", ":03003G0002337A1E", "not a hexadecimal field (address)"},
        {"non-digit in type", ":030030G002337A1E", "not a hexadecimal field (record type)"},
        {"non-digit in data", ":03003000023G7A1E", "not a hexadecimal field (data)"},
        {"non-digit in checksum", ":0300300002337A1G", "not a hexadecimal field (checksum)"},
        {"NUL inside the record", std::string(":0300300002") + '\0' + "37A1E", "not a hexadecimal field (data)"},
    };
    for (const auto& c : cases) {
        HexRecord record{};
        const char* reason = nullptr;
        EXPECT_FALSE(ParseHexRecord(c.line.data(), c.line.size(), record, &reason)) << c.name;
        EXPECT_STREQ(reason, c.reason) << c.name;
    }
}

// Each line would pass a formatted scan of its fields (%02x, %04x), which takes a blank, a sign or
// a 0x prefix, with a matching checksum. The board's files have exactly two or four digits.
TEST(HexRecord, FieldsMustBeBareDigits) {
    const struct {
        const char* name;
        const char* line;
    } cases[] = {
        {"blank in checksum", ":0000FF00 1"},          {"plus sign in count", ":+300300002337A1E"},
        {"plus sign in address", ":03+0300002337A1E"}, {"plus sign in data", ":01000000+1FE"},
        {"minus sign in data", ":01000000-100"},       {"minus sign in checksum", ":00000100-1"},
        {"0x in type", ":0300300x02337A1E"},           {"0x in data", ":010000000xFF"},
    };
    for (const auto& c : cases) {
        HexRecord record{};
        EXPECT_FALSE(Parse(c.line, record)) << c.name << ": " << c.line;
    }
}

// The parser is handed exactly the characters of the line; it must not look past them, even for a
// count that asks for more.
TEST(HexRecord, LooksOnlyAtTheGivenLength) {
    const std::string line = ":0300300002337A1E";
    HexRecord record{};
    EXPECT_FALSE(ParseHexRecord(line.data(), line.size() - 1, record));
    EXPECT_FALSE(ParseHexRecord(line.data(), 10, record));
    EXPECT_TRUE(ParseHexRecord(line.data(), line.size(), record));
}

}  // namespace
