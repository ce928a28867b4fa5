// "Did you mean" hints: the candidate closest to a name typed wrong.
#pragma once

#include <string>
#include <vector>

// The candidate within a few edits of typed (a letter changed, added, dropped
// or two swapped; case alone does not count), or "" when none is near enough.
// Ties go to the earlier candidate.
std::string NearestName(const std::string& typed, const std::vector<const std::string*>& candidates);

// The edits between two strings, case ignored (optimal string alignment).
unsigned EditDistance(const std::string& a, const std::string& b);
