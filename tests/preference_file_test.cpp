#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <csignal>
#include <fstream>
#include <optional>
#include <ostream>
#include <string>

#include <sys/resource.h>

#include "case_name.h"
#include "preference_file.h"

// Shows bytes in failure messages as an escaped string rather than as an object dump.
void PrintTo(const QByteArray& bytes, std::ostream* out) {
    *out << '"' << bytes.toPercentEncoding(" ").toStdString() << '"';
}

namespace tolvane {
namespace {

using testing::CaseName;

class PrefFileTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(m_folder.isValid()); }

    QString path() const { return prefFilePath(m_folder.path()); }

    void store(const QByteArray& bytes) const {
        QFile file(path());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        ASSERT_EQ(file.write(bytes), bytes.size());
    }

    QByteArray stored() const {
        QFile file(path());
        EXPECT_TRUE(file.open(QIODevice::ReadOnly));
        return file.readAll();
    }

    QTemporaryDir m_folder;
};

// --- Reading: each content, its first line and the panel it chooses ---------------------------

struct ReadCase {
    std::string name;
    QByteArray content;
    QByteArray firstLine;
    PanelMode mode;
};

void PrintTo(const ReadCase& row, std::ostream* out) {
    *out << row.name;
}

class PrefFileReadTest : public PrefFileTest, public ::testing::WithParamInterface<ReadCase> {};

const QByteArray kLongLine(200, 'x');

const ReadCase kReadCases[] = {
    {"StartSearchCrLf", "start search\r\n", "start search", PanelMode::Search},
    {"StartTempCrLf", "start temp\r\n", "start temp", PanelMode::Conversion},
    {"StartSearchCapitalised", "Start search\r\n", "Start search", PanelMode::Conversion},
    {"StartSearchUpperCase", "START SEARCH\r\n", "START SEARCH", PanelMode::Conversion},
    {"TrailingBlank", "start search \r\n", "start search ", PanelMode::Conversion},
    {"LeadingBlank", " start search\r\n", " start search", PanelMode::Conversion},
    {"TabForBlank", "start\tsearch\r\n", "start\tsearch", PanelMode::Conversion},
    {"FirstWordOnly", "start\r\n", "start", PanelMode::Conversion},
    {"SecondWordOnly", "search\r\n", "search", PanelMode::Conversion},
    {"EmptyFirstLineThenMore", "\r\nstart search\r\n", "", PanelMode::Conversion},
    {"NoLineEnd", "start search", "start search", PanelMode::Search},
    {"StartTempNoLineEnd", "start temp", "start temp", PanelMode::Conversion},
    {"LineFeedOnly", "start search\n", "start search\n", PanelMode::Conversion},
    {"LineFeedOnlyThenMore", "start search\nstart search\r\n", "start search\nstart search",
     PanelMode::Conversion},
    {"CarriageReturnOnly", "start search\r", "start search", PanelMode::Search},
    {"CarriageReturnThenText", "start search\rstart temp", "start search", PanelMode::Search},
    {"MoreLinesAfter", "start search\r\nstart temp\r\n\x01\xff junk", "start search",
     PanelMode::Search},
    {"StartTempThenStartSearch", "start temp\r\nstart search\r\n", "start temp",
     PanelMode::Conversion},
    {"EmbeddedNul", QByteArray("start search\0\r\n", 15), QByteArray("start search\0", 13),
     PanelMode::Conversion},
    {"ByteOrderMark", "\xef\xbb\xbfstart search\r\n", "\xef\xbb\xbfstart search",
     PanelMode::Conversion},
    {"Utf16", QByteArray("s\0t\0a\0r\0t\0 \0s\0e\0a\0r\0c\0h\0\r\0\n\0", 28),
     QByteArray("s\0t\0a\0r\0t\0 \0s\0e\0a\0r\0c\0h\0", 24), PanelMode::Conversion},
    {"Binary", QByteArray("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16), "\x89PNG", PanelMode::Conversion},
    {"Empty", "", "", PanelMode::Conversion},
    // A first line longer than the read limit comes back cut to it and matches nothing.
    {"LongLine", kLongLine + "\r\n", kLongLine.left(kPrefReadLimit), PanelMode::Conversion},
    {"StartSearchThenBlanksPastLimit", "start search" + QByteArray(100, ' '),
     "start search" + QByteArray(kPrefReadLimit - 12, ' '), PanelMode::Conversion},
};

TEST_P(PrefFileReadTest, FirstLineAndPanel) {
    const ReadCase& row = GetParam();
    store(row.content);
    EXPECT_EQ(readPrefFirstLine(path()), std::optional<QByteArray>(row.firstLine));
    EXPECT_EQ(panelModeForLine(row.firstLine), row.mode);
    EXPECT_EQ(readStartPanel(path()), row.mode);
}

INSTANTIATE_TEST_SUITE_P(Contents, PrefFileReadTest, ::testing::ValuesIn(kReadCases), CaseName{});

// --- Reading what is not a readable file ---------------------------------------------------------

TEST_F(PrefFileTest, MissingFileChoosesConversionPanel) {
    EXPECT_EQ(readPrefFirstLine(path()), std::nullopt);
    EXPECT_EQ(readStartPanel(path()), PanelMode::Conversion);
    EXPECT_FALSE(QFileInfo::exists(path())) << "reading must not create the file";
}

TEST_F(PrefFileTest, FolderInPlaceOfFileChoosesConversionPanel) {
    ASSERT_TRUE(QDir(m_folder.path()).mkdir(kPrefFileName));
    EXPECT_EQ(readPrefFirstLine(path()), std::nullopt);
    EXPECT_EQ(readStartPanel(path()), PanelMode::Conversion);
}

TEST_F(PrefFileTest, SymbolicLinkIsFollowed) {
    const QString target = m_folder.filePath("elsewhere.txt");
    {
        QFile file(target);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("start search\r\n");
    }
    ASSERT_TRUE(QFile::link(target, path()));
    EXPECT_EQ(readStartPanel(path()), PanelMode::Search);
}

// A 100 MB file made sparse by resize() costs no disk; its holes read as NUL bytes.
TEST_F(PrefFileTest, HugeFilesAreDecidedByTheirFirstBytes) {
    store("start search\r\n");
    {
        QFile file(path());
        ASSERT_TRUE(file.resize(100'000'000));
    }
    EXPECT_EQ(readStartPanel(path()), PanelMode::Search);

    ASSERT_TRUE(QFile::remove(path()));
    store("");
    {
        QFile file(path());
        ASSERT_TRUE(file.resize(100'000'000));
    }
    EXPECT_EQ(readPrefFirstLine(path()), std::optional<QByteArray>(QByteArray(kPrefReadLimit, 0)));
    EXPECT_EQ(readStartPanel(path()), PanelMode::Conversion);
}

// The kernel counts the bytes each process reads (rchar in /proc/self/io). Reading that count
// itself adds to it, so the count is taken with and without the preference read between two
// samples and the difference is what the preference read took.
std::optional<long long> bytesReadSoFar() {
    std::ifstream io("/proc/self/io");
    std::string key;
    long long value = 0;
    while (io >> key >> value) {
        if (key == "rchar:") {
            return value;
        }
    }
    return std::nullopt;
}

TEST_F(PrefFileTest, ReadsNoMoreThanTheLimitFromAHugeFile) {
    store("");
    {
        QFile file(path());
        ASSERT_TRUE(file.resize(100'000'000));
    }
    const std::optional<long long> a = bytesReadSoFar();
    const std::optional<long long> b = bytesReadSoFar();
    if (!a || !b) {
        GTEST_SKIP() << "/proc/self/io is not available";
    }
    const long long sampling = *b - *a;
    const PanelMode mode = readStartPanel(path());
    const long long withRead = *bytesReadSoFar() - *b;
    EXPECT_EQ(mode, PanelMode::Conversion);
    EXPECT_GT(withRead - sampling, 0);
    EXPECT_LE(withRead - sampling, kPrefReadLimit);
}

// --- Writing ----------------------------------------------------------------------------------

struct WriteCase {
    std::string name;
    PanelMode mode;
    QByteArray bytes;
};

void PrintTo(const WriteCase& row, std::ostream* out) {
    *out << row.name;
}

class PrefFileWriteTest : public PrefFileTest, public ::testing::WithParamInterface<WriteCase> {};

const WriteCase kWriteCases[] = {
    {"StartTemp", PanelMode::Conversion, QByteArray("start temp\r\n")},
    {"StartSearch", PanelMode::Search, QByteArray("start search\r\n")},
};

TEST_P(PrefFileWriteTest, CreatesTheFileWithExactlyTheLine) {
    const WriteCase& row = GetParam();
    EXPECT_EQ(writeStartPanel(path(), row.mode), std::nullopt);
    EXPECT_EQ(stored(), row.bytes);
    EXPECT_EQ(readStartPanel(path()), row.mode);
}

TEST_P(PrefFileWriteTest, ReplacesLongerContent) {
    const WriteCase& row = GetParam();
    store("start search\r\nstart temp\r\n" + QByteArray(1000, 'z'));
    EXPECT_EQ(writeStartPanel(path(), row.mode), std::nullopt);
    EXPECT_EQ(stored(), row.bytes);
}

INSTANTIATE_TEST_SUITE_P(Lines, PrefFileWriteTest, ::testing::ValuesIn(kWriteCases), CaseName{});

TEST(PrefFileContent, IsTwelveOrFourteenBytes) {
    EXPECT_EQ(prefFileContent(PanelMode::Conversion).size(), 12);
    EXPECT_EQ(prefFileContent(PanelMode::Search).size(), 14);
}

TEST_F(PrefFileTest, WriteIntoMissingFolderFailsWithAReason) {
    const QString inMissingFolder = prefFilePath(m_folder.filePath("gone"));
    const std::optional<QString> error = writeStartPanel(inMissingFolder, PanelMode::Search);
    ASSERT_TRUE(error.has_value());
    EXPECT_FALSE(error->isEmpty());
    EXPECT_FALSE(QFileInfo::exists(inMissingFolder));
}

TEST_F(PrefFileTest, WriteOverAFolderFailsAndLeavesIt) {
    ASSERT_TRUE(QDir(m_folder.path()).mkpath(QString(kPrefFileName) + "/inside"));
    const std::optional<QString> error = writeStartPanel(path(), PanelMode::Search);
    ASSERT_TRUE(error.has_value());
    EXPECT_FALSE(error->isEmpty());
    EXPECT_TRUE(QFileInfo(path() + "/inside").isDir());
    EXPECT_EQ(QDir(m_folder.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
              QStringList{kPrefFileName});
}

// A file size limit makes the write fail part-way, as a full disk would. Whatever got written
// must not reach pref.ifm, and no temporary file may stay behind.
TEST_F(PrefFileTest, FailedWriteLeavesTheOldFileIntact) {
    store("start search\r\n");

    struct rlimit saved {};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    struct rlimit tiny = saved;
    tiny.rlim_cur = 5;
    // Past the limit write() fails with EFBIG instead of the default SIGXFSZ ending the process.
    const auto savedHandler = std::signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &tiny), 0);
    const std::optional<QString> error = writeStartPanel(path(), PanelMode::Conversion);
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, savedHandler);

    ASSERT_TRUE(error.has_value());
    EXPECT_FALSE(error->isEmpty());
    EXPECT_EQ(stored(), "start search\r\n");
    EXPECT_EQ(QDir(m_folder.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
              QStringList{kPrefFileName});
}

TEST(PrefFilePath, IsInTheApplicationFolder) {
    EXPECT_EQ(prefFilePath("/opt/tolvane"), "/opt/tolvane/pref.ifm");
    EXPECT_EQ(prefFilePath("/opt/tolvane/"), "/opt/tolvane/pref.ifm");
}

}  // namespace
}  // namespace tolvane
