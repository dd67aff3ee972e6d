#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include "help_sitemap.h"

#include <memory>
#include <optional>

class QIODevice;

namespace tolvane {

// A compiled HTML help file (.chm), read with libmspack.
class ChmFile {
public:
    // Nothing when the file is missing or not a compiled help file.
    static std::unique_ptr<ChmFile> open(const QString& path);
    // The same for a help file held by a device that can seek, such as a QBuffer; `path` is only
    // the name path() gives back.
    static std::unique_ptr<ChmFile> open(std::unique_ptr<QIODevice> device, QString path);

    ~ChmFile();
    ChmFile(const ChmFile&) = delete;
    ChmFile& operator=(const ChmFile&) = delete;

    QString path() const { return m_path; }

    // The object's bytes; nothing when the file has no such object or it cannot be read.
    std::optional<QByteArray> read(const QString& objectPath) const;

    // The topic the help opens at, as an object path; empty when the file names none and has no
    // contents either.
    QString defaultTopic() const { return m_defaultTopic; }

    // The help's own title; empty when it has none.
    QString title() const { return m_title; }

    QList<HelpTopic> tableOfContents() const { return m_contents; }

private:
    struct Library;

    ChmFile(QString path, std::unique_ptr<Library> library);
    void readSystemFile();
    QString findContentsFile() const;

    QString m_path;
    std::unique_ptr<Library> m_library;
    QString m_defaultTopic;
    QString m_title;
    QString m_contentsFile;
    QList<HelpTopic> m_contents;
};

}  // namespace tolvane
