// Where a save's bytes go, for each kind of thing that can lie at the chosen name: symbolic links
// are followed and stay links, a FIFO is written and not replaced, a file that no temporary file
// can be put beside is rewritten in place, and paths of any length work.
#include <cerrno>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <thread>

#include <gtest/gtest.h>

#include "files/binary_file.h"
#include "files/file_error.h"
#include "tests/files/file_test_support.h"

#if defined(__unix__)
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

// What the saves below write: memory 1800h to 1803h.
const std::string kSaved = "\x3E\x01\xD3\x76";
const std::string kOld = "the old contents, longer than the saved bytes\n";

std::unique_ptr<BoardMemory> SavedMemory() {
    auto memory = std::make_unique<BoardMemory>();
    for (std::size_t i = 0; i < kSaved.size(); ++i) memory->bytes[0x1800 + i] = static_cast<std::uint8_t>(kSaved[i]);
    return memory;
}

int Save(const std::string& path, FileError* error = nullptr) {
    return WriteBinaryFile(path.c_str(), *SavedMemory(), 0x1800, 0x1800 + static_cast<std::uint32_t>(kSaved.size()),
                           error);
}

bool HasTemporaryFile(const fs::path& folder) {
    for (const auto& entry : fs::recursive_directory_iterator(folder)) {
        if (entry.path().extension() == ".tmp") return true;
    }
    return false;
}

struct Target {
    std::string saveTo;  // the name given to the save
    std::string holder;  // the regular file that must hold the bytes afterwards
};

TEST(SaveTarget, BytesReachTheFileTheNameLeadsTo) {
    const struct {
        const char* name;
        Target (*prepare)(const TempFolder& folder);
        bool linkStays;
    } cases[] = {
        {"a free name",
         [](const TempFolder& f) {
             return Target{f.Path("new.bin"), f.Path("new.bin")};
         },
         false},
        {"an existing file",
         [](const TempFolder& f) {
             WriteWholeFile(f.Path("old.bin"), kOld);
             return Target{f.Path("old.bin"), f.Path("old.bin")};
         },
         false},
        {"a link to a file in another folder",
         [](const TempFolder& f) {
             fs::create_directory(f.Path("other"));
             WriteWholeFile(f.Path("other/real.bin"), kOld);
             fs::create_symlink(f.Path("other/real.bin"), f.Path("link.bin"));
             return Target{f.Path("link.bin"), f.Path("other/real.bin")};
         },
         true},
        {"a chain of relative links",
         [](const TempFolder& f) {
             fs::create_directory(f.Path("other"));
             WriteWholeFile(f.Path("other/real.bin"), kOld);
             fs::create_symlink("real.bin", f.Path("other/hop.bin"));
             fs::create_symlink("other/hop.bin", f.Path("link.bin"));
             return Target{f.Path("link.bin"), f.Path("other/real.bin")};
         },
         true},
        {"a link to a name not yet taken",
         [](const TempFolder& f) {
             fs::create_symlink("made.bin", f.Path("link.bin"));
             return Target{f.Path("link.bin"), f.Path("made.bin")};
         },
         true},
        {"a path of over 600 characters",
         [](const TempFolder& f) {
             std::string path = f.Path("");
             for (int depth = 0; depth < 6; ++depth) path += std::string(100, static_cast<char>('a' + depth)) + "/";
             fs::create_directories(path);
             return Target{path + "deep.bin", path + "deep.bin"};
         },
         false},
        {"a file whose name leaves no room for the temporary suffix",
         [](const TempFolder& f) {
             const std::string path = f.Path(std::string(252, 'n'));
             WriteWholeFile(path, kOld);
             return Target{path, path};
         },
         false},
    };
    for (const auto& c : cases) {
        TempFolder folder;
        const Target target = c.prepare(folder);
        EXPECT_EQ(Save(target.saveTo), static_cast<int>(kSaved.size())) << c.name;
        EXPECT_EQ(ReadWholeFile(target.holder), kSaved) << c.name;
        EXPECT_EQ(fs::is_symlink(target.saveTo), c.linkStays) << c.name;
        EXPECT_FALSE(HasTemporaryFile(folder.Path(""))) << c.name;
    }
}

TEST(SaveTarget, RefusedTargetsSayWhy) {
    const struct {
        const char* name;
        std::string (*prepare)(const TempFolder& folder);
        int systemError;
    } cases[] = {
        {"a folder that does not exist", [](const TempFolder& f) { return f.Path("absent/out.bin"); }, ENOENT},
        {"a folder that is a file",
         [](const TempFolder& f) {
             WriteWholeFile(f.Path("file"), kOld);
             return f.Path("file/out.bin");
         },
         ENOTDIR},
        {"a folder", [](const TempFolder& f) { return f.Path(""); }, EISDIR},
        {"a loop of links",
         [](const TempFolder& f) {
             fs::create_symlink("b", f.Path("a"));
             fs::create_symlink("a", f.Path("b"));
             return f.Path("a");
         },
         ELOOP},
    };
    for (const auto& c : cases) {
        TempFolder folder;
        const std::string path = c.prepare(folder);
        const std::set<std::string> before = folder.Names();
        FileError error;
        EXPECT_EQ(Save(path, &error), -1) << c.name;
        EXPECT_EQ(error.systemError, c.systemError) << c.name;
        EXPECT_EQ(folder.Names(), before) << c.name;
    }
}

// A FIFO is written, not replaced by a file: the reader at its other end gets the bytes.
TEST(SaveTarget, FifoIsWrittenThrough) {
    TempFolder folder;
    const std::string fifo = folder.Path("pipe");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    std::string received;
    std::thread reader([&] { received = ReadWholeFile(fifo); });
    EXPECT_EQ(Save(fifo), static_cast<int>(kSaved.size()));
    reader.join();
    EXPECT_EQ(received, kSaved);
    EXPECT_TRUE(fs::is_fifo(fifo));
    EXPECT_EQ(folder.Names(), std::set<std::string>{"pipe"});
}

// Runs save as a user who may not write the folder: in a child process as nobody when the tests
// run as root, else as the user who runs them. Gives the save's result and its reason.
std::pair<int, int> SaveAsUnprivileged(const std::string& path) {
    if (geteuid() != 0) {
        FileError error;
        const int result = Save(path, &error);
        return {result, error.systemError};
    }
    int channel[2];
    if (pipe(channel) != 0) return {-100, errno};
    const pid_t child = fork();
    if (child == 0) {
        int answer[2] = {-100, 0};
        if (setgid(65534) == 0 && setuid(65534) == 0) {
            FileError error;
            answer[0] = Save(path, &error);
            answer[1] = error.systemError;
        }
        (void)write(channel[1], answer, sizeof answer);
        _exit(0);
    }
    close(channel[1]);
    int answer[2] = {-100, 0};
    const bool got = read(channel[0], answer, sizeof answer) == static_cast<ssize_t>(sizeof answer);
    close(channel[0]);
    int status = 0;
    waitpid(child, &status, 0);
    return got ? std::make_pair(answer[0], answer[1]) : std::make_pair(-100, 0);
}

// A writable file in a folder the user may not write: no temporary file can be made, so the file
// is rewritten in place, shorter or longer than before. A read-only file there is refused.
TEST(SaveTarget, FileInAFolderTheUserMayNotWrite) {
    TempFolder folder;
    const fs::path locked = folder.Path("locked");
    fs::create_directory(locked);
    const struct {
        const char* name;
        std::string old;
        fs::perms perms;
        int result;
        int systemError;
    } cases[] = {
        {"longer old file", kOld, fs::perms::owner_read | fs::perms::owner_write, 4, 0},
        {"shorter old file", "x", fs::perms::owner_read | fs::perms::owner_write, 4, 0},
        {"read-only file", kOld, fs::perms::owner_read, -1, EACCES},
    };
    for (const auto& c : cases) {
        const std::string path = (locked / c.name).string();
        WriteWholeFile(path, c.old);
        fs::permissions(path, c.perms);
        if (geteuid() == 0) {
            ASSERT_EQ(chown(path.c_str(), 65534, 65534), 0);
        }
    }
    fs::permissions(locked, fs::perms::owner_read | fs::perms::owner_exec | fs::perms::group_exec |
                                fs::perms::others_read | fs::perms::others_exec);
    for (const auto& c : cases) {
        const std::string path = (locked / c.name).string();
        const std::pair<int, int> outcome = SaveAsUnprivileged(path);
        EXPECT_EQ(outcome.first, c.result) << c.name;
        EXPECT_EQ(outcome.second, c.systemError) << c.name;
        EXPECT_EQ(ReadWholeFile(path), c.result < 0 ? c.old : kSaved) << c.name;
    }
    fs::permissions(locked, fs::perms::owner_all);
    EXPECT_FALSE(HasTemporaryFile(locked));
}

}  // namespace
#endif
