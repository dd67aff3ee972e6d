#pragma once

#include <filesystem>

#include "safe_file.h"

namespace tolvane {

// The search page's file, AboutHtm.htm in the application folder, for the length of one run: it
// is written at start-up and gone again however the run ends, by the main window's Close, its
// close box, a termination signal or this object's end.
class SearchPageFile {
public:
    explicit SearchPageFile(const std::filesystem::path& applicationFolder);
    ~SearchPageFile();

    SearchPageFile(const SearchPageFile&) = delete;
    SearchPageFile& operator=(const SearchPageFile&) = delete;

    // Writes the page anew, whatever lay there, and keeps the outcome for writeResult().
    const WriteResult& write();

    // Removes the page this run wrote; a page that is gone already, or cannot be removed, no
    // longer matters once the run ends.
    void remove();

    const std::filesystem::path& path() const { return m_path; }
    // The outcome of the last write; a failure until the first.
    const WriteResult& writeResult() const { return m_writeResult; }

private:
    const std::filesystem::path m_path;
    WriteResult m_writeResult;
    bool m_written = false;
};

}  // namespace tolvane
