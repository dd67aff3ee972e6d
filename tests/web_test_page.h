#pragma once

#include "application_folder.h"
#include "safe_file.h"
#include "search_page.h"

#include <QDir>
#include <QFile>
#include <QString>
#include <QTest>

namespace tolvane::testing {

// Writes the search page for sites into folder, as start-up does, with the pictures beside it.
// Returns the page's path, empty when something could not be written.
inline QString writeSearchPage(const QString& folder, const SearchPageSites& sites) {
    for (const QString& name : searchPagePictureNames()) {
        if (!QFile::copy(QDir(QStringLiteral(TOLVANE_PICTURES_DIR)).filePath(name),
                         QDir(folder).filePath(name))) {
            return {};
        }
    }
    const QString page = QDir(folder).filePath(QString::fromLatin1(kSearchPageFileName));
    const std::string text = searchPageText(sites);
    if (writeFileAtomically(page, QByteArray(text.data(), static_cast<qsizetype>(text.size())))) {
        return {};
    }
    return page;
}

}  // namespace tolvane::testing
