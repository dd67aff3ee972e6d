#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

namespace tolvane {

// Replaces the file at path by bytes as a whole: the bytes go to a temporary file beside it,
// which then takes the file's name in one step, so a crash or a full disk never leaves a
// half-written file in place of a good one. A symbolic link planted at path is replaced by the
// new file, never written through.
//
// Returns nothing on success; on failure the old file, if any, is untouched and the result is a
// sentence for the user that names the file and the reason.
[[nodiscard]] std::optional<QString> writeFileAtomically(const QString& path,
                                                         const QByteArray& bytes);

}  // namespace tolvane
