#pragma once

#include <QString>

namespace tolvane {

// The program's title, "Varnel V." and the version: the main window's caption and the title of its
// messages.
QString programTitle();

// The version as the program shows it, "2.04" for 2.4.
QString programVersionText();

// The program file's name without its extension.
QString programFileName();

}  // namespace tolvane
