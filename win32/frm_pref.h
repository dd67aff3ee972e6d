#pragma once

#include <filesystem>
#include <functional>

#include "dialog_window.h"
#include "message_boxes.h"
#include "panel_mode.h"

namespace tolvane::win32 {

// The Preferences dialog: chooses the panel the program starts on. It shows the choice stored in
// the preference file; Ok stores the new one, applies it to the main window and closes the dialog;
// Cancel and the close box close it without effect.
class frmPref : public DialogWindow {
public:
    using ApplyPanelMode = std::function<void(PanelMode)>;

    frmPref(HWND owner, int dotsPerInch, std::filesystem::path prefFilePath,
            ApplyPanelMode applyPanelMode, MessageBoxes& messages);

    void Command1_Click();
    void Command2_Click();

private:
    void Form_Load();
    void onCommand(const layout::Control& control, int code) override;
    bool isChecked(const char* option) const;

    const std::filesystem::path PrefFilePath;
    const ApplyPanelMode m_applyPanelMode;
    MessageBoxes& m_messages;
};

}  // namespace tolvane::win32
