// A checked program's results as text: lines for a person, and reports for
// CI systems and learning platforms (JUnit XML, TAP, JSON).
#pragma once

#include <string>
#include <vector>

#include "exercises/exercise_check.h"

enum class ReportFormat { Junit, Tap, Json };

// "junit", "tap" or "json"; false for any other name.
bool FindReportFormat(const std::string& name, ReportFormat& format);

// One line a check, "PASS run: check" or "FAIL run: check: message (seen)",
// then "N passed, N failed".
std::string ResultsText(const std::vector<CheckResult>& results);

// text as a JSON string, quoted, with its quotes, backslashes and control characters escaped.
std::string JsonString(const std::string& text);

// exercise and submission name the suite (the exercise's title, the
// submission's file name).
std::string ReportText(ReportFormat format, const std::string& exercise, const std::string& submission,
                       const std::vector<CheckResult>& results);
