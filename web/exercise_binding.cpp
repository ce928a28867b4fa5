// Exercises in the page: the exercise file read by the same reader as
// tarvorun's, and Check, which grades the learner's program with the same
// checker on a board of its own (the monitor loaded afresh, then the
// program), never the board the learner works on. The page's second module,
// tarvo_check.js, loaded when the first exercise opens: the checker's board
// counts the port writes on a bus of its own, a second copy of the CPU's
// instruction dispatch that the page's first load does without.
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include <emscripten/emscripten.h>

#include "asm/assembly_hex.h"
#include "asm/listings.h"
#include "exercises/exercise_check.h"
#include "exercises/exercise_report.h"
#include "files/hex_file.h"
#include "files/monitor_rom.h"
#include "web/page_assembly.h"

namespace {

std::string handedText;  // the last text handed to the script, alive until the next

const char* Hand(std::string text) {
    handedText = std::move(text);
    return handedText.c_str();
}

std::string ErrorJson(const std::string& error) { return "{\"error\": " + JsonString(error) + "}\n"; }

// Reads the exercise file at path; false with errorJson set when it cannot.
bool ReadExerciseFile(const char* path, Exercise& exercise, std::string& errorJson) {
    std::string text, reason;
    if (!ReadWholeFile(path, text)) {
        errorJson = ErrorJson("the exercise could not be read");
        return false;
    }
    if (ReadExercise(text, exercise, reason)) return true;
    errorJson = ErrorJson(reason);
    return false;
}

// The learner's program on the grading board, as tarvorun --exercise loads
// a submission: a name ending in .hex is read as Intel HEX, any other source
// is assembled. false with reason (one line, as tarvorun's) when it cannot.
bool LoadSubmission(const char* path, const std::string& name, BoardMemory& memory, std::string& reason) {
    if (name.size() >= 4 &&
        (name.compare(name.size() - 4, 4, ".hex") == 0 || name.compare(name.size() - 4, 4, ".HEX") == 0)) {
        FileError error;
        if (ReadHexFile(path, memory, &error) == 0) return true;
        reason = error.line == 0 ? "cannot open the Intel HEX file '" + name + "'"
                                 : name + ":" + std::to_string(error.line) + ": " + error.reason;
        return false;
    }
    std::string text;
    if (!ReadWholeFile(path, text)) {
        reason = "the source could not be read";
        return false;
    }
    const AssemblyResult result = AssembleInPage(name, text);
    if (!result.Succeeded()) {  // tarvorun's reason: the first line of the messages
        const std::string first =
            result.diagnostics.empty() ? "the program does not assemble\n" : DiagnosticText(result.diagnostics.front());
        reason = first.substr(0, first.find('\n'));
        return false;
    }
    LoadAssembly(result, memory);
    return true;
}

}  // namespace

extern "C" {

// The exercise file at path as the page shows it, JSON text: {"title",
// "task", "source", "hints", "checks"}, or {"error"} saying where (LINE:COLUMN
// and the JSON path) and why it cannot be used.
EMSCRIPTEN_KEEPALIVE const char* tarvo_read_exercise(const char* path) {
    Exercise exercise;
    std::string json;
    if (!ReadExerciseFile(path, exercise, json)) return Hand(std::move(json));
    std::size_t checks = 0;
    for (const ExerciseRun& run : exercise.runs) checks += run.checks.size();
    std::string hints;
    for (const std::string& hint : exercise.hints) hints += (hints.empty() ? "" : ", ") + JsonString(hint);
    return Hand("{\"title\": " + JsonString(exercise.title) + ", \"task\": " + JsonString(exercise.task) +
                ", \"source\": " + JsonString(exercise.source) + ", \"hints\": [" + hints +
                "], \"checks\": " + std::to_string(checks) + "}\n");
}

// Checks the program in the file at submissionPath, under the given name (a
// source, or Intel HEX when it ends in .hex), against the exercise file at
// exercisePath. Returns tarvorun's JSON report ({"passed", "failed",
// "checks": [{"run", "check", "passed", "message", "seen", "expected",
// "actual"}]}), a source that does not assemble as its one failed check, or
// {"error"} for an exercise file that cannot be used.
EMSCRIPTEN_KEEPALIVE const char* tarvo_check_exercise(const char* exercisePath, const char* submissionPath,
                                                      const char* name) {
    Exercise exercise;
    std::string json;
    if (!ReadExerciseFile(exercisePath, exercise, json)) return Hand(std::move(json));
    auto board = std::make_unique<Board>();
    SetUpBoard(*board);
    if (!LoadMonitorRom("/", '/', board->memory)) return Hand(ErrorJson("the monitor image is missing"));
    std::string reason;
    std::vector<CheckResult> results;
    if (LoadSubmission(submissionPath, name, board->memory, reason)) {
        results = CheckExercise(exercise, *board);
    } else {
        results.push_back(LoadFailure(reason));
    }
    return Hand(ReportText(ReportFormat::Json, exercise.title, name, results));
}

}  // extern "C"
