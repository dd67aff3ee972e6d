#pragma once

#include <filesystem>
#include <functional>
#include <string_view>
#include <vector>

#include "safe_file.h"

namespace tolvane {

// Where the program's own files live: the preference file, the search page with its pictures,
// the throw-away page of the browser lookup. Worked out once at start-up; every such path is
// built from it with filePath().
struct ApplicationFolder {
    using WritableProbe = std::function<bool(const std::filesystem::path& folder)>;

    std::filesystem::path path;      // the folder, without a trailing separator
    std::filesystem::path helpFile;  // full path of tolvane.chm
    // Where the search page's pictures are copied from when the folder is the per-user one, in
    // the order they are tried; empty for the program's own folder, which holds them already.
    std::vector<std::filesystem::path> pictureSources;

    // The full path of the file name in the folder.
    std::filesystem::path filePath(std::string_view name) const;

    // The program folder when files can be created in it (a portable copy); otherwise, and
    // always for the installed program (whose folder root could write to, but which belongs to
    // the package manager), the per-user folder, whose pictures come from the program folder if
    // they lie there, else from the installed data folder. The help file is the one beside the
    // program if there is one, else the installed one. isWritable answers for the program
    // folder. Works out paths only: nothing is created.
    static ApplicationFolder resolve(const std::filesystem::path& programFolder,
                                     const std::filesystem::path& perUserFolder,
                                     const std::filesystem::path& installedDataFolder,
                                     const std::filesystem::path& installedProgramFolder,
                                     const WritableProbe& isWritable = canCreateFilesIn);

    // Makes the folder when it is missing and copies the search page's pictures into it from
    // pictureSources, keeping those already there. A folder that cannot be made shows later,
    // when the files written into it fail and say so; a picture that cannot be copied leaves
    // the page without it.
    void createWithPictures() const;
};

}  // namespace tolvane
