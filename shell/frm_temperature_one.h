#pragma once

#include <QMainWindow>

#include <array>
#include <memory>
#include <optional>

#include "conversion_panel.h"
#include "keypad.h"
#include "panel_mode.h"

class QAction;
class QGroupBox;
class QPushButton;

namespace tolvane {

class UnitLineEdit;
class WebViewHost;

// The main window: the conversion panel (four unit fields and the keypad) and the search panel,
// one above the other, and the menu bar. What the fields do lives in ConversionPanel; the window
// owns the widgets and passes their events on.
class frmTemperatureOne : public QMainWindow {
    Q_OBJECT

public:
    // The window's files (the search page) live in applicationFolder.
    frmTemperatureOne(MessageBoxes& messages, QString applicationFolder, QWidget* parent = nullptr);
    ~frmTemperatureOne() override;

    // Writes the search page into the application folder and remembers its path. Returns the
    // reason in words when the page could not be written. Named after the historical routine
    // that wrote the About page, which is where the search page's file name comes from too.
    std::optional<QString> AboutFile();
    const QString& AboutFilePath() const { return m_aboutFilePath; }
    // Removes the page AboutFile wrote; the run is ending. A page that is already gone or cannot
    // be removed no longer matters.
    void deleteSearchPage();

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

Q_SIGNALS:
    void preferencesRequested();
    void helpRequested();
    void aboutRequested();
    void closeRequested();
    // The window became the active window again.
    void activated();
    // The window has been closed; the search page is gone.
    void unloaded();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    class Fields;

    void createConversionPanel();
    void createSearchPanel();
    void createMenu();
    void arrangeTabOrder();

    void cmd_Search_Click();
    void cmd_Content_Click();
    void CommandClearEntry_Click();
    void sendKeyToActiveField(KeyAction key);
    void hidePanel(QWidget* panel);

    const QString m_applicationFolder;
    QString m_aboutFilePath;
    std::unique_ptr<Fields> m_fields;
    std::unique_ptr<ConversionPanel> m_panel;
    std::array<UnitLineEdit*, 4> m_unitFields{};

    QGroupBox* Frame1 = nullptr;
    QGroupBox* Frame2 = nullptr;
    QPushButton* cmdRefresh = nullptr;
    WebViewHost* WebBrowser1 = nullptr;
    Keypad* m_keypad = nullptr;
    QAction* cmd_Search = nullptr;
};

}  // namespace tolvane
