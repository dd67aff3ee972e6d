#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <fstream>

#include "case_name.h"
#include "preference_file.h"
#include "qt_files.h"

namespace tolvane {

struct ReadCase {
    std::string name;
    QByteArray content;
    std::optional<QByteArray> firstLine;
    PanelMode mode;
};

class PrefFileRead : public ::testing::TestWithParam<ReadCase> {};

const ReadCase kReadCases[] = {
    {"StartSearch", "start search\r\n", "start search", PanelMode::Search},
    {"NoLineEnd", "start search", "start search", PanelMode::Search},
    {"CarriageReturnEndsTheLine", "start search\rstart temp", "start search", PanelMode::Search},
    {"OtherCase", "Start Search\r\n", "Start Search", PanelMode::Conversion},
    {"LineFeedOnly", "start search\n", "start search\n", PanelMode::Conversion},
    {"EmbeddedNul", QByteArray("start search\0\r\n", 15), QByteArray("start search\0", 13),
     PanelMode::Conversion},
    {"Empty", "", "", PanelMode::Conversion},
    // Past the read limit nothing is read: a long line comes back cut, and matches nothing.
    {"BlanksPastTheLimit", "start search" + QByteArray(100, ' '),
     "start search" + QByteArray(kPrefReadLimit - 12, ' '), PanelMode::Conversion},
};

TEST_P(PrefFileRead, FirstLineAndPanel) {
    const QTemporaryDir folder;
    const QString path = prefFilePath(folder.path());
    ASSERT_TRUE(testing::writeAll(path, GetParam().content));
    EXPECT_EQ(readPrefFirstLine(path), GetParam().firstLine);
    EXPECT_EQ(readStartPanel(path), GetParam().mode);
}

INSTANTIATE_TEST_SUITE_P(Rows, PrefFileRead, ::testing::ValuesIn(kReadCases), testing::CaseName{});

// No line at all when there is no file, or a folder in its place: the conversion panel.
TEST(PrefFile, MissingOrAFolderReadsNoLine) {
    const QTemporaryDir folder;
    const QString path = prefFilePath(folder.path());
    for (int i = 0; i < 2; ++i) {  // no file, then a folder in its place
        EXPECT_EQ(readPrefFirstLine(path), std::nullopt);
        EXPECT_EQ(readStartPanel(path), PanelMode::Conversion);
        ASSERT_TRUE(QDir().mkpath(path));
    }
}

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
    const QTemporaryDir folder;
    const QString path = prefFilePath(folder.path());
    ASSERT_TRUE(testing::writeAll(path, "start search\r\n"));
    ASSERT_TRUE(QFile::resize(path, 100'000'000));
    const long long a = bytesReadSoFar(), b = bytesReadSoFar();
    EXPECT_EQ(readStartPanel(path), PanelMode::Search);
    // Less what a sampling costs, b - a. A counter in the sample growing a digit can shift that
    // by a byte or two; any buffered or whole-file read would be thousands of bytes.
    const long long read = bytesReadSoFar() - b - (b - a);
    EXPECT_TRUE(read > 0 && read < 2 * kPrefReadLimit) << read << " bytes read";

    ASSERT_EQ(writeStartPanel(path, PanelMode::Conversion), std::nullopt);
    EXPECT_EQ(testing::readAll(path), "start temp\r\n");
}

}  // namespace tolvane
