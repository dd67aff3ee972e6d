#pragma once

#include <QString>

#include <filesystem>

namespace tolvane {

// Paths cross between Qt and the toolkit-free code as UTF-16, which both hold whole.
inline std::filesystem::path toPath(const QString& path) {
    return std::filesystem::path(path.toStdU16String());
}

inline QString toQString(const std::filesystem::path& path) {
    return QString::fromStdU16String(path.u16string());
}

}  // namespace tolvane
