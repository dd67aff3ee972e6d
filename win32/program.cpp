#include "program.h"

#include "browser_launcher.h"
#include "frm_splash.h"
#include "frm_temperature_one.h"
#include "preference_file.h"
#include "wide_text.h"

namespace tolvane::win32 {
namespace {

void showBusyPointer(bool busy) {
    SetCursor(LoadCursorW(nullptr, busy ? IDC_WAIT : IDC_ARROW));
}

}  // namespace

int systemDotsPerInch() {
    const HDC screen = GetDC(nullptr);
    const int dotsPerInch = GetDeviceCaps(screen, LOGPIXELSX);
    ReleaseDC(nullptr, screen);
    return dotsPerInch > 0 ? dotsPerInch : 96;
}

std::string usersDecimalSeparator() {
    wchar_t separator[8] = {};
    const int length = GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, LOCALE_SDECIMAL, separator,
                                       static_cast<int>(std::size(separator)));
    if (length <= 1) {
        return ".";
    }
    return toUtf8Shown(std::wstring_view(separator, static_cast<std::size_t>(length - 1)));
}

Program::Program(ApplicationFolder folder, std::unique_ptr<DesktopShell> shell)
    : m_folder(std::move(folder)),
      m_messages([this] { return m_window ? m_window->handle() : nullptr; }),
      m_shell(std::move(shell)),
      m_launcher(
          std::make_unique<BrowserLauncher>(*m_shell, m_messages, m_folder.path, showBusyPointer)),
      m_searchPage(m_folder.path) {}

Program::~Program() = default;

void Program::Main(int showCommand) {
    showBusyPointer(true);
    const int dotsPerInch = systemDotsPerInch();
    frmSplash splash(dotsPerInch);
    splash.showAndPaint();

    const std::filesystem::path prefFile = prefFilePath(m_folder.path);
    m_window = std::make_unique<frmTemperatureOne>(
        MainWindowServices{m_messages, *m_launcher, m_searchPage, prefFile, m_folder.helpFile,
                           [] { PostQuitMessage(0); }},
        MainWindowSettings{dotsPerInch, usersDecimalSeparator()});
    // A page that cannot be written is reported once the window has been painted.
    (void)m_window->AboutFile();
    const PanelMode startPanel = readStartPanel(prefFile);

    m_window->Form_Load();
    m_window->setPanelMode(startPanel);
    m_window->arrangeForStartUp();

    splash.close();
    showBusyPointer(false);
    ShowWindow(m_window->handle(), showCommand);
    UpdateWindow(m_window->handle());
}

int Program::run() {
    MSG message{};
    for (;;) {
        const BOOL got = GetMessageW(&message, nullptr, 0, 0);
        if (got == -1) {
            m_searchPage.remove();
            return 1;
        }
        if (got == 0) {
            break;
        }
        if (m_window && m_window->handleDialogMessage(message)) {
            continue;
        }
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    // However the loop ended, the page of this run goes.
    m_searchPage.remove();
    return static_cast<int>(message.wParam);
}

}  // namespace tolvane::win32
