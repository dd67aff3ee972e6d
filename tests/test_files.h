#pragma once

#include <chrono>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <thread>

namespace tolvane::testing {

// A folder of its own (64 random bits in its name) under the temporary folder, removed with
// everything in it at the end.
struct TempFolder {
    TempFolder() { std::filesystem::create_directory(path); }
    ~TempFolder() { std::filesystem::remove_all(path, ignored); }
    std::error_code ignored;
    const std::filesystem::path path = std::filesystem::temp_directory_path() /
                                       ("tolvane-test-" + std::to_string(std::random_device()()) +
                                        "-" + std::to_string(std::random_device()()));
};

// Empty when the file cannot be read.
inline std::string readFile(const std::filesystem::path& path) {
    std::ostringstream bytes;
    bytes << std::ifstream(path, std::ios::binary).rdbuf();
    return bytes.str();
}

// For a file that another program renames into place whole. Gives up after a minute, far beyond
// any normal start of a program.
inline std::string waitForFile(const std::filesystem::path& path) {
    for (int look = 0; look < 6000 && !std::filesystem::exists(path); ++look) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return readFile(path);
}

}  // namespace tolvane::testing
