// The runner's command line: what each option sets, and the usage errors.
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "tarvorun_options.h"

namespace {

struct Parsed {
    bool ok;
    RunOptions options;
    std::string error;
};

Parsed Parse(std::vector<const char*> args) {
    args.insert(args.begin(), "tarvorun");
    Parsed p;
    p.ok = ParseRunOptions(static_cast<int>(args.size()), args.data(), p.options, p.error);
    return p;
}

TEST(RunOptions, DefaultsWhenNothingIsGiven) {
    const Parsed p = Parse({});
    ASSERT_TRUE(p.ok);
    EXPECT_FALSE(p.options.romGiven);
    EXPECT_EQ(p.options.passes, 0u);
    EXPECT_EQ(p.options.settlePasses, kDefaultSettlePasses);
    EXPECT_EQ(p.options.scanLimit, kDefaultScanLimit);
    EXPECT_TRUE(p.options.keys.empty());
    EXPECT_FALSE(p.options.segments || p.options.regs || p.options.help || p.options.noRom);
    EXPECT_TRUE(Parse({"--no-rom"}).options.noRom);
}

TEST(RunOptions, LoadsKeepTheirOrderAndKeysAccumulate) {
    const Parsed p = Parse(
        {"--rom",        "r.bin",    "--hex",      "a.hex", "--bin",    "dir@x/b.bin@0x1A00",   "--hex",    "c.hex",
         "--keys",       "ADDR 1 8", "--keys",     " go  ", "--passes", "18446744073709551615", "--settle", "0",
         "--scan-limit", "7",        "--segments", "--regs"});
    ASSERT_TRUE(p.ok) << p.error;
    EXPECT_TRUE(p.options.romGiven);
    EXPECT_EQ(p.options.romPath, "r.bin");
    ASSERT_EQ(p.options.loads.size(), 3u);
    EXPECT_EQ(p.options.loads[0].kind, LoadStep::Kind::Hex);
    EXPECT_EQ(p.options.loads[0].path, "a.hex");
    EXPECT_EQ(p.options.loads[1].kind, LoadStep::Kind::Binary);
    EXPECT_EQ(p.options.loads[1].path, "dir@x/b.bin");  // the last @ splits
    EXPECT_EQ(p.options.loads[1].address, 0x1A00);
    EXPECT_EQ(p.options.loads[2].path, "c.hex");
    ASSERT_EQ(p.options.keys.size(), 4u);
    EXPECT_EQ(p.options.keys[3].name, "go");
    EXPECT_EQ(p.options.passes, UINT64_MAX);
    EXPECT_EQ(p.options.settlePasses, 0u);
    EXPECT_EQ(p.options.scanLimit, 7u);
    EXPECT_TRUE(p.options.segments);
    EXPECT_TRUE(p.options.regs);
}

TEST(RunOptions, DumpAndSaveRangesIncludeTheirEnd) {
    const Parsed p = Parse({"--dump", "1800:1800", "--dump", "0:ffff", "--save-hex", "1800", "27FF", "out.hex"});
    ASSERT_TRUE(p.ok) << p.error;
    ASSERT_EQ(p.options.dumps.size(), 2u);
    EXPECT_EQ(p.options.dumps[0].from, 0x1800);
    EXPECT_EQ(p.options.dumps[0].to, 0x1800);
    EXPECT_EQ(p.options.dumps[1].to, 0xFFFF);
    ASSERT_EQ(p.options.saves.size(), 1u);
    EXPECT_EQ(p.options.saves[0].range.from, 0x1800);
    EXPECT_EQ(p.options.saves[0].range.to, 0x27FF);
    EXPECT_EQ(p.options.saves[0].path, "out.hex");
}

TEST(RunOptions, UsageErrorsSayWhatIsWrong) {
    struct Case {
        std::vector<const char*> args;
        const char* message;
    };
    const Case cases[] = {
        {{"--frobnicate"}, "unknown option '--frobnicate'"},
        {{"file.bin"}, "unexpected argument 'file.bin'"},
        {{"--rom"}, "--rom needs a value"},
        {{"--no-rom", "--rom", "r.bin"}, "--rom and --no-rom exclude each other"},
        {{"--save-hex", "1800", "1900"}, "--save-hex needs 3 values"},
        {{"--passes", "-1"}, "'-1' is not a number"},
        {{"--passes", "+5"}, "'+5' is not a number"},
        {{"--passes", "99999999999999999999"}, "is not a number"},
        {{"--settle", "4294967296"}, "--settle"},
        {{"--scan-limit", "0"}, "--scan-limit"},
        {{"--bin", "prog.bin"}, "is not FILE@ADDR"},
        {{"--bin", "@1800"}, "is not FILE@ADDR"},
        {{"--bin", "prog.bin@"}, "is not an address"},
        {{"--bin", "prog.bin@10000"}, "'10000' is not an address"},
        {{"--bin", "prog.bin@18 0"}, "is not an address"},
        {{"--dump", "1800"}, "is not FROM:TO"},
        {{"--dump", "2000:1FFF"}, "lies above the end"},
        {{"--dump", "0x:10"}, "'0x' is not an address"},
        {{"--save-hex", "1800", "g", "x.hex"}, "'g' is not an address"},
        {{"--save-hex", "1800", "1900", ""}, "file name is empty"},
        {{"--keys", "1 SHIFT 2"}, "unknown key 'SHIFT'"},
        {{"--keys", "TAPERD"}, "not available here"},
        {{"--keys", "tapewr"}, "not available here"},
        {{"--key-phase", "10"}, "not a number of instructions from 0 to 9"},
        {{"--key-phase", "-1"}, "--key-phase"},
        {{"--key-phase"}, "--key-phase needs a value"},
        {{"--state", "s.tarvo", "--rom", "r.bin"}, "--rom cannot go with --state"},
        {{"--no-rom", "--state", "s.tarvo"}, "--no-rom cannot go with --state"},
        {{"--save-state", ""}, "--save-state: the file name is empty"},
        {{"--state"}, "--state needs a value"},
    };
    for (const Case& c : cases) {
        std::string joined;
        for (const char* a : c.args) joined += std::string(a) + " ";
        SCOPED_TRACE(joined);
        const Parsed p = Parse(c.args);
        EXPECT_FALSE(p.ok);
        EXPECT_NE(p.error.find(c.message), std::string::npos) << p.error;
        EXPECT_EQ(p.error.find('\n'), std::string::npos);
    }
}

TEST(RunOptions, KeyPhaseAndTheObservingOutputs) {
    const Parsed none = Parse({});
    EXPECT_EQ(none.options.keyPhase, 0);
    EXPECT_FALSE(none.options.nmiLog || none.options.portWrites || none.options.trace || none.options.cycles);
    const Parsed p = Parse({"--key-phase", "9", "--nmi-log", "--port-writes", "--trace", "--cycles"});
    ASSERT_TRUE(p.ok) << p.error;
    EXPECT_EQ(p.options.keyPhase, 9);
    EXPECT_TRUE(p.options.nmiLog);
    EXPECT_TRUE(p.options.portWrites);
    EXPECT_TRUE(p.options.trace);
    EXPECT_TRUE(p.options.cycles);
}

TEST(RunOptions, AddressesAreOneToFourHexDigits) {
    std::uint16_t a = 0;
    EXPECT_TRUE(ParseAddress("0", a));
    EXPECT_EQ(a, 0);
    EXPECT_TRUE(ParseAddress("fFfF", a));
    EXPECT_EQ(a, 0xFFFF);
    EXPECT_TRUE(ParseAddress("0x1a", a));
    EXPECT_EQ(a, 0x1A);
    for (const char* bad : {"", "0x", "12345", "0x12345", "-1", " 12", "12 ", "1g", "x12"}) {
        EXPECT_FALSE(ParseAddress(bad, a)) << bad;
    }
}

TEST(RunOptions, HelpIsRecognisedAnywhere) {
    EXPECT_TRUE(Parse({"--passes", "5", "--help"}).options.help);
    EXPECT_TRUE(Parse({"-h"}).options.help);
}

}  // namespace
