#include "chm_file.h"

#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QIODevice>

#include <mspack.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <utility>

namespace tolvane {

namespace {

// No object of a help file comes near this; a larger length means a damaged file, whose bytes
// must not decide how much memory the program asks for.
constexpr qint64 kMaxObjectSize = 32 * 1024 * 1024;

// The only names under which the reader lets libmspack open anything: the help file, and the
// object being read out of it, which goes into memory.
constexpr char kHelpName[] = "help.chm";
constexpr char kObjectName[] = "object";

// The file header's two GUIDs, where they begin and how the second begins.
constexpr qint64 kFirstGuidAt = 0x18;
constexpr qint64 kSecondGuidAt = 0x28;
constexpr qint64 kGuidSize = 16;
constexpr char kSecondGuidStart = 0x11;

}  // namespace

// libmspack reads, writes and takes memory only through the functions of an mspack_system, here
// over the reader's device and an object in memory. It passes the structure back to open(), so
// the reader's state sits right behind it.
struct ChmFile::Library {
    struct System {
        mspack_system functions;
        Library* library;
    };
    // A file as libmspack holds it open. It keeps the help file open more than once at a time,
    // so each keeps its own position.
    struct OpenFile {
        Library* library = nullptr;  // for the help file
        qint64 position = 0;
        QByteArray* object = nullptr;
    };
    static OpenFile& openFile(mspack_file* file) { return *reinterpret_cast<OpenFile*>(file); }

    explicit Library(std::unique_ptr<QIODevice> device);
    ~Library();
    Library(const Library&) = delete;
    Library& operator=(const Library&) = delete;

    bool open();
    std::optional<QByteArray> extract(const QString& objectPath);

    static mspack_file* openNamed(mspack_system* self, const char* name, int mode);
    static void closeFile(mspack_file* file);
    static int readFile(mspack_file* file, void* buffer, int bytes);
    static int writeFile(mspack_file* file, void* buffer, int bytes);
    static int seekFile(mspack_file* file, off_t offset, int mode);
    static off_t tellFile(mspack_file* file);
    // libmspack's warnings are about damage the reader finds out about by failing to read.
    static void message(mspack_file* /*file*/, const char* /*format*/, ...) {}
    static void* allocate(mspack_system* /*self*/, size_t bytes) { return std::malloc(bytes); }
    static void release(void* memory) { std::free(memory); }
    static void copy(void* from, void* to, size_t bytes) { std::memmove(to, from, bytes); }

    std::unique_ptr<QIODevice> help;
    bool secondGuidRepeatsFirst = false;
    QByteArray* object = nullptr;  // while one is read out
    System system;
    mschm_decompressor* decompressor = nullptr;
    mschmd_header* header = nullptr;
    QHash<QString, mschmd_file*> objects;  // by lower-case name
    char absentName[1] = {};
    mschmd_file absent{};
};

ChmFile::Library::Library(std::unique_ptr<QIODevice> device) : help(std::move(device)) {
    system.functions = {&openNamed, &closeFile, &readFile, &writeFile, &seekFile, &tellFile,
                        &message,   &allocate,  &release,  &copy,      nullptr};
    system.library = this;
}

ChmFile::Library::~Library() {
    if (header != nullptr) {
        decompressor->close(decompressor, header);
    }
    if (decompressor != nullptr) {
        mspack_destroy_chm_decompressor(decompressor);
    }
}

bool ChmFile::Library::open() {
    int selfTest = MSPACK_ERR_OK;
    MSPACK_SYS_SELFTEST(selfTest);
    if (selfTest != MSPACK_ERR_OK) {
        return false;
    }
    // chmcmd (Free Pascal), which compiles our help, writes the header's first GUID twice where
    // Microsoft's compiler writes two that differ in their first byte; libmspack takes only the
    // latter. It is shown the header that way.
    if (help->size() >= kSecondGuidAt + kGuidSize && help->seek(kFirstGuidAt)) {
        const QByteArray guids = help->read(2 * kGuidSize);
        secondGuidRepeatsFirst =
            guids.size() == 2 * kGuidSize && guids.first(kGuidSize) == guids.last(kGuidSize);
    }
    decompressor = mspack_create_chm_decompressor(&system.functions);
    if (decompressor == nullptr) {
        return false;
    }
    // The whole listing, read block after block in file order. fast_open would leave every
    // look-up to fast_find, which follows the file's own index and "next block" numbers, and
    // those can lead in a circle in a damaged file.
    header = decompressor->open(decompressor, kHelpName);
    if (header == nullptr) {
        return false;
    }
    // For the compression's own objects that are not in the listing, libmspack would ask
    // fast_find after all. An empty stand-in makes the decompression fail instead.
    absent.section = &header->sec0.base;
    absent.filename = absentName;
    for (mschmd_file** needed : {&header->sec1.content, &header->sec1.control, &header->sec1.rtable,
                                 &header->sec1.spaninfo}) {
        if (*needed == nullptr) {
            *needed = &absent;
        }
    }
    // Names in a help file are matched without regard to case; the first of a name counts.
    for (mschmd_file* file = header->files; file != nullptr; file = file->next) {
        const QString name = QString::fromUtf8(file->filename).toLower();
        if (!objects.contains(name)) {
            objects.insert(name, file);
        }
    }
    return true;
}

std::optional<QByteArray> ChmFile::Library::extract(const QString& objectPath) {
    mschmd_file* file = objects.value(objectPath.toLower());
    // libmspack takes the listing's offset and length as they come; no length from a damaged
    // file may decide how much memory the program asks for.
    if (file == nullptr || file->offset < 0 || file->length < 0 || file->length > kMaxObjectSize) {
        return std::nullopt;
    }
    QByteArray bytes;
    object = &bytes;
    const int error = decompressor->extract(decompressor, file, kObjectName);
    object = nullptr;
    if (error != MSPACK_ERR_OK || bytes.size() != file->length) {
        return std::nullopt;
    }
    return bytes;
}

mspack_file* ChmFile::Library::openNamed(mspack_system* self, const char* name, int mode) {
    Library& library = *reinterpret_cast<System*>(self)->library;
    OpenFile* file = nullptr;
    if (mode == MSPACK_SYS_OPEN_READ && std::strcmp(name, kHelpName) == 0) {
        file = new OpenFile{&library, 0, nullptr};
    } else if (mode == MSPACK_SYS_OPEN_WRITE && std::strcmp(name, kObjectName) == 0 &&
               library.object != nullptr) {
        file = new OpenFile{nullptr, 0, library.object};
    }
    return reinterpret_cast<mspack_file*>(file);
}

void ChmFile::Library::closeFile(mspack_file* file) {
    delete &openFile(file);
}

int ChmFile::Library::readFile(mspack_file* file, void* buffer, int bytes) {
    OpenFile& open = openFile(file);
    if (open.library == nullptr || bytes < 0 || !open.library->help->seek(open.position)) {
        return -1;
    }
    const qint64 got = open.library->help->read(static_cast<char*>(buffer), bytes);
    if (got < 0) {
        return -1;
    }
    if (open.library->secondGuidRepeatsFirst && open.position <= kSecondGuidAt &&
        kSecondGuidAt < open.position + got) {
        static_cast<char*>(buffer)[kSecondGuidAt - open.position] = kSecondGuidStart;
    }
    open.position += got;
    return static_cast<int>(got);
}

int ChmFile::Library::writeFile(mspack_file* file, void* buffer, int bytes) {
    OpenFile& open = openFile(file);
    if (open.object == nullptr || bytes < 0 || bytes > kMaxObjectSize - open.object->size()) {
        return -1;
    }
    open.object->append(static_cast<const char*>(buffer), bytes);
    return bytes;
}

int ChmFile::Library::seekFile(mspack_file* file, off_t offset, int mode) {
    OpenFile& open = openFile(file);
    if (open.library == nullptr) {
        return -1;
    }
    const qint64 size = open.library->help->size();
    qint64 from = 0;
    switch (mode) {
        case MSPACK_SYS_SEEK_START:
            from = 0;
            break;
        case MSPACK_SYS_SEEK_CUR:
            from = open.position;
            break;
        case MSPACK_SYS_SEEK_END:
            from = size;
            break;
        default:
            return -1;
    }
    // Only damage points outside the help file.
    if (offset < -from || offset > size - from) {
        return -1;
    }
    open.position = from + offset;
    return 0;
}

off_t ChmFile::Library::tellFile(mspack_file* file) {
    const OpenFile& open = openFile(file);
    return open.library != nullptr ? open.position : open.object->size();
}

std::unique_ptr<ChmFile> ChmFile::open(const QString& path) {
    if (!QFileInfo(path).isFile()) {
        return nullptr;
    }
    return open(std::make_unique<QFile>(path), path);
}

std::unique_ptr<ChmFile> ChmFile::open(std::unique_ptr<QIODevice> device, QString path) {
    if (device == nullptr || (!device->isOpen() && !device->open(QIODevice::ReadOnly)) ||
        !device->isReadable() || device->isSequential()) {
        return nullptr;
    }
    auto library = std::make_unique<Library>(std::move(device));
    if (!library->open()) {
        return nullptr;
    }
    std::unique_ptr<ChmFile> file(new ChmFile(std::move(path), std::move(library)));
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

ChmFile::ChmFile(QString path, std::unique_ptr<Library> library)
    : m_path(std::move(path)), m_library(std::move(library)) {}

ChmFile::~ChmFile() = default;

std::optional<QByteArray> ChmFile::read(const QString& objectPath) const {
    return m_library->extract(objectPath);
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
    for (const mschmd_file* file = m_library->header->files; file != nullptr; file = file->next) {
        const QString name = QString::fromUtf8(file->filename);
        if (name.endsWith(QStringLiteral(".hhc"), Qt::CaseInsensitive)) {
            return name;
        }
    }
    return {};
}

}  // namespace tolvane
