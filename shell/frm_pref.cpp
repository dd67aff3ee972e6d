#include "frm_pref.h"

#include <QGroupBox>
#include <QPushButton>
#include <QRadioButton>

#include <algorithm>
#include <array>
#include <cmath>
#include <utility>
#include <vector>

#include "form_builder.h"
#include "form_layout.h"
#include "preference_file.h"

namespace tolvane {

namespace {

// A rectangle enlarged by factor, with edges rounded so that shared edges stay shared.
QRect scaled(const QRect& design, double factor) {
    const auto at = [factor](int position) { return int(std::lround(position * factor)); };
    return QRect(
        QPoint(at(design.left()), at(design.top())),
        QPoint(at(design.left() + design.width()) - 1, at(design.top() + design.height()) - 1));
}

}  // namespace

frmPref::frmPref(std::filesystem::path prefFilePath, ApplyPanelMode applyPanelMode,
                 MessageBoxes& messages, QWidget* parent)
    : QWidget(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint |
                          Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint),
      PrefFilePath(std::move(prefFilePath)),
      m_applyPanelMode(std::move(applyPanelMode)),
      m_messages(messages) {
    const layout::Window design = layout::preferencesDialog();
    setObjectName(QString::fromStdString(design.name));
    setWindowTitle(QString::fromStdString(design.caption));
    setAttribute(Qt::WA_DeleteOnClose);

    // Made in tab order: the buttons first, then the options.
    std::vector<std::pair<QWidget*, QRect>> controls;
    for (const layout::Control& control : design.controls) {
        QWidget* holder = control.parent.empty()
                              ? this
                              : findChild<QWidget*>(QString::fromStdString(control.parent));
        controls.emplace_back(makeControl(control, holder), qtRect(control.rect));
    }
    Command1 = findChild<QPushButton*>(QStringLiteral("Command1"));
    Command2 = findChild<QPushButton*>(QStringLiteral("Command2"));
    Frame1 = findChild<QGroupBox*>(QStringLiteral("Frame1"));
    Option1 = findChild<QRadioButton*>(QStringLiteral("Option1"));
    Option2 = findChild<QRadioButton*>(QStringLiteral("Option2"));
    // A button with the focus is pressed by Enter as well as by Space.
    Command1->setAutoDefault(true);
    Command2->setAutoDefault(true);

    // The design's sizes were made for a smaller font than most desktops use today; where a
    // caption would be cut, the whole dialog grows by the same factor and keeps its proportions.
    for (const auto& [control, designed] : controls) {
        const QSize needed = roomForCaption(control);
        m_layoutScale = std::max({m_layoutScale, double(needed.width()) / designed.width(),
                                  double(needed.height()) / designed.height()});
    }
    for (const auto& [control, designed] : controls) {
        control->setGeometry(scaled(designed, m_layoutScale));
    }
    setFixedSize(
        scaled(qtRect({0, 0, design.clientWidth, design.clientHeight}), m_layoutScale).size());
    Command1->setFocus();

    connect(Command1, &QPushButton::clicked, this, &frmPref::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &frmPref::Command2_Click);

    Form_Load();
}

void frmPref::Form_Load() {
    const bool startOnSearch = readStartPanel(PrefFilePath) == PanelMode::Search;
    Option1->setChecked(!startOnSearch);
    Option2->setChecked(startOnSearch);
}

void frmPref::Command1_Click() {
    PanelMode mode = PanelMode::Conversion;
    if (!Option1->isChecked() && Option2->isChecked()) {
        mode = PanelMode::Search;
    }
    if (const WriteResult stored = writeStartPanel(PrefFilePath, mode); !stored) {
        // The main window keeps its panel and the dialog stays open, so the user can retry or
        // cancel knowing that nothing was stored.
        m_messages.show(std::string(kStartPanelNotSavedMessage) + stored.message(),
                        windowTitle().toStdString(), MessageIcon::Exclamation);
        return;
    }
    m_applyPanelMode(mode);
    close();
}

void frmPref::Command2_Click() {
    close();
}

PreferencesOpener::PreferencesOpener(QWidget* owner, std::filesystem::path prefFilePath,
                                     frmPref::ApplyPanelMode applyPanelMode, MessageBoxes& messages)
    : m_owner(owner),
      m_prefFilePath(std::move(prefFilePath)),
      m_applyPanelMode(std::move(applyPanelMode)),
      m_messages(messages) {}

void PreferencesOpener::open() {
    if (m_dialog) {
        return;
    }
    // Owned by the main window: it is transient for it, has no task-bar entry of its own and
    // goes when the main window goes.
    m_dialog = new frmPref(m_prefFilePath, m_applyPanelMode, m_messages, m_owner);
    m_dialog->show();
}

}  // namespace tolvane
