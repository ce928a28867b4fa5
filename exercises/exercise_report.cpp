#include "exercises/exercise_report.h"

#include <cstdio>

namespace {

std::string Name(const CheckResult& result) { return result.run + ": " + result.check; }

std::string Failure(const CheckResult& result) { return result.message + " (" + result.seen + ")"; }

std::string Xml(const std::string& text) {
    std::string out;
    for (char c : text) {
        switch (c) {
            case '&': out += "&amp;"; break;
            case '<': out += "&lt;"; break;
            case '>': out += "&gt;"; break;
            case '"': out += "&quot;"; break;
            case '\'': out += "&apos;"; break;
            default:
                // XML 1.0 allows no other control characters, escaped or not.
                out += (static_cast<unsigned char>(c) < 0x20 && c != '\t' && c != '\n' && c != '\r') ? '?' : c;
        }
    }
    return out;
}

}  // namespace

std::string JsonString(const std::string& text) {
    std::string out = "\"";
    for (char c : text) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (static_cast<unsigned char>(c) < 0x20) {
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\u%04x", static_cast<unsigned>(c));
            out += escape;
        } else {
            out += c;
        }
    }
    return out + "\"";
}

namespace {

std::string Junit(const std::string& exercise, const std::string& submission, const std::vector<CheckResult>& results) {
    const std::string tests = std::to_string(results.size());
    const std::string failures = std::to_string(results.size() - CountPassed(results));
    std::string out = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<testsuites tests=\"" + tests + "\" failures=\"" +
                      failures + "\">\n  <testsuite name=\"" + Xml(exercise) + "\" tests=\"" + tests +
                      "\" failures=\"" + failures + "\">\n";
    for (const CheckResult& result : results) {
        out += "    <testcase classname=\"" + Xml(submission) + "\" name=\"" + Xml(Name(result)) + "\"";
        if (result.passed) {
            out += "/>\n";
            continue;
        }
        out += ">\n      <failure message=\"" + Xml(result.message) + "\">" + Xml(result.seen) +
               "</failure>\n    </testcase>\n";
    }
    return out + "  </testsuite>\n</testsuites>\n";
}

std::string Tap(const std::string& exercise, const std::string& submission, const std::vector<CheckResult>& results) {
    std::string out = "TAP version 13\n1.." + std::to_string(results.size()) + "\n";
    for (std::size_t i = 0; i < results.size(); ++i) {
        const CheckResult& result = results[i];
        out += std::string(result.passed ? "ok " : "not ok ") + std::to_string(i + 1) + " - " + Name(result) + "\n";
        if (!result.passed) {
            out += "  ---\n  message: " + JsonString(result.message) + "\n  seen: " + JsonString(result.seen) +
                   "\n  ...\n";
        }
    }
    return out + "# " + exercise + ": " + submission + "\n";
}

std::string JsonReport(const std::string& exercise, const std::string& submission,
                       const std::vector<CheckResult>& results) {
    const std::size_t passed = CountPassed(results);
    std::string out = "{\"exercise\": " + JsonString(exercise) + ", \"submission\": " + JsonString(submission) +
                      ", \"passed\": " + std::to_string(passed) +
                      ", \"failed\": " + std::to_string(results.size() - passed) + ", \"checks\": [";
    for (std::size_t i = 0; i < results.size(); ++i) {
        const CheckResult& r = results[i];
        out += std::string(i == 0 ? "\n" : ",\n") + "  {\"run\": " + JsonString(r.run) +
               ", \"check\": " + JsonString(r.check) + ", \"passed\": " + (r.passed ? "true" : "false") +
               ", \"message\": " + JsonString(r.message) + ", \"seen\": " + JsonString(r.seen) +
               ", \"expected\": " + JsonString(r.expected) + ", \"actual\": " + JsonString(r.actual) + "}";
    }
    return out + "\n]}\n";
}

}  // namespace

bool FindReportFormat(const std::string& name, ReportFormat& format) {
    const struct {
        const char* name;
        ReportFormat format;
    } kFormats[] = {{"junit", ReportFormat::Junit}, {"tap", ReportFormat::Tap}, {"json", ReportFormat::Json}};
    for (const auto& known : kFormats) {
        if (name == known.name) {
            format = known.format;
            return true;
        }
    }
    return false;
}

std::string ResultsText(const std::vector<CheckResult>& results) {
    std::string out;
    for (const CheckResult& result : results) {
        out += result.passed ? "PASS " + Name(result) + "\n" : "FAIL " + Name(result) + ": " + Failure(result) + "\n";
    }
    const std::size_t passed = CountPassed(results);
    return out + std::to_string(passed) + " passed, " + std::to_string(results.size() - passed) + " failed\n";
}

std::string ReportText(ReportFormat format, const std::string& exercise, const std::string& submission,
                       const std::vector<CheckResult>& results) {
    switch (format) {
        case ReportFormat::Junit: return Junit(exercise, submission, results);
        case ReportFormat::Tap: return Tap(exercise, submission, results);
        case ReportFormat::Json: break;
    }
    return JsonReport(exercise, submission, results);
}
