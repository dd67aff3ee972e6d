#include "application_folder.h"

#include <optional>
#include <string>
#include <system_error>

#include "safe_file.h"
#include "search_page.h"

namespace tolvane {
namespace {

namespace fs = std::filesystem;

constexpr std::string_view kHelpFileName = "tolvane.chm";

// No picture of the page comes near this; a larger file is not one of them.
constexpr std::size_t kPictureSizeLimit = 4 * 1024 * 1024;

fs::path cleanFolder(const fs::path& folder) {
    std::error_code ignored;
    fs::path clean = fs::absolute(folder, ignored).lexically_normal();
    // "/a/b/" and "/a/b/." both name /a/b.
    if (!clean.has_filename() && clean.has_relative_path()) {
        clean = clean.parent_path();
    }
    return clean;
}

bool isThere(const fs::path& path) {
    std::error_code ignored;
    return fs::exists(path, ignored);
}

}  // namespace

fs::path ApplicationFolder::filePath(std::string_view name) const {
    return path / name;
}

ApplicationFolder ApplicationFolder::resolve(const fs::path& programFolder,
                                             const fs::path& perUserFolder,
                                             const fs::path& installedDataFolder,
                                             const fs::path& installedProgramFolder,
                                             const WritableProbe& isWritable) {
    const fs::path program = cleanFolder(programFolder);
    const fs::path installed = cleanFolder(installedDataFolder);

    ApplicationFolder folder;
    const fs::path helpBesideProgram = program / kHelpFileName;
    folder.helpFile = isThere(helpBesideProgram) ? helpBesideProgram : installed / kHelpFileName;

    if (program != cleanFolder(installedProgramFolder) && isWritable(program)) {
        folder.path = program;
        return folder;
    }
    folder.path = cleanFolder(perUserFolder);
    folder.pictureSources = {program, installed};
    return folder;
}

void ApplicationFolder::createWithPictures() const {
    if (pictureSources.empty()) {
        return;
    }
    std::error_code error;
    fs::create_directories(path, error);
    if (error) {
        return;
    }
    for (const char* name : searchPagePictureNames()) {
        const fs::path target = path / name;
        if (isThere(target)) {
            continue;
        }
        for (const fs::path& source : pictureSources) {
            if (const std::optional<std::string> bytes =
                    readFileStart(source / name, kPictureSizeLimit)) {
                // A failed copy leaves nothing behind.
                (void)writeFileAtomically(target, *bytes);
                break;
            }
        }
    }
}

}  // namespace tolvane
