#pragma once

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <array>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "conversion_panel.h"
#include "frm_about.h"
#include "frm_pref.h"
#include "help_opener.h"
#include "keypad_keys.h"
#include "panel_mode.h"
#include "safe_file.h"
#include "web_browser_host.h"
#include "win32_controls.h"
#include "window_layouts.h"

namespace tolvane {
class BrowserLauncher;
class SearchPageFile;
}  // namespace tolvane

namespace tolvane::win32 {

// What the main window works with that lives as long as the run.
struct MainWindowServices {
    MessageBoxes& messages;
    BrowserLauncher& launcher;
    SearchPageFile& searchPage;
    std::filesystem::path prefFile;
    std::filesystem::path helpFile;
    // Ends the run's message loop with the exit code 0.
    std::function<void()> endRun;
};

// What the window takes from the system, given from outside so that tests can choose it.
struct MainWindowSettings {
    int dotsPerInch = 96;
    std::string decimalSeparator = ".";
    // Whether the system can show a web page: asked when the search panel is first shown.
    PageEngineProbe pageEngine = systemHasPageEngine;
};

// The main window: the conversion panel (four unit fields and the keypad) and the search panel,
// one above the other, the menu bar, and the window's own handlers. What the fields do lives in
// ConversionPanel; the window owns the controls and passes their notifications on.
class frmTemperatureOne {
public:
    frmTemperatureOne(const MainWindowServices& services, const MainWindowSettings& settings);
    ~frmTemperatureOne();

    frmTemperatureOne(const frmTemperatureOne&) = delete;
    frmTemperatureOne& operator=(const frmTemperatureOne&) = delete;

    HWND handle() const { return m_window; }

    // Has the search page written into the application folder and remembers its path.
    const WriteResult& AboutFile();
    const std::filesystem::path& AboutFilePath() const { return m_aboutFilePath; }

    // The window is loaded: the search page is shown, and once the window has been painted the
    // user's browser is looked up and a page that could not be written is reported.
    void Form_Load();

    // The menu command "Close": the search page goes and the run ends at once.
    void cmd_Exit_Click();
    void cmd_Search_Click();
    void cmdRefresh_Click();

    // Gives the window the outer size of the original layout and lays the search panel over the
    // conversion panel.
    void arrangeForStartUp();

    // Types text into the active field over its selection, then gives it the focus back.
    void NumPad(std::string_view text);

    void setPanelMode(PanelMode mode);
    PanelMode panelMode() const;

    HWND unitField(UnitField field) const { return m_unitFields[fieldIndex(field)]; }
    HWND control(std::string_view name) const;  // the control must be in the window's table
    std::optional<UnitField> activeField() const { return m_panel->ActiveTextBox(); }
    int dotsPerInch() const { return m_fonts->dotsPerInch(); }

    // The message loop offers each message here first: F1, and Tab and the other dialog keys of
    // this window and its dialogs.
    bool handleDialogMessage(MSG& message);

    // The window became the program's active window; coming back to it closes the About box.
    void Form_Activate();

    WebBrowserHost* webBrowser() const { return m_webBrowser.get(); }
    frmPref* preferencesDialog() const { return openOrNull(m_preferences); }
    frmAbout* aboutBox() const { return openOrNull(m_about); }

private:
    class Fields;

    static LRESULT CALLBACK windowProcedure(HWND window, UINT message, WPARAM wParam,
                                            LPARAM lParam);
    LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void createControls();
    void createMenu();
    void placeControls();
    void onCommand(int id, int code);
    void onControlCommand(std::size_t index, int code);
    void onActivate(bool active);
    void onFirstPaint();
    void sendKeyToActiveField(KeyAction key);
    void deliverKey(KeyAction key);
    void hidePanel(HWND panel);
    void setClientSize(int width, int height);
    void Form_Unload();
    void cmd_Pref_Click();
    void cmd_Content_Click();
    void cmd_About_Click();
    void showHelp();
    void openInUsersBrowser(const std::string& address);

    template <typename Dialog>
    static Dialog* openOrNull(const std::unique_ptr<Dialog>& dialog) {
        return dialog && dialog->isOpen() ? dialog.get() : nullptr;
    }

    const MainWindowServices m_services;
    const PageEngineProbe m_pageEngine;
    const layout::Window m_design;
    HWND m_window = nullptr;
    std::unique_ptr<FontSet> m_fonts;
    std::unique_ptr<ToolTips> m_toolTips;
    std::vector<HWND> m_controls;  // in the order of m_design.controls
    std::array<HWND, 4> m_unitFields{};
    std::unique_ptr<Fields> m_fields;
    std::unique_ptr<ConversionPanel> m_panel;
    HMENU m_menu = nullptr;
    HACCEL m_accelerators = nullptr;
    std::unique_ptr<frmPref> m_preferences;
    std::unique_ptr<frmAbout> m_about;
    std::unique_ptr<WebBrowserHost> m_webBrowser;
    HelpOpener m_help;
    HWND m_focusToRestore = nullptr;
    bool m_painted = false;
    bool m_loaded = false;
    bool m_arrangedForStartUp = false;
    std::filesystem::path m_aboutFilePath;
};

}  // namespace tolvane::win32
