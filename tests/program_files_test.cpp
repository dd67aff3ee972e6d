// The program's own files: written whole or not at all, pref.ifm read and written by its rules,
// the application folder chosen and stocked, the search page's file for one run. Every folder
// here has a name outside any ANSI code page, so each path is taken whole on Windows too.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

#include "application_folder.h"
#include "case_name.h"
#include "preference_file.h"
#include "safe_file.h"
#include "search_page.h"
#include "search_page_file.h"
#include "test_files.h"

#ifndef _WIN32
#include <csignal>

#include <sys/resource.h>
#include <sys/stat.h>
#endif

namespace tolvane {
namespace {

namespace fs = std::filesystem;

// A folder of the test's own, named in three scripts.
struct Folder {
    Folder() { fs::create_directory(path); }
    const testing::TempFolder root;
    const fs::path path = root.path / u8"Temp\u00e9rature \u00b0C \u6e29\u5ea6";
};

std::string contentOf(const fs::path& path) {
    std::ostringstream bytes;
    bytes << std::ifstream(path, std::ios::binary).rdbuf();
    return bytes.str();
}

void put(const fs::path& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

std::size_t entriesIn(const fs::path& folder) {
    return static_cast<std::size_t>(
        std::distance(fs::directory_iterator(folder), fs::directory_iterator()));
}

// --- Writing a file whole ----------------------------------------------------------------------

enum class InTheWay { LongerFile, PlantedLink, Folder, FullDisk };

struct WriteCase {
    std::string name;
    Durability durability;
    InTheWay inTheWay;
};

class WriteWhole : public ::testing::TestWithParam<WriteCase> {};

// The old file, longer than the new one, is the file itself or the one a link planted in its
// place names. Sizes tell whether a file was replaced as a whole, written through, cut short or
// left alone; a failure names the file, and no temporary file is left behind either way.
TEST_P(WriteWhole, ReplacesTheFileOrLeavesItAlone) {
    const auto& [name, durability, inTheWay] = GetParam();
    const Folder folder;
    const fs::path path = folder.path / "pref.ifm";
    const fs::path victim = folder.path / "victim";
    const std::string old(128 * 1024, 'x');
    const std::string fresh(1024, 'y');
    switch (inTheWay) {
        case InTheWay::LongerFile:
        case InTheWay::FullDisk:
            ASSERT_TRUE(writeFileAtomically(path, old));
            break;
        case InTheWay::PlantedLink:
            ASSERT_TRUE(writeFileAtomically(victim, old));
            fs::create_symlink(victim, path);
            break;
        case InTheWay::Folder:
            fs::create_directories(path / "kept");
            break;
    }
    const bool fails = inTheWay == InTheWay::Folder || inTheWay == InTheWay::FullDisk;

#ifdef _WIN32
    const WriteResult result = writeFileAtomically(path, fresh, durability);
#else
    // A full disk stops a write half-way; so does the file size limit, which binds root too.
    // Writing past it then fails with EFBIG instead of ending the test.
    rlimit saved{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    const rlimit lowered{inTheWay == InTheWay::FullDisk ? 64 : saved.rlim_cur, saved.rlim_max};
    std::signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &lowered), 0);
    const WriteResult result = writeFileAtomically(path, fresh, durability);
    setrlimit(RLIMIT_FSIZE, &saved);
#endif

    EXPECT_EQ(static_cast<bool>(result), !fails) << result.message();
    EXPECT_EQ(result.message().find(displayPath(path)) != std::string::npos, fails)
        << result.message();
    if (inTheWay == InTheWay::Folder) {
        EXPECT_TRUE(fs::is_directory(path / "kept"));
    } else {
        EXPECT_EQ(contentOf(path), fails ? old : fresh);
    }
    if (inTheWay == InTheWay::PlantedLink) {
        EXPECT_FALSE(fs::is_symlink(path));
        EXPECT_EQ(contentOf(victim), old);
    }
    EXPECT_EQ(entriesIn(folder.path), inTheWay == InTheWay::PlantedLink ? 2u : 1u);
}

std::vector<WriteCase> writeCases() {
    std::vector<WriteCase> cases;
    for (const auto& [name, durability] :
         {std::pair{"Synced", Durability::Synced}, std::pair{"Rebuilt", Durability::Rebuilt}}) {
        const std::string prefix = name;
        cases.push_back({prefix + "LongerOldFile", durability, InTheWay::LongerFile});
        cases.push_back({prefix + "FolderInTheWay", durability, InTheWay::Folder});
#ifndef _WIN32
        // Links and file size limits are the POSIX systems' own.
        cases.push_back({prefix + "PlantedLinkToAnotherFile", durability, InTheWay::PlantedLink});
        cases.push_back({prefix + "FullDisk", durability, InTheWay::FullDisk});
#endif
    }
    return cases;
}

INSTANTIATE_TEST_SUITE_P(Rows, WriteWhole, ::testing::ValuesIn(writeCases()), testing::CaseName{});

// A folder that takes no files says so, whoever asks, root included.
TEST(CanCreateFilesIn, TriesRatherThanReadingPermissions) {
    const Folder folder;
    EXPECT_TRUE(canCreateFilesIn(folder.path));
    EXPECT_EQ(entriesIn(folder.path), 0u);
    EXPECT_FALSE(canCreateFilesIn(folder.path / "missing"));
#ifndef _WIN32
    EXPECT_FALSE(canCreateFilesIn("/proc/self"));
#endif
}

// --- pref.ifm ----------------------------------------------------------------------------------

struct ReadCase {
    std::string name;
    std::string content;
    std::optional<std::string> firstLine;
    PanelMode mode;
};

class PrefFileRead : public ::testing::TestWithParam<ReadCase> {};

const ReadCase kReadCases[] = {
    {"StartSearch", "start search\r\n", "start search", PanelMode::Search},
    {"StartTemp", "start temp\r\n", "start temp", PanelMode::Conversion},
    {"NoLineEnd", "start search", "start search", PanelMode::Search},
    {"FurtherLinesNeverRead", "start search\r\nstart temp\r\n\x01\xff", "start search",
     PanelMode::Search},
    {"CarriageReturnEndsTheLine", "start search\rstart temp", "start search", PanelMode::Search},
    {"OtherCase", "Start Search\r\n", "Start Search", PanelMode::Conversion},
    {"TrailingBlank", "start search \r\n", "start search ", PanelMode::Conversion},
    {"FirstWordOnly", "start\r\n", "start", PanelMode::Conversion},
    {"LineFeedOnly", "start search\n", "start search\n", PanelMode::Conversion},
    {"EmptyFirstLine", "\r\nstart search\r\n", "", PanelMode::Conversion},
    {"EmbeddedNul", std::string("start search\0\r\n", 15), std::string("start search\0", 13),
     PanelMode::Conversion},
    {"Empty", "", "", PanelMode::Conversion},
    // Past the read limit nothing is read: a long line comes back cut, and matches nothing.
    {"BlanksPastTheLimit", "start search" + std::string(100, ' '),
     "start search" + std::string(kPrefReadLimit - 12, ' '), PanelMode::Conversion},
};

TEST_P(PrefFileRead, FirstLineAndPanel) {
    const Folder folder;
    const fs::path path = prefFilePath(folder.path);
    put(path, GetParam().content);
    EXPECT_EQ(readPrefFirstLine(path), GetParam().firstLine);
    EXPECT_EQ(readStartPanel(path), GetParam().mode);
}

INSTANTIATE_TEST_SUITE_P(Rows, PrefFileRead, ::testing::ValuesIn(kReadCases), testing::CaseName{});

// No line at all when there is no file, or a folder or a pipe in its place: the conversion panel,
// at once; opening a pipe would wait for a writer that never comes.
TEST(PrefFile, NoRegularFileReadsNoLine) {
    const Folder folder;
    const fs::path path = prefFilePath(folder.path);
    std::vector<std::string> inTheWay = {"nothing", "a folder"};
#ifndef _WIN32
    inTheWay.push_back("a pipe");
#endif
    for (const std::string& what : inTheWay) {
        if (what == "a folder") {
            fs::create_directory(path);
        }
#ifndef _WIN32
        if (what == "a pipe") {
            fs::remove(path);
            ASSERT_EQ(mkfifo(path.c_str(), 0600), 0);
        }
#endif
        EXPECT_EQ(readPrefFirstLine(path), std::nullopt) << what;
        EXPECT_EQ(readStartPanel(path), PanelMode::Conversion) << what;
    }
}

// Stored as the exact bytes the reader chooses the same panel from again.
TEST(PrefFile, WrittenLineIsReadBack) {
    const Folder folder;
    const fs::path path = prefFilePath(folder.path);
    for (const auto& [mode, bytes] : {std::pair{PanelMode::Search, "start search\r\n"},
                                      std::pair{PanelMode::Conversion, "start temp\r\n"}}) {
        ASSERT_TRUE(writeStartPanel(path, mode));
        EXPECT_EQ(contentOf(path), bytes);
        EXPECT_EQ(readStartPanel(path), mode);
    }
}

#ifdef __linux__
// The bytes this process has read, reading this count included: rchar, the first line of
// /proc/self/io, "rchar: N".
long long bytesReadSoFar() {
    long long value = -1;
    std::ifstream("/proc/self/io").ignore(7) >> value;
    return value;
}

// A file of 100 MB of holes costs no disk. Its first bytes decide, only those are read, and a
// write replaces the whole of it with exactly the line.
TEST(PrefFile, HugeFileIsReadOnlyAtItsStartAndReplacedWhole) {
    const Folder folder;
    const fs::path path = prefFilePath(folder.path);
    put(path, "start search\r\n");
    fs::resize_file(path, 100'000'000);
    const long long a = bytesReadSoFar(), b = bytesReadSoFar();
    EXPECT_EQ(readStartPanel(path), PanelMode::Search);
    // Less what a sampling costs, b - a. A counter in the sample growing a digit can shift that
    // by a byte or two; any buffered or whole-file read would be thousands of bytes.
    const long long read = bytesReadSoFar() - b - (b - a);
    EXPECT_TRUE(read > 0 && read < 2 * static_cast<long long>(kPrefReadLimit)) << read;

    ASSERT_TRUE(writeStartPanel(path, PanelMode::Conversion));
    EXPECT_EQ(contentOf(path), "start temp\r\n");
}
#endif

// --- The application folder --------------------------------------------------------------------

// Under one root: the program's folder, the per-user one (not yet there) and the installed data
// folder, whose pictures say where they came from.
struct Folders {
    Folders() {
        fs::create_directories(program);
        fs::create_directories(installed);
        for (const char* name : searchPagePictureNames()) {
            put(installed / name, installedPicture(name));
        }
    }
    static std::string installedPicture(const std::string& name) { return "installed " + name; }
    ApplicationFolder resolve(const fs::path& programFolder, const fs::path& installedBin,
                              bool programFolderWritable = true) const {
        return ApplicationFolder::resolve(
            programFolder, perUser, installed, installedBin, [&](const fs::path& folder) {
                return programFolderWritable && canCreateFilesIn(folder);
            });
    }

    const Folder root;
    const fs::path program = root.path / "program";
    const fs::path perUser = root.path / "home" / "data" / "tolvane";
    const fs::path installed = root.path / "share" / "tolvane";
    const fs::path installedProgram = root.path / "bin";
};

enum class Program { Portable, ReadOnly, Installed };

struct FolderCase {
    std::string name;
    Program program;
};

class ChosenFolder : public ::testing::TestWithParam<FolderCase> {};

// A portable copy keeps its files beside the program: no per-user folder, no probe left behind,
// nothing copied in. An installed program cannot write beside itself, and root, who can write
// into the installed program's folder, must not, for it belongs to the package manager: either
// way the per-user folder is made, and the search page's pictures are put beside the page there.
// Working out the folder creates nothing; making it ready is a step of its own.
TEST_P(ChosenFolder, KeepsFilesBesideTheProgramOnlyWhenPortable) {
    const Program program = GetParam().program;
    const Folders f;
    const bool perUser = program != Program::Portable;
    // The paths as they arrive: with a trailing separator, or not in their plainest form.
    const ApplicationFolder folder = program == Program::ReadOnly
                                         ? f.resolve(f.program, f.installedProgram, false)
                                     : perUser ? f.resolve(f.program, f.program / ".")
                                               : f.resolve(f.program / "", f.installedProgram);
    EXPECT_EQ(folder.path, perUser ? f.perUser : f.program);
    EXPECT_EQ(folder.filePath("pref.ifm"), (perUser ? f.perUser : f.program) / "pref.ifm");
    EXPECT_FALSE(fs::exists(f.perUser));

    folder.createWithPictures();
    EXPECT_EQ(fs::exists(f.perUser), perUser);
    EXPECT_EQ(entriesIn(f.program), 0u);
    for (const char* name : searchPagePictureNames()) {
        EXPECT_EQ(contentOf(f.perUser / name), perUser ? Folders::installedPicture(name) : "");
    }
}

INSTANTIATE_TEST_SUITE_P(Rows, ChosenFolder,
                         ::testing::Values(FolderCase{"PortableCopy", Program::Portable},
                                           FolderCase{"ReadOnlyProgramFolder", Program::ReadOnly},
                                           FolderCase{"InstalledProgramWritable",
                                                      Program::Installed}),
                         testing::CaseName{});

// Pictures beside the program come first; those the user already has are kept.
TEST(ApplicationFolderPictures, UsersOwnAreKeptProgramsOwnComeFirst) {
    const Folders f;
    fs::create_directories(f.perUser);
    put(f.perUser / "go.gif", "the user's own");
    put(f.program / "banner_top.gif", "beside the program");
    f.resolve(f.program, f.installedProgram, false).createWithPictures();
    EXPECT_EQ(contentOf(f.perUser / "go.gif"), "the user's own");
    EXPECT_EQ(contentOf(f.perUser / "banner_top.gif"), "beside the program");
    EXPECT_EQ(contentOf(f.perUser / "searchfor.gif"), Folders::installedPicture("searchfor.gif"));
}

// A help file beside the program is that copy's own; otherwise the installed one is used.
TEST(ApplicationFolderHelp, HelpFileBesideTheProgramComesFirst) {
    const Folders f;
    EXPECT_EQ(f.resolve(f.program, f.installedProgram).helpFile, f.installed / "tolvane.chm");
    put(f.program / "tolvane.chm", "help");
    EXPECT_EQ(f.resolve(f.program, f.installedProgram).helpFile, f.program / "tolvane.chm");
}

// --- The search page's file --------------------------------------------------------------------

// The page as written for the documented defaults of the build's cache variables, byte for byte.
TEST(SearchPage, IsTheExpectedFile) {
    const SearchPageSites defaults{"http://banners.example.com", "search.example.com", "10000001",
                                   "1000001", "Example Search"};
    EXPECT_EQ(searchPageText(defaults), contentOf(TOLVANE_TEST_DATA_DIR "/AboutHtm.htm"));
}

// Whatever lay there is replaced by the page; the page is gone when the run ends, and a second
// removal, of a page already gone, is no error.
TEST(SearchPageFile, WrittenAtStartGoneAtTheEnd) {
    const Folder folder;
    const fs::path page = folder.path / "AboutHtm.htm";
    put(page, std::string(10'000, 'x'));
    {
        SearchPageFile file(folder.path);
        EXPECT_EQ(file.path(), page);
        EXPECT_FALSE(file.writeResult());
        ASSERT_TRUE(file.write());
        EXPECT_TRUE(file.writeResult());
        EXPECT_EQ(contentOf(page), searchPageText());
        file.remove();
        EXPECT_FALSE(fs::exists(page));
        ASSERT_TRUE(file.write());
    }
    EXPECT_EQ(entriesIn(folder.path), 0u);
}

// A page that could not be written keeps the reason for the user; a file of that name that the
// run never wrote is not the run's to remove.
TEST(SearchPageFile, FailedWriteIsKeptAndNothingElseRemoved) {
    const Folder folder;
    fs::create_directories(folder.path / "AboutHtm.htm" / "kept");
    {
        SearchPageFile file(folder.path);
        EXPECT_FALSE(file.write());
        EXPECT_NE(file.writeResult().message().find(displayPath(file.path())), std::string::npos);
    }
    EXPECT_TRUE(fs::exists(folder.path / "AboutHtm.htm" / "kept"));

    fs::remove_all(folder.path / "AboutHtm.htm");
    put(folder.path / "AboutHtm.htm", "another run's");
    { const SearchPageFile unwritten(folder.path); }
    EXPECT_EQ(contentOf(folder.path / "AboutHtm.htm"), "another run's");
}

}  // namespace
}  // namespace tolvane
