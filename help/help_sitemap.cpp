#include "help_sitemap.h"

#include <QDir>
#include <QHash>
#include <QRegularExpression>
#include <QStringDecoder>

#include <algorithm>
#include <optional>

namespace tolvane {

namespace {

QString decodeEntities(const QString& text) {
    if (!text.contains(u'&')) {
        return text;
    }
    static const QRegularExpression entity(
        QStringLiteral("&(#[0-9]+|#[xX][0-9a-fA-F]+|[a-zA-Z]+);"));
    QString result;
    qsizetype done = 0;
    for (const QRegularExpressionMatch& match : entity.globalMatch(text)) {
        result += QStringView(text).mid(done, match.capturedStart() - done);
        const QString name = match.captured(1);
        char32_t code = 0;
        if (name.startsWith(u"#x", Qt::CaseInsensitive)) {
            code = name.mid(2).toUInt(nullptr, 16);
        } else if (name.startsWith(u'#')) {
            code = name.mid(1).toUInt();
        } else if (name == u"amp") {
            code = '&';
        } else if (name == u"lt") {
            code = '<';
        } else if (name == u"gt") {
            code = '>';
        } else if (name == u"quot") {
            code = '"';
        } else if (name == u"apos") {
            code = '\'';
        } else if (name == u"nbsp") {
            code = 0xa0;
        }
        if (code > 0 && code <= 0x10ffff) {
            result += QString::fromUcs4(&code, 1);
        } else {
            result += match.captured(0);
        }
        done = match.capturedEnd();
    }
    result += QStringView(text).mid(done);
    return result;
}

// The attributes of one tag's text, names in lower case.
QHash<QString, QString> attributes(const QString& tagText) {
    static const QRegularExpression attribute(QStringLiteral(
        R"re(([A-Za-z_:][-A-Za-z0-9_:.]*)\s*=\s*(?:"([^"]*)"|'([^']*)'|([^\s"'>]+)))re"));
    QHash<QString, QString> result;
    for (const QRegularExpressionMatch& match : attribute.globalMatch(tagText)) {
        QString value = match.captured(2);
        if (match.capturedStart(2) < 0) {
            value = match.capturedStart(3) >= 0 ? match.captured(3) : match.captured(4);
        }
        result.insert(match.captured(1).toLower(), decodeEntities(value));
    }
    return result;
}

}  // namespace

// Help files carry text in their author's ANSI code page; ours are plain ASCII. Western code
// pages are close enough to Latin-1 for names and titles.
QString decodeHelpText(const QByteArray& bytes) {
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(bytes);
    if (utf8.hasError()) {
        return QString::fromLatin1(bytes);
    }
    return text;
}

QList<HelpTopic> parseSitemap(const QByteArray& sitemap) {
    static const QRegularExpression tag(QStringLiteral(R"(<\s*(/?)\s*([A-Za-z]+)([^>]*)>)"));
    const QString text = decodeHelpText(sitemap);

    QList<HelpTopic> topics;
    int listDepth = 0;
    std::optional<HelpTopic> entry;
    for (const QRegularExpressionMatch& match : tag.globalMatch(text)) {
        const bool closing = !match.capturedView(1).isEmpty();
        const QString name = match.captured(2).toLower();
        if (name == u"ul") {
            listDepth = closing ? std::max(0, listDepth - 1) : listDepth + 1;
        } else if (name == u"object") {
            if (closing) {
                if (entry && !entry->name.isEmpty()) {
                    topics.append(*entry);
                }
                entry.reset();
            } else if (attributes(match.captured(3)).value(QStringLiteral("type")).toLower() ==
                       u"text/sitemap") {
                entry = HelpTopic{{}, {}, std::max(0, listDepth - 1)};
            }
        } else if (name == u"param" && entry) {
            const QHash<QString, QString> param = attributes(match.captured(3));
            const QString key = param.value(QStringLiteral("name")).toLower();
            const QString value = param.value(QStringLiteral("value"));
            // An entry may name several topics; the first one is the one it opens.
            if (key == u"name" && entry->name.isEmpty()) {
                entry->name = value.trimmed();
            } else if (key == u"local" && entry->local.isEmpty() && !value.isEmpty()) {
                entry->local = helpObjectPath(value);
            }
        }
    }
    return topics;
}

QString helpObjectPath(const QString& reference) {
    QString path = reference.trimmed();
    const qsizetype inside = path.indexOf(QStringLiteral("::"));
    if (inside >= 0) {
        path = path.mid(inside + 2);
    }
    const qsizetype anchor = path.indexOf(u'#');
    if (anchor >= 0) {
        path.truncate(anchor);
    }
    path.replace(u'\\', u'/');
    if (!path.startsWith(u'/')) {
        path.prepend(u'/');
    }
    return QDir::cleanPath(path);
}

}  // namespace tolvane
