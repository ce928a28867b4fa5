#include "asm/nearest_name.h"

#include <algorithm>

namespace {

char Folded(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

// Names longer than this are compared by their first characters only: a hint
// for a name of a hundred characters helps nobody, and the work stays small.
constexpr std::size_t kLongestCompared = 64;

}  // namespace

unsigned EditDistance(const std::string& a, const std::string& b) {
    const std::size_t n = std::min(a.size(), kLongestCompared);
    const std::size_t m = std::min(b.size(), kLongestCompared);
    std::vector<unsigned> before(m + 1), last(m + 1), row(m + 1);
    for (std::size_t j = 0; j <= m; ++j) last[j] = static_cast<unsigned>(j);
    for (std::size_t i = 1; i <= n; ++i) {
        row[0] = static_cast<unsigned>(i);
        for (std::size_t j = 1; j <= m; ++j) {
            const unsigned cost = Folded(a[i - 1]) == Folded(b[j - 1]) ? 0 : 1;
            row[j] = std::min({last[j] + 1, row[j - 1] + 1, last[j - 1] + cost});
            if (i > 1 && j > 1 && Folded(a[i - 1]) == Folded(b[j - 2]) && Folded(a[i - 2]) == Folded(b[j - 1])) {
                row[j] = std::min(row[j], before[j - 2] + 1);
            }
        }
        before.swap(last);
        last.swap(row);
    }
    return last[m];
}

std::string NearestName(const std::string& typed, const std::vector<const std::string*>& candidates) {
    // One edit for a short name, a third of the letters for a long one.
    const unsigned allowed = std::max<unsigned>(1, static_cast<unsigned>(typed.size() / 3));
    const std::string* best = nullptr;
    unsigned bestDistance = allowed + 1;
    for (const std::string* candidate : candidates) {
        const std::size_t gap =
            candidate->size() > typed.size() ? candidate->size() - typed.size() : typed.size() - candidate->size();
        if (gap >= bestDistance) continue;  // cannot be nearer
        const unsigned distance = EditDistance(typed, *candidate);
        if (distance < bestDistance) {
            bestDistance = distance;
            best = candidate;
        }
    }
    return best == nullptr ? std::string() : *best;
}
