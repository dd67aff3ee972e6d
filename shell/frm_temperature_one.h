#pragma once

#include <QMainWindow>
#include <QPointer>

#include <array>
#include <filesystem>
#include <memory>
#include <optional>

#include "conversion_panel.h"
#include "keypad_keys.h"
#include "panel_mode.h"
#include "safe_file.h"
#include "window_layouts.h"

class QAction;
class QGroupBox;
class QPushButton;
class QUrl;

namespace tolvane {

class BrowserLauncher;
class HelpOpener;
class PreferencesOpener;
class SearchPageFile;
class UnitLineEdit;
class WebViewHost;
class HelpWindow;
class frmAbout;
class frmPref;

// What the main window works with that lives as long as the run.
struct MainWindowServices {
    MessageBoxes& messages;
    BrowserLauncher& launcher;
    SearchPageFile& searchPage;
    std::filesystem::path prefFile;
    std::filesystem::path helpFile;
};

// The main window: the conversion panel (four unit fields and the keypad) and the search panel,
// one above the other, the menu bar, and the window's own handlers. What the fields do lives in
// ConversionPanel; the window owns the widgets and passes their events on.
class frmTemperatureOne : public QMainWindow {
    Q_OBJECT

public:
    explicit frmTemperatureOne(const MainWindowServices& services, QWidget* parent = nullptr);
    ~frmTemperatureOne() override;

    // Has the search page written into the application folder and remembers its path. Named
    // after the historical routine that wrote the About page, which is where the search page's
    // file name comes from too.
    const WriteResult& AboutFile();
    const QString& AboutFilePath() const { return m_aboutFilePath; }

    // The window is loaded: the search page is shown, and once the window is on the screen the
    // user's browser is looked up and a page that could not be written is reported.
    void Form_Load();

    // The menu command "Close": the search page goes and the run ends at once, with open
    // dialogs dropped unsaved and the exit code 0.
    void cmd_Exit_Click();

    // Shows the search page in the search panel.
    void cmdRefresh_Click();

    // Gives the window the outer size of the original layout (frame, title and menu bar
    // included) and lays the search panel over the conversion panel.
    void arrangeForStartUp();

    // Types text into the active field over its selection, then gives it the focus back.
    void NumPad(const QString& text);

    void setPanelMode(PanelMode mode);
    PanelMode panelMode() const;

    UnitLineEdit* unitField(UnitField field) const;
    std::optional<UnitField> activeField() const { return m_panel->ActiveTextBox(); }

    WebViewHost* webView() const { return WebBrowser1; }
    frmAbout* aboutBox() const;
    frmPref* preferencesDialog() const;
    HelpWindow* helpWindow() const;

    // The window became the program's active window; coming back to it closes the About box.
    void Form_Activate();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    class Fields;

    void createControls(const layout::Window& design);
    UnitLineEdit* createUnitField(const layout::Control& control, QWidget* parent);
    void connectKey(QPushButton* button, const KeypadKey& key);
    void createMenu();

    void Form_Unload();
    void cmd_Search_Click();
    void cmd_Pref_Click();
    void cmd_Content_Click();
    void cmd_About_Click();
    void openInUsersBrowser(const QUrl& address);
    void CommandClearEntry_Click();
    void sendKeyToActiveField(KeyAction key);
    void hidePanel(QWidget* panel);

    const MainWindowServices m_services;
    QString m_aboutFilePath;
    std::unique_ptr<Fields> m_fields;
    std::unique_ptr<ConversionPanel> m_panel;
    std::array<UnitLineEdit*, 4> m_unitFields{};

    QGroupBox* Frame1 = nullptr;
    QGroupBox* Frame2 = nullptr;
    QPushButton* cmdRefresh = nullptr;
    WebViewHost* WebBrowser1 = nullptr;
    QAction* cmd_Search = nullptr;

    std::unique_ptr<PreferencesOpener> m_preferences;
    std::unique_ptr<HelpOpener> m_help;
    QPointer<frmAbout> m_about;
};

}  // namespace tolvane
