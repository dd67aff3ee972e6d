#include "frm_pref.h"

#include "preference_file.h"

namespace tolvane::win32 {

frmPref::frmPref(HWND owner, int dotsPerInch, std::filesystem::path prefFilePath,
                 ApplyPanelMode applyPanelMode, MessageBoxes& messages)
    : DialogWindow(layout::preferencesDialog(), owner, dotsPerInch),
      PrefFilePath(std::move(prefFilePath)),
      m_applyPanelMode(std::move(applyPanelMode)),
      m_messages(messages) {
    Form_Load();
}

void frmPref::Form_Load() {
    const bool startOnSearch = readStartPanel(PrefFilePath) == PanelMode::Search;
    SendMessageW(control("Option1"), BM_SETCHECK, startOnSearch ? BST_UNCHECKED : BST_CHECKED, 0);
    SendMessageW(control("Option2"), BM_SETCHECK, startOnSearch ? BST_CHECKED : BST_UNCHECKED, 0);
}

bool frmPref::isChecked(const char* option) const {
    return SendMessageW(control(option), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void frmPref::Command1_Click() {
    PanelMode mode = PanelMode::Conversion;
    if (!isChecked("Option1") && isChecked("Option2")) {
        mode = PanelMode::Search;
    }
    if (const WriteResult stored = writeStartPanel(PrefFilePath, mode); !stored) {
        // The main window keeps its panel and the dialog stays open, so the user can retry or
        // cancel knowing that nothing was stored.
        m_messages.show(std::string(kStartPanelNotSavedMessage) + stored.message(),
                        layout::preferencesDialog().caption, MessageIcon::Exclamation);
        return;
    }
    m_applyPanelMode(mode);
    close();
}

void frmPref::Command2_Click() {
    close();
}

void frmPref::onCommand(const layout::Control& control, int code) {
    if (code != BN_CLICKED) {
        return;
    }
    if (control.name == "Command1") {
        Command1_Click();
    } else if (control.name == "Command2") {
        Command2_Click();
    }
}

}  // namespace tolvane::win32
