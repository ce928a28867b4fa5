// Reads an exercise file into an Exercise, refusing anything it does not
// know, so that a typing mistake in a file never becomes a check that passes.
#include <cstdlib>

#include "exercises/exercise.h"
#include "exercises/json_value.h"
#include "exercises/register_names.h"

namespace {

// Bounds that keep every run short enough for bulk grading.
constexpr std::uint64_t kMostPasses = 100000000;    // a billion instructions
constexpr std::uint64_t kMostTStates = 4000000000;  // 2,000 seconds at 2 MHz

class ExerciseReader {
public:
    std::string error;

    bool Read(const JsonValue& root, Exercise& exercise) {
        if (!Expect(root, JsonValue::Kind::Object, "", "an object")) return false;
        if (!Known(root, "", {"title", "task", "source", "memory", "hints", "runs"})) return false;
        if (!RequiredText(root, "", "title", exercise.title) || !RequiredText(root, "", "task", exercise.task))
            return false;
        if (!OptionalText(root, "", "source", exercise.source)) return false;
        if (!Memory(root, "", exercise.memory)) return false;
        if (const JsonValue* hints = root.Member("hints")) {
            if (!Expect(*hints, JsonValue::Kind::Array, "/hints", "an array of texts")) return false;
            for (std::size_t i = 0; i < hints->items.size(); ++i) {
                const std::string path = "/hints/" + std::to_string(i);
                if (!Expect(hints->items[i], JsonValue::Kind::String, path, "a text")) return false;
                exercise.hints.push_back(hints->items[i].text);
            }
        }
        const JsonValue* runs = root.Member("runs");
        if (runs == nullptr) return Fail(root, "", "an exercise needs \"runs\", each with its checks");
        if (!Expect(*runs, JsonValue::Kind::Array, "/runs", "an array of runs")) return false;
        if (runs->items.empty()) return Fail(*runs, "/runs", "an exercise needs at least one run");
        for (std::size_t i = 0; i < runs->items.size(); ++i) {
            exercise.runs.emplace_back();
            if (!Run(runs->items[i], "/runs/" + std::to_string(i), exercise.runs.back())) return false;
        }
        return true;
    }

private:
    bool Fail(const JsonValue& at, const std::string& path, const std::string& why) {
        error =
            std::to_string(at.line) + ":" + std::to_string(at.column) + ": " + (path.empty() ? "/" : path) + ": " + why;
        return false;
    }

    bool Expect(const JsonValue& value, JsonValue::Kind kind, const std::string& path, const char* what) {
        return value.kind == kind || Fail(value, path, std::string("should be ") + what);
    }

    bool Known(const JsonValue& object, const std::string& path, std::initializer_list<const char*> names) {
        for (const auto& member : object.members) {
            bool known = false;
            for (const char* name : names) known = known || member.first == name;
            if (known) continue;
            std::string list;
            for (const char* name : names) list += std::string(list.empty() ? "" : ", ") + name;
            return Fail(member.second, path + "/" + member.first, "unknown name (known here: " + list + ")");
        }
        return true;
    }

    bool OptionalText(const JsonValue& object, const std::string& path, const char* name, std::string& out) {
        const JsonValue* value = object.Member(name);
        if (value == nullptr) return true;
        if (!Expect(*value, JsonValue::Kind::String, path + "/" + name, "a text")) return false;
        out = value->text;
        return true;
    }

    bool RequiredText(const JsonValue& object, const std::string& path, const char* name, std::string& out) {
        if (object.Member(name) == nullptr) return Fail(object, path, std::string("\"") + name + "\" is missing");
        if (!OptionalText(object, path, name, out)) return false;
        return !out.empty() || Fail(*object.Member(name), path + "/" + name, "is empty");
    }

    // A hexadecimal number of 1 to digits digits, as the monitor shows them.
    bool Hex(const JsonValue& value, const std::string& path, int digits, std::uint32_t& out) {
        const std::string what = digits == 2 ? "a byte" : "a 16-bit value";
        const std::string shape = " in hexadecimal, 1 to " + std::to_string(digits) + " digits in a text, as \"" +
                                  (digits == 2 ? "3E" : "1800") + "\"";
        if (value.kind != JsonValue::Kind::String || value.text.empty() ||
            value.text.size() > static_cast<std::size_t>(digits)) {
            return Fail(value, path, "should be " + what + shape);
        }
        out = 0;
        for (char c : value.text) {
            int digit = -1;
            if (c >= '0' && c <= '9') digit = c - '0';
            if (c >= 'a' && c <= 'f') digit = c - 'a' + 10;
            if (c >= 'A' && c <= 'F') digit = c - 'A' + 10;
            if (digit < 0) return Fail(value, path, "should be " + what + shape);
            out = out * 16 + static_cast<std::uint32_t>(digit);
        }
        return true;
    }

    // "3E 00 21": bytes in hexadecimal, separated by spaces.
    bool Bytes(const JsonValue& value, const std::string& path, std::vector<std::uint8_t>& out) {
        if (value.kind != JsonValue::Kind::String) return Fail(value, path, "should be bytes in a text, as \"3E 00\"");
        std::size_t at = 0;
        const std::string& text = value.text;
        while (at < text.size()) {
            if (text[at] == ' ') {
                ++at;
                continue;
            }
            std::size_t end = text.find(' ', at);
            if (end == std::string::npos) end = text.size();
            JsonValue one = value;
            one.text = text.substr(at, end - at);
            std::uint32_t byte = 0;
            if (!Hex(one, path + " (byte " + std::to_string(out.size() + 1) + ")", 2, byte)) return false;
            out.push_back(static_cast<std::uint8_t>(byte));
            at = end;
        }
        return !out.empty() || Fail(value, path, "holds no byte");
    }

    bool Count(const JsonValue& value, const std::string& path, std::uint64_t most, std::uint64_t& out) {
        const std::string why = "should be a whole number from 0 to " + std::to_string(most);
        if (value.kind != JsonValue::Kind::Number) return Fail(value, path, why);
        std::uint64_t parsed = 0;
        if (!ParseCount(value.text, most, parsed)) return Fail(value, path, why);
        out = parsed;
        return true;
    }

    bool Memory(const JsonValue& object, const std::string& path, std::vector<MemoryBytes>& out) {
        const JsonValue* memory = object.Member("memory");
        if (memory == nullptr) return true;
        const std::string base = path + "/memory";
        if (!Expect(*memory, JsonValue::Kind::Object, base, "an object of address: bytes, as {\"1900\": \"12 34\"}")) {
            return false;
        }
        for (const auto& member : memory->members) {
            JsonValue name = member.second;
            name.kind = JsonValue::Kind::String;
            name.text = member.first;
            MemoryBytes bytes{};
            std::uint32_t address = 0;
            if (!Hex(name, base + "/" + member.first, 4, address)) return false;
            bytes.address = static_cast<std::uint16_t>(address);
            if (!Bytes(member.second, base + "/" + member.first, bytes.bytes)) return false;
            if (address + bytes.bytes.size() > 0x10000) {
                return Fail(member.second, base + "/" + member.first, "runs past FFFFh");
            }
            out.push_back(bytes);
        }
        return true;
    }

    bool Run(const JsonValue& value, const std::string& path, ExerciseRun& run) {
        if (!Expect(value, JsonValue::Kind::Object, path, "an object")) return false;
        if (!Known(value, path, {"name", "memory", "keys", "passes", "tStates", "checks"})) return false;
        if (!OptionalText(value, path, "name", run.name)) return false;
        if (!Memory(value, path, run.memory)) return false;
        if (const JsonValue* keys = value.Member("keys")) {
            if (!Expect(*keys, JsonValue::Kind::String, path + "/keys", "a text of key names")) return false;
            std::string why;
            if (!ParseKeys(keys->text, run.keys, why, "the keys")) return Fail(*keys, path + "/keys", why);
        }
        const JsonValue* passes = value.Member("passes");
        const JsonValue* tStates = value.Member("tStates");
        if (passes != nullptr && tStates != nullptr) {
            return Fail(*tStates, path + "/tStates", "a run lasts \"passes\" or \"tStates\", not both");
        }
        if (passes != nullptr && !Count(*passes, path + "/passes", kMostPasses, run.length)) return false;
        if (tStates != nullptr && !Count(*tStates, path + "/tStates", kMostTStates, run.length)) return false;
        run.byTStates = tStates != nullptr;
        const JsonValue* checks = value.Member("checks");
        if (checks == nullptr) return Fail(value, path, "a run needs \"checks\"");
        if (!Expect(*checks, JsonValue::Kind::Array, path + "/checks", "an array of checks")) return false;
        if (checks->items.empty()) return Fail(*checks, path + "/checks", "a run needs at least one check");
        for (std::size_t i = 0; i < checks->items.size(); ++i) {
            run.checks.emplace_back();
            if (!Check(checks->items[i], path + "/checks/" + std::to_string(i), run.checks.back())) return false;
        }
        return true;
    }

    bool Check(const JsonValue& value, const std::string& path, ExerciseCheck& check) {
        if (!Expect(value, JsonValue::Kind::Object, path, "an object")) return false;
        if (!RequiredText(value, path, "message", check.message)) return false;
        const char* const kinds[] = {"display", "register", "memory", "port"};
        int found = -1;
        for (int k = 0; k < 4; ++k) {
            if (value.Member(kinds[k]) == nullptr) continue;
            if (found >= 0)
                return Fail(value, path,
                            std::string("one check looks at one thing: both \"") + kinds[found] + "\" and \"" +
                                kinds[k] + "\"");
            found = k;
        }
        if (found < 0) return Fail(value, path, "a check needs one of \"display\", \"register\", \"memory\", \"port\"");
        const std::string at = path + "/" + kinds[found];
        const JsonValue& subject = *value.Member(kinds[found]);
        switch (found) {
            case 0:
                check.kind = ExerciseCheck::Kind::Display;
                if (!Known(value, path, {"message", "display"})) return false;
                if (!Expect(subject, JsonValue::Kind::String, at, "the display's text, as \"  0012\"")) return false;
                check.display = subject.text;
                return true;
            case 1: {
                check.kind = ExerciseCheck::Kind::Register;
                if (!Known(value, path, {"message", "register", "from", "equals"})) return false;
                if (!Expect(subject, JsonValue::Kind::String, at, "a register's name, as \"HL\"")) return false;
                std::string from = "cpu";
                if (!OptionalText(value, path, "from", from)) return false;
                if (from != "cpu" && from != "monitor") {
                    return Fail(*value.Member("from"), path + "/from",
                                "should be \"cpu\" (the CPU's at the end of the run) or \"monitor\" (as the monitor "
                                "saved them after MONI)");
                }
                check.source = from == "cpu" ? RegisterSource::Cpu : RegisterSource::Monitor;
                check.registerName = UpperCase(subject.text);
                const int width = RegisterWidth(check.registerName, check.source);
                if (width == 0) return Fail(subject, at, UnknownRegisterText(check.registerName, check.source));
                const JsonValue* equals = value.Member("equals");
                if (equals == nullptr) return Fail(value, path, "a register check needs \"equals\"");
                std::uint32_t expected = 0;
                if (!Hex(*equals, path + "/equals", width / 4, expected)) return false;
                check.value = static_cast<std::uint16_t>(expected);
                return true;
            }
            case 2: {
                check.kind = ExerciseCheck::Kind::Memory;
                if (!Known(value, path, {"message", "memory", "bytes"})) return false;
                std::uint32_t address = 0;
                if (!Hex(subject, at, 4, address)) return false;
                check.memory.address = static_cast<std::uint16_t>(address);
                const JsonValue* bytes = value.Member("bytes");
                if (bytes == nullptr) return Fail(value, path, "a memory check needs \"bytes\"");
                if (!Bytes(*bytes, path + "/bytes", check.memory.bytes)) return false;
                if (address + check.memory.bytes.size() > 0x10000)
                    return Fail(*bytes, path + "/bytes", "runs past FFFFh");
                return true;
            }
            default: {
                check.kind = ExerciseCheck::Kind::PortWrites;
                if (!Known(value, path, {"message", "port", "wrote", "minWrites", "maxWrites"})) return false;
                std::uint32_t port = 0;
                if (!Hex(subject, at, 2, port)) return false;
                if (port > 3) return Fail(subject, at, "the 8255's ports are 00 to 03");
                check.port = static_cast<std::uint8_t>(port);
                const JsonValue* wrote = value.Member("wrote");
                const JsonValue* least = value.Member("minWrites");
                const JsonValue* most = value.Member("maxWrites");
                if (wrote == nullptr && least == nullptr && most == nullptr) {
                    return Fail(value, path, "a port check needs \"wrote\", \"minWrites\" or \"maxWrites\"");
                }
                if (wrote != nullptr && !Bytes(*wrote, path + "/wrote", check.wrote)) return false;
                if (least != nullptr && !Count(*least, path + "/minWrites", UINT32_MAX, check.minWrites)) return false;
                if (most != nullptr && !Count(*most, path + "/maxWrites", UINT32_MAX, check.maxWrites)) return false;
                return true;
            }
        }
    }
};

}  // namespace

bool ReadExercise(const std::string& text, Exercise& exercise, std::string& error) {
    JsonValue root;
    if (!ParseJson(text, root, error)) return false;
    exercise = Exercise{};
    ExerciseReader reader;
    if (reader.Read(root, exercise)) return true;
    error = reader.error;
    return false;
}
