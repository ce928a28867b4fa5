// Warnings for bytes the board cannot use where they are: in the monitor's
// ROM, outside the board's memory, or over the monitor's working area. One
// warning for each kind of place, at the line that wrote the first such byte.
#include <string>
#include <vector>

#include "asm/assembly.h"
#include "asm/board_places.h"
#include "asm/number_text.h"

namespace {

struct Region {
    std::uint32_t from;
    std::uint32_t to;  // included
};

struct PlaceKind {
    std::vector<Region> regions;
    const char* what;
};

const std::vector<PlaceKind>& PlaceKinds() {
    static const std::vector<PlaceKind> kinds = {
        {{{0x0000, kRomTop - 1u}},
         "in the monitor's ROM (0000h-07FFh): loading it replaces the monitor, and the keypad cannot type it in"},
        {{{kRomTop + 1u, kRamStart - 1u}, {kRamTop + 1u, 0xFFFF}},
         "outside the board's memory (RAM is 0800h and 1800h-27FFh): the CPU reads FFh there"},
        {{{kMonitorAreaStart, kRamTop}},
         "in the monitor's working area (2780h-27FFh: its stack, the saved registers, its variables, the IM 1 "
         "vector); programs and data belong in 1800h-277Fh"},
    };
    return kinds;
}

std::string RangeText(const Region& r) {
    const std::string from = HexNumber(r.from, 4);
    return r.from == r.to ? from : from + "-" + HexNumber(r.to, 4);
}

}  // namespace

void CheckBoardPlacement(Assembly& a) {
    constexpr std::size_t kRangesNamed = 3;
    for (const PlaceKind& kind : PlaceKinds()) {
        std::vector<Region> found;
        for (const AsmRange& range : a.ranges) {
            for (const Region& region : kind.regions) {
                const std::uint32_t from = range.from > region.from ? range.from : region.from;
                const std::uint32_t to = range.to < region.to ? range.to : region.to;
                if (from <= to) found.push_back({from, to});
            }
        }
        if (found.empty()) continue;
        std::string places;
        for (std::size_t i = 0; i < found.size() && i < kRangesNamed; ++i) {
            places += (i == 0 ? "" : ", ") + RangeText(found[i]);
        }
        if (found.size() > kRangesNamed)
            places += " and " + std::to_string(found.size() - kRangesNamed) + " more places";
        const std::uint32_t first = a.owner[found.front().from];
        a.Report(first, AsmSeverity::Warning, a.statements[first].column,
                 std::string("bytes at ") + places + " lie " + kind.what);
    }
}
