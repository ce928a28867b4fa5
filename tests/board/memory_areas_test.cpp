// What each address is to the CPU of a started board, at the edges of every area.
#include <gtest/gtest.h>

#include "board/memory_areas.h"
#include "board_fixture.h"

namespace {

TEST(MemoryAreas, EdgesOfTheBoardsMemoryMap) {
    BoardFixture f;
    const struct {
        std::uint16_t address;
        MemoryArea area;
    } cases[] = {
        {0x0000, MemoryArea::Rom},        {0x07FF, MemoryArea::Rom},      {0x0800, MemoryArea::Ram},
        {0x0801, MemoryArea::Unmapped},   {0x17FF, MemoryArea::Unmapped}, {0x1800, MemoryArea::Ram},
        {0x277F, MemoryArea::Ram},        {0x2780, MemoryArea::MonitorRam}, {0x27FF, MemoryArea::MonitorRam},
        {0x2800, MemoryArea::Unmapped},   {0xFFFF, MemoryArea::Unmapped},
    };
    for (const auto& c : cases) EXPECT_EQ(AreaOf(f.board.window, c.address), c.area) << std::hex << c.address;
}

}  // namespace
