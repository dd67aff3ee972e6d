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
//
// Durability::Synced waits until the bytes are on the disk before the file takes its name, so
// that not even a power cut loses both versions. A file that is written anew at every start has
// no old version worth that wait, which can take long on a slow disk: Durability::Rebuilt leaves
// the writing to the system.
enum class Durability { Synced, Rebuilt };
[[nodiscard]] std::optional<QString> writeFileAtomically(
    const QString& path, const QByteArray& bytes, Durability durability = Durability::Synced);

}  // namespace tolvane
