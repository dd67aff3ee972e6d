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

// The main window: the conversion panel (four unit fields and the keypad) and the search panel,
// one above the other, and the menu bar. What the fields do lives in ConversionPanel; the window
// owns the widgets and passes their events on.
class frmTemperatureOne : public QMainWindow {
    Q_OBJECT

public:
    explicit frmTemperatureOne(MessageBoxes& messages, QWidget* parent = nullptr);
    ~frmTemperatureOne() override;

    // Types text into the active field over its selection, then gives it the focus back.
    void NumPad(const QString& text);

    void setPanelMode(PanelMode mode);
    PanelMode panelMode() const;

    UnitLineEdit* unitField(UnitField field) const;
    std::optional<UnitField> activeField() const { return m_panel->ActiveTextBox(); }

Q_SIGNALS:
    void preferencesRequested();
    void helpRequested();
    void aboutRequested();
    void closeRequested();
    void refreshRequested();

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    class Fields;

    void createConversionPanel();
    void createSearchPanel();
    void createMenu();
    void setTabOrder();

    void cmd_Search_Click();
    void cmd_Content_Click();
    void CommandClearEntry_Click();
    void sendKeyToActiveField(KeyAction key);
    void hidePanel(QWidget* panel);

    std::unique_ptr<Fields> m_fields;
    std::unique_ptr<ConversionPanel> m_panel;
    std::array<UnitLineEdit*, 4> m_unitFields{};

    QGroupBox* Frame1 = nullptr;
    QGroupBox* Frame2 = nullptr;
    QPushButton* cmdRefresh = nullptr;
    QWidget* WebBrowser1 = nullptr;
    Keypad* m_keypad = nullptr;
    QAction* cmd_Search = nullptr;
};

}  // namespace tolvane
