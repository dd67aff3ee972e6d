#include "search_page_file.h"

#include <system_error>

#include "search_page.h"

namespace tolvane {

SearchPageFile::SearchPageFile(const std::filesystem::path& applicationFolder)
    : m_path(applicationFolder / kSearchPageFileName),
      m_writeResult(WriteResult::failure("The search page has not been written yet.")) {}

SearchPageFile::~SearchPageFile() {
    remove();
}

const WriteResult& SearchPageFile::write() {
    // Written anew at every start: nothing is lost if a power cut takes this copy.
    m_writeResult = writeFileAtomically(m_path, searchPageText(), Durability::Rebuilt);
    m_written = static_cast<bool>(m_writeResult);
    return m_writeResult;
}

void SearchPageFile::remove() {
    // A file of that name that this run did not write is not its to remove.
    if (m_written) {
        std::error_code ignored;
        std::filesystem::remove(m_path, ignored);
        m_written = false;
    }
}

}  // namespace tolvane
