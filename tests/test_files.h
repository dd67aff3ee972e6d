#pragma once

#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>

#ifdef _WIN32
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#else
#include <poll.h>
#include <sys/inotify.h>
#include <unistd.h>
#endif

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

// For a file that another program renames into place whole: waits for its folder to change
// until the file is there. Gives up when the folder has not changed for a minute, far beyond any
// normal start of a program, and then reads nothing.
inline std::string waitForFile(const std::filesystem::path& path) {
    namespace fs = std::filesystem;
    constexpr int kMinute = 60'000;  // in milliseconds
    // The watch is set before the first look, so a file arriving in between is not missed.
#ifdef _WIN32
    const HANDLE change = FindFirstChangeNotificationW(path.parent_path().c_str(), FALSE,
                                                       FILE_NOTIFY_CHANGE_FILE_NAME);
    if (change == INVALID_HANDLE_VALUE) {
        return {};
    }
    while (!fs::exists(path) && WaitForSingleObject(change, kMinute) == WAIT_OBJECT_0 &&
           FindNextChangeNotification(change)) {
    }
    FindCloseChangeNotification(change);
#else
    const int changes = inotify_init1(IN_CLOEXEC);
    if (changes < 0 ||
        inotify_add_watch(changes, path.parent_path().c_str(), IN_CREATE | IN_MOVED_TO) < 0) {
        close(changes);  // does nothing when there is no watch at all
        return {};
    }
    pollfd wait{changes, POLLIN, 0};
    alignas(inotify_event) char events[4096];
    while (!fs::exists(path) && poll(&wait, 1, kMinute) > 0 &&
           read(changes, events, sizeof events) > 0) {
    }
    close(changes);
#endif
    std::ostringstream bytes;  // empty when the file cannot be read
    bytes << std::ifstream(path, std::ios::binary).rdbuf();
    return bytes.str();
}

}  // namespace tolvane::testing
