#include "FileIO.h"
#include "Messages.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <functional>
#include <grp.h>
#include <optional>
#include <string>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <sys/xattr.h>
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

// A folder that takes no new entries cannot hold a temporary file; the
// file itself is still writable and takes the drawing. A new file there
// cannot be made and nothing is left behind.
TEST_F(FileIO, ReadOnlyFolderSavesIntoTheFileItself) {
    const std::string path = PathOf("keep.qrd");
    WriteRaw(path, "previous drawing");
    std::string error;
    {
        TReadOnlyDir readOnly(Dir);
        if (!readOnly.Effective())
            GTEST_SKIP() << "cannot make a directory unwritable here (no chattr as root)";
        EXPECT_TRUE(WriteFileAtomically(path, TBytes(100, 0x55), error)) << error;
        EXPECT_FALSE(WriteFileAtomically(PathOf("new.qrd"), TBytes{1}, error));
        EXPECT_FALSE(error.empty());
    }
    TBytes back;
    ASSERT_TRUE(ReadWholeFile(path, back, error));
    EXPECT_EQ(back, TBytes(100, 0x55));
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

// An export killed part-way leaves its temporary file; the next export into
// that folder clears it, but never a file of a process still writing, nor
// files of other programs.
TEST_F(FileIO, TemporaryFilesOfKilledExportsAreClearedLater) {
    const std::string path = PathOf("page.bmp");
    WriteRaw(path, "previous");
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        TAtomicFileWriter file;
        if (file.Open(path) && file.Write(TBytes(5000, 'x'))) ::raise(SIGKILL);
        ::_exit(3);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFSIGNALED(status)) << "the writer did not get as far as writing";
    std::vector<std::string> left = Entries();
    ASSERT_EQ(left.size(), 2u);
    const std::string orphan = left[0] == "page.bmp" ? left[1] : left[0];
    EXPECT_EQ(orphan.rfind(".page.bmp.quirindo-tmp-" + std::to_string(child) + "-", 0), 0u)
        << orphan;

    // A file under this process's id, last written long before it started:
    // the id was used before, by a process that is gone.
    const std::string reused = PathOf(".old.png.quirindo-tmp-" + std::to_string(::getpid()) + "-AbC123");
    WriteRaw(reused, "half");
    struct timespec times[2] = {{1000000000, 0}, {1000000000, 0}};
    ASSERT_EQ(::utimensat(AT_FDCWD, reused.c_str(), times, 0), 0);
    // A writer of this (living) process that is still open, and names that
    // only resemble the program's own.
    TAtomicFileWriter busy;
    ASSERT_TRUE(busy.Open(PathOf("busy.dxf"))) << busy.Error();
    ASSERT_TRUE(busy.Write(TBytes{'b'}));
    const std::vector<std::string> foreign = {"notes.txt.AbC123", ".x.quirindo-tmp-12ab-AbC123",
                                              "x.quirindo-tmp-1-AbC123"};
    for (const auto& name : foreign)
        WriteRaw(PathOf(name), "theirs");

    std::string error;
    ASSERT_TRUE(WriteFileAtomically(path, TBytes{'n', 'e', 'w'}, error)) << error;
    left = Entries();
    std::sort(left.begin(), left.end());
    std::vector<std::string> expected = foreign;
    expected.push_back("page.bmp");
    std::vector<std::string> busyTemp;
    for (const auto& name : left)
        if (name.rfind(".busy.dxf.quirindo-tmp-", 0) == 0) busyTemp.push_back(name);
    EXPECT_EQ(busyTemp.size(), 1u) << "a living writer's file was removed";
    expected.insert(expected.end(), busyTemp.begin(), busyTemp.end());
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(left, expected);
    EXPECT_TRUE(busy.Commit()) << busy.Error();
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

// ------------------------------------------------------------------------
// Saving as a user whom the permissions concern. Root passes every
// permission check, so when the tests run as root each save runs in a child
// process that has become the unprivileged user 65534 ("nobody"); as any
// other user it runs as that user. The scratch folder is made reachable for
// it; the cases that need a file of another owner need root to make one.

namespace {

constexpr uid_t kNobody = 65534;
constexpr gid_t kNoGroup = 65534;

struct TOutcome {
    bool Saved = false;
    std::string Error;
};

// Runs `save` in a child process as the unprivileged user, optionally with a
// limit on the size of the files it writes. Nothing when the child could not
// become that user.
std::optional<TOutcome> AsUnprivileged(const std::function<bool(std::string&)>& save,
                                       rlim_t fileSizeLimit = RLIM_INFINITY) {
    int channel[2];
    if (::pipe(channel) != 0) return std::nullopt;
    const pid_t pid = ::fork();
    if (pid < 0) {
        ::close(channel[0]);
        ::close(channel[1]);
        return std::nullopt;
    }
    if (pid == 0) {
        ::close(channel[0]);
        if (::geteuid() == 0 &&
            (::setgroups(0, nullptr) != 0 || ::setgid(kNoGroup) != 0 || ::setuid(kNobody) != 0))
            ::_exit(3);
        if (fileSizeLimit != RLIM_INFINITY) {
            // Writes beyond the limit fail with EFBIG instead of ending the process.
            ::signal(SIGXFSZ, SIG_IGN);
            const rlimit limit{fileSizeLimit, fileSizeLimit};
            if (::setrlimit(RLIMIT_FSIZE, &limit) != 0) ::_exit(3);
        }
        std::string error;
        const bool saved = save(error);
        const ssize_t sent = ::write(channel[1], error.data(), error.size());
        ::_exit(sent == static_cast<ssize_t>(error.size()) ? (saved ? 0 : 1) : 3);
    }
    ::close(channel[1]);
    TOutcome outcome;
    char buffer[256];
    for (ssize_t got; (got = ::read(channel[0], buffer, sizeof buffer)) != 0;) {
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) break;
        outcome.Error.append(buffer, static_cast<std::size_t>(got));
    }
    ::close(channel[0]);
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    if (!WIFEXITED(status) || WEXITSTATUS(status) > 1) return std::nullopt;
    outcome.Saved = WEXITSTATUS(status) == 0;
    return outcome;
}

std::optional<TOutcome> SaveAsUnprivileged(const std::string& path, const TBytes& bytes,
                                           rlim_t fileSizeLimit = RLIM_INFINITY) {
    return AsUnprivileged(
        [&](std::string& error) { return WriteFileAtomically(path, bytes, error); }, fileSizeLimit);
}

// Sets the file's POSIX access list to owner rw, `user` rw, group r,
// others nothing, as setfacl would (the kernel's little-endian xattr form).
bool GrantWriteByAccessList(const std::string& path, uid_t user) {
    std::vector<std::uint8_t> acl;
    const auto put = [&acl](std::uint32_t value, int bytes) {
        for (int i = 0; i < bytes; ++i)
            acl.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
    };
    const auto entry = [&put](std::uint16_t tag, std::uint16_t perm, std::uint32_t id) {
        put(tag, 2);
        put(perm, 2);
        put(id, 4);
    };
    constexpr std::uint32_t kNoId = 0xFFFFFFFF;
    put(2, 4);             // version
    entry(0x01, 6, kNoId); // owner
    entry(0x02, 6, user);  // the named user
    entry(0x04, 4, kNoId); // owning group
    entry(0x10, 6, kNoId); // mask
    entry(0x20, 0, kNoId); // others
    return ::setxattr(path.c_str(), "system.posix_acl_access", acl.data(), acl.size(), 0) == 0;
}

TBytes Bytes(const std::string& text) {
    return TBytes(text.begin(), text.end());
}

// Dir belongs to the test's own user and is only readable for the
// unprivileged one (a read-only folder); Dir/mine is that user's own.
class SavingAsAnotherUser : public FileIO {
protected:
    void SetUp() override {
        FileIO::SetUp();
        AsRoot = ::geteuid() == 0;
        User = AsRoot ? kNobody : ::geteuid();
        Group = AsRoot ? kNoGroup : ::getegid();
        ASSERT_EQ(::chmod(Dir.c_str(), 0755), 0);
        Mine = Dir / "mine";
        fs::create_directory(Mine);
        ASSERT_EQ(::chown(Mine.c_str(), User, Group), 0);
        const auto reachable = AsUnprivileged(
            [this](std::string&) { return ::access((Mine / ".").c_str(), W_OK | X_OK) == 0; });
        if (!reachable || !reachable->Saved)
            GTEST_SKIP() << "the unprivileged user cannot work in " << Mine;
    }
    void TearDown() override {
        (void)::chmod(Dir.c_str(), 0700); // a user's read-only folder must be emptied
        FileIO::TearDown();
    }

    // A file with the given content, owner and permissions.
    static std::string Make(const fs::path& path, const std::string& content, mode_t mode,
                            uid_t owner, gid_t group) {
        WriteRaw(path.string(), content);
        EXPECT_EQ(::chown(path.c_str(), owner, group), 0);
        EXPECT_EQ(::chmod(path.c_str(), mode), 0);
        return path.string();
    }
    static struct stat StatOf(const std::string& path) {
        struct stat st {};
        EXPECT_EQ(::stat(path.c_str(), &st), 0) << path;
        return st;
    }
    static std::string Content(const std::string& path) {
        TBytes back;
        std::string error;
        EXPECT_TRUE(ReadWholeFile(path, back, error)) << error;
        return {back.begin(), back.end()};
    }
    std::vector<std::string> MineEntries() const {
        std::vector<std::string> names;
        for (const auto& e : fs::directory_iterator(Mine))
            names.push_back(e.path().filename());
        std::sort(names.begin(), names.end());
        return names;
    }

    bool AsRoot = false;
    uid_t User = 0;
    gid_t Group = 0;
    fs::path Mine;
};

} // namespace

// A file the user may not write stays as it is, though its folder would let
// a new file take its place: the save and the export writer both refuse it
// with the reason an ordinary open for writing gives.
TEST_F(SavingAsAnotherUser, AFileTheUserMayNotWriteIsLeftAsItWas) {
    const std::string own = Make(Mine / "protected.qrd", "old drawing", 0444, User, Group);
    auto outcome = SaveAsUnprivileged(own, Bytes("new"));
    ASSERT_TRUE(outcome);
    EXPECT_FALSE(outcome->Saved);
    EXPECT_EQ(outcome->Error, SystemErrorReason(EACCES));
    EXPECT_EQ(Content(own), "old drawing");
    EXPECT_EQ(StatOf(own).st_mode & 07777, 0444u);

    outcome = AsUnprivileged([&](std::string& error) {
        TAtomicFileWriter file;
        const bool opened = file.Open(own);
        error = file.Error();
        return opened;
    });
    ASSERT_TRUE(outcome);
    EXPECT_FALSE(outcome->Saved) << "an export must not replace it either";
    EXPECT_EQ(outcome->Error, SystemErrorReason(EACCES));
    EXPECT_EQ(MineEntries(), std::vector<std::string>{"protected.qrd"});

    if (!AsRoot) GTEST_SKIP() << "a file of another user needs root to make";
    const std::string foreign = Make(Mine / "foreign.qrd", "root's drawing", 0644, 0, 0);
    outcome = SaveAsUnprivileged(foreign, Bytes("new"));
    ASSERT_TRUE(outcome);
    EXPECT_FALSE(outcome->Saved);
    EXPECT_EQ(Content(foreign), "root's drawing");
    EXPECT_EQ(StatOf(foreign).st_uid, 0u);
    EXPECT_EQ(MineEntries(), (std::vector<std::string>{"foreign.qrd", "protected.qrd"}));
}

// A file in a folder the user may not write (no temporary file possible)
// still takes the new drawing when the file itself is writable. When the
// new content cannot be written completely (here a file size limit), the
// old content stays.
TEST_F(SavingAsAnotherUser, AReadOnlyFolderStillSavesAWritableFile) {
    const std::string path = Make(Dir / "drawing.qrd", "old drawing", 0644, User, Group);
    const ino_t inode = StatOf(path).st_ino;
    if (!AsRoot) {
        ASSERT_EQ(::chmod(Dir.c_str(), 0555), 0);
    }
    TBytes drawing(5000);
    for (std::size_t i = 0; i < drawing.size(); ++i)
        drawing[i] = static_cast<std::uint8_t>(i % 251);
    auto outcome = SaveAsUnprivileged(path, drawing);
    ASSERT_TRUE(outcome);
    EXPECT_TRUE(outcome->Saved) << outcome->Error;
    EXPECT_EQ(Content(path), std::string(drawing.begin(), drawing.end()));
    EXPECT_EQ(StatOf(path).st_ino, inode);
    EXPECT_EQ(StatOf(path).st_mode & 07777, 0644u);

    outcome = SaveAsUnprivileged(path, TBytes(100000, 7), 8192);
    ASSERT_TRUE(outcome);
    EXPECT_FALSE(outcome->Saved);
    EXPECT_FALSE(outcome->Error.empty());
    EXPECT_EQ(Content(path), std::string(drawing.begin(), drawing.end()));

    std::vector<std::string> names = Entries();
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"drawing.qrd", "mine"})) << "no temporary file";
}

// After a save every name of the file shows the new drawing, and the file
// keeps the owner, group and permissions it had, whoever saved it.
TEST_F(SavingAsAnotherUser, SavingKeepsOwnerGroupPermissionsAndLinks) {
    const std::string first = Make(Mine / "a.qrd", "old", 0640, User, Group);
    const std::string second = (Mine / "b.qrd").string();
    ASSERT_EQ(::link(first.c_str(), second.c_str()), 0);
    auto outcome = SaveAsUnprivileged(first, Bytes("new drawing"));
    ASSERT_TRUE(outcome);
    EXPECT_TRUE(outcome->Saved) << outcome->Error;
    EXPECT_EQ(Content(second), "new drawing");
    EXPECT_EQ(StatOf(first).st_nlink, 2u);
    EXPECT_EQ(StatOf(first).st_mode & 07777, 0640u);
    EXPECT_EQ(MineEntries(), (std::vector<std::string>{"a.qrd", "b.qrd"}));

    if (!AsRoot) GTEST_SKIP() << "files of another user need root to make";
    // Root's drawing, shared with the user's group.
    const std::string shared = Make(Mine / "team.qrd", "old", 0664, 0, Group);
    outcome = SaveAsUnprivileged(shared, Bytes("by the team"));
    ASSERT_TRUE(outcome);
    EXPECT_TRUE(outcome->Saved) << outcome->Error;
    EXPECT_EQ(Content(shared), "by the team");
    EXPECT_EQ(StatOf(shared).st_uid, 0u);
    EXPECT_EQ(StatOf(shared).st_gid, Group);
    EXPECT_EQ(StatOf(shared).st_mode & 07777, 0664u);

    // Root saving the user's drawing leaves it the user's.
    const std::string users = Make(Mine / "users.qrd", "old", 0600, User, Group);
    std::string error;
    ASSERT_TRUE(WriteFileAtomically(users, Bytes("saved by root"), error)) << error;
    EXPECT_EQ(Content(users), "saved by root");
    EXPECT_EQ(StatOf(users).st_uid, User);
    EXPECT_EQ(StatOf(users).st_gid, Group);
    EXPECT_EQ(StatOf(users).st_mode & 07777, 0600u);
    EXPECT_EQ(MineEntries(), (std::vector<std::string>{"a.qrd", "b.qrd", "team.qrd", "users.qrd"}));

    // An access list lets the user write root's drawing; after root saved
    // it, it still does.
    const std::string listed = Make(Mine / "listed.qrd", "old", 0640, 0, 0);
    if (!GrantWriteByAccessList(listed, User))
        GTEST_SKIP() << "no access lists on this file system";
    ASSERT_TRUE(WriteFileAtomically(listed, Bytes("saved by root"), error)) << error;
    outcome = SaveAsUnprivileged(listed, Bytes("saved by the user"));
    ASSERT_TRUE(outcome);
    EXPECT_TRUE(outcome->Saved) << outcome->Error;
    EXPECT_EQ(Content(listed), "saved by the user");
    EXPECT_EQ(StatOf(listed).st_uid, 0u);
}
