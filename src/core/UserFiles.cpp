#include "UserFiles.h"

#include "FileIO.h"

#include <cstdlib>
#include <filesystem>
#include <system_error>
#include <unistd.h>
#include <vector>

namespace quirindo {
namespace {

namespace fs = std::filesystem;

std::string AbsoluteOrEmpty(const char* value) {
    if (!value || value[0] != '/') return {};
    return value;
}

bool IsFile(const std::string& path) {
    std::error_code ec;
    return fs::is_regular_file(path, ec);
}

// `base` (absolute) or else $HOME followed by `fallback`; empty when neither.
std::string BaseFolder(const std::string& base, const std::string& home, const char* fallback) {
    if (!base.empty()) return base;
    if (home.empty()) return {};
    return (fs::path(home) / fallback).string();
}

} // namespace

TUserFolders TUserFolders::FromEnvironment() {
    TUserFolders folders;
    folders.ConfigHome = AbsoluteOrEmpty(std::getenv("XDG_CONFIG_HOME"));
    folders.DataHome = AbsoluteOrEmpty(std::getenv("XDG_DATA_HOME"));
    folders.Home = AbsoluteOrEmpty(std::getenv("HOME"));
    return folders;
}

bool IsWritableDirectory(const std::string& directory) {
    // access() answers for the real user with every rule the kernel applies:
    // permissions, access lists, read-only mounts and immutable folders.
    return ::access(directory.c_str(), W_OK | X_OK) == 0;
}

TProgramFiles ChooseProgramFiles(const std::string& programDir, bool programDirWritable,
                                 const TUserFolders& folders) {
    const std::string besideTable = programDir + "translate.dbf";
    const std::string sharedTable =
        (fs::path(programDir) / ".." / "share" / "quirindo" / "translate.dbf")
            .lexically_normal()
            .string();
    const bool besideExists = IsFile(besideTable);
    const bool installed = !besideExists && IsFile(sharedTable);

    TProgramFiles files;
    files.OptionsPath = programDir + "options.dat";
    files.TablePath = besideTable;
    files.ShippedTablePath = besideExists ? besideTable : (installed ? sharedTable : std::string());
    if (programDirWritable && !installed) return files;

    const std::string config = BaseFolder(folders.ConfigHome, folders.Home, ".config");
    const std::string data = BaseFolder(folders.DataHome, folders.Home, ".local/share");
    if (config.empty() || data.empty()) {
        // Nowhere of the user's own: the shipped table serves read-only.
        if (installed) files.TablePath = sharedTable;
        return files;
    }
    files.PerUser = true;
    files.DefaultOptionsPath = files.OptionsPath;
    files.OptionsPath = (fs::path(config) / "quirindo" / "options.dat").string();
    files.TablePath = (fs::path(data) / "quirindo" / "translate.dbf").string();
    return files;
}

bool PrepareUserFiles(TProgramFiles& files, std::string& error) {
    if (!files.PerUser) return true;
    bool ok = true;
    std::error_code ec;
    // A folder that cannot be made shows up when options.dat is written.
    fs::create_directories(fs::path(files.OptionsPath).parent_path(), ec);
    if (ec) {
        error = fs::path(files.OptionsPath).parent_path().string() + ": " + ec.message();
        ok = false;
    }
    if (IsFile(files.TablePath) || files.ShippedTablePath.empty()) return ok;

    const fs::path tableFolder = fs::path(files.TablePath).parent_path();
    fs::create_directories(tableFolder, ec);
    std::vector<std::uint8_t> bytes;
    std::string reason;
    if (ec) {
        reason = tableFolder.string() + ": " + ec.message();
    } else if (ReadWholeFile(files.ShippedTablePath, bytes, reason) &&
               WriteFileAtomically(files.TablePath, bytes, reason)) {
        return ok;
    }
    error = (error.empty() ? "" : error + "; ") + reason;
    files.TablePath = files.ShippedTablePath;
    return false;
}

} // namespace quirindo
