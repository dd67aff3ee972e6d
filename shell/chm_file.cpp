#include "chm_file.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QRegularExpression>
#include <QStringDecoder>

#include <chm_lib.h>

#include "chm_structure.h"

#include <algorithm>
#include <utility>

namespace tolvane {

namespace {

// No object of a help file comes near this; a larger length means a damaged file, whose bytes
// must not decide how much memory the program asks for.
constexpr LONGUINT64 kMaxObjectSize = 32 * 1024 * 1024;

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

int findFirstSitemap(chmFile* /*handle*/, chmUnitInfo* unit, void* context) {
    const QString path = QString::fromUtf8(unit->path);
    if (path.endsWith(QStringLiteral(".hhc"), Qt::CaseInsensitive)) {
        *static_cast<QString*>(context) = path;
        return CHM_ENUMERATOR_SUCCESS;
    }
    return CHM_ENUMERATOR_CONTINUE;
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

std::unique_ptr<ChmFile> ChmFile::open(const QString& path) {
    if (!QFileInfo(path).isFile()) {
        return nullptr;
    }
    {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly) || !chmStructureIsSound(file)) {
            return nullptr;
        }
    }
    chmFile* handle = chm_open(QFile::encodeName(path).constData());
    if (handle == nullptr) {
        return nullptr;
    }
    std::unique_ptr<ChmFile> file(new ChmFile(path, handle));
    file->readSystemFile();
    if (file->m_contentsFile.isEmpty()) {
        file->m_contentsFile = file->findContentsFile();
    }
    if (!file->m_contentsFile.isEmpty()) {
        if (const std::optional<QByteArray> sitemap = file->read(file->m_contentsFile)) {
            file->m_contents = parseSitemap(*sitemap);
        }
    }
    if (file->m_defaultTopic.isEmpty()) {
        for (const HelpTopic& topic : std::as_const(file->m_contents)) {
            if (!topic.local.isEmpty()) {
                file->m_defaultTopic = topic.local;
                break;
            }
        }
    }
    return file;
}

ChmFile::ChmFile(QString path, chmFile* handle) : m_path(std::move(path)), m_handle(handle) {}

ChmFile::~ChmFile() {
    chm_close(m_handle);
}

std::optional<QByteArray> ChmFile::read(const QString& objectPath) const {
    chmUnitInfo unit{};
    if (chm_resolve_object(m_handle, objectPath.toUtf8().constData(), &unit) !=
        CHM_RESOLVE_SUCCESS) {
        return std::nullopt;
    }
    if (unit.length > kMaxObjectSize) {
        return std::nullopt;
    }
    QByteArray bytes(static_cast<qsizetype>(unit.length), Qt::Uninitialized);
    if (unit.length == 0) {
        return bytes;
    }
    const LONGINT64 got =
        chm_retrieve_object(m_handle, &unit, reinterpret_cast<unsigned char*>(bytes.data()), 0,
                            static_cast<LONGINT64>(unit.length));
    if (got != static_cast<LONGINT64>(unit.length)) {
        return std::nullopt;
    }
    return bytes;
}

// The #SYSTEM object holds the compiler's settings as a version number followed by records of
// a 16-bit code, a 16-bit length and that many bytes, all little-endian; text ends with NUL.
void ChmFile::readSystemFile() {
    const std::optional<QByteArray> system = read(QStringLiteral("/#SYSTEM"));
    if (!system) {
        return;
    }
    const auto word = [&](qsizetype at) {
        return static_cast<quint16>(static_cast<quint8>(system->at(at)) |
                                    (static_cast<quint8>(system->at(at + 1)) << 8));
    };
    qsizetype at = 4;
    while (at + 4 <= system->size()) {
        const quint16 code = word(at);
        const quint16 length = word(at + 2);
        at += 4;
        if (at + length > system->size()) {
            break;
        }
        QByteArray data = system->mid(at, length);
        const qsizetype end = data.indexOf('\0');
        if (end >= 0) {
            data.truncate(end);
        }
        at += length;
        switch (code) {
            case 0:
                m_contentsFile = data.isEmpty() ? QString() : helpObjectPath(decodeHelpText(data));
                break;
            case 2:
                m_defaultTopic = data.isEmpty() ? QString() : helpObjectPath(decodeHelpText(data));
                break;
            case 3:
                m_title = decodeHelpText(data);
                break;
            default:
                break;
        }
    }
}

QString ChmFile::findContentsFile() const {
    QString found;
    chm_enumerate(m_handle, CHM_ENUMERATE_NORMAL | CHM_ENUMERATE_FILES, findFirstSitemap, &found);
    return found;
}

}  // namespace tolvane
