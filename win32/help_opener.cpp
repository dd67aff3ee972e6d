#include "help_opener.h"

#include <htmlhelp.h>

#include <optional>
#include <string>

#include "help_messages.h"
#include "safe_file.h"
#include "tolvane_version.h"

namespace tolvane::win32 {
namespace {

// Every compiled help file begins so.
constexpr std::string_view kCompiledHelpSignature = "ITSF";

}  // namespace

HelpOpener::~HelpOpener() {
    closeAll();
    if (m_library != nullptr) {
        FreeLibrary(m_library);
    }
}

bool HelpOpener::load() {
    if (m_htmlHelp == nullptr && m_library == nullptr) {
        m_library = LoadLibraryW(L"hhctrl.ocx");
        if (m_library != nullptr) {
            m_htmlHelp = reinterpret_cast<HtmlHelpFunction>(
                reinterpret_cast<void*>(GetProcAddress(m_library, "HtmlHelpW")));
        }
    }
    return m_htmlHelp != nullptr;
}

void HelpOpener::showHelp(HWND owner, const std::filesystem::path& helpFile) {
    const std::string shownPath = displayPath(helpFile);
    std::error_code ignored;
    std::string problem;
    if (!std::filesystem::is_regular_file(helpFile, ignored)) {
        problem = helpFileNotFoundMessage(shownPath);
    } else if (readFileStart(helpFile, kCompiledHelpSignature.size()) !=
               std::optional<std::string>(kCompiledHelpSignature)) {
        problem = helpFileDamagedMessage(shownPath);
    } else if (!load()) {
        problem = kNoHtmlHelpMessage;
    } else if (m_htmlHelp(owner, helpFile.c_str(), HH_DISPLAY_TOPIC, 0) == nullptr) {
        problem = helpFileDamagedMessage(shownPath);
    }
    if (!problem.empty()) {
        m_messages.show(problem, version::kProgramTitle, MessageIcon::Exclamation);
    }
}

void HelpOpener::closeAll() {
    if (m_htmlHelp != nullptr) {
        m_htmlHelp(nullptr, nullptr, HH_CLOSE_ALL, 0);
    }
}

}  // namespace tolvane::win32
