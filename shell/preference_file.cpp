#include "preference_file.h"

#include <algorithm>

namespace tolvane {

std::filesystem::path prefFilePath(const std::filesystem::path& applicationFolder) {
    return applicationFolder / kPrefFileName;
}

std::optional<std::string> readPrefFirstLine(const std::filesystem::path& prefFilePath) {
    std::optional<std::string> head = readFileStart(prefFilePath, kPrefReadLimit);
    if (head) {
        head->erase(std::min(head->find('\r'), head->size()));
    }
    return head;
}

PanelMode panelModeForLine(std::string_view line) {
    if (line == kStartTempLine) {
        return PanelMode::Conversion;
    }
    if (line == kStartSearchLine) {
        return PanelMode::Search;
    }
    return PanelMode::Conversion;
}

PanelMode readStartPanel(const std::filesystem::path& prefFilePath) {
    const std::optional<std::string> line = readPrefFirstLine(prefFilePath);
    return line ? panelModeForLine(*line) : PanelMode::Conversion;
}

std::string prefFileContent(PanelMode mode) {
    std::string content(mode == PanelMode::Search ? kStartSearchLine : kStartTempLine);
    content += "\r\n";
    return content;
}

WriteResult writeStartPanel(const std::filesystem::path& prefFilePath, PanelMode mode) {
    return writeFileAtomically(prefFilePath, prefFileContent(mode));
}

}  // namespace tolvane
