#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

namespace tolvane {

// One entry of a help file's table of contents.
struct HelpTopic {
    QString name;   // as shown in the contents
    QString local;  // the topic's object path in the help file, "/converting.htm"; may be empty
                    // for a heading without a page
    int depth = 0;  // 0 for the top level
    bool operator==(const HelpTopic&) const = default;
};

// Text from a help file: UTF-8 when the bytes are valid UTF-8, otherwise Latin-1.
QString decodeHelpText(const QByteArray& bytes);

// Reads a sitemap (.hhc) into its entries in document order.
QList<HelpTopic> parseSitemap(const QByteArray& sitemap);

// The object path a topic reference names: "index.htm", "/index.htm" and
// "ms-its:tolvane.chm::/index.htm" all name "/index.htm". Any "#anchor" is dropped.
QString helpObjectPath(const QString& reference);

}  // namespace tolvane
