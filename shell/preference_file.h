#pragma once

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "panel_mode.h"
#include "safe_file.h"

namespace tolvane {

// pref.ifm, beside the program, holds the panel to start on as a single line ended by CR LF.
inline constexpr std::string_view kPrefFileName = "pref.ifm";
inline constexpr std::string_view kStartTempLine = "start temp";
inline constexpr std::string_view kStartSearchLine = "start search";

// The most the reader takes from the file. A first line longer than either stored line matches
// neither, so nothing past this many bytes can change the outcome, however large the file is.
inline constexpr std::size_t kPrefReadLimit = 64;

// The preference file's path in the given application folder.
std::filesystem::path prefFilePath(const std::filesystem::path& applicationFolder);

// The first line of the file: its bytes up to, not including, the first CR, or all of them when
// there is none. At most kPrefReadLimit bytes are read. Nothing when the path is not a readable
// regular file (missing, a folder, a device, a read error).
std::optional<std::string> readPrefFirstLine(const std::filesystem::path& prefFilePath);

// The panel a first line chooses: exact, case-sensitive comparisons, no trimming; only
// "start search" chooses the search panel.
PanelMode panelModeForLine(std::string_view line);

// The panel to start on. A file that is missing, empty or unreadable chooses the conversion
// panel, as does any first line other than "start search"; no error is reported.
PanelMode readStartPanel(const std::filesystem::path& prefFilePath);

// The exact bytes stored for a panel: its line and CR LF, 12 or 14 bytes.
std::string prefFileContent(PanelMode mode);

// Replaces the file's content with the panel's line; the old file stays as it was unless the new
// one has been written completely.
WriteResult writeStartPanel(const std::filesystem::path& prefFilePath, PanelMode mode);

// What the Preferences dialog says, before the reason, when writeStartPanel failed.
inline constexpr std::string_view kStartPanelNotSavedMessage =
    "The start-up choice could not be saved.\n\n";

}  // namespace tolvane
