// The state file: every part back as it was written, bad files refused with
// nothing changed, files without the optional parts loaded.
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "state/crc32.h"
#include "state/state_file.h"

namespace {

// A state with a distinct value in every field of every part.
std::unique_ptr<SavedState> EveryPartSet() {
    auto s = std::make_unique<SavedState>();
    Board& b = s->run.board;
    std::uint16_t* regs = reinterpret_cast<std::uint16_t*>(&b.cpu);
    for (int i = 0; i < 17; ++i) regs[i] = static_cast<std::uint16_t>(0x1111 * (i + 1) + i);
    b.cpu.I = 0x3F;
    b.cpu.R = 0x85;
    b.cpu.IFF1 = 1;
    b.cpu.IFF2 = 0;
    b.cpu.IM = 2;
    b.tStates = 0x123456789ABCull;
    for (unsigned a = 0; a < 0x10000; ++a) b.memory.bytes[a] = static_cast<std::uint8_t>(a * 7 + (a >> 8));
    b.window = MemoryWindow{0x0801, 0x27FF};
    b.ppi = PpiState{0x80, 0x11, 0x22, 0x7B};
    b.keys.pressed[2][1] = 1;
    b.keys.pressed[5][5] = 1;
    b.keys.userKeyPending = 1;
    b.latches = DigitLatches{{0xBD, 0x30, 0x9B, 0xBA, 0x36, 0xAE}, 0x21, 0x04};
    b.run = RunState{true, 1, 0xFFFFFFF0u};
    s->run.position = 7;
    s->run.passes = 0xFEDCBA9876ull;
    EXPECT_TRUE(s->run.keys.Restore(KeyQueueContents{{0, 10, 35, 10}, 20, 0x1234567890ull}));
    s->kept = {StatePart{"SRC ", {'L', 'D', ' ', 'A', '\n'}}, StatePart{"PAGE", {'{', '}'}},
               StatePart{"zero", {}}};
    return s;
}

void ExpectSame(const SavedState& a, const SavedState& b) {
    EXPECT_EQ(std::memcmp(&a.run.board.cpu, &b.run.board.cpu, sizeof(CpuState)), 0);
    EXPECT_EQ(a.run.board.tStates, b.run.board.tStates);
    EXPECT_EQ(std::memcmp(a.run.board.memory.bytes, b.run.board.memory.bytes, 0x10000), 0);
    EXPECT_EQ(a.run.board.window.romEnd, b.run.board.window.romEnd);
    EXPECT_EQ(a.run.board.window.ramEnd, b.run.board.window.ramEnd);
    EXPECT_EQ(std::memcmp(&a.run.board.ppi, &b.run.board.ppi, sizeof(PpiState)), 0);
    EXPECT_EQ(std::memcmp(&a.run.board.keys, &b.run.board.keys, sizeof(KeyMatrix)), 0);
    EXPECT_EQ(std::memcmp(&a.run.board.latches, &b.run.board.latches, sizeof(DigitLatches)), 0);
    EXPECT_EQ(a.run.board.run.running, b.run.board.run.running);
    EXPECT_EQ(a.run.board.run.stepNmiArmed, b.run.board.run.stepNmiArmed);
    EXPECT_EQ(a.run.board.run.stepNmiCountdown, b.run.board.run.stepNmiCountdown);
    EXPECT_EQ(a.run.position, b.run.position);
    EXPECT_EQ(a.run.passes, b.run.passes);
    const KeyQueueContents qa = a.run.keys.Contents();
    const KeyQueueContents qb = b.run.keys.Contents();
    EXPECT_EQ(qa.waiting, qb.waiting);
    EXPECT_EQ(qa.pressed, qb.pressed);
    EXPECT_EQ(qa.nextAt, qb.nextAt);
    ASSERT_EQ(a.kept.size(), b.kept.size());
    for (std::size_t i = 0; i < a.kept.size(); ++i) {
        EXPECT_EQ(a.kept[i].tag, b.kept[i].tag);
        EXPECT_EQ(a.kept[i].bytes, b.kept[i].bytes);
    }
}

struct Part {
    std::string tag;
    std::vector<std::uint8_t> bytes;
};

std::uint32_t Le32(const std::uint8_t* p) {
    return p[0] | static_cast<std::uint32_t>(p[1]) << 8 | static_cast<std::uint32_t>(p[2]) << 16 |
           static_cast<std::uint32_t>(p[3]) << 24;
}
void PutLe32(std::vector<std::uint8_t>& out, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}

// A written file taken apart, and a file put together from parts, so that
// tests can leave parts out or change the version with every checksum right.
std::vector<Part> PartsOf(const std::vector<std::uint8_t>& file) {
    std::vector<Part> parts;
    for (std::size_t at = 16; at < file.size();) {
        const std::size_t length = Le32(&file[at + 4]);
        parts.push_back(Part{std::string(file.begin() + static_cast<long>(at), file.begin() + static_cast<long>(at) + 4),
                             std::vector<std::uint8_t>(file.begin() + static_cast<long>(at + 12),
                                                       file.begin() + static_cast<long>(at + 12 + length))});
        at += 12 + length;
    }
    return parts;
}
std::vector<std::uint8_t> FileOf(std::uint32_t version, const std::vector<Part>& parts) {
    std::vector<std::uint8_t> file(kStateMagic, kStateMagic + kStateMagicSize);
    PutLe32(file, version);
    PutLe32(file, static_cast<std::uint32_t>(parts.size()));
    for (const Part& p : parts) {
        file.insert(file.end(), p.tag.begin(), p.tag.end());
        PutLe32(file, static_cast<std::uint32_t>(p.bytes.size()));
        PutLe32(file, Crc32(p.bytes.data(), p.bytes.size()));
        file.insert(file.end(), p.bytes.begin(), p.bytes.end());
    }
    return file;
}

TEST(StateFile, EveryPartComesBackAsItWasWritten) {
    const auto written = EveryPartSet();
    const std::vector<std::uint8_t> file = EncodeState(*written);
    auto read = std::make_unique<SavedState>();
    std::string error;
    ASSERT_TRUE(DecodeState(file.data(), file.size(), *read, error)) << error;
    ExpectSame(*written, *read);
    EXPECT_EQ(EncodeState(*read), file);
    EXPECT_EQ(Crc32(reinterpret_cast<const std::uint8_t*>("123456789"), 9), 0xCBF43926u);  // the check value
}

TEST(StateFile, ABadFileIsRefusedWithNothingChanged) {
    const std::vector<std::uint8_t> good = EncodeState(*EveryPartSet());
    const std::vector<Part> parts = PartsOf(good);
    ASSERT_EQ(parts.size(), 13u);
    struct Case {
        const char* what;
        std::vector<std::uint8_t> file;
        const char* message;
    };
    std::vector<Case> cases;
    for (const std::size_t cut : {std::size_t{0}, std::size_t{7}, std::size_t{12}, std::size_t{16}, std::size_t{20},
                                  std::size_t{100}, good.size() / 2, good.size() - 1}) {
        cases.push_back({"cut short", std::vector<std::uint8_t>(good.begin(), good.begin() + static_cast<long>(cut)),
                         cut < 8 ? "not a Tarvo state file" : "the file ends"});
    }
    std::vector<std::uint8_t> damaged = good;
    damaged[good.size() / 2] ^= 0x10;  // in the memory
    cases.push_back({"a flipped bit", damaged, "part 3 of 13 (MEM ) fails its checksum"});
    cases.push_back({"a newer version", FileOf(2, parts), "format version 2, from a newer program"});
    cases.push_back({"version 0", FileOf(0, parts), "version 0"});
    const std::string hex = ":0318000031002884\n:00000001FF\n";
    cases.push_back({"a HEX file", std::vector<std::uint8_t>(hex.begin(), hex.end()), "not a Tarvo state file"});
    std::vector<Part> without = parts;
    without.erase(without.begin());
    cases.push_back({"no CPU part", FileOf(1, without), "no CPU  part"});
    std::vector<Part> twice = parts;
    twice.push_back(parts[1]);
    cases.push_back({"a part twice", FileOf(1, twice), "(TIME) comes twice"});
    std::vector<Part> changed = parts;
    changed[0].bytes[32] = 3;  // IM 3
    cases.push_back({"IM 3", FileOf(1, changed), "(CPU ): the interrupt mode is 3"});
    changed = parts;
    changed[8].bytes[0] = 10;  // the place in the pass
    cases.push_back({"position 10", FileOf(1, changed), "(PASS): the place in the idle pass is 10"});
    changed = parts;
    changed[9].bytes[3] = 36;  // the second waiting key: past the keypad
    cases.push_back({"no such key", FileOf(1, changed), "(KEYQ): it holds more than 256 keys, or a code"});
    changed = parts;
    changed[4].bytes.pop_back();
    cases.push_back({"a short PPI part", FileOf(1, changed), "(PPI ) holds 3 bytes, not 4"});
    std::vector<std::uint8_t> trailing = good;
    trailing.push_back(0);
    cases.push_back({"a byte after the parts", trailing, "1 bytes after its last part"});

    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        auto state = EveryPartSet();
        std::string error;
        EXPECT_FALSE(DecodeState(c.file.data(), c.file.size(), *state, error));
        EXPECT_NE(error.find(c.message), std::string::npos) << error;
        EXPECT_EQ(EncodeState(*state), good) << "the state changed";
    }
}

TEST(StateFile, AFileWithoutTheOptionalPartsLoadsWithTheirDefaults) {
    // A writer with no key queue and no place within a pass (a file made
    // before those parts, or by another program) leaves PASS and KEYQ out.
    const auto written = EveryPartSet();
    std::vector<Part> parts = PartsOf(EncodeState(*written));
    parts.erase(parts.begin() + 8, parts.begin() + 10);
    const std::vector<std::uint8_t> file = FileOf(1, parts);
    auto read = EveryPartSet();
    std::string error;
    ASSERT_TRUE(DecodeState(file.data(), file.size(), *read, error)) << error;
    EXPECT_EQ(read->run.position, 0);
    EXPECT_EQ(read->run.passes, 0u);
    EXPECT_EQ(read->run.keys.Waiting(), 0);
    EXPECT_EQ(read->run.board.tStates, written->run.board.tStates);
    ASSERT_EQ(read->kept.size(), 3u);
    EXPECT_EQ(read->kept[0].tag, "SRC ");
}

TEST(StateFile, PutBoardKeepsTheLiveBoardsHooks) {
    const auto saved = EveryPartSet();
    auto live = std::make_unique<Board>();
    int context = 0;
    live->hooks.context = &context;
    PutBoard(saved->run.board, *live);
    EXPECT_EQ(live->hooks.context, &context);
    EXPECT_EQ(live->cpu.PC, saved->run.board.cpu.PC);
    EXPECT_EQ(live->memory.bytes[0x1234], saved->run.board.memory.bytes[0x1234]);
}

}  // namespace
