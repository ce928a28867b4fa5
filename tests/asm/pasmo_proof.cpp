// Our assembler against Debian's pasmo: the same memory image (the bytes the
// two HEX files load: the writers cut records differently, and pasmo fills
// gaps between ORGs with zeros) for each source given and for the file of
// every instruction form; each form's slot holds the bytes its text stands
// for; and the forms pasmo refuses (IN F,(C), IN (C), OUT (C),0) give the
// core's opcodes.
//
//   asm_pasmo_proof TARVOASM PASMO WORK_DIR SOURCE...   exit 0 pass, 1 fail, 77 pasmo missing
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "files/hex_file.h"
#include "tests/disassembler/forms_file.h"

namespace {

struct Image {
    std::vector<std::uint8_t> bytes;  // unwritten bytes 0
    std::vector<bool> written;
    unsigned count = 0;
};

// Loads a HEX file twice, over 00h and over FFh: a byte that comes out the
// same both times was written.
bool LoadHex(const std::string& path, Image& image) {
    auto zeros = std::make_unique<BoardMemory>();
    auto ones = std::make_unique<BoardMemory>();
    for (unsigned a = 0; a < 65536; ++a) {
        zeros->bytes[a] = 0x00;
        ones->bytes[a] = 0xFF;
    }
    if (ReadHexFile(path.c_str(), *zeros) != 0 || ReadHexFile(path.c_str(), *ones) != 0) return false;
    image.bytes.assign(zeros->bytes, zeros->bytes + 65536);
    image.written.assign(65536, false);
    for (unsigned a = 0; a < 65536; ++a) {
        image.written[a] = zeros->bytes[a] == ones->bytes[a];
        image.count += image.written[a] ? 1u : 0u;
    }
    return true;
}

std::string Name(const std::string& path) { return path.substr(path.find_last_of("/\\") + 1); }

std::string Quoted(const std::string& path) { return "\"" + path + "\""; }

// Runs a command with its output in a log; prints the log when it fails.
bool Run(const std::string& command, const std::string& log) {
    if (std::system((command + " >" + Quoted(log) + " 2>&1").c_str()) == 0) return true;
    std::printf("FAIL: %s\n", command.c_str());
    std::ifstream in(log);
    std::string line;
    for (int n = 0; n < 20 && std::getline(in, line); ++n) std::printf("  %s\n", line.c_str());
    return false;
}

class Proof {
public:
    Proof(std::string tarvoasm, std::string pasmo, std::string work)
        : tarvoasm_(std::move(tarvoasm)), pasmo_(std::move(pasmo)), work_(std::move(work)) {}

    // Assembles with both and compares; ours is left in image.
    bool SameAsPasmo(const std::string& source, Image& ours) {
        const std::string name = Name(source);
        const std::string oursHex = work_ + "/" + name + ".tarvoasm.hex";
        const std::string pasmoHex = work_ + "/" + name + ".pasmo.hex";
        std::remove(oursHex.c_str());
        std::remove(pasmoHex.c_str());
        if (!Run(Quoted(tarvoasm_) + " " + Quoted(source) + " -o " + Quoted(oursHex),
                 work_ + "/" + name + ".tarvoasm.log") ||
            !Run(Quoted(pasmo_) + " --hex " + Quoted(source) + " " + Quoted(pasmoHex),
                 work_ + "/" + name + ".pasmo.log")) {
            return false;
        }
        Image theirs;
        if (!LoadHex(oursHex, ours) || !LoadHex(pasmoHex, theirs)) {
            std::printf("FAIL %s: a HEX file does not load\n", name.c_str());
            return false;
        }
        for (unsigned a = 0; a < 65536; ++a) {
            if (ours.bytes[a] != theirs.bytes[a] || (ours.written[a] && !theirs.written[a])) {
                std::printf("FAIL %s: at %04Xh we have %02Xh%s, pasmo %02Xh%s\n", name.c_str(), a, ours.bytes[a],
                            ours.written[a] ? "" : " (not written)", theirs.bytes[a],
                            theirs.written[a] ? "" : " (not written)");
                return false;
            }
        }
        return true;
    }

    bool Source(const std::string& source) {
        Image ours;
        if (!SameAsPasmo(source, ours)) return false;
        std::printf("%s: %u bytes, identical to pasmo's image\n", Name(source).c_str(), ours.count);
        return true;
    }

    // Every form's disassembly, assembled: the expected bytes in every slot.
    bool Forms() {
        const FormsFile file = MakeFormsFile();
        const std::string path = work_ + "/forms.asm";
        std::ofstream(path) << file.source;
        Image ours;
        if (!SameAsPasmo(path, ours)) return false;
        unsigned failures = 0;
        for (std::size_t i = 0; i < file.forms.size(); ++i) {
            const std::vector<std::uint8_t> expected =
                ExpectedSlot(file.forms[i], file.texts[i].text, file.texts[i].length);
            const std::size_t at = kFormsOrigin + i * kFormSlot;
            const std::vector<std::uint8_t> slot(ours.bytes.begin() + static_cast<std::ptrdiff_t>(at),
                                                 ours.bytes.begin() + static_cast<std::ptrdiff_t>(at + kFormSlot));
            if (slot != expected && ++failures <= 20) {
                std::printf("FAIL forms.asm: \"%s\" gives %sexpected %s\n", file.texts[i].text,
                            HexBytes(slot, 0, kFormSlot).c_str(), HexBytes(expected, 0, kFormSlot).c_str());
            }
        }
        std::printf(
            "forms.asm: %zu instruction forms and prefix chains, %u bytes, identical to pasmo's image; "
            "%u slots unlike their form\n",
            file.forms.size(), ours.count, failures);
        return failures == 0;
    }

    // The operations the disassembler can only write as byte lists, which
    // we accept as written in their comment (and IN (C)).
    bool Extensions() {
        const FormsFile file = MakeFormsFile();
        std::string source;
        std::vector<std::pair<std::string, std::vector<std::uint8_t>>> cases;
        for (std::size_t i = 0; i < file.forms.size(); ++i) {
            const OpcodeForm& form = file.forms[i];
            const std::string text = file.texts[i].text;
            const std::size_t note = text.find(" ; ");
            if (form.chain || form.bytes[0] != 0xED || text.compare(0, 3, "DB ") != 0 || note == std::string::npos)
                continue;
            const std::string operation = text.substr(note + 3);
            if (operation == "NOP") continue;  // an undefined ED byte pair
            cases.push_back(
                {operation, std::vector<std::uint8_t>(form.bytes.begin(), form.bytes.begin() + file.texts[i].length)});
            if (operation == "IN F,(C)") cases.push_back({"IN (C)", cases.back().second});
        }
        for (std::size_t i = 0; i < cases.size(); ++i) {
            source += "\tORG " + std::to_string(0x1800 + i * kFormSlot) + "\n\t" + cases[i].first + "\n";
        }
        const std::string path = work_ + "/extensions.asm";
        const std::string hex = work_ + "/extensions.hex";
        std::ofstream(path) << source;
        Image ours;
        if (!Run(Quoted(tarvoasm_) + " " + Quoted(path) + " -o " + Quoted(hex), work_ + "/extensions.log") ||
            !LoadHex(hex, ours)) {
            return false;
        }
        std::string names;
        bool ok = !cases.empty();
        for (std::size_t i = 0; i < cases.size(); ++i) {
            const std::vector<std::uint8_t>& expected = cases[i].second;
            const std::size_t at = 0x1800 + i * kFormSlot;
            const std::vector<std::uint8_t> got(ours.bytes.begin() + static_cast<std::ptrdiff_t>(at),
                                                ours.bytes.begin() + static_cast<std::ptrdiff_t>(at + expected.size()));
            if (got != expected) {
                std::printf("FAIL extensions: %s gives %sexpected %s\n", cases[i].first.c_str(),
                            HexBytes(got, 0, got.size()).c_str(), HexBytes(expected, 0, expected.size()).c_str());
                ok = false;
            }
            names += (i == 0 ? "" : ", ") + cases[i].first;
        }
        std::printf("extensions (outside the comparison with pasmo): %s give their opcodes: %s\n", names.c_str(),
                    ok ? "yes" : "no");
        return ok;
    }

private:
    std::string tarvoasm_;
    std::string pasmo_;
    std::string work_;
};

}  // namespace

int main(int argc, char** argv) {
    if (argc < 4) {
        std::fprintf(stderr, "usage: asm_pasmo_proof TARVOASM PASMO WORK_DIR SOURCE...\n");
        return 2;
    }
    const std::string pasmo = argv[2];
    if (pasmo.empty() || pasmo.find("NOTFOUND") != std::string::npos) {
        std::printf("SKIP: pasmo is not installed (Debian package pasmo; tools/install-deps.sh test)\n");
        return 77;
    }
    Proof proof(argv[1], pasmo, argv[3]);
    bool ok = true;
    for (int i = 4; i < argc; ++i) ok = proof.Source(argv[i]) && ok;
    ok = proof.Forms() && ok;
    ok = proof.Extensions() && ok;
    return ok ? 0 : 1;
}
