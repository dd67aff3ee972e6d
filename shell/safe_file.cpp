#include "safe_file.h"

#include <random>
#include <system_error>

#ifdef _WIN32
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#else
#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace tolvane {
namespace {

namespace fs = std::filesystem;

// How often a fresh temporary name is tried before giving up: another file of the same random
// name is next to impossible, so more than one retry means something else is wrong.
constexpr int kNameAttempts = 8;

fs::path temporaryBeside(const fs::path& path) {
    static std::mt19937_64 random{std::random_device()()};
    constexpr char kDigits[] = "0123456789abcdef";
    std::string suffix = ".tmp-";
    for (std::uint64_t bits = random(), i = 0; i < 12; ++i, bits >>= 4) {
        suffix += kDigits[bits & 0xF];
    }
    fs::path temporary = path;
    temporary += suffix;
    return temporary;
}

// One try at writing the temporary file. Only a file this try created is removed on failure.
struct TemporaryWrite {
    enum class Outcome { Written, NameTaken, Failed } outcome;
    std::string reason;
};

TemporaryWrite writtenTemporary() {
    return {TemporaryWrite::Outcome::Written, {}};
}

WriteResult failed(const fs::path& path, const std::string& reason) {
    return WriteResult::failure("The file " + displayPath(path) +
                                " could not be written: " + reason);
}

#ifdef _WIN32

std::string utf8(std::wstring_view text) {
    if (text.empty()) {
        return {};
    }
    const int length = static_cast<int>(text.size());
    const int size =
        WideCharToMultiByte(CP_UTF8, 0, text.data(), length, nullptr, 0, nullptr, nullptr);
    std::string narrow(static_cast<std::size_t>(size > 0 ? size : 0), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), length, narrow.data(), size, nullptr, nullptr);
    return narrow;
}

std::string systemReason(DWORD error) {
    wchar_t* text = nullptr;
    const DWORD length = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, error, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::wstring reason(text, length);
    LocalFree(text);
    while (!reason.empty() && (reason.back() == L'\n' || reason.back() == L'\r' ||
                               reason.back() == L'.' || reason.back() == L' ')) {
        reason.pop_back();
    }
    return reason.empty() ? "error " + std::to_string(error) : utf8(reason);
}

bool isNameTaken(DWORD error) {
    return error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS;
}

class Handle {
public:
    explicit Handle(HANDLE handle) : m_handle(handle) {}
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    ~Handle() { close(); }
    bool valid() const { return m_handle != INVALID_HANDLE_VALUE; }
    HANDLE get() const { return m_handle; }
    bool close() {
        const bool ok = !valid() || CloseHandle(m_handle) != 0;
        m_handle = INVALID_HANDLE_VALUE;
        return ok;
    }

private:
    HANDLE m_handle;
};

TemporaryWrite writeTemporary(const fs::path& temporary, std::string_view bytes,
                              Durability durability) {
    Handle file(CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                            FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.valid()) {
        const DWORD error = GetLastError();
        return {isNameTaken(error) ? TemporaryWrite::Outcome::NameTaken
                                   : TemporaryWrite::Outcome::Failed,
                systemReason(error)};
    }
    const auto removed = [&temporary](DWORD error) {
        std::error_code ignored;
        fs::remove(temporary, ignored);
        return TemporaryWrite{TemporaryWrite::Outcome::Failed, systemReason(error)};
    };
    while (!bytes.empty()) {
        const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), 1u << 30));
        DWORD written = 0;
        if (!WriteFile(file.get(), bytes.data(), chunk, &written, nullptr) || written == 0) {
            const DWORD error = GetLastError();
            file.close();
            return removed(error);
        }
        bytes.remove_prefix(written);
    }
    if (durability == Durability::Synced && !FlushFileBuffers(file.get())) {
        const DWORD error = GetLastError();
        file.close();
        return removed(error);
    }
    if (!file.close()) {
        return removed(GetLastError());
    }
    return writtenTemporary();
}

#else

std::string systemReason(int error) {
    return std::strerror(error);
}

bool isNameTaken(int error) {
    return error == EEXIST;
}

TemporaryWrite writeTemporary(const fs::path& temporary, std::string_view bytes,
                              Durability durability) {
    const int fd =
        ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (fd < 0) {
        const int error = errno;
        return {isNameTaken(error) ? TemporaryWrite::Outcome::NameTaken
                                   : TemporaryWrite::Outcome::Failed,
                systemReason(error)};
    }
    int error = 0;
    while (error == 0 && !bytes.empty()) {
        const ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n > 0) {
            bytes.remove_prefix(static_cast<std::size_t>(n));
        } else if (n < 0 && errno != EINTR) {
            error = errno;
        }
    }
    if (error == 0 && durability == Durability::Synced && ::fsync(fd) != 0) {
        error = errno;
    }
    if (::close(fd) != 0 && error == 0) {
        error = errno;
    }
    if (error != 0) {
        ::unlink(temporary.c_str());
        return {TemporaryWrite::Outcome::Failed, systemReason(error)};
    }
    return writtenTemporary();
}

// The rename itself reaches the disk only once the folder has been written.
void syncFolder(const fs::path& folder) {
    const int fd =
        ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

#endif

}  // namespace

std::string displayPath(const fs::path& path) {
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}

WriteResult writeFileAtomically(const fs::path& path, std::string_view bytes,
                                Durability durability) {
    for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
        const fs::path temporary = temporaryBeside(path);
        const TemporaryWrite written = writeTemporary(temporary, bytes, durability);
        if (written.outcome == TemporaryWrite::Outcome::NameTaken) {
            continue;
        }
        if (written.outcome == TemporaryWrite::Outcome::Failed) {
            return failed(path, written.reason);
        }
        // Replaces whatever has the name, a link too, without following it.
#ifdef _WIN32
        const bool renamed = MoveFileExW(temporary.c_str(), path.c_str(),
                                         MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
        const std::string reason = renamed ? std::string() : systemReason(GetLastError());
#else
        const bool renamed = ::rename(temporary.c_str(), path.c_str()) == 0;
        const std::string reason = renamed ? std::string() : systemReason(errno);
#endif
        if (!renamed) {
            std::error_code ignored;
            fs::remove(temporary, ignored);
            return failed(path, reason);
        }
#ifndef _WIN32
        if (durability == Durability::Synced) {
            syncFolder(path.parent_path());
        }
#endif
        return WriteResult::success();
    }
    return failed(path, "no temporary file could be made beside it");
}

std::optional<std::string> readFileStart(const fs::path& path, std::size_t limit) {
    std::string bytes(limit, '\0');
    std::size_t total = 0;
#ifdef _WIN32
    Handle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.valid() || GetFileType(file.get()) != FILE_TYPE_DISK) {
        return std::nullopt;
    }
    BY_HANDLE_FILE_INFORMATION information{};
    if (!GetFileInformationByHandle(file.get(), &information) ||
        (information.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        return std::nullopt;
    }
    while (total < limit) {
        const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(limit - total, 1u << 30));
        DWORD got = 0;
        if (!ReadFile(file.get(), bytes.data() + total, chunk, &got, nullptr)) {
            return std::nullopt;
        }
        if (got == 0) {
            break;
        }
        total += got;
    }
#else
    // Non-blocking, so that opening a pipe does not wait for a writer; only a regular file is read.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        return std::nullopt;
    }
    struct stat status {};
    bool ok = ::fstat(fd, &status) == 0 && S_ISREG(status.st_mode);
    while (ok && total < limit) {
        const ssize_t got = ::read(fd, bytes.data() + total, limit - total);
        if (got > 0) {
            total += static_cast<std::size_t>(got);
        } else if (got == 0) {
            break;
        } else if (errno != EINTR) {
            ok = false;
        }
    }
    ::close(fd);
    if (!ok) {
        return std::nullopt;
    }
#endif
    bytes.resize(total);
    return bytes;
}

bool canCreateFilesIn(const fs::path& folder) {
    std::error_code error;
    if (!fs::is_directory(folder, error)) {
        return false;
    }
    for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
        // A dot first, so that a probe that outlives a crash stays out of the user's way.
        const fs::path probe = temporaryBeside(folder / ".tolvane-probe");
#ifdef _WIN32
        Handle file(CreateFileW(probe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                FILE_ATTRIBUTE_HIDDEN | FILE_FLAG_DELETE_ON_CLOSE, nullptr));
        if (file.valid()) {
            return true;
        }
        if (!isNameTaken(GetLastError())) {
            return false;
        }
#else
        const int fd =
            ::open(probe.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
        if (fd >= 0) {
            ::close(fd);
            ::unlink(probe.c_str());
            return true;
        }
        if (!isNameTaken(errno)) {
            return false;
        }
#endif
    }
    return false;
}

}  // namespace tolvane
