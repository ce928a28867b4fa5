#include "tarvorun_exercise.h"

#include <memory>
#include <sstream>

#include "exercises/exercise_check.h"
#include "exercises/exercise_report.h"
#include "files/file_error.h"
#include "files/hex_file.h"
#include "files/safe_save.h"
#include "tarvoasm_sources.h"
#include "tarvorun_session.h"

namespace {

enum : int { kAllPassed = 0, kSubmissionFailed = 1, kGraderFault = 2 };

// Loads the submission into memory; false with its reason (an assembler's
// messages whole) when it cannot.
bool LoadSubmission(const std::string& path, BoardMemory& memory, std::string& reason) {
    const std::string extension = path.substr(path.size() - 4);
    if (extension == ".asm" || extension == ".ASM") {
        std::ostringstream messages;
        const bool loaded = LoadAssembledFile(path, "tarvorun", memory, messages);
        reason = messages.str();
        return loaded;
    }
    FileError error;
    const int result = ReadHexFile(path.c_str(), memory, &error);
    if (result == 0) return true;
    if (result == -1 || error.line == 0) {
        reason = "tarvorun: cannot open the Intel HEX file '" + path + "'\n";
    } else {
        reason = path + ":" + std::to_string(error.line) + ": " + error.reason + "\n";
    }
    return false;
}

// The first line of a reason without the program's name, for a report's one-line field.
std::string FirstLine(const std::string& text) {
    const std::string prefix = "tarvorun: ";
    const std::size_t from = text.compare(0, prefix.size(), prefix) == 0 ? prefix.size() : 0;
    return text.substr(from, text.find('\n') - from);
}

bool WriteReport(const std::string& path, const std::string& text, std::string& reason) {
    SafeSave save;
    if (BeginSafeSave(save, path.c_str())) {
        SaveBytes(save, text.data(), text.size());
        if (FinishSafeSave(save) == 0) return true;
    }
    FileError error;
    ReportSaveFailure(save, &error);
    reason = error.systemError > 0 ? std::generic_category().message(error.systemError) : "the system gave no reason";
    return false;
}

}  // namespace

int RunExerciseSession(const RunOptions& options, const std::string& programFolder, char separator, std::ostream& out,
                       std::ostream& err) {
    std::string text, reason;
    if (!ReadSourceFile(options.exercisePath, text, reason)) {
        err << "tarvorun: cannot read the exercise '" << options.exercisePath << "': " << reason << "\n";
        return kGraderFault;
    }
    Exercise exercise;
    if (!ReadExercise(text, exercise, reason)) {
        err << "tarvorun: " << options.exercisePath << ":" << reason << "\n";
        return kGraderFault;
    }
    auto board = std::make_unique<Board>();
    SetUpBoard(*board);
    if (!LoadRomImage(*board, options, programFolder, separator, err)) return kGraderFault;

    std::vector<CheckResult> results;
    if (LoadSubmission(options.submission, board->memory, reason)) {
        if (!reason.empty()) err << reason;  // the assembler's warnings
        results = CheckExercise(exercise, *board);
    } else {
        err << reason;
        results.push_back(LoadFailure(FirstLine(reason)));
    }
    const bool reportToOut = options.reportPath == "-";
    if (!reportToOut) out << ResultsText(results);
    if (!options.reportPath.empty()) {
        ReportFormat format = ReportFormat::Json;
        FindReportFormat(options.reportFormat, format);
        const std::string report = ReportText(format, exercise.title, options.submission, results);
        if (reportToOut) {
            out << report;
        } else if (!WriteReport(options.reportPath, report, reason)) {
            err << "tarvorun: cannot write the report '" << options.reportPath << "': " << reason << "\n";
            return kGraderFault;
        }
    }
    return CountPassed(results) == results.size() ? kAllPassed : kSubmissionFailed;
}
