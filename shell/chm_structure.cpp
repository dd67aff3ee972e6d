#include "chm_structure.h"

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QSet>
#include <QtEndian>

#include <array>
#include <cstring>
#include <optional>

namespace tolvane {

namespace {

// Bounds on what a help file of any size needs; beyond them the file is taken as damaged.
constexpr quint64 kMaxDirectorySize = 16 * 1024 * 1024;
constexpr quint32 kMaxBlockSize = 1024 * 1024;
constexpr quint64 kMaxNameLength = 512;  // chmlib's own limit on object names
constexpr quint64 kMaxSettingsSize = 4096;

const QByteArray kControlData = "::dataspace/storage/mscompressed/controldata";
const QByteArray kResetTable =
    "::dataspace/storage/mscompressed/transform/{7fc28940-9d31-11d0-9b27-00a0c91e9c7c}/"
    "instancedata/resettable";

// Little-endian numbers from a structure; bytes past its end read as zero.
template <typename Number>
Number number(const QByteArray& bytes, qsizetype at) {
    std::array<uchar, sizeof(Number)> raw{};
    if (at >= 0 && at <= bytes.size() - qsizetype(raw.size())) {
        std::memcpy(raw.data(), bytes.constData() + at, raw.size());
    }
    return qFromLittleEndian<Number>(raw.data());
}

quint32 u32(const QByteArray& bytes, qsizetype at) {
    return number<quint32>(bytes, at);
}

quint64 u64(const QByteArray& bytes, qsizetype at) {
    return number<quint64>(bytes, at);
}

std::optional<QByteArray> readAt(QIODevice& file, quint64 offset, quint64 length) {
    if (offset > quint64(file.size()) || length > quint64(file.size()) - offset) {
        return std::nullopt;
    }
    if (!file.seek(qint64(offset))) {
        return std::nullopt;
    }
    QByteArray bytes = file.read(qint64(length));
    if (quint64(bytes.size()) != length) {
        return std::nullopt;
    }
    return bytes;
}

// Reads the directory's variable-length numbers and names without ever passing `end`.
class EntryReader {
public:
    EntryReader(const QByteArray& block, qsizetype at, qsizetype end)
        : m_block(block), m_at(at), m_end(end) {}

    bool atEnd() const { return m_at >= m_end; }

    // Seven bits a byte, most significant first, the last byte below 0x80.
    std::optional<quint64> number() {
        quint64 value = 0;
        for (int used = 0; used < 9; ++used) {
            if (m_at >= m_end) {
                return std::nullopt;
            }
            const auto byte = static_cast<quint8>(m_block[m_at++]);
            value = (value << 7) | (byte & 0x7f);
            if (byte < 0x80) {
                return value;
            }
        }
        return std::nullopt;
    }

    std::optional<QByteArray> name() {
        const std::optional<quint64> length = number();
        if (!length || *length > kMaxNameLength || qsizetype(*length) > m_end - m_at) {
            return std::nullopt;
        }
        QByteArray text = m_block.mid(m_at, qsizetype(*length));
        m_at += qsizetype(*length);
        return text;
    }

private:
    const QByteArray& m_block;
    qsizetype m_at;
    qsizetype m_end;
};

struct Entry {
    quint64 section;
    quint64 offset;
    quint64 length;
};

// The entries of a directory block whose header takes headerSize bytes, up to the free space
// the block declares at its end; nothing when that free space does not fit in the block.
std::optional<EntryReader> blockEntries(const QByteArray& block, quint32 headerSize) {
    const auto size = quint32(block.size());
    const quint32 freeSpace = u32(block, 4);
    if (freeSpace > size - headerSize) {
        return std::nullopt;
    }
    return EntryReader(block, headerSize, qsizetype(size - freeSpace));
}

// A directory block: a listing ("PMGL") of entries, an index ("PMGI") pointing to other
// blocks, or anything else, which chmlib does not follow.
bool readBlock(const QByteArray& block, quint32 blockCount, QMultiHash<QByteArray, Entry>& entries,
               QList<quint32>& children) {
    if (block.startsWith("PMGL")) {
        std::optional<EntryReader> reader = blockEntries(block, 0x14);
        if (!reader) {
            return false;
        }
        while (!reader->atEnd()) {
            const std::optional<QByteArray> name = reader->name();
            const std::optional<quint64> section = reader->number();
            const std::optional<quint64> offset = reader->number();
            const std::optional<quint64> length = reader->number();
            if (!name || !section || !offset || !length) {
                return false;
            }
            entries.insert(name->toLower(), Entry{*section, *offset, *length});
        }
    } else if (block.startsWith("PMGI")) {
        std::optional<EntryReader> reader = blockEntries(block, 0x08);
        if (!reader) {
            return false;
        }
        while (!reader->atEnd()) {
            const std::optional<QByteArray> name = reader->name();
            const std::optional<quint64> child = reader->number();
            if (!name || !child || *child >= blockCount) {
                return false;
            }
            children.append(quint32(*child));
        }
    }
    return true;
}

// chmlib walks the index from its root until it reaches a listing; an index that leads back
// into itself would keep it walking for ever.
bool indexHasNoLoop(const QList<QList<quint32>>& children, quint32 root) {
    enum class Mark { Unseen, Open, Done };
    QList<Mark> marks(children.size(), Mark::Unseen);
    QList<std::pair<quint32, qsizetype>> path{{root, 0}};
    marks[root] = Mark::Open;
    while (!path.isEmpty()) {
        auto& [block, next] = path.last();
        if (next == children[block].size()) {
            marks[block] = Mark::Done;
            path.removeLast();
            continue;
        }
        const quint32 child = children[block][next++];
        if (marks[child] == Mark::Open) {
            return false;
        }
        if (marks[child] == Mark::Unseen) {
            marks[child] = Mark::Open;
            path.append({child, 0});
        }
    }
    return true;
}

// The LZX settings, checked as chmlib reads them and then for what its decoder can take: a
// window of 2^15 to 2^21 bytes and a reset interval of whole half-windows.
bool controlDataIsSound(const QByteArray& data) {
    if (data.size() < 0x18 || data.mid(4, 4) != "LZXC") {
        return false;
    }
    const quint32 version = u32(data, 8);
    quint64 resetInterval = u32(data, 0x0c);
    quint64 windowSize = u32(data, 0x10);
    const quint64 windowsPerReset = u32(data, 0x14);
    if (version == 2) {
        resetInterval *= 0x8000;
        windowSize *= 0x8000;
    } else if (version != 1) {
        return false;
    }
    const bool powerOfTwo = windowSize != 0 && (windowSize & (windowSize - 1)) == 0;
    if (!powerOfTwo || windowSize < (1u << 15) || windowSize > (1u << 21)) {
        return false;
    }
    const quint64 halfWindow = windowSize / 2;
    return resetInterval != 0 && resetInterval % halfWindow == 0 && windowsPerReset != 0 &&
           resetInterval / halfWindow * windowsPerReset <= 0xffff;
}

// The reset table's block length sizes chmlib's buffers.
bool resetTableIsSound(const QByteArray& table) {
    if (table.size() < 0x28) {
        return false;
    }
    const quint64 blockLength = u64(table, 0x20);
    return blockLength != 0 && blockLength <= kMaxBlockSize;
}

}  // namespace

bool chmStructureIsSound(QIODevice& file) {
    // The file header: where the directory is and where the data after it begins.
    const std::optional<QByteArray> header = readAt(file, 0, 0x60);
    if (!header || !header->startsWith("ITSF")) {
        return false;
    }
    const quint32 version = u32(*header, 4);
    const quint32 headerLength = u32(*header, 8);
    if ((version != 2 && version != 3) || headerLength < (version == 3 ? 0x60u : 0x58u)) {
        return false;
    }
    const quint64 directoryOffset = u64(*header, 0x48);
    const quint64 directoryLength = u64(*header, 0x50);
    if (directoryLength < 0x54 || directoryLength > kMaxDirectorySize) {
        return false;
    }
    const std::optional<QByteArray> directory = readAt(file, directoryOffset, directoryLength);
    if (!directory) {
        return false;
    }
    const quint64 dataOffset =
        version == 3 ? u64(*header, 0x58) : directoryOffset + directoryLength;
    if (dataOffset > quint64(file.size())) {
        return false;
    }

    // The directory header and its blocks.
    if (!directory->startsWith("ITSP") || u32(*directory, 4) != 1 || u32(*directory, 8) != 0x54) {
        return false;
    }
    const quint32 blockSize = u32(*directory, 0x10);
    const auto indexRoot = qint32(u32(*directory, 0x1c));
    const auto indexHead = qint32(u32(*directory, 0x20));
    const quint32 blockCount = u32(*directory, 0x2c);
    if (blockSize < 0x14 || blockSize > kMaxBlockSize || blockCount == 0 ||
        quint64(blockCount) * blockSize > directoryLength - 0x54) {
        return false;
    }
    const qint32 root = indexRoot < 0 ? indexHead : indexRoot;
    if (root < 0 || quint32(root) >= blockCount) {
        return false;
    }
    QMultiHash<QByteArray, Entry> entries;
    QList<QList<quint32>> children(blockCount);
    for (quint32 i = 0; i < blockCount; ++i) {
        const QByteArray block = directory->mid(0x54 + qsizetype(i) * blockSize, blockSize);
        if (!readBlock(block, blockCount, entries, children[i])) {
            return false;
        }
    }
    if (!indexHasNoLoop(children, quint32(root))) {
        return false;
    }

    // A help file has two sections, 0 stored as it is and 1 compressed. chmlib decides with
    // "is it 1?" whether to read the compression settings and with "is it 0?" how to read
    // them; any other number makes it decompress with settings it never read.
    for (const Entry& entry : std::as_const(entries)) {
        if (entry.section > 1) {
            return false;
        }
    }
    // The compression settings, where the file has them uncompressed as chmlib expects;
    // otherwise chmlib reads no compressed object at all.
    const auto sectionZeroObjects = [&](const QByteArray& name) {
        QList<QByteArray> objects;
        for (const Entry& entry : entries.values(name)) {
            if (entry.section == 0) {
                objects.append(entry.length <= kMaxSettingsSize
                                   ? readAt(file, dataOffset + entry.offset, entry.length)
                                         .value_or(QByteArray())
                                   : QByteArray());
            }
        }
        return objects;
    };
    for (const QByteArray& control : sectionZeroObjects(kControlData)) {
        if (!controlDataIsSound(control)) {
            return false;
        }
    }
    for (const QByteArray& table : sectionZeroObjects(kResetTable)) {
        if (!resetTableIsSound(table)) {
            return false;
        }
    }
    return true;
}

}  // namespace tolvane
