#include "browser_launcher.h"

#include <string_view>
#include <system_error>
#include <utility>

#ifdef _WIN32
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#else
#include <cerrno>

#include <fcntl.h>
#include <unistd.h>
#endif

namespace tolvane {
namespace {

// The extension is what makes the desktop name the web browser; the content plays no part.
constexpr const char* kTempPageName = "temphtm.HTM";
constexpr std::string_view kTempPageContent = "\"<HTML> <\\HTML>\"\r\n";

constexpr std::int32_t kHighestFailureCode = 32;

// Creates `path` only if nothing of that name exists, so the bytes cannot be steered through a
// link planted at that name.
#ifdef _WIN32
bool writeNewFile(const std::filesystem::path& path, std::string_view bytes) {
    const HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return false;
    }
    DWORD written = 0;
    const bool ok =
        WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) != 0 &&
        written == bytes.size();
    return CloseHandle(file) != 0 && ok;
}
#else
bool writeNewFile(const std::filesystem::path& path, std::string_view bytes) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644);
    if (fd < 0) {
        return false;
    }
    bool ok = true;
    while (ok && !bytes.empty()) {
        const ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n > 0) {
            bytes.remove_prefix(static_cast<std::size_t>(n));
        } else if (n < 0 && errno == EINTR) {
            continue;
        } else {
            ok = false;
        }
    }
    return ::close(fd) == 0 && ok;
}
#endif

// Deletes the throw-away page however the lookup ends. A page that cannot be deleted stays
// behind; the next lookup removes it before writing its own.
class TempPageRemover {
public:
    explicit TempPageRemover(const std::filesystem::path& path) : m_path(path) {}
    TempPageRemover(const TempPageRemover&) = delete;
    TempPageRemover& operator=(const TempPageRemover&) = delete;
    ~TempPageRemover() {
        std::error_code ignored;
        std::filesystem::remove(m_path, ignored);
    }

private:
    const std::filesystem::path& m_path;
};

class BusyPointer {
public:
    explicit BusyPointer(const std::function<void(bool)>& showBusy) : m_showBusy(showBusy) {
        if (m_showBusy) {
            m_showBusy(true);
        }
    }
    BusyPointer(const BusyPointer&) = delete;
    BusyPointer& operator=(const BusyPointer&) = delete;
    ~BusyPointer() {
        if (m_showBusy) {
            m_showBusy(false);
        }
    }

private:
    const std::function<void(bool)>& m_showBusy;
};

}  // namespace

bool isExternalWebAddress(std::string_view address) {
    const auto toLower = [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; };
    const std::size_t colon = address.find(':');
    if (colon == std::string_view::npos) {
        return false;
    }
    std::string scheme;
    for (const char c : address.substr(0, colon)) {
        scheme += toLower(c);
    }
    if (scheme != "http" && scheme != "https") {
        return false;
    }
    std::string_view rest = address.substr(colon + 1);
    if (!rest.starts_with("//")) {
        return false;
    }
    rest.remove_prefix(2);
    std::string_view authority = rest.substr(0, rest.find_first_of("/?#"));
    if (const std::size_t at = authority.rfind('@'); at != std::string_view::npos) {
        authority.remove_prefix(at + 1);
    }
    // A port follows the last colon, unless that colon is inside an IPv6 address's brackets.
    if (const std::size_t port = authority.rfind(':');
        port != std::string_view::npos && authority.find(']', port) == std::string_view::npos) {
        authority = authority.substr(0, port);
    }
    for (const char c : address) {
        if (static_cast<unsigned char>(c) <= ' ' || c == 0x7f) {
            return false;
        }
    }
    return !authority.empty() && authority != "[]";
}

BrowserLauncher::BrowserLauncher(DesktopShell& shell, MessageBoxes& messages,
                                 std::filesystem::path applicationFolder,
                                 std::function<void(bool busy)> showBusy)
    : m_shell(shell),
      m_messages(messages),
      m_tempPagePath(std::move(applicationFolder) / kTempPageName),
      m_showBusy(std::move(showBusy)) {}

bool BrowserLauncher::FindBrowser() {
    m_browserPath.clear();

    // Whatever already has the page's name, a stale page or a planted link, goes first; the page
    // is then only ever created new.
    std::error_code ignored;
    std::filesystem::remove(m_tempPagePath, ignored);
    const TempPageRemover remover(m_tempPagePath);
    if (!writeNewFile(m_tempPagePath, kTempPageContent)) {
        return false;
    }

    DesktopShell::Lookup lookup = m_shell.findExecutable(m_tempPagePath);
    m_browserPath = std::move(lookup.program);
    return lookup.code > kHighestFailureCode;
}

void BrowserLauncher::OpenWebPage(const std::string& address, std::uintptr_t ownerWindow) {
    // The pointer stays busy while the failure message is up.
    const BusyPointer busy(m_showBusy);
    if (m_shell.execute(ownerWindow, m_browserPath, address) <= kHighestFailureCode) {
        m_messages.show("Web Page not Opened", "URL Failed", MessageIcon::Exclamation);
    }
}

void BrowserLauncher::openInUsersBrowser(const std::string& address, std::uintptr_t ownerWindow) {
    if (FindBrowser()) {
        OpenWebPage(address, ownerWindow);
    } else {
        BrowserNotFound();
    }
}

void BrowserLauncher::BrowserNotFound() {
    m_messages.show("Could not find associated Browser", "Browser Not Found",
                    MessageIcon::Exclamation);
}

}  // namespace tolvane
