// A help file's bytes through the program's own help reader, as the help window uses it: the
// contents, the default topic, every topic of the contents and the default topic once more,
// which turns the decompression back to an earlier place in the file.
#include <QBuffer>
#include <QByteArray>

#include <cstddef>
#include <cstdint>
#include <memory>

#include "chm_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    auto buffer = std::make_unique<QBuffer>();
    buffer->setData(
        QByteArray::fromRawData(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size)));
    const std::unique_ptr<tolvane::ChmFile> help =
        tolvane::ChmFile::open(std::move(buffer), QStringLiteral("tolvane.chm"));
    if (help == nullptr) {
        return 0;
    }
    (void)help->title();
    (void)help->read(help->defaultTopic());
    for (const tolvane::HelpTopic& topic : help->tableOfContents()) {
        if (!topic.local.isEmpty()) {
            (void)help->read(topic.local);
        }
    }
    (void)help->read(help->defaultTopic());
    return 0;
}
