// The disassembler walks the bytes as Execute does (prefixes, the decode
// tables, the operand fetch order) and writes each operation class through a
// text template, so the decode tables stay the one description of the opcodes.
#include "cpu/disassemble.h"

#include <cstddef>

#include "cpu/decode_tables.h"

namespace {

// Template legend. Upper-case letters and punctuation are copied; lower-case
// letters are fields:
//   r  register of bits 5-3 (IXH/IXL under DD/FD)   s  register of bits 2-0 (the same)
//   a  register of bits 5-3, never indexed          z  register of bits 2-0, never indexed
//   m  memory operand (HL), (IX+d), (IY+d)           h  HL, IX or IY
//   p  pair of bits 5-4: BC DE HL SP                 q  pair of bits 5-4: BC DE HL AF
//   n  immediate byte      w  immediate word         e  relative jump target
//   c  condition of bits 5-3                         j  condition of bits 4-3 (JR)
//   b  bit number of bits 5-3                        t  restart vector
// A template that starts with '#' has no pasmo mnemonic: the text becomes a DB
// of the bytes and the rest of the template is the comment.
const char* Template(OpClass opClass) {
    switch (opClass) {
        case OpClass::Nop: return "NOP";  // 40h, 49h... are LD r,r: see TemplateFor
        case OpClass::Halt: return "HALT";
        case OpClass::LdRegReg: return "LD r,s";
        case OpClass::LdRegImm: return "LD r,n";
        case OpClass::LdRegMem: return "LD a,m";
        case OpClass::LdMemReg: return "LD m,z";
        case OpClass::LdMemImm: return "LD m,n";
        case OpClass::LdABc: return "LD A,(BC)";
        case OpClass::LdADe: return "LD A,(DE)";
        case OpClass::LdAAbs: return "LD A,(w)";
        case OpClass::LdBcA: return "LD (BC),A";
        case OpClass::LdDeA: return "LD (DE),A";
        case OpClass::LdAbsA: return "LD (w),A";
        case OpClass::LdPairImm: return "LD p,w";
        case OpClass::LdHlAbs: return "LD h,(w)";
        case OpClass::LdAbsHl: return "LD (w),h";
        case OpClass::LdSpHl: return "LD SP,h";
        case OpClass::Push: return "PUSH q";
        case OpClass::Pop: return "POP q";
        case OpClass::ExDeHl: return "EX DE,HL";
        case OpClass::ExAf: return "EX AF,AF'";
        case OpClass::Exx: return "EXX";
        case OpClass::ExSpHl: return "EX (SP),h";
        case OpClass::AddReg: return "ADD A,s";
        case OpClass::AddImm: return "ADD A,n";
        case OpClass::AddMem: return "ADD A,m";
        case OpClass::AdcReg: return "ADC A,s";
        case OpClass::AdcImm: return "ADC A,n";
        case OpClass::AdcMem: return "ADC A,m";
        case OpClass::SubReg: return "SUB s";
        case OpClass::SubImm: return "SUB n";
        case OpClass::SubMem: return "SUB m";
        case OpClass::SbcReg: return "SBC A,s";
        case OpClass::SbcImm: return "SBC A,n";
        case OpClass::SbcMem: return "SBC A,m";
        case OpClass::AndReg: return "AND s";
        case OpClass::AndImm: return "AND n";
        case OpClass::AndMem: return "AND m";
        case OpClass::XorReg: return "XOR s";
        case OpClass::XorImm: return "XOR n";
        case OpClass::XorMem: return "XOR m";
        case OpClass::OrReg: return "OR s";
        case OpClass::OrImm: return "OR n";
        case OpClass::OrMem: return "OR m";
        case OpClass::CpReg: return "CP s";
        case OpClass::CpImm: return "CP n";
        case OpClass::CpMem: return "CP m";
        case OpClass::IncReg: return "INC r";
        case OpClass::IncMem: return "INC m";
        case OpClass::DecReg: return "DEC r";
        case OpClass::DecMem: return "DEC m";
        case OpClass::AddHlPair: return "ADD h,p";
        case OpClass::IncPair: return "INC p";
        case OpClass::DecPair: return "DEC p";
        case OpClass::Daa: return "DAA";
        case OpClass::Cpl: return "CPL";
        case OpClass::Scf: return "SCF";
        case OpClass::Ccf: return "CCF";
        case OpClass::Rlca: return "RLCA";
        case OpClass::Rla: return "RLA";
        case OpClass::Rrca: return "RRCA";
        case OpClass::Rra: return "RRA";
        case OpClass::Di: return "DI";
        case OpClass::Ei: return "EI";
        case OpClass::Jp: return "JP w";
        case OpClass::JpCond: return "JP c,w";
        case OpClass::Jr: return "JR e";
        case OpClass::JrCond: return "JR j,e";
        case OpClass::Djnz: return "DJNZ e";
        case OpClass::JpHl: return "JP (h)";
        case OpClass::Call: return "CALL w";
        case OpClass::CallCond: return "CALL c,w";
        case OpClass::Ret: return "RET";
        case OpClass::RetCond: return "RET c";
        case OpClass::Rst: return "RST t";
        case OpClass::InAImm: return "IN A,(n)";
        case OpClass::OutImmA: return "OUT (n),A";
        case OpClass::PrefixCB:
        case OpClass::PrefixDD:
        case OpClass::PrefixED:
        case OpClass::PrefixFD: return "";  // consumed before a template is needed
        case OpClass::RlcReg: return "RLC s";
        case OpClass::RlcMem: return "RLC m";
        case OpClass::RrcReg: return "RRC s";
        case OpClass::RrcMem: return "RRC m";
        case OpClass::RlReg: return "RL s";
        case OpClass::RlMem: return "RL m";
        case OpClass::RrReg: return "RR s";
        case OpClass::RrMem: return "RR m";
        case OpClass::SlaReg: return "SLA s";
        case OpClass::SlaMem: return "SLA m";
        case OpClass::SraReg: return "SRA s";
        case OpClass::SraMem: return "SRA m";
        case OpClass::SllReg: return "SLL s";
        case OpClass::SllMem: return "SLL m";
        case OpClass::SrlReg: return "SRL s";
        case OpClass::SrlMem: return "SRL m";
        case OpClass::BitReg: return "BIT b,s";
        case OpClass::BitMem: return "BIT b,m";
        case OpClass::ResReg: return "RES b,s";
        case OpClass::ResMem: return "RES b,m";
        case OpClass::SetReg: return "SET b,s";
        case OpClass::SetMem: return "SET b,m";
        case OpClass::InRegC: return "IN r,(C)";
        case OpClass::InFlagsC: return "#IN F,(C)";
        case OpClass::OutCReg: return "OUT (C),r";
        case OpClass::OutCZero: return "#OUT (C),0";
        case OpClass::SbcHlPair: return "SBC HL,p";
        case OpClass::AdcHlPair: return "ADC HL,p";
        case OpClass::LdAbsPair: return "LD (w),p";
        case OpClass::LdPairAbs: return "LD p,(w)";
        case OpClass::Neg: return "NEG";
        case OpClass::Retn: return "RETN";  // ED 4D is RETI: see TemplateFor
        case OpClass::Im0: return "IM 0";
        case OpClass::Im1: return "IM 1";
        case OpClass::Im2: return "IM 2";
        case OpClass::LdIA: return "LD I,A";
        case OpClass::LdRA: return "LD R,A";
        case OpClass::LdAI: return "LD A,I";
        case OpClass::LdAR: return "LD A,R";
        case OpClass::Rrd: return "RRD";
        case OpClass::Rld: return "RLD";
        case OpClass::Ldi: return "LDI";
        case OpClass::Ldd: return "LDD";
        case OpClass::Ldir: return "LDIR";
        case OpClass::Lddr: return "LDDR";
        case OpClass::Cpi: return "CPI";
        case OpClass::Cpd: return "CPD";
        case OpClass::Cpir: return "CPIR";
        case OpClass::Cpdr: return "CPDR";
        case OpClass::Ini: return "INI";
        case OpClass::Ind: return "IND";
        case OpClass::Inir: return "INIR";
        case OpClass::Indr: return "INDR";
        case OpClass::Outi: return "OUTI";
        case OpClass::Outd: return "OUTD";
        case OpClass::Otir: return "OTIR";
        case OpClass::Otdr: return "OTDR";
        case OpClass::EdUndefined: return "#NOP";
    }
    return "";
}

// Where the core runs one class for opcodes that read differently.
const char* TemplateFor(OpClass opClass, std::uint8_t op) {
    if (opClass == OpClass::Nop && op != 0x00) return "LD r,s";  // LD B,B and the like do nothing
    if (opClass == OpClass::Retn && op == 0x4D) return "RETI";
    return Template(opClass);
}

enum class Index { None, IX, IY };

const char* const kRegisters[8] = {"B", "C", "D", "E", "H", "L", "(HL)", "A"};
const char* const kConditions[8] = {"NZ", "Z", "NC", "C", "PO", "PE", "P", "M"};

// Bounded text: never writes past the end, always NUL-terminated.
class TextBuffer {
public:
    explicit TextBuffer(char* out, std::size_t size) : out_(out), size_(size) { out_[0] = '\0'; }
    void Char(char c) {
        if (used_ + 1 >= size_) return;
        out_[used_++] = c;
        out_[used_] = '\0';
    }
    void Text(const char* s) {
        while (*s != '\0') Char(*s++);
    }
    // Hexadecimal with an h suffix and a leading 0 when the first digit is a letter.
    void Hex(unsigned value, int digits) {
        static const char kDigits[] = "0123456789ABCDEF";
        if (((value >> (4 * (digits - 1))) & 0xF) >= 10) Char('0');
        for (int i = digits - 1; i >= 0; --i) Char(kDigits[(value >> (4 * i)) & 0xF]);
        Char('h');
    }
    std::size_t Used() const { return used_; }
    std::size_t Room() const { return size_ - 1 - used_; }

private:
    char* out_;
    std::size_t size_;
    std::size_t used_ = 0;
};

// The bytes of one instruction as the core fetches them.
class ByteCursor {
public:
    ByteCursor(DisassemblyReader read, const void* context, std::uint16_t start)
        : read_(read), context_(context), start_(start) {}
    std::uint8_t Next() { return read_(context_, static_cast<std::uint16_t>(start_ + length_++)); }
    std::uint8_t At(unsigned offset) const { return read_(context_, static_cast<std::uint16_t>(start_ + offset)); }
    unsigned Length() const { return length_; }
    std::uint16_t Address() const { return static_cast<std::uint16_t>(start_ + length_); }

private:
    DisassemblyReader read_;
    const void* context_;
    std::uint16_t start_;
    unsigned length_ = 0;
};

// One instruction after its prefixes: what Execute decodes and what it fetches.
struct Decoded {
    OpClass opClass;
    std::uint8_t op;
    Index index;
    bool indexedCb;  // DD CB d op / FD CB d op: d comes before op
    std::uint8_t displacement;
};

class Renderer {
public:
    Renderer(ByteCursor& bytes, const Decoded& decoded, TextBuffer& out) : bytes_(bytes), d_(decoded), out_(out) {}

    // Writes the template; returns whether the index register was used.
    bool Render(const char* pattern) {
        for (const char* p = pattern; *p != '\0'; ++p) Field(*p);
        return usedIndex_;
    }

private:
    unsigned FieldR() const { return (d_.op >> 3) & 7u; }
    unsigned FieldS() const { return d_.op & 7u; }
    unsigned FieldP() const { return (d_.op >> 4) & 3u; }

    const char* IndexName() const { return d_.index == Index::IX ? "IX" : "IY"; }

    void HlRole() {
        if (d_.index == Index::None) return out_.Text("HL");
        usedIndex_ = true;
        out_.Text(IndexName());
    }

    void Register(unsigned field, bool indexable) {
        if (field == 6) return Memory();
        if (!indexable || d_.index == Index::None || (field != 4 && field != 5)) return out_.Text(kRegisters[field]);
        usedIndex_ = true;
        out_.Text(IndexName());
        out_.Char(field == 4 ? 'H' : 'L');
    }

    void Memory() {
        if (d_.index == Index::None) return out_.Text("(HL)");
        usedIndex_ = true;
        std::uint8_t d = d_.indexedCb ? d_.displacement : bytes_.Next();
        out_.Char('(');
        out_.Text(IndexName());
        out_.Char(d < 0x80 ? '+' : '-');
        out_.Hex(d < 0x80 ? d : 0x100u - d, 2);
        out_.Char(')');
    }

    void Pair(bool stack) {
        unsigned p = FieldP();
        if (p == 2) return HlRole();
        static const char* const kPairs[4] = {"BC", "DE", "HL", "SP"};
        out_.Text(p == 3 && stack ? "AF" : kPairs[p]);
    }

    void Field(char c) {
        switch (c) {
            case 'r': return Register(FieldR(), true);
            case 's': return Register(FieldS(), true);
            case 'a': return Register(FieldR(), false);
            case 'z': return Register(FieldS(), false);
            case 'm': return Memory();
            case 'h': return HlRole();
            case 'p': return Pair(false);
            case 'q': return Pair(true);
            case 'n': return out_.Hex(bytes_.Next(), 2);
            case 'w': {
                unsigned low = bytes_.Next();
                return out_.Hex(low | (unsigned{bytes_.Next()} << 8), 4);
            }
            case 'e': {
                auto e = static_cast<std::int8_t>(bytes_.Next());
                return out_.Hex(static_cast<std::uint16_t>(bytes_.Address() + e), 4);
            }
            case 'c': return out_.Text(kConditions[FieldR()]);
            case 'j': return out_.Text(kConditions[FieldR() & 3u]);
            case 'b': return out_.Char(static_cast<char>('0' + FieldR()));
            case 't': return out_.Hex(d_.op & 0x38u, 2);
            default: return out_.Char(c);
        }
    }

    ByteCursor& bytes_;
    const Decoded& d_;
    TextBuffer& out_;
    bool usedIndex_ = false;
};

// A run of DD/FD longer than this is shown one byte at a time: the core would
// take the whole run as one instruction, which no text can show.
constexpr unsigned kLongestPrefixRun = 4096;

void WriteByteList(TextBuffer& out, const ByteCursor& bytes, unsigned from) {
    out.Text("DB ");
    for (unsigned i = from; i < bytes.Length(); ++i) {
        if (i != from) out.Char(',');
        out.Hex(bytes.At(i), 2);
    }
}

void WriteNumber(TextBuffer& out, unsigned value) {
    char digits[12];
    int count = 0;
    do {
        digits[count++] = static_cast<char>('0' + value % 10);
        value /= 10;
    } while (value != 0);
    while (count > 0) out.Char(digits[--count]);
}

// "DD ignored" or "3 prefixes ignored": the ignored bytes are the first ones.
void WritePrefixNote(TextBuffer& out, const ByteCursor& bytes, unsigned ignored) {
    if (ignored == 1) {
        out.Text(bytes.At(0) == 0xDD ? "DD" : "FD");
    } else {
        WriteNumber(out, ignored);
        out.Text(" prefixes");
    }
    out.Text(" ignored");
}

// "DB 0DDh,0EDh,70h ; IN F,(C)": every byte when that fits, else the bytes
// after the ignored prefixes and their count: "DB 0FDh,0CBh,80h,0FFh ; SET 7,(IY-80h),A (+2)".
void WriteByteListForm(TextBuffer& out, const ByteCursor& bytes, unsigned ignored, const char* operation) {
    char all[96];
    TextBuffer whole(all, sizeof all);
    WriteByteList(whole, bytes, 0);
    whole.Text(" ; ");
    whole.Text(operation);
    if (whole.Used() <= out.Room()) return out.Text(all);
    WriteByteList(out, bytes, ignored);
    out.Text(" ; ");
    out.Text(operation);
    out.Text(" (+");
    WriteNumber(out, ignored);
    out.Char(')');
}

}  // namespace

DisassembledInstruction Disassemble(DisassemblyReader read, const void* context, std::uint16_t address) {
    DisassembledInstruction result{};
    ByteCursor bytes(read, context, address);

    // Prefixes, as Execute takes them: each DD/FD replaces the one before.
    unsigned prefixes = 0;
    Index index = Index::None;
    std::uint8_t op = bytes.Next();
    while ((op == 0xDD || op == 0xFD) && prefixes < kLongestPrefixRun) {
        index = op == 0xDD ? Index::IX : Index::IY;
        ++prefixes;
        op = bytes.Next();
    }
    TextBuffer out(result.text, sizeof result.text);
    if (op == 0xDD || op == 0xFD) {
        out.Text("DB ");
        out.Hex(bytes.At(0), 2);
        out.Text(" ; prefix run");
        result.length = 1;
        return result;
    }

    Decoded decoded{MainDecodeTable[op], op, index, false, 0};
    if (decoded.opClass == OpClass::PrefixED) {
        decoded.index = Index::None;  // ED runs with the plain registers
        decoded.op = bytes.Next();
        decoded.opClass = EdDecodeTable[decoded.op];
    } else if (decoded.opClass == OpClass::PrefixCB) {
        if (index == Index::None) {
            decoded.op = bytes.Next();
            decoded.opClass = CbDecodeTable[decoded.op];
        } else {
            decoded.indexedCb = true;
            decoded.displacement = bytes.Next();
            decoded.op = bytes.Next();
            decoded.opClass = CbDecodeTable[(decoded.op & 0xF8) | 6];
        }
    }

    // The register copy of DD CB d op: pasmo has no mnemonic for it.
    bool copies = decoded.indexedCb && (decoded.op & 7u) != 6 && decoded.opClass != OpClass::BitMem;
    const char* pattern = TemplateFor(decoded.opClass, decoded.op);
    bool byteList = copies || pattern[0] == '#';

    // Render the operation into a scratch buffer first: whether the last
    // prefix counts is known only once the template has been read.
    char operation[sizeof result.text];
    TextBuffer scratch(operation, sizeof operation);
    bool usedIndex = Renderer(bytes, decoded, scratch).Render(byteList && !copies ? pattern + 1 : pattern);
    if (copies) {
        scratch.Char(',');
        scratch.Text(kRegisters[decoded.op & 7u]);
    }
    unsigned ignored = prefixes - (usedIndex && prefixes > 0 ? 1u : 0u);
    result.length = static_cast<std::uint16_t>(bytes.Length());

    if (byteList) {
        WriteByteListForm(out, bytes, ignored, operation);
    } else {
        out.Text(operation);
        if (ignored > 0) {
            out.Text(" ; ");
            WritePrefixNote(out, bytes, ignored);
        }
    }
    return result;
}
