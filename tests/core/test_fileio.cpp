#include "FileIO.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

using namespace quirindo;
namespace fs = std::filesystem;

namespace {

using TBytes = std::vector<std::uint8_t>;

class FileIO : public ::testing::Test {
protected:
    void SetUp() override {
        std::string pattern = (fs::path(::testing::TempDir()) / "quirindo-fileio-XXXXXX").string();
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
        Dir = pattern;
    }
    void TearDown() override {
        std::error_code ec;
        fs::remove_all(Dir, ec);
    }

    std::string PathOf(const std::string& name) const { return (Dir / name).string(); }

    static void WriteRaw(const std::string& path, const std::string& content) {
        std::ofstream(path, std::ios::binary) << content;
    }

    std::vector<std::string> Entries() const {
        std::vector<std::string> names;
        for (const auto& e : fs::directory_iterator(Dir))
            names.push_back(e.path().filename());
        return names;
    }

    static mode_t ModeOf(const std::string& path) {
        struct stat st {};
        EXPECT_EQ(::stat(path.c_str(), &st), 0);
        return st.st_mode & 07777;
    }

    fs::path Dir;
};

// Makes a directory refuse new entries for the life of the guard. As root a
// mode change does not stop writes, so the immutable attribute is used.
class TReadOnlyDir {
public:
    explicit TReadOnlyDir(const fs::path& dir) : FDir(dir) {
        if (::geteuid() == 0) {
            FImmutable = std::system(("chattr +i '" + dir.string() + "' 2>/dev/null").c_str()) == 0;
        } else {
            fs::permissions(dir, fs::perms::owner_read | fs::perms::owner_exec |
                                     fs::perms::group_read | fs::perms::group_exec |
                                     fs::perms::others_read | fs::perms::others_exec);
        }
    }
    ~TReadOnlyDir() {
        if (FImmutable) (void)std::system(("chattr -i '" + FDir.string() + "'").c_str());
        fs::permissions(FDir, fs::perms::owner_all);
    }
    TReadOnlyDir(const TReadOnlyDir&) = delete;
    TReadOnlyDir& operator=(const TReadOnlyDir&) = delete;

    // Whether writing into the directory really fails now.
    bool Effective() const {
        const std::string probe = (FDir / "probe").string();
        const int fd = ::open(probe.c_str(), O_CREAT | O_WRONLY, 0600);
        if (fd < 0) return true;
        ::close(fd);
        ::unlink(probe.c_str());
        return false;
    }

private:
    fs::path FDir;
    bool FImmutable = false;
};

} // namespace

TEST_F(FileIO, WrittenFileReadsBackWithUsualPermissions) {
    const std::string path = PathOf("a.qrd");
    TBytes content(70000);
    for (std::size_t i = 0; i < content.size(); ++i)
        content[i] = static_cast<std::uint8_t>(i * 7);
    std::string error;
    ASSERT_TRUE(WriteFileAtomically(path, content, error)) << error;
    TBytes back;
    ASSERT_TRUE(ReadWholeFile(path, back, error)) << error;
    EXPECT_EQ(back, content);

    const mode_t mask = ::umask(0);
    ::umask(mask);
    EXPECT_EQ(ModeOf(path), 0666 & ~mask);

    ASSERT_TRUE(WriteFileAtomically(path, TBytes{}, error)) << error;
    back = {1, 2, 3};
    ASSERT_TRUE(ReadWholeFile(path, back, error)) << error;
    EXPECT_TRUE(back.empty());
    EXPECT_EQ(Entries(), std::vector<std::string>{"a.qrd"}); // no temporary file left

    ASSERT_TRUE(WriteFileAtomically(path, TBytes{1, 2, 3, 4}, error)) << error;
    error.clear();
    EXPECT_FALSE(ReadWholeFile(path, back, error, 3)); // larger than allowed
    EXPECT_FALSE(error.empty());
}

TEST_F(FileIO, ReplacingKeepsThePermissionBits) {
    const std::string path = PathOf("shared.qrd");
    WriteRaw(path, "old");
    ASSERT_EQ(::chmod(path.c_str(), 0604), 0);
    std::string error;
    ASSERT_TRUE(WriteFileAtomically(path, TBytes{'n', 'e', 'w'}, error)) << error;
    EXPECT_EQ(ModeOf(path), 0604u);
    TBytes back;
    ASSERT_TRUE(ReadWholeFile(path, back, error));
    EXPECT_EQ(back, (TBytes{'n', 'e', 'w'}));
}

TEST_F(FileIO, FailedSaveLeavesTheOldFileAndNoLitter) {
    const std::string path = PathOf("keep.qrd");
    WriteRaw(path, "previous drawing");
    std::string error;
    {
        TReadOnlyDir readOnly(Dir);
        if (!readOnly.Effective())
            GTEST_SKIP() << "cannot make a directory unwritable here (no chattr as root)";
        EXPECT_FALSE(WriteFileAtomically(path, TBytes(100, 0x55), error));
        EXPECT_FALSE(error.empty());
    }
    TBytes back;
    ASSERT_TRUE(ReadWholeFile(path, back, error));
    EXPECT_EQ(std::string(back.begin(), back.end()), "previous drawing");
    EXPECT_EQ(Entries(), std::vector<std::string>{"keep.qrd"});
}

TEST_F(FileIO, SaveRefusesDirectoriesAndMissingParents) {
    fs::create_directory(Dir / "sub");
    std::string error;
    EXPECT_FALSE(WriteFileAtomically(PathOf("sub"), TBytes{1}, error));
    EXPECT_FALSE(error.empty());
    EXPECT_TRUE(fs::is_directory(Dir / "sub"));
    EXPECT_EQ(Entries(), std::vector<std::string>{"sub"});

    error.clear();
    EXPECT_FALSE(WriteFileAtomically(PathOf("missing/a.qrd"), TBytes{1}, error));
    EXPECT_FALSE(error.empty());
    EXPECT_FALSE(fs::exists(Dir / "missing"));
}

// Files written piece by piece: the target changes only at Commit, a
// writer dropped half way leaves the old file and no temporary one, and a
// writer that failed or was committed takes nothing more.
TEST_F(FileIO, PieceByPieceWriterReplacesOnlyAtCommit) {
    const std::string path = PathOf("out.dxf");
    WriteRaw(path, "old");
    std::string error;
    {
        TAtomicFileWriter file;
        ASSERT_TRUE(file.Open(path)) << file.Error();
        EXPECT_TRUE(file.Write(TBytes{'a', 'b'}));
        EXPECT_TRUE(file.Write(TBytes(70000, 'c')));
        TBytes back;
        ASSERT_TRUE(ReadWholeFile(path, back, error));
        EXPECT_EQ(std::string(back.begin(), back.end()), "old") << "replaced before Commit";
        EXPECT_EQ(Entries().size(), 2u); // the target and the temporary file
    }
    TBytes back;
    ASSERT_TRUE(ReadWholeFile(path, back, error));
    EXPECT_EQ(std::string(back.begin(), back.end()), "old");
    EXPECT_EQ(Entries(), std::vector<std::string>{"out.dxf"});

    TAtomicFileWriter file;
    ASSERT_TRUE(file.Open(path));
    EXPECT_TRUE(file.Write(TBytes{'n', 'e'}));
    EXPECT_TRUE(file.Write(TBytes{'w'}));
    EXPECT_TRUE(file.Commit()) << file.Error();
    ASSERT_TRUE(ReadWholeFile(path, back, error));
    EXPECT_EQ(std::string(back.begin(), back.end()), "new");
    EXPECT_EQ(Entries(), std::vector<std::string>{"out.dxf"});
    EXPECT_FALSE(file.Write(TBytes{'x'})) << "a committed writer takes nothing more";

    fs::create_directory(Dir / "sub");
    TAtomicFileWriter onDirectory;
    EXPECT_FALSE(onDirectory.Open(PathOf("sub")));
    EXPECT_FALSE(onDirectory.Error().empty());
    EXPECT_FALSE(onDirectory.Write(TBytes{1}));
    EXPECT_FALSE(onDirectory.Commit());
}

TEST_F(FileIO, ReadingWhatIsNoFileFailsWithAReason) {
    TBytes bytes;
    std::string error;
    EXPECT_FALSE(ReadWholeFile(PathOf("none.qrd"), bytes, error));
    EXPECT_FALSE(error.empty());

    error.clear();
    EXPECT_FALSE(ReadWholeFile(Dir.string(), bytes, error));
    EXPECT_FALSE(error.empty());

    // A named pipe must be refused, not waited on for a writer.
    const std::string fifo = PathOf("pipe");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    error.clear();
    EXPECT_FALSE(ReadWholeFile(fifo, bytes, error));
    EXPECT_FALSE(error.empty());
}

namespace {

TEST_F(FileIO, SavingThroughALinkReplacesTheLinkedFile) {
    const std::string real = PathOf("real.qrd");
    const std::string link = PathOf("link.qrd");
    WriteRaw(real, "old");
    fs::create_symlink(real, link);
    std::string error;
    const TBytes bytes = {1, 2, 3};
    ASSERT_TRUE(WriteFileAtomically(link, bytes, error)) << error;
    EXPECT_TRUE(fs::is_symlink(link));
    TBytes back;
    ASSERT_TRUE(ReadWholeFile(real, back, error)) << error;
    EXPECT_EQ(back, bytes);
}

} // namespace
