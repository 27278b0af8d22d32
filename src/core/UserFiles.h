#pragma once
// Where options.dat and translate.dbf live.
//
// A copy of the program in a folder of its own keeps both files beside the
// program, as it always has. An installed program cannot write there
// (/usr/bin) and must not litter its bin folder when it can (root, or a
// prefix in the user's home), so it keeps them in the user's folders:
// options.dat in $XDG_CONFIG_HOME/quirindo/, translate.dbf in
// $XDG_DATA_HOME/quirindo/, the table copied from the shipped one at the
// first start and collected into from then on.
//
// The shipped table is looked for beside the program first, then in
// ../share/quirindo/ relative to the program's folder (the installed layout).

#include <string>

namespace quirindo {

// The user's base folders as the XDG base directory rules give them. A
// value that is not an absolute path counts as unset.
struct TUserFolders {
    std::string ConfigHome; // $XDG_CONFIG_HOME
    std::string DataHome;   // $XDG_DATA_HOME
    std::string Home;       // $HOME
    static TUserFolders FromEnvironment();
};

struct TProgramFiles {
    // The options file the program reads and writes.
    std::string OptionsPath;
    // Read when OptionsPath does not exist yet: options.dat beside the
    // program, so that a language an administrator set there still counts
    // until the user picks one. Empty when OptionsPath is that file.
    std::string DefaultOptionsPath;
    // The table the program opens and collects into.
    std::string TablePath;
    // The table shipped with the program; empty when there is none.
    std::string ShippedTablePath;
    // The files live in the user's folders.
    bool PerUser = false;
};

// Whether the current user may create files in `directory`.
[[nodiscard]] bool IsWritableDirectory(const std::string& directory);

// Chooses the files for a program in `programDir` (ending in '/').
// `programDirWritable` is the answer of IsWritableDirectory for it. The
// user's folders are used when the program folder is not writable, or when
// the program is installed (no table beside it, one in ../share/quirindo);
// without any usable user folder the files stay beside the program.
TProgramFiles ChooseProgramFiles(const std::string& programDir, bool programDirWritable,
                                 const TUserFolders& folders);

// For per-user files: makes their folders and, when the user has no table
// yet, copies the shipped one (through a temporary file, so an interrupted
// copy leaves none). When the copy cannot be made, TablePath becomes the
// shipped table itself, which then serves read-only. False, with the reason,
// when something could not be done.
bool PrepareUserFiles(TProgramFiles& files, std::string& error);

} // namespace quirindo
