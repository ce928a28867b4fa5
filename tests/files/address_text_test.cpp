#include "files/address_text.h"

#include <cstdint>

#include <gtest/gtest.h>

namespace {

TEST(AddressText, ReadsAsBase16StrtolWithA32BitLong) {
    const struct {
        const char* text;
        std::uint32_t value;
    } cases[] = {
        {"1800", 0x1800},
        {"1FFF", 0x1FFF},
        {"1fff", 0x1FFF},
        {"0x1800", 0x1800},
        {"0X1800", 0x1800},
        {" 1800", 0x1800},
        {"\t\n\v\f\r 0x1800", 0x1800},
        {"1800h", 0x1800},
        {"18 00", 0x18},
        {"", 0},
        {"0", 0},
        {"xyz", 0},
        {"0x", 0},
        {"0xg", 0},
        {"+", 0},
        {"-", 0},
        {"+100", 0x100},
        {"-1", 0xFFFFFFFF},
        {"-0x10", 0xFFFFFFF0},
        {"- 1", 0},
        {"+-1", 0},
        {"7FFFFFFF", 0x7FFFFFFF},
        {"80000000", 0x7FFFFFFF},
        {"FFFFFFFF", 0x7FFFFFFF},
        {"10000", 0x10000},
        {"FFFFFFFFFFFFFFFFFFFFFFFF", 0x7FFFFFFF},
        {"00000000000000000000001800", 0x1800},
        {"-7FFFFFFF", 0x80000001},
        {"-80000000", 0x80000000},
        {"-80000001", 0x80000000},
        {"-FFFFFFFFFFFFFFFFFFFF", 0x80000000},
    };
    for (const auto& c : cases) EXPECT_EQ(AddressFromText(c.text), c.value) << '"' << c.text << '"';
}

}  // namespace
