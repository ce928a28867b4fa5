#include "files/monitor_rom.h"

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>

#include <gtest/gtest.h>

#include "tests/files/file_test_support.h"

namespace {

// Puts an image of `length` bytes (0x80, 0x81, ...) into folder/tarvo/tarvo-rom.bin.
void PlaceImage(const std::string& folder, std::size_t length) {
    std::filesystem::create_directories(std::filesystem::path(folder) / "tarvo");
    std::string image;
    for (std::size_t i = 0; i < length; ++i) image += static_cast<char>((0x80 + i) & 0xFF);
    WriteWholeFile((std::filesystem::path(folder) / "tarvo" / "tarvo-rom.bin").string(), image);
}

std::uint8_t ImageByte(std::uint32_t i) { return static_cast<std::uint8_t>((0x80 + i) & 0xFF); }

TEST(MonitorRom, LoadsAtMostTheFirst4KiB) {
    const struct {
        std::size_t imageLength;
        std::uint32_t loaded;
    } cases[] = {{2048, 2048}, {4096, 4096}, {5000, 4096}, {0, 0}, {1, 1}};
    for (const auto& c : cases) {
        TempFolder folder;
        PlaceImage(folder.Path(""), c.imageLength);
        // Memory holds a pattern to show that bytes past the image keep their contents.
        auto memory = std::make_unique<BoardMemory>();
        FillPattern(*memory);
        ASSERT_TRUE(LoadMonitorRom(folder.Path("").c_str(), '/', *memory)) << c.imageLength;
        for (std::uint32_t a = 0; a < 0x10000; ++a) {
            const std::uint8_t expected = a < c.loaded ? ImageByte(a) : PatternByte(a);
            if (memory->bytes[a] != expected) {
                ADD_FAILURE() << c.imageLength << "-byte image: byte at " << std::hex << a;
                break;
            }
        }
    }
}

TEST(MonitorRom, MissingImageIsNotFoundAndLeavesMemory) {
    TempFolder folder;
    auto memory = std::make_unique<BoardMemory>();
    EXPECT_FALSE(LoadMonitorRom(folder.Path("").c_str(), '/', *memory));
    std::filesystem::create_directories(folder.Path("tarvo"));
    EXPECT_FALSE(LoadMonitorRom(folder.Path("").c_str(), '/', *memory));
    std::filesystem::create_directories(folder.Path("tarvo/tarvo-rom.bin"));
    EXPECT_FALSE(LoadMonitorRom(folder.Path("").c_str(), '/', *memory));
    EXPECT_FALSE(LoadMonitorRom(nullptr, '/', *memory));
    for (std::uint32_t a = 0; a < 0x10000; ++a) ASSERT_EQ(memory->bytes[a], 0) << std::hex << a;
}

TEST(MonitorRom, PathJoinsFolderAndImageName) {
    char path[kMonitorRomPathCapacity];
    ASSERT_TRUE(MonitorRomPath("C:\\emu\\", '\\', path, sizeof path));
    EXPECT_STREQ(path, "C:\\emu\\tarvo\\tarvo-rom.bin");
    ASSERT_TRUE(MonitorRomPath("/opt/emu/", '/', path, sizeof path));
    EXPECT_STREQ(path, "/opt/emu/tarvo/tarvo-rom.bin");

    // The buffer must hold the whole path and its terminator.
    char exact[sizeof "/e/tarvo/tarvo-rom.bin"];
    EXPECT_TRUE(MonitorRomPath("/e/", '/', exact, sizeof exact));
    EXPECT_FALSE(MonitorRomPath("/e/", '/', exact, sizeof exact - 1));
    EXPECT_STREQ(exact, "");
}

// The Windows program keeps a drive of 2 characters and a directory of up to 255; a longer
// folder is reported as the image not being found, even when the image is there.
TEST(MonitorRom, FolderLongerThanTheWindowsBuffersIsNotFound) {
    TempFolder folder;
    std::string longest = folder.Path("");  // ends in '/'
    while (longest.size() < kMonitorRomFolderLimit) {
        const std::size_t room = kMonitorRomFolderLimit - longest.size();
        longest += std::string(std::min<std::size_t>(room, 100) - 1, 'd') + "/";
    }
    ASSERT_EQ(longest.size(), kMonitorRomFolderLimit);
    PlaceImage(longest, 16);
    auto memory = std::make_unique<BoardMemory>();
    EXPECT_TRUE(LoadMonitorRom(longest.c_str(), '/', *memory));
    EXPECT_EQ(memory->bytes[15], ImageByte(15));

    const std::string tooLong = longest.substr(0, longest.size() - 1) + "e/";
    PlaceImage(tooLong, 16);
    auto untouched = std::make_unique<BoardMemory>();
    EXPECT_FALSE(LoadMonitorRom(tooLong.c_str(), '/', *untouched));
    EXPECT_EQ(untouched->bytes[0], 0);
    char path[kMonitorRomPathCapacity];
    EXPECT_FALSE(MonitorRomPath(tooLong.c_str(), '/', path, sizeof path));
}

}  // namespace
