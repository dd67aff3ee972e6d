// pref.ifm as the program reads it at start-up: whatever bytes the file holds, the reader takes
// the bytes before the first CR within the read limit as the first line, and only the line
// "start search" chooses the search panel.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <random>
#include <string>
#include <string_view>
#include <system_error>

#include "preference_file.h"

namespace {

namespace fs = std::filesystem;

// A folder in memory where there is one: on a disk, rewriting the same file a million times
// waits for the disk at each close, and the fuzzer would do little else.
fs::path scratchFolder() {
    std::error_code error;
    const fs::path memory = "/dev/shm";
    const fs::path base = fs::is_directory(memory, error) ? memory : fs::temp_directory_path();
    fs::path folder = base / ("pref_file_fuzz-" + std::to_string(std::random_device()()));
    fs::create_directories(folder);
    return folder;
}

struct ScratchFile {
    ~ScratchFile() {
        std::error_code ignored;
        fs::remove_all(folder, ignored);
    }
    const fs::path folder = scratchFolder();
    const fs::path path = tolvane::prefFilePath(folder);
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const ScratchFile scratch;

    const std::string content(reinterpret_cast<const char*>(data), size);
    if (!(std::ofstream(scratch.path, std::ios::binary | std::ios::trunc) << content)) {
        std::fprintf(stderr, "cannot write %s\n", scratch.path.c_str());
        std::abort();
    }

    // The first line and the panel as the file format defines them, from the whole content.
    const std::string_view head = std::string_view(content).substr(0, tolvane::kPrefReadLimit);
    const std::string_view line = head.substr(0, head.find('\r'));
    const bool search = content.starts_with("start search\r") || content == "start search";
    if (tolvane::readPrefFirstLine(scratch.path) != line ||
        tolvane::readStartPanel(scratch.path) !=
            (search ? tolvane::PanelMode::Search : tolvane::PanelMode::Conversion)) {
        std::fprintf(stderr, "the wrong first line or panel for a file of %zu bytes\n", size);
        std::abort();
    }
    return 0;
}
