#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

#include "panel_mode.h"

namespace tolvane {

// pref.ifm, beside the program, holds the panel to start on as a single line ended by CR LF.
inline constexpr const char* kPrefFileName = "pref.ifm";
inline constexpr const char* kStartTempLine = "start temp";
inline constexpr const char* kStartSearchLine = "start search";

// The most the reader takes from the file. A first line longer than either stored line matches
// neither, so nothing past this many bytes can change the outcome, however large the file is.
inline constexpr qint64 kPrefReadLimit = 64;

// The preference file's path in the given application folder.
QString prefFilePath(const QString& applicationFolder);

// The first line of the file: its bytes up to, not including, the first CR, or all of them when
// there is none. At most kPrefReadLimit bytes are read. Nothing when the path is not a readable
// regular file (missing, a folder, a device, a read error).
std::optional<QByteArray> readPrefFirstLine(const QString& prefFilePath);

// The panel a first line chooses: exact, case-sensitive comparisons, no trimming; only
// "start search" chooses the search panel.
PanelMode panelModeForLine(const QByteArray& line);

// The panel to start on. A file that is missing, empty or unreadable chooses the conversion
// panel, as does any first line other than "start search"; no error is reported.
PanelMode readStartPanel(const QString& prefFilePath);

// The exact bytes stored for a panel: its line and CR LF, 12 or 14 bytes.
QByteArray prefFileContent(PanelMode mode);

// Replaces the file's content with the panel's line. The old file stays as it was unless the
// new one has been written completely. Returns the reason in words when it fails.
std::optional<QString> writeStartPanel(const QString& prefFilePath, PanelMode mode);

}  // namespace tolvane
