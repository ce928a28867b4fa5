#include "board/memory_areas.h"

MemoryArea AreaOf(const MemoryWindow& window, std::uint16_t address) {
    const WindowReach reach = ReachOf(window);
    if (!Readable(reach, address)) return MemoryArea::Unmapped;
    if (!Writable(reach, address)) return MemoryArea::Rom;
    if (address >= kMonitorRamStart && address <= kMonitorRamEnd) return MemoryArea::MonitorRam;
    return MemoryArea::Ram;
}
