#include "state/state_file.h"

#include <algorithm>
#include <memory>

#include "board/idle_pass.h"
#include "state/crc32.h"

const std::uint8_t kStateMagic[kStateMagicSize] = {'T', 'A', 'R', 'V', 'O', '\r', '\n', 0x1A};

namespace {

constexpr std::size_t kHeaderSize = kStateMagicSize + 8;  // the magic, the version, the part count
constexpr std::size_t kPartHeaderSize = 12;                // tag, length, CRC-32
constexpr std::uint8_t kNoKey = 0xFF;

// Little-endian numbers onto the end of a byte vector.
struct Writer {
    std::vector<std::uint8_t>& out;
    void Bytes(const std::uint8_t* bytes, std::size_t count) { out.insert(out.end(), bytes, bytes + count); }
    void U8(unsigned v) { out.push_back(static_cast<std::uint8_t>(v)); }
    void U16(unsigned v) {
        U8(v & 0xFFu);
        U8(v >> 8);
    }
    void U32(std::uint32_t v) {
        U16(v & 0xFFFFu);
        U16(v >> 16);
    }
    void U64(std::uint64_t v) {
        U32(static_cast<std::uint32_t>(v));
        U32(static_cast<std::uint32_t>(v >> 32));
    }
};

// Little-endian numbers from a part's bytes; the part's length is checked
// before any is read, so these never run past it.
struct Reader {
    const std::uint8_t* at;
    unsigned U8() { return *at++; }
    unsigned U16() {
        const unsigned low = U8();
        return low | U8() << 8;
    }
    std::uint32_t U32() {
        const std::uint32_t low = U16();
        return low | static_cast<std::uint32_t>(U16()) << 16;
    }
    std::uint64_t U64() {
        const std::uint64_t low = U32();
        return low | static_cast<std::uint64_t>(U32()) << 32;
    }
};

// The CPU's registers in the order of CpuState.
std::uint16_t CpuState::*const kRegisters[] = {
    &CpuState::BC,  &CpuState::DE,  &CpuState::HL, &CpuState::AF, &CpuState::IX, &CpuState::IY,
    &CpuState::BC_, &CpuState::DE_, &CpuState::HL_, &CpuState::AF_, &CpuState::I, &CpuState::R,
    &CpuState::PC,  &CpuState::SP,  &CpuState::IFF1, &CpuState::IFF2, &CpuState::IM};
constexpr std::size_t kRegisterCount = sizeof kRegisters / sizeof kRegisters[0];

bool Flag(unsigned value, const char* what, std::string& error) {
    if (value <= 1) return true;
    error = what + std::string(" is ") + std::to_string(value) + ", not 0 or 1";
    return false;
}

// --- the board's parts ------------------------------------------------------

void WriteCpu(Writer& w, const RunRecord& r) {
    for (const auto reg : kRegisters) w.U16(r.board.cpu.*reg);
}
bool ReadCpu(Reader& in, RunRecord& r, std::string& error) {
    for (const auto reg : kRegisters) r.board.cpu.*reg = static_cast<std::uint16_t>(in.U16());
    const CpuState& cpu = r.board.cpu;
    if (cpu.I > 0xFF || cpu.R > 0xFF) {
        error = "I or R does not fit 8 bits";
        return false;
    }
    if (cpu.IM > 2) {
        error = "the interrupt mode is " + std::to_string(cpu.IM) + ", not 0, 1 or 2";
        return false;
    }
    return Flag(cpu.IFF1, "IFF1", error) && Flag(cpu.IFF2, "IFF2", error);
}

void WriteTime(Writer& w, const RunRecord& r) { w.U64(r.board.tStates); }
bool ReadTime(Reader& in, RunRecord& r, std::string&) {
    r.board.tStates = in.U64();
    return true;
}

void WriteMemory(Writer& w, const RunRecord& r) { w.Bytes(r.board.memory.bytes, sizeof r.board.memory.bytes); }
bool ReadMemory(Reader& in, RunRecord& r, std::string&) {
    for (std::uint8_t& b : r.board.memory.bytes) b = static_cast<std::uint8_t>(in.U8());
    return true;
}

void WriteWindow(Writer& w, const RunRecord& r) {
    w.U16(r.board.window.romEnd);
    w.U16(r.board.window.ramEnd);
}
bool ReadWindow(Reader& in, RunRecord& r, std::string&) {
    r.board.window.romEnd = static_cast<std::uint16_t>(in.U16());
    r.board.window.ramEnd = static_cast<std::uint16_t>(in.U16());
    return true;
}

void WritePpi(Writer& w, const RunRecord& r) {
    const PpiState& p = r.board.ppi;
    for (const unsigned v : {p.control, p.portA, p.portB, p.portC}) w.U8(v);
}
bool ReadPpi(Reader& in, RunRecord& r, std::string&) {
    PpiState& p = r.board.ppi;
    for (std::uint8_t* v : {&p.control, &p.portA, &p.portB, &p.portC}) *v = static_cast<std::uint8_t>(in.U8());
    return true;
}

void WriteMatrix(Writer& w, const RunRecord& r) {
    for (const auto& row : r.board.keys.pressed) w.Bytes(row, kMatrixColumns);
    w.U8(r.board.keys.userKeyPending);
}
bool ReadMatrix(Reader& in, RunRecord& r, std::string&) {
    for (auto& row : r.board.keys.pressed) {
        for (std::uint8_t& key : row) key = static_cast<std::uint8_t>(in.U8());
    }
    r.board.keys.userKeyPending = static_cast<std::uint8_t>(in.U8());
    return true;
}

void WriteDigits(Writer& w, const RunRecord& r) {
    w.Bytes(r.board.latches.digits, kDigitCount);
    w.U8(r.board.latches.select);
    w.U8(r.board.latches.lastSelect);
}
bool ReadDigits(Reader& in, RunRecord& r, std::string&) {
    for (std::uint8_t& d : r.board.latches.digits) d = static_cast<std::uint8_t>(in.U8());
    r.board.latches.select = static_cast<std::uint8_t>(in.U8());
    r.board.latches.lastSelect = static_cast<std::uint8_t>(in.U8());
    return true;
}

void WriteRun(Writer& w, const RunRecord& r) {
    w.U8(r.board.run.running ? 1 : 0);
    w.U8(r.board.run.stepNmiArmed);
    w.U32(r.board.run.stepNmiCountdown);
}
bool ReadRun(Reader& in, RunRecord& r, std::string& error) {
    const unsigned running = in.U8();
    const unsigned armed = in.U8();
    r.board.run.running = running != 0;
    r.board.run.stepNmiArmed = static_cast<std::uint8_t>(armed);
    r.board.run.stepNmiCountdown = in.U32();
    return Flag(running, "the running flag", error) && Flag(armed, "the step NMI's arming", error);
}

void WritePass(Writer& w, const RunRecord& r) {
    w.U8(static_cast<unsigned>(r.position));
    w.U64(r.passes);
}
bool ReadPass(Reader& in, RunRecord& r, std::string& error) {
    r.position = static_cast<int>(in.U8());
    r.passes = in.U64();
    if (r.position < kInstructionsPerPass) return true;
    error = "the place in the idle pass is " + std::to_string(r.position) + ", not 0 to " +
            std::to_string(kInstructionsPerPass - 1);
    return false;
}

// The waiting keys' count and codes, the pressed key (FFh for none), the pass of the next press.
void WriteQueue(Writer& w, const RunRecord& r) {
    const KeyQueueContents queue = r.keys.Contents();
    w.U16(static_cast<unsigned>(queue.waiting.size()));
    w.Bytes(queue.waiting.data(), queue.waiting.size());
    w.U8(queue.pressed < 0 ? kNoKey : static_cast<unsigned>(queue.pressed));
    w.U64(queue.nextAt);
}
bool ReadQueue(Reader& in, RunRecord& r, std::string& error) {
    KeyQueueContents queue;
    queue.waiting.resize(in.U16());
    for (std::uint8_t& key : queue.waiting) key = static_cast<std::uint8_t>(in.U8());
    const unsigned pressed = in.U8();
    queue.pressed = pressed == kNoKey ? -1 : static_cast<int>(pressed);
    queue.nextAt = in.U64();
    if (r.keys.Restore(queue)) return true;
    error = "it holds more than " + std::to_string(kKeyQueueCapacity) + " keys, or a code that is no key of the keypad";
    return false;
}
// Its length follows from the count of waiting keys at its start.
std::size_t QueueLength(const std::uint8_t* bytes, std::size_t length) {
    return length < 2 ? 2 : 2 + (bytes[0] | std::size_t{bytes[1]} << 8) + 1 + 8;
}

struct BoardPart {
    char tag[5];
    // Bytes it holds; 0: given by length(bytes, available) instead.
    std::size_t size;
    // The version that added it: a file of an older version may lack it.
    std::uint32_t since;
    // A file may leave it out whatever its version (one written without a key queue, say).
    bool optional;
    void (*write)(Writer&, const RunRecord&);
    bool (*read)(Reader&, RunRecord&, std::string&);
    std::size_t (*length)(const std::uint8_t*, std::size_t);
};

const BoardPart kBoardParts[] = {
    {"CPU ", kRegisterCount * 2, 1, false, WriteCpu, ReadCpu, nullptr},
    {"TIME", 8, 1, false, WriteTime, ReadTime, nullptr},
    {"MEM ", sizeof(BoardMemory::bytes), 1, false, WriteMemory, ReadMemory, nullptr},
    {"WIND", 4, 1, false, WriteWindow, ReadWindow, nullptr},
    {"PPI ", 4, 1, false, WritePpi, ReadPpi, nullptr},
    {"KEYM", kMatrixRows * kMatrixColumns + 1, 1, false, WriteMatrix, ReadMatrix, nullptr},
    {"DIGS", kDigitCount + 2, 1, false, WriteDigits, ReadDigits, nullptr},
    {"RUN ", 6, 1, false, WriteRun, ReadRun, nullptr},
    {"PASS", 9, 1, true, WritePass, ReadPass, nullptr},
    {"KEYQ", 0, 1, true, WriteQueue, ReadQueue, QueueLength},
};
constexpr std::size_t kBoardPartCount = sizeof kBoardParts / sizeof kBoardParts[0];

// A tag of other than four characters is cut or filled with spaces to four.
void WritePart(Writer& w, const std::string& tag, const std::uint8_t* bytes, std::size_t count) {
    for (std::size_t i = 0; i < 4; ++i) w.U8(i < tag.size() ? static_cast<unsigned char>(tag[i]) : ' ');
    w.U32(static_cast<std::uint32_t>(count));
    w.U32(Crc32(bytes, count));
    w.Bytes(bytes, count);
}

std::string Printable(const std::uint8_t* tag) {
    std::string text;
    for (int i = 0; i < 4; ++i) text += tag[i] >= 0x20 && tag[i] < 0x7F ? static_cast<char>(tag[i]) : '?';
    return text;
}

}  // namespace

std::vector<std::uint8_t> EncodeState(const SavedState& state) {
    std::vector<std::uint8_t> out(kStateMagic, kStateMagic + kStateMagicSize);
    Writer w{out};
    w.U32(kStateFileVersion);
    w.U32(static_cast<std::uint32_t>(kBoardPartCount + state.kept.size()));
    std::vector<std::uint8_t> bytes;
    for (const BoardPart& part : kBoardParts) {
        bytes.clear();
        Writer partWriter{bytes};
        part.write(partWriter, state.run);
        WritePart(w, part.tag, bytes.data(), bytes.size());
    }
    for (const StatePart& part : state.kept) WritePart(w, part.tag, part.bytes.data(), part.bytes.size());
    return out;
}

bool DecodeState(const std::uint8_t* bytes, std::size_t size, SavedState& state, std::string& error) {
    if (size < kStateMagicSize || !std::equal(kStateMagic, kStateMagic + kStateMagicSize, bytes)) {
        error = "this is not a Tarvo state file (it does not begin with TARVO and the state file's marks)";
        return false;
    }
    if (size < kHeaderSize) {
        error = "the file ends inside its header, after " + std::to_string(size) + " bytes";
        return false;
    }
    Reader header{bytes + kStateMagicSize};
    const std::uint32_t version = header.U32();
    const std::uint32_t count = header.U32();
    if (version == 0 || version > kStateFileVersion) {
        error = version == 0 ? "the file gives format version 0, which no program writes"
                             : "the file is of format version " + std::to_string(version) +
                                   ", from a newer program; this one reads versions up to " +
                                   std::to_string(kStateFileVersion);
        return false;
    }
    auto decoded = std::make_unique<SavedState>();
    decoded->run.board = Board{};
    decoded->run.position = 0;
    decoded->run.passes = 0;
    bool seen[kBoardPartCount] = {};
    std::size_t at = kHeaderSize;
    for (std::uint32_t n = 1; n <= count; ++n) {
        const std::string where = "part " + std::to_string(n) + " of " + std::to_string(count);
        if (size - at < kPartHeaderSize) {
            error = "the file ends " + (at == size ? "before " + where : "inside the header of " + where);
            return false;
        }
        const std::uint8_t* tag = bytes + at;
        Reader partHeader{bytes + at + 4};
        const std::uint32_t length = partHeader.U32();
        const std::uint32_t crc = partHeader.U32();
        const std::string name = where + " (" + Printable(tag) + ")";
        at += kPartHeaderSize;
        if (Printable(tag) != std::string(reinterpret_cast<const char*>(tag), 4)) {
            error = name + " has a tag that is not four printable characters: the file is damaged";
            return false;
        }
        if (length > size - at) {
            error = "the file ends inside " + name + ": it gives " + std::to_string(length) + " bytes, " +
                    std::to_string(size - at) + " are left";
            return false;
        }
        const std::uint8_t* body = bytes + at;
        at += length;
        if (Crc32(body, length) != crc) {
            error = name + " fails its checksum: its bytes are damaged";
            return false;
        }
        std::size_t i = 0;
        while (i < kBoardPartCount && std::string(kBoardParts[i].tag) != Printable(tag)) ++i;
        if (i == kBoardPartCount) {  // not the board's: kept for whoever wrote it
            decoded->kept.push_back(StatePart{Printable(tag), std::vector<std::uint8_t>(body, body + length)});
            continue;
        }
        const BoardPart& part = kBoardParts[i];
        if (seen[i]) {
            error = name + " comes twice";
            return false;
        }
        seen[i] = true;
        const std::size_t wanted = part.size != 0 ? part.size : part.length(body, length);
        if (length != wanted) {
            error = name + " holds " + std::to_string(length) + " bytes, not " + std::to_string(wanted);
            return false;
        }
        Reader in{body};
        std::string why;
        if (!part.read(in, decoded->run, why)) {
            error = name + ": " + why;
            return false;
        }
    }
    if (at != size) {
        error = "the file has " + std::to_string(size - at) + " bytes after its last part: it is damaged";
        return false;
    }
    for (std::size_t i = 0; i < kBoardPartCount; ++i) {
        const BoardPart& part = kBoardParts[i];
        if (!seen[i] && !part.optional && part.since <= version) {
            error = "the file has no " + std::string(part.tag) + " part, which every state file of version " +
                    std::to_string(version) + " holds";
            return false;
        }
    }
    state = *decoded;
    return true;
}

void PutBoard(const Board& saved, Board& board) {
    const BoardHooks hooks = board.hooks;
    board = saved;
    board.hooks = hooks;
}
