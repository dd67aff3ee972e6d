#pragma once

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

namespace tolvane {

// The outcome of writing a file: true when it was written; otherwise it carries a sentence for
// the user that names the file and the reason.
class [[nodiscard]] WriteResult {
public:
    static WriteResult success() { return WriteResult(); }
    static WriteResult failure(std::string message) { return WriteResult(std::move(message)); }

    explicit operator bool() const { return m_message.empty(); }
    // Empty on success.
    const std::string& message() const { return m_message; }

private:
    WriteResult() = default;
    explicit WriteResult(std::string message) : m_message(std::move(message)) {}

    std::string m_message;
};

// Replaces the file at path by bytes as a whole: the bytes go to a new temporary file beside it,
// which then takes the file's name in one step, so a crash or a full disk never leaves a
// half-written file in place of a good one, and a failure leaves the old file untouched. A link
// planted at path is replaced by the new file, never written through.
//
// Durability::Synced waits until the bytes are on the disk before the file takes its name, so
// that not even a power cut loses both versions. A file that is written anew at every start has
// no old version worth that wait, which can take long on a slow disk: Durability::Rebuilt leaves
// the writing to the system.
enum class Durability { Synced, Rebuilt };
WriteResult writeFileAtomically(const std::filesystem::path& path, std::string_view bytes,
                                Durability durability = Durability::Synced);

// The first `limit` bytes of a regular file, or all of it when it is shorter. Nothing when the
// path is not a readable regular file (missing, a folder, a pipe, a device, a read error); a pipe
// or device is never opened in a way that could wait.
std::optional<std::string> readFileStart(const std::filesystem::path& path, std::size_t limit);

// Whether a file can really be created in folder. Permission bits alone do not tell (root
// ignores them, and neither read-only mounts nor ACLs show in them), so this creates a file
// there and removes it again.
bool canCreateFilesIn(const std::filesystem::path& folder);

// A path as UTF-8, for messages.
std::string displayPath(const std::filesystem::path& path);

}  // namespace tolvane
