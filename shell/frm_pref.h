#pragma once

#include <QPointer>
#include <QWidget>

#include <filesystem>
#include <functional>

#include "message_boxes.h"
#include "panel_mode.h"

class QGroupBox;
class QPushButton;
class QRadioButton;

namespace tolvane {

// The Preferences dialog: chooses the panel the program starts on. It shows the choice stored in
// the preference file; OK stores the new one, applies it to the main window and closes the dialog;
// Cancel and the close box close it without effect. Modeless, and deleted when it closes.
//
// Neither button is the default or the cancel button: Enter presses only a button that has the
// focus, and Escape does nothing.
class frmPref : public QWidget {
    Q_OBJECT

public:
    using ApplyPanelMode = std::function<void(PanelMode)>;

    // applyPanelMode puts the main window into the panel just stored; messages shows why storing
    // failed.
    frmPref(std::filesystem::path prefFilePath, ApplyPanelMode applyPanelMode,
            MessageBoxes& messages, QWidget* parent = nullptr);

    // How much the layout was enlarged so that the captions fit the font in use; 1 when the
    // font is small enough for the design's sizes.
    double layoutScale() const { return m_layoutScale; }

private:
    void Form_Load();
    void Command1_Click();
    void Command2_Click();

    const std::filesystem::path PrefFilePath;
    ApplyPanelMode m_applyPanelMode;
    MessageBoxes& m_messages;
    double m_layoutScale = 1.0;

    QGroupBox* Frame1;
    QRadioButton* Option1;
    QRadioButton* Option2;
    QPushButton* Command1;
    QPushButton* Command2;
};

// The main window's way to the dialog: one dialog at a time, made when it is opened and gone
// when it closes.
class PreferencesOpener {
public:
    PreferencesOpener(QWidget* owner, std::filesystem::path prefFilePath,
                      frmPref::ApplyPanelMode applyPanelMode, MessageBoxes& messages);

    // Shows the dialog without waiting for it, reading the preference file afresh; when the
    // dialog is open already it is left as it is.
    void open();

    // The open dialog, if any.
    frmPref* dialog() const { return m_dialog; }

private:
    QWidget* m_owner;
    const std::filesystem::path m_prefFilePath;
    frmPref::ApplyPanelMode m_applyPanelMode;
    MessageBoxes& m_messages;
    QPointer<frmPref> m_dialog;
};

}  // namespace tolvane
