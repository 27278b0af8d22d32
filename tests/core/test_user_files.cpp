// Where options.dat and translate.dbf live: beside a program in a writable
// folder of its own, in the user's folders for an installed program or an
// unwritable program folder, with the shipped table copied on first start.

#include "FileIO.h"
#include "TempDir.h"
#include "UserFiles.h"

#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <optional>
#include <vector>

namespace quirindo::test {
namespace {

namespace fs = std::filesystem;
using TBytes = std::vector<std::uint8_t>;

void Write(const fs::path& path, const TBytes& bytes) {
    fs::create_directories(path.parent_path());
    std::string error;
    ASSERT_TRUE(WriteFileAtomically(path.string(), bytes, error)) << error;
}

TBytes Read(const fs::path& path) {
    TBytes bytes;
    std::string error;
    EXPECT_TRUE(ReadWholeFile(path.string(), bytes, error)) << error;
    return bytes;
}

class UserFiles : public ::testing::Test {
protected:
    void SetUp() override {
        fs::create_directories(ProgramDir());
        Folders.ConfigHome = (Dir.Path() / "config").string();
        Folders.DataHome = (Dir.Path() / "data").string();
        Folders.Home = (Dir.Path() / "home").string();
    }
    fs::path ProgramDir() const { return Dir.Path() / "program"; }
    std::string ProgramDirText() const { return ProgramDir().string() + "/"; }

    TTempDir Dir;
    TUserFolders Folders;
    const TBytes Shipped{'d', 'b', 'f', 0, 1, 2, 3};
};

TEST_F(UserFiles, WritableProgramFolderKeepsBothFilesBesideTheProgram) {
    // With and without a table there, as a copy unpacked into a folder of its own.
    for (const bool withTable : {false, true}) {
        if (withTable) Write(ProgramDir() / "translate.dbf", Shipped);
        TProgramFiles files = ChooseProgramFiles(ProgramDirText(), true, Folders);
        EXPECT_FALSE(files.PerUser);
        EXPECT_EQ(files.OptionsPath, ProgramDirText() + "options.dat");
        EXPECT_EQ(files.TablePath, ProgramDirText() + "translate.dbf");
        EXPECT_TRUE(files.DefaultOptionsPath.empty());
        std::string error;
        EXPECT_TRUE(PrepareUserFiles(files, error)) << error;
        EXPECT_FALSE(fs::exists(Dir.Path() / "config"));
        EXPECT_FALSE(fs::exists(Dir.Path() / "data"));
    }
}

TEST_F(UserFiles, UnwritableProgramFolderCopiesTheTableOnceIntoTheUsersFolders) {
    Write(ProgramDir() / "translate.dbf", Shipped);
    TUnwritableDir locked(ProgramDir());
    if (!locked.Effective()) GTEST_SKIP() << "cannot make a folder unwritable here";
    ASSERT_FALSE(IsWritableDirectory(ProgramDirText()));

    TProgramFiles files =
        ChooseProgramFiles(ProgramDirText(), IsWritableDirectory(ProgramDirText()), Folders);
    EXPECT_TRUE(files.PerUser);
    EXPECT_EQ(files.OptionsPath, (Dir.Path() / "config/quirindo/options.dat").string());
    EXPECT_EQ(files.TablePath, (Dir.Path() / "data/quirindo/translate.dbf").string());
    EXPECT_EQ(files.ShippedTablePath, ProgramDirText() + "translate.dbf");
    // An administrator's options.dat beside the program is the default.
    EXPECT_EQ(files.DefaultOptionsPath, ProgramDirText() + "options.dat");

    std::string error;
    ASSERT_TRUE(PrepareUserFiles(files, error)) << error;
    EXPECT_EQ(Read(files.TablePath), Shipped);
    EXPECT_TRUE(fs::is_directory(Dir.Path() / "config/quirindo"));

    // The user's table collects rows; a later start must not replace it.
    const TBytes collected{'d', 'b', 'f', 0, 1, 2, 3, 4, 5};
    Write(files.TablePath, collected);
    TProgramFiles again =
        ChooseProgramFiles(ProgramDirText(), IsWritableDirectory(ProgramDirText()), Folders);
    ASSERT_TRUE(PrepareUserFiles(again, error)) << error;
    EXPECT_EQ(Read(again.TablePath), collected);
    EXPECT_EQ(Read(ProgramDir() / "translate.dbf"), Shipped);
}

TEST_F(UserFiles, InstalledProgramFindsTheShippedTableInShare) {
    // prefix/bin/quirindo and prefix/share/quirindo/translate.dbf; the bin
    // folder is writable (root, or a prefix in the home folder) and still
    // gets nothing.
    const fs::path prefix = Dir.Path() / "prefix";
    fs::create_directories(prefix / "bin");
    Write(prefix / "share/quirindo/translate.dbf", Shipped);
    const std::string bin = (prefix / "bin").string() + "/";

    TProgramFiles files = ChooseProgramFiles(bin, true, Folders);
    EXPECT_TRUE(files.PerUser);
    EXPECT_EQ(files.ShippedTablePath, (prefix / "share/quirindo/translate.dbf").string());
    std::string error;
    ASSERT_TRUE(PrepareUserFiles(files, error)) << error;
    EXPECT_EQ(Read(files.TablePath), Shipped);
    EXPECT_EQ(std::distance(fs::directory_iterator(prefix / "bin"), fs::directory_iterator()), 0);

    // Without any folder of the user's own the shipped table serves as it is.
    TProgramFiles homeless = ChooseProgramFiles(bin, true, TUserFolders{});
    EXPECT_FALSE(homeless.PerUser);
    EXPECT_EQ(homeless.TablePath, files.ShippedTablePath);
}

TEST_F(UserFiles, FoldersFollowTheXdgRulesAndTheirDefaults) {
    const std::string home = (Dir.Path() / "home").string();
    TProgramFiles files = ChooseProgramFiles(ProgramDirText(), false, TUserFolders{"", "", home});
    EXPECT_EQ(files.OptionsPath, home + "/.config/quirindo/options.dat");
    EXPECT_EQ(files.TablePath, home + "/.local/share/quirindo/translate.dbf");
    // No shipped table: nothing to copy, the folders are still made.
    std::string error;
    EXPECT_TRUE(PrepareUserFiles(files, error)) << error;
    EXPECT_TRUE(fs::is_directory(home + "/.config/quirindo"));
    EXPECT_FALSE(fs::exists(files.TablePath));

    // Relative values count as unset, as the XDG rules say.
    const auto keep = [](const char* name) {
        const char* value = std::getenv(name);
        return value ? std::optional<std::string>(value) : std::nullopt;
    };
    const auto oldConfig = keep("XDG_CONFIG_HOME"), oldData = keep("XDG_DATA_HOME"),
               oldHome = keep("HOME");
    ::setenv("XDG_CONFIG_HOME", "relative/config", 1);
    ::setenv("XDG_DATA_HOME", "/abs/data", 1);
    ::setenv("HOME", "/abs/home", 1);
    const TUserFolders fromEnvironment = TUserFolders::FromEnvironment();
    const auto restore = [](const char* name, const std::optional<std::string>& value) {
        if (value)
            ::setenv(name, value->c_str(), 1);
        else
            ::unsetenv(name);
    };
    restore("XDG_CONFIG_HOME", oldConfig);
    restore("XDG_DATA_HOME", oldData);
    restore("HOME", oldHome);
    const TProgramFiles chosen = ChooseProgramFiles(ProgramDirText(), false, fromEnvironment);
    EXPECT_EQ(chosen.OptionsPath, "/abs/home/.config/quirindo/options.dat");
    EXPECT_EQ(chosen.TablePath, "/abs/data/quirindo/translate.dbf");
}

} // namespace
} // namespace quirindo::test
