// Disassembles every instruction form, assembles the texts with pasmo and
// checks the bytes that come back: the same bytes, or for a form the core runs
// as another instruction (ignored prefixes, ED aliases, BIT under DD CB) the
// documented encoding of that instruction, whose own disassembly reads alike.
//
//   pasmo_round_trip PASMO WORK_DIR    exit 0 pass, 1 fail, 77 pasmo missing
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "cpu/disassemble.h"
#include "tests/disassembler/forms_file.h"

namespace {

std::string Body(const std::string& text) { return text.substr(0, text.find(" ;")); }

std::string PrefixNote(const OpcodeForm& form) {
    if (form.ignoredPrefixes == 0) return "";
    if (form.ignoredPrefixes == 1) return form.bytes[0] == 0xDD ? " ; DD ignored" : " ; FD ignored";
    return " ; " + std::to_string(form.ignoredPrefixes) + " prefixes ignored";
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: pasmo_round_trip PASMO WORK_DIR\n");
        return 2;
    }
    const std::string pasmo = argv[1];
    const std::string work = argv[2];
    if (pasmo.empty() || pasmo.find("NOTFOUND") != std::string::npos) {
        std::printf("SKIP: pasmo is not installed (Debian package pasmo; tools/install-deps.sh test)\n");
        return 77;
    }

    const FormsFile file = MakeFormsFile();
    const std::vector<OpcodeForm>& forms = file.forms;
    const std::vector<DisassembledInstruction>& texts = file.texts;
    const std::string asmPath = work + "/forms.asm";
    const std::string binPath = work + "/forms.bin";
    std::ofstream(asmPath) << file.source;
    std::remove(binPath.c_str());
    const std::string command = "\"" + pasmo + "\" --bin \"" + asmPath + "\" \"" + binPath + "\"";
    if (std::system(command.c_str()) != 0) {
        std::printf("FAIL: pasmo rejected %s\n", asmPath.c_str());
        return 1;
    }
    std::ifstream binFile(binPath, std::ios::binary);
    std::vector<std::uint8_t> assembled((std::istreambuf_iterator<char>(binFile)), std::istreambuf_iterator<char>());
    assembled.resize(forms.size() * kFormSlot, 0);  // pasmo stops at the last byte it wrote

    unsigned failures = 0, byteLists = 0, exact = 0, aliases = 0, chains = 0;
    for (std::size_t i = 0; i < forms.size(); ++i) {
        const OpcodeForm& form = forms[i];
        const std::string text = texts[i].text;
        const std::vector<std::uint8_t> expected = ExpectedSlot(form, text, texts[i].length);
        std::vector<std::uint8_t> slot(assembled.begin() + static_cast<std::ptrdiff_t>(i * kFormSlot),
                                       assembled.begin() + static_cast<std::ptrdiff_t>((i + 1) * kFormSlot));
        bool byteList = text.compare(0, 3, "DB ") == 0;
        std::string fault;
        if (slot != expected) {
            fault = "assembles to " + HexBytes(slot, 0, kFormSlot) + "expected " + HexBytes(expected, 0, kFormSlot);
        } else if (!byteList && text.substr(Body(text).size()) != PrefixNote(form)) {
            fault = "the note should be \"" + PrefixNote(form) + "\"";
        } else if (!byteList && form.canonical != form.bytes) {
            // The form runs as a documented instruction: it must read as that one.
            FormsImage canonical;
            auto at = static_cast<std::uint16_t>(kFormsOrigin + i * kFormSlot + Dropped(form));
            for (std::size_t k = 0; k < form.canonical.size(); ++k) canonical.bytes[at + k] = form.canonical[k];
            std::string own = Disassemble(ReadFormsImage, &canonical, at).text;
            if (own != Body(text)) fault = "reads unlike its documented form \"" + own + "\"";
        }
        if (!fault.empty()) {
            if (++failures <= 40) {
                std::printf("FAIL %s(%s): \"%s\" %s\n", HexBytes(form.bytes, 0, texts[i].length).c_str(),
                            form.chain ? "chain" : "form", text.c_str(), fault.c_str());
            }
            continue;
        }
        if (form.chain) {
            ++chains;
        } else if (byteList) {
            ++byteLists;
        } else if (form.canonical == form.bytes) {
            ++exact;
        } else {
            ++aliases;
        }
    }
    std::size_t single = 0;
    for (const OpcodeForm& form : forms) single += form.chain ? 0 : 1;
    std::printf("%zu instruction forms (unprefixed, CB, ED, DD, FD, DD CB, FD CB) and %zu prefix chains\n", single,
                forms.size() - single);
    std::printf("round trip through pasmo: %u forms to the same bytes as mnemonics, %u as DB byte lists, "
                "%u read as their documented instruction; %u chains as the core runs them; %u failures\n",
                exact, byteLists, aliases, chains, failures);
    return failures == 0 ? 0 : 1;
}
