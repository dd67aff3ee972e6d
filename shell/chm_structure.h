#pragma once

#include <QIODevice>

namespace tolvane {

// Whether a compiled help file's headers, directory and compression settings are fit for
// chmlib. chmlib believes what the file says: a damaged directory makes it read past its
// buffers or loop for ever, and damaged compression settings make it divide by zero or use a
// decoder it failed to make. A file that passes can still hold damaged topics; those read as
// missing.
bool chmStructureIsSound(QIODevice& file);

}  // namespace tolvane
