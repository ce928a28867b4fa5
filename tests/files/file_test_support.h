// A private folder per test for the file tests, and whole-file helpers.
#pragma once

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <set>
#include <string>

#include <gtest/gtest.h>

class TempFolder {
public:
    TempFolder() {
        const std::filesystem::path base(testing::TempDir());
        std::random_device seed;
        for (int attempt = 0; attempt < 100 && root_.empty(); ++attempt) {
            const std::filesystem::path candidate = base / ("tarvo-files-" + std::to_string(seed()));
            if (std::filesystem::create_directory(candidate)) root_ = candidate;
        }
        if (root_.empty()) ADD_FAILURE() << "no temporary folder under " << base;
    }
    ~TempFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(root_, ignored);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    std::string Path(const std::string& name) const { return (root_ / name).string(); }

    // Names of everything in the folder, to show that a save left no temporary file behind.
    std::set<std::string> Names() const {
        std::set<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(root_)) {
            names.insert(entry.path().filename().string());
        }
        return names;
    }

private:
    std::filesystem::path root_;
};

inline void WriteWholeFile(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    ASSERT_TRUE(out.good()) << path;
}

inline std::string ReadWholeFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Bytes that differ from their neighbours, so a shifted or partial copy shows.
inline std::uint8_t PatternByte(std::uint32_t address) {
    return static_cast<std::uint8_t>((address * 7 + (address >> 8) * 13 + 1) & 0xFF);
}

template <class Memory>
void FillPattern(Memory& memory) {
    for (std::uint32_t a = 0; a < 0x10000; ++a) memory.bytes[a] = PatternByte(a);
}
