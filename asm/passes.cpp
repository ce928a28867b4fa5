// One pass over the statements: IF branches, the location counter, the
// values of names, and in the final pass the bytes and the messages.
#include <algorithm>
#include <string>
#include <vector>

#include "asm/assembly.h"
#include "asm/hints.h"
#include "asm/number_text.h"

namespace {

struct IfFrame {
    std::uint32_t statement;
    bool outerActive;  // the lines around the IF are assembled
    bool taken;        // its condition held
    bool inElse;
};

struct Evaluated {
    bool ok = false;  // value can be used
    std::int64_t value = 0;
    bool forward = false;  // it depends on names defined further down
};

// "76 bytes", "1 byte".
std::string Bytes(std::int64_t count) { return std::to_string(count) + (count == 1 ? " byte" : " bytes"); }

class Pass {
public:
    Pass(Assembly& a, unsigned pass, bool final) : a_(a), final_(final) {
        a_.pass = pass;
        a_.final = final;
    }

    bool Run() {
        for (std::uint32_t si = 0; si < a_.statements.size() && !a_.stopped; ++si) Step(si);
        if (final_) {
            for (const IfFrame& frame : ifs_) {
                if (frame.outerActive)
                    Error(frame.statement, a_.statements[frame.statement].column, "this IF has no ENDIF");
            }
        }
        return layoutForward_;
    }

private:
    bool Active() const {
        if (ifs_.empty()) return true;
        const IfFrame& f = ifs_.back();
        return f.outerActive && (f.inElse ? !f.taken : f.taken);
    }

    void Error(std::uint32_t si, std::uint32_t column, std::string message) {
        a_.Report(si, AsmSeverity::Error, column, std::move(message));
    }

    // "line 12", or "file.asm:12" for a line of another file than si's.
    std::string Where(std::uint32_t other, std::uint32_t si) const {
        const AsmLine& there = a_.lines[a_.statements[other].line];
        const AsmLine& here = a_.lines[a_.statements[si].line];
        if (there.file == here.file) return "line " + std::to_string(there.line);
        return a_.files[there.file].name + ":" + std::to_string(there.line);
    }

    // Evaluates an expression at the location counter. layout: the value
    // decides addresses or names. In the final pass what goes wrong is reported.
    Evaluated Value(std::uint32_t si, std::uint32_t expr, bool layout) {
        Evaluated out;
        if (expr == kNoExpr) {
            out.ok = true;  // the 0 of (IX)
            return out;
        }
        const EvalResult r = Evaluate(a_.pool, expr, a_, address_);
        out.forward = r.forward || !r.known;
        if (layout && out.forward) layoutForward_ = true;
        if (r.failed) {
            if (final_) Error(si, r.column, r.message);
            return out;
        }
        if (!r.known) {
            if (final_) Error(si, r.unknownColumn, a_.UnknownName(r.unknownSymbol));
            return out;
        }
        if (final_ && r.forward && !DeflUsedEarly(si, expr)) return out;
        out.ok = true;
        out.value = r.value;
        return out;
    }

    // A DEFL name has no value before its first DEFL (in pasmo too); false after reporting one.
    bool DeflUsedEarly(std::uint32_t si, std::uint32_t expr) {
        std::vector<std::uint32_t> names;
        CollectSymbols(a_.pool, expr, names);
        for (std::uint32_t name : names) {
            const Symbol& symbol = a_.symbols[name];
            if (symbol.kind == AsmSymbolKind::Defl && symbol.pass != a_.pass) {
                Error(si, a_.statements[si].column,
                      "'" + symbol.name + "' is used before its first DEFL (" + Where(symbol.statement, si) + ")");
                return false;
            }
        }
        return true;
    }

    void Define(std::uint32_t si, std::uint32_t symbol, std::int64_t value, AsmSymbolKind kind, const Evaluated& how) {
        Symbol& s = a_.symbols[symbol];
        if (s.statement == kNone) {
            s.statement = si;
            s.kind = kind;
        } else if (s.statement != si && !(kind == AsmSymbolKind::Defl && s.kind == AsmSymbolKind::Defl)) {
            if (final_) {
                const std::string where = Where(s.statement, si);
                Error(si, a_.statements[si].labelColumn,
                      s.kind == AsmSymbolKind::Defl || kind == AsmSymbolKind::Defl
                          ? "'" + s.name + "' is defined on " + where +
                                "; only DEFL may define a name again, and only a DEFL name"
                          : "'" + s.name + "' is already defined on " + where);
            }
            return;
        }
        s.value = value;
        s.known = how.ok;
        s.provisional = how.forward;
        s.pass = a_.pass;
    }

    void DefineLabel(std::uint32_t si) {
        const Statement& s = a_.statements[si];
        Evaluated here;
        here.ok = true;
        if (s.label != kNone) Define(si, s.label, address_, AsmSymbolKind::Label, here);
    }

    void Emit(std::uint32_t si, const std::uint8_t* bytes, std::int64_t count) {
        if (!final_) return;
        if (address_ + count > 0x10000) {
            Error(si, a_.statements[si].column, "the code runs past FFFFh, the end of memory");
            count = 0x10000 - address_;
        }
        if (count <= 0) return;
        a_.spans.push_back({static_cast<std::uint16_t>(address_), static_cast<std::uint16_t>(address_ + count - 1)});
        bool overlapSaid = false;
        for (std::int64_t k = 0; k < count; ++k) {
            const auto at = static_cast<std::size_t>(address_ + k);
            const std::uint32_t before = a_.owner[at];
            if (before != kNone && before != si && !overlapSaid) {
                overlapSaid = true;
                a_.Report(si, AsmSeverity::Warning, a_.statements[si].column,
                          "this line puts a byte at " + HexNumber(static_cast<std::uint32_t>(at), 4) + ", where " +
                              Where(before, si) + " has put one already");
            }
            a_.memory[at] = bytes[k];
            a_.owner[at] = si;
        }
    }

    void Step(std::uint32_t si) {
        Statement& s = a_.statements[si];
        AsmLine& line = a_.lines[s.line];
        line.assembled = false;
        line.size = 0;
        line.hasValue = false;
        if (ended_) return;
        if (s.directive == Directive::If || s.directive == Directive::Else || s.directive == Directive::Endif) {
            return Conditional(si, s, line);
        }
        if (!Active()) return;
        line.assembled = true;
        line.address = static_cast<std::uint16_t>(address_);
        if (final_) ReportParsed(si, s);
        if (s.broken) {
            if (s.directive != Directive::Equ && s.directive != Directive::Defl) DefineLabel(si);
            return;
        }
        const Argument* args = s.argumentCount > 0 ? &a_.arguments[s.firstArgument] : nullptr;
        switch (s.directive) {
            case Directive::None:
                DefineLabel(si);
                if (s.forms != nullptr) Instruction(si, s, args, line);
                return;
            case Directive::Org: {
                const Evaluated at = Value(si, args[0].expr, true);
                if (at.ok && (at.value < 0 || at.value > 0xFFFF)) {
                    if (final_) Error(si, args[0].column, "ORG " + ValueText(at.value) + " lies outside 0000h-FFFFh");
                } else if (at.ok) {
                    address_ = at.value;
                    if (final_ && !a_.hasOrigin) {
                        a_.hasOrigin = true;
                        a_.origin = static_cast<std::uint16_t>(address_);
                    }
                }
                line.address = static_cast<std::uint16_t>(address_);
                return DefineLabel(si);
            }
            case Directive::Equ:
            case Directive::Defl: {
                const Evaluated value = Value(si, args[0].expr, true);
                Define(si, s.label, value.value,
                       s.directive == Directive::Equ ? AsmSymbolKind::Equ : AsmSymbolKind::Defl, value);
                line.hasValue = value.ok;
                line.value = value.value;
                return;
            }
            case Directive::Defb:
            case Directive::Defw: DefineLabel(si); return Data(si, s, args, line);
            case Directive::Defs: DefineLabel(si); return Space(si, s, args, line);
            case Directive::End:
                DefineLabel(si);
                ended_ = true;
                if (s.argumentCount == 1 && final_) {
                    const Evaluated entry = Value(si, args[0].expr, false);
                    if (entry.ok && (entry.value < 0 || entry.value > 0xFFFF)) {
                        Error(si, args[0].column,
                              "the start address " + ValueText(entry.value) + " lies outside 0000h-FFFFh");
                    } else if (entry.ok) {
                        a_.hasEntry = true;
                        a_.entry = static_cast<std::uint16_t>(entry.value);
                    }
                }
                return;
            case Directive::Error:
            case Directive::Warning:
                DefineLabel(si);
                a_.Report(si, s.directive == Directive::Error ? AsmSeverity::Error : AsmSeverity::Warning, s.column,
                          s.text.empty() ? (s.directive == Directive::Error ? ".ERROR" : ".WARNING") : s.text);
                return;
            default: DefineLabel(si); return;  // INCLUDE: its lines follow
        }
    }

    void ReportParsed(std::uint32_t si, const Statement& s) {
        for (std::uint32_t m = 0; m < s.messageCount && !a_.stopped; ++m) {
            const PendingMessage& message = a_.messages[s.firstMessage + m];
            std::string hint;
            if (message.hint == Hint::Mnemonic) hint = MnemonicHint(message.typed);
            if (message.hint == Hint::Form) hint = FormHint(message.mnemonic, message.typed, message.operands);
            a_.Report(si, message.severity, message.column, message.text + hint);
        }
    }

    void Conditional(std::uint32_t si, const Statement& s, AsmLine& line) {
        const bool active = Active();
        line.assembled = active;
        line.address = static_cast<std::uint16_t>(address_);
        if (active && final_) ReportParsed(si, s);
        if (s.directive == Directive::If) {
            bool taken = false;
            if (active && !s.broken) {
                const std::uint32_t expr = a_.arguments[s.firstArgument].expr;
                const Evaluated test = Value(si, expr, true);
                if (test.ok && test.forward) {
                    if (final_) IfUsesLaterName(si, expr);
                } else {
                    taken = test.ok && test.value != 0;
                }
            }
            ifs_.push_back({si, active, taken, false});
            return;
        }
        if (ifs_.empty()) {
            if (final_) Error(si, s.column, s.directive == Directive::Else ? "ELSE without IF" : "ENDIF without IF");
            return;
        }
        IfFrame& frame = ifs_.back();
        if (s.directive == Directive::Endif) {
            ifs_.pop_back();
        } else if (frame.inElse) {
            if (final_ && frame.outerActive)
                Error(si, s.column, "a second ELSE for the IF on " + Where(frame.statement, si));
        } else {
            frame.inElse = true;
        }
    }

    // IF is decided where it stands, as pasmo decides it: its names must be defined above it.
    void IfUsesLaterName(std::uint32_t si, std::uint32_t expr) {
        std::vector<std::uint32_t> names;
        CollectSymbols(a_.pool, expr, names);
        for (std::uint32_t name : names) {
            const SymbolState state = a_.State(name);
            if (state.current) continue;
            const Symbol& symbol = a_.symbols[name];
            const std::string why =
                symbol.pass == a_.pass ? "' depends on names defined further down (" : "' is defined further down (";
            Error(si, a_.statements[si].column,
                  "IF can only use names defined above it: '" + symbol.name + why + Where(symbol.statement, si) + ")");
            return;
        }
    }

    void Instruction(std::uint32_t si, const Statement& s, const Argument* args, AsmLine& line) {
        const FormGroup& group = *s.forms;
        const InstructionForm* form = &group.front();
        if (form->fixedOperand >= 0) form = FixedForm(si, group, args[form->fixedOperand]);
        if (final_ && form != nullptr) {
            std::uint8_t bytes[4] = {form->bytes[0], form->bytes[1], form->bytes[2], form->bytes[3]};
            bool ok = true;
            for (unsigned k = 0; k < form->slotCount; ++k) ok = Slot(si, *form, form->slots[k], args, bytes) && ok;
            if (ok) Emit(si, bytes, form->length);
        }
        line.size = s.size;
        address_ += s.size;
    }

    // IM 1, RST 38h, BIT 3,...: the operand picks the opcode.
    const InstructionForm* FixedForm(std::uint32_t si, const FormGroup& group, const Argument& arg) {
        const Evaluated v = Value(si, arg.expr, false);
        if (!v.ok) return nullptr;
        for (const InstructionForm& form : group) {
            if (v.value == form.fixedValue) return &form;
        }
        if (final_) {
            std::vector<const InstructionForm*> sorted;
            for (const InstructionForm& form : group) sorted.push_back(&form);
            std::sort(sorted.begin(), sorted.end(),
                      [](const InstructionForm* x, const InstructionForm* y) { return x->fixedValue < y->fixedValue; });
            const std::string& text = group.front().text;
            std::string list;
            for (std::size_t i = 0; i < sorted.size(); ++i) {
                const std::string& t = sorted[i]->text;
                // The number as the disassembler writes it: the fixed operand's text.
                std::size_t start = t.find(' ') + 1;
                for (int k = 0; k < group.front().fixedOperand; ++k) start = t.find(',', start) + 1;
                const std::string number = t.substr(start, t.find(',', start) - start);
                list += (i == 0 ? "" : i + 1 == sorted.size() ? " or " : ", ") + number;
            }
            Error(si, arg.column,
                  text.substr(0, text.find(' ')) + " takes " + list + " here, not " + ValueText(v.value));
        }
        return nullptr;
    }

    bool Slot(std::uint32_t si, const InstructionForm& form, const OperandSlot& slot, const Argument* args,
              std::uint8_t* bytes) {
        const Argument& arg = args[slot.operand];
        const Evaluated e = Value(si, arg.expr, false);
        if (!e.ok) return false;
        const std::int64_t v = e.value;
        const std::string mnemonic = form.text.substr(0, form.text.find(' '));
        switch (slot.kind) {
            case SlotKind::Byte:
                if (v < -128 || v > 255) {
                    Error(si, arg.column, ValueText(v) + " does not fit in a byte (-128 to 255)");
                    return false;
                }
                bytes[slot.offset] = static_cast<std::uint8_t>(v & 0xFF);
                return true;
            case SlotKind::Word:
                if (v < -32768 || v > 0xFFFF) {
                    Error(si, arg.column, ValueText(v) + " does not fit in 16 bits (-32768 to 65535)");
                    return false;
                }
                bytes[slot.offset] = static_cast<std::uint8_t>(v & 0xFF);
                bytes[slot.offset + 1] = static_cast<std::uint8_t>((v >> 8) & 0xFF);
                return true;
            case SlotKind::Displacement:
                if (v < -128 || v > 127) {
                    Error(si, arg.column, "the index offset " + ValueText(v) + " lies outside -128 to 127");
                    return false;
                }
                bytes[slot.offset] = static_cast<std::uint8_t>(v & 0xFF);
                return true;
            case SlotKind::Relative: {
                if (v < 0 || v > 0xFFFF) {
                    Error(si, arg.column, "the jump target " + ValueText(v) + " lies outside 0000h-FFFFh");
                    return false;
                }
                const std::int64_t distance = v - (address_ + form.length);
                if (distance < -128 || distance > 127) {
                    const std::string where = distance > 0
                                                  ? Bytes(distance) + " past the end of this " + mnemonic
                                                  : Bytes(-distance) + " back from the end of this " + mnemonic;
                    Error(si, arg.column,
                          mnemonic + " cannot reach " + HexNumber(static_cast<std::uint32_t>(v), 4) + ": it lies " +
                              where + ", and " + mnemonic + " reaches 127 bytes forward and 128 back; " +
                              (mnemonic == "DJNZ" ? "use DEC B and JP NZ" : "use JP"));
                    return false;
                }
                bytes[slot.offset] = static_cast<std::uint8_t>(distance & 0xFF);
                return true;
            }
        }
        return false;
    }

    void Data(std::uint32_t si, const Statement& s, const Argument* args, AsmLine& line) {
        line.size = s.size;
        if (final_) {
            std::vector<std::uint8_t> bytes;
            bytes.reserve(s.size);
            bool ok = true;
            for (std::uint32_t k = 0; k < s.argumentCount; ++k) {
                const Argument& arg = args[k];
                if (arg.isString) {
                    bytes.insert(bytes.end(), arg.bytes.begin(), arg.bytes.end());
                    continue;
                }
                const Evaluated e = Value(si, arg.expr, false);
                std::int64_t v = e.value;
                if (!e.ok) {
                    ok = false;
                } else if (s.directive == Directive::Defb && (v < -128 || v > 255)) {
                    Error(si, arg.column, ValueText(v) + " does not fit in a byte (-128 to 255)");
                    ok = false;
                } else if (s.directive == Directive::Defw && (v < -32768 || v > 0xFFFF)) {
                    Error(si, arg.column, ValueText(v) + " does not fit in 16 bits (-32768 to 65535)");
                    ok = false;
                }
                bytes.push_back(static_cast<std::uint8_t>(v & 0xFF));
                if (s.directive == Directive::Defw) bytes.push_back(static_cast<std::uint8_t>((v >> 8) & 0xFF));
            }
            if (ok) Emit(si, bytes.data(), static_cast<std::int64_t>(bytes.size()));
        }
        address_ += s.size;
    }

    void Space(std::uint32_t si, const Statement& s, const Argument* args, AsmLine& line) {
        const Evaluated count = Value(si, args[0].expr, true);
        if (!count.ok) return;
        std::int64_t size = count.value;
        if (size < 0 || address_ + size > 0x10000) {
            if (final_) {
                Error(si, args[0].column,
                      size < 0 ? "DEFS cannot reserve " + ValueText(size) + " bytes"
                               : "DEFS " + ValueText(size) + " runs past FFFFh, the end of memory");
            }
            return;
        }
        std::int64_t fill = 0;  // kept on purpose: pasmo writes DEFS without a fill as zeros
        if (s.argumentCount == 2 && final_) {
            const Evaluated f = Value(si, args[1].expr, false);
            if (!f.ok) return;
            if (f.value < -128 || f.value > 255) {
                Error(si, args[1].column, ValueText(f.value) + " does not fit in a byte (-128 to 255)");
                return;
            }
            fill = f.value;
        }
        if (final_) {
            const std::vector<std::uint8_t> bytes(static_cast<std::size_t>(size),
                                                  static_cast<std::uint8_t>(fill & 0xFF));
            Emit(si, bytes.data(), size);
        }
        line.size = static_cast<std::uint32_t>(size);
        address_ += size;
    }

    Assembly& a_;
    bool final_;
    std::int64_t address_ = 0;
    std::vector<IfFrame> ifs_;
    bool ended_ = false;
    bool layoutForward_ = false;
};

}  // namespace

bool RunPass(Assembly& assembly, unsigned pass, bool final) { return Pass(assembly, pass, final).Run(); }
