// Saving a memory image over what is already there: links, permissions, long names, pipes.
#include "core/MemoryImage.h"
#include "tests/support/FileContent.h"
#include "tests/support/FileSizeLimit.h"
#include "tests/support/OrdinaryUser.h"
#include "tests/support/Recorders.h"

#include <cstddef>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <linux/filter.h>
#include <linux/seccomp.h>
#include <optional>
#include <poll.h>
#include <sys/mount.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;
using testsupport::OrdinaryUser;
using testsupport::ReadFile;
using testsupport::TempFolder;
using testsupport::WriteFile;

const std::string IMAGE = "new image";

TImageSaveResult Save(const std::string& path) {
    return SaveMemoryImage(path, reinterpret_cast<const uint8_t*>(IMAGE.data()), IMAGE.size());
}

mode_t ModeOf(const std::string& path) {
    struct stat info {};
    EXPECT_EQ(stat(path.c_str(), &info), 0) << path;
    return info.st_mode & 07777;
}

size_t EntriesIn(const std::string& folder) {
    return static_cast<size_t>(std::distance(fs::directory_iterator(folder), {}));
}

TEST(MemoryImageSaveOver, AFileTheUserMayNotWriteIsRefusedAndLeftAsItWas) {
    TempFolder folder;
    OrdinaryUser::HandOver(folder.Path());
    OrdinaryUser user;
    const std::string dump = folder / "dump.bin";
    WriteFile(dump, "earlier dump");
    ASSERT_EQ(chmod(dump.c_str(), 0444), 0);

    EXPECT_EQ(Save(dump), TImageSaveResult::Failed);
    EXPECT_EQ(ReadFile(dump), "earlier dump");
    EXPECT_EQ(ModeOf(dump), 0444u);
    EXPECT_EQ(EntriesIn(folder.Path()), 1u) << "no temporary file stays behind";

    // As a new file in a folder the user may not write: refused the same way.
    ASSERT_EQ(chmod(folder.Path().c_str(), 0555), 0);
    EXPECT_EQ(Save(folder / "new.bin"), TImageSaveResult::Failed);
    ASSERT_EQ(chmod(folder.Path().c_str(), 0755), 0);
}

TEST(MemoryImageSaveOver, AWritableFileInAFolderThatTakesNoNewFileIsWrittenWhereItIs) {
    TempFolder folder;
    OrdinaryUser::HandOver(folder.Path());
    OrdinaryUser user;
    const std::string dump = folder / "dump.bin";
    WriteFile(dump, "a longer earlier dump");
    ASSERT_EQ(chmod(dump.c_str(), 0640), 0);
    ASSERT_EQ(chmod(folder.Path().c_str(), 0555), 0);

    EXPECT_EQ(Save(dump), TImageSaveResult::Ok);
    EXPECT_EQ(ReadFile(dump), IMAGE) << "cut to the new image's length";
    EXPECT_EQ(ModeOf(dump), 0640u);
    const std::string hex = folder / "dump.hex";
    ASSERT_EQ(chmod(folder.Path().c_str(), 0755), 0);
    WriteFile(hex, "00");
    ASSERT_EQ(chmod(folder.Path().c_str(), 0555), 0);
    EXPECT_EQ(Save(hex), TImageSaveResult::Ok);
    EXPECT_EQ(ReadFile(hex), "6E657720696D616765");

    // No room for the whole image, beyond the file's present length or within it: the earlier content
    // stays.
    {
        testsupport::FileSizeLimit limit(12);
        EXPECT_EQ(Save(hex), TImageSaveResult::Failed);
        EXPECT_EQ(ReadFile(hex), "6E657720696D616765");
    }
    {
        testsupport::FileSizeLimit limit(4);
        EXPECT_EQ(Save(dump), TImageSaveResult::Failed);
        EXPECT_EQ(ReadFile(dump), IMAGE);
    }
    EXPECT_EQ(EntriesIn(folder.Path()), 2u);
    ASSERT_EQ(chmod(folder.Path().c_str(), 0755), 0);
}

// Some file systems (NFSv3, many FUSE mounts) cannot reserve room: fallocate answers "not supported"
// there, as a seccomp filter makes it answer here, in a child process of its own.
TEST(MemoryImageSaveOver, AFileSystemThatCannotReserveRoomStillTakesASaveInPlace) {
    TempFolder folder;
    OrdinaryUser::HandOver(folder.Path());
    const std::string dump = folder / "dump.bin";
    const pid_t child = fork();
    if (child == 0) {
        OrdinaryUser user;
        WriteFile(dump, "earlier dump");
        chmod(folder.Path().c_str(), 0555);
        sock_filter filter[] = {
            BPF_STMT(BPF_LD | BPF_W | BPF_ABS, offsetof(seccomp_data, nr)),
            BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, __NR_fallocate, 0, 1),
            BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ERRNO | EOPNOTSUPP),
            BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ALLOW),
        };
        const sock_fprog program{static_cast<unsigned short>(std::size(filter)), filter};
        if (prctl(PR_SET_NO_NEW_PRIVS, 1, 0, 0, 0) != 0 || prctl(PR_SET_SECCOMP, SECCOMP_MODE_FILTER, &program) != 0)
            _exit(2);
        _exit(Save(dump) == TImageSaveResult::Ok && ReadFile(dump) == IMAGE ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    chmod(folder.Path().c_str(), 0755);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0) << "1: the save failed, 2: no filter could be set";
}

TEST(MemoryImageSaveOver, AFullDiskFailsASaveInPlaceBeforeTheEarlierFileIsTouched) {
    TempFolder folder;
    // A small file system of its own where it may be mounted (by the superuser), else the file size
    // limit, which stops a file from growing as a full disk does.
    const bool mounted =
        OrdinaryUser::IsRoot() && mount("tmpfs", folder.Path().c_str(), "tmpfs", 0, "size=64k,mode=0755") == 0;
    // Unmounted however the test ends, after the user below is root again.
    struct Unmount {
        std::string path;
        ~Unmount() {
            if (!path.empty()) {
                EXPECT_EQ(umount(path.c_str()), 0);
            }
        }
    } unmount{mounted ? folder.Path() : ""};
    std::optional<testsupport::FileSizeLimit> limit;
    if (!mounted)
        limit.emplace(16 * 1024);
    OrdinaryUser::HandOver(folder.Path());
    const std::string dump = folder / "dump.bin";
    {
        OrdinaryUser user;
        WriteFile(dump, "earlier dump");
        // The rest of the file system filled, then the folder closed to new files.
        std::ofstream filler(folder / "filler", std::ios::binary);
        const std::string block(4096, 'x');
        while (filler.write(block.data(), static_cast<std::streamsize>(block.size())))
            ;
        filler.close();
        ASSERT_EQ(chmod(folder.Path().c_str(), 0555), 0);

        const std::vector<uint8_t> image = testsupport::RandomBytes(32 * 1024, 7);
        EXPECT_EQ(SaveMemoryImage(dump, image.data(), image.size()), TImageSaveResult::Failed);
        const std::string after = ReadFile(dump);
        EXPECT_TRUE(after == "earlier dump") << "now " << after.size() << " bytes";
        ASSERT_EQ(chmod(folder.Path().c_str(), 0755), 0);
    }
}

TEST(MemoryImageSaveOver, SymbolicLinksAreFollowedToTheFileTheyName) {
    TempFolder folder;
    fs::create_directory(folder / "data");
    WriteFile(folder / "data/dump.bin", "earlier dump");
    // A relative link to a link to the file.
    fs::create_symlink(folder / "data/dump.bin", folder / "data/latest.bin");
    fs::create_symlink("data/latest.bin", folder / "dump.bin");

    ASSERT_EQ(Save(folder / "dump.bin"), TImageSaveResult::Ok);
    EXPECT_TRUE(fs::is_symlink(folder / "dump.bin"));
    EXPECT_TRUE(fs::is_symlink(folder / "data/latest.bin"));
    EXPECT_EQ(ReadFile(folder / "data/dump.bin"), IMAGE);
    EXPECT_EQ(EntriesIn(folder / "data"), 2u) << "the temporary file was made beside the file replaced";

    // A link to a file that does not exist yet creates it.
    fs::create_symlink("data/fresh.bin", folder / "fresh.bin");
    ASSERT_EQ(Save(folder / "fresh.bin"), TImageSaveResult::Ok);
    EXPECT_TRUE(fs::is_symlink(folder / "fresh.bin"));
    EXPECT_EQ(ReadFile(folder / "data/fresh.bin"), IMAGE);

    // A loop of links names no file.
    fs::create_symlink("loop.bin", folder / "loop.bin");
    EXPECT_EQ(Save(folder / "loop.bin"), TImageSaveResult::Failed);
    EXPECT_TRUE(fs::is_symlink(folder / "loop.bin"));
}

TEST(MemoryImageSaveOver, TheReplacementKeepsThePermissionsOfTheEarlierFile) {
    TempFolder folder;
    for (const mode_t mode : {0600u, 0640u, 0755u}) {
        const std::string dump = folder / ("dump-" + std::to_string(mode) + ".hex");
        WriteFile(dump, "00");
        ASSERT_EQ(chmod(dump.c_str(), mode), 0);
        ASSERT_EQ(Save(dump), TImageSaveResult::Ok);
        EXPECT_EQ(ModeOf(dump), mode);
        EXPECT_EQ(ReadFile(dump), "6E657720696D616765");
    }
}

TEST(MemoryImageSaveOver, ANameAtTheFileSystemsLimitIsSavedAndReplaced) {
    TempFolder folder;
    const long limit = pathconf(folder.Path().c_str(), _PC_NAME_MAX);
    ASSERT_GT(limit, 8);
    const std::string name = std::string(static_cast<size_t>(limit) - 4, 'd') + ".bin";
    ASSERT_EQ(Save(folder / name), TImageSaveResult::Ok);
    EXPECT_EQ(ReadFile(folder / name), IMAGE);
    ASSERT_EQ(Save(folder / name), TImageSaveResult::Ok) << "and over the file of that name";
    EXPECT_EQ(EntriesIn(folder.Path()), 1u);
}

TEST(MemoryImageSaveOver, AHardLinkedFileIsReplacedUnderTheNameSavedToOnly) {
    TempFolder folder;
    WriteFile(folder / "dump.bin", "earlier dump");
    fs::create_hard_link(folder / "dump.bin", folder / "copy.bin");
    ASSERT_EQ(Save(folder / "dump.bin"), TImageSaveResult::Ok);
    EXPECT_EQ(ReadFile(folder / "dump.bin"), IMAGE);
    EXPECT_EQ(ReadFile(folder / "copy.bin"), "earlier dump");
}

TEST(MemoryImageSaveOver, APipeTakesTheBytesAndStaysAPipe) {
    TempFolder folder;
    const std::string pipe = folder / "pipe";
    ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
    // A reader that is there already, so that opening the pipe for writing does not wait.
    const int reader = open(pipe.c_str(), O_RDONLY | O_NONBLOCK);
    ASSERT_GE(reader, 0);
    EXPECT_EQ(Save(pipe), TImageSaveResult::Ok);
    char received[64] = {};
    EXPECT_EQ(read(reader, received, sizeof received), static_cast<ssize_t>(IMAGE.size()));
    close(reader);
    EXPECT_EQ(std::string(received), IMAGE);
    EXPECT_TRUE(fs::is_fifo(pipe));
    EXPECT_EQ(EntriesIn(folder.Path()), 1u);
}

// A reader that goes away mid-save fails the save; the program lives on (no SIGPIPE).
TEST(MemoryImageSaveOver, APipeWhoseReaderGoesAwayFailsTheSave) {
    TempFolder folder;
    const std::string pipe = folder / "pipe";
    ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
    const int reader = open(pipe.c_str(), O_RDONLY | O_NONBLOCK);
    ASSERT_GE(reader, 0);
    std::thread goingAway([reader] {
        char some[4096];
        pollfd waiting{reader, POLLIN, 0};
        if (poll(&waiting, 1, 5000) > 0) {
            EXPECT_GT(read(reader, some, sizeof some), 0);
        }
        close(reader);
    });
    const std::vector<uint8_t> image(8 << 20, 0x5A);
    EXPECT_EQ(SaveMemoryImage(pipe, image.data(), image.size()), TImageSaveResult::ShortWrite);
    goingAway.join();
    EXPECT_TRUE(fs::is_fifo(pipe));
}

TEST(MemoryImageSaveOver, AFolderOfThatNameIsNotReplaced) {
    TempFolder folder;
    fs::create_directory(folder / "dump.bin");
    EXPECT_EQ(Save(folder / "dump.bin"), TImageSaveResult::Failed);
    EXPECT_TRUE(fs::is_directory(folder / "dump.bin"));
    EXPECT_EQ(EntriesIn(folder.Path()), 1u);
}

} // namespace
