#include "frm_pref.h"

#include <QGroupBox>
#include <QPushButton>
#include <QRadioButton>

#include <algorithm>
#include <array>
#include <cmath>
#include <utility>

#include "form_layout.h"
#include "preference_file.h"
#include "twips.h"

namespace tolvane {

namespace {

constexpr const char* kDialogTitle = "Preferences";

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
    setObjectName(QStringLiteral("frmPref"));
    setWindowTitle(QString::fromLatin1(kDialogTitle));
    setAttribute(Qt::WA_DeleteOnClose);

    // Made in tab order, so the focus chain needs no reordering: the buttons first, then the
    // options.
    Command1 = new QPushButton(QStringLiteral("&Ok"), this);
    Command1->setObjectName(QStringLiteral("Command1"));
    Command2 = new QPushButton(QStringLiteral("&Cancel"), this);
    Command2->setObjectName(QStringLiteral("Command2"));
    // A button with the focus is pressed by Enter as well as by Space.
    Command1->setAutoDefault(true);
    Command2->setAutoDefault(true);

    Frame1 = new QGroupBox(QStringLiteral("Startup Options"), this);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    Option1 = new QRadioButton(QStringLiteral("Temperature Conversion"), Frame1);
    Option1->setObjectName(QStringLiteral("Option1"));
    Option2 = new QRadioButton(QStringLiteral("Search About"), Frame1);
    Option2->setObjectName(QStringLiteral("Option2"));

    const std::array<std::pair<QWidget*, QRect>, 5> layout = {{
        {Frame1, twipsRect(97, 105, 2430, 1065)},
        {Option1, twipsRect(210, 315, 2115, 330)},
        {Option2, twipsRect(210, 630, 2010, 300)},
        {Command1, twipsRect(735, 1260, 855, 330)},
        {Command2, twipsRect(1680, 1260, 855, 330)},
    }};
    // The design's sizes were made for a smaller font than most desktops use today; where a
    // caption would be cut, the whole dialog grows by the same factor and keeps its proportions.
    for (const auto& [control, design] : layout) {
        const QSize needed = roomForCaption(control);
        m_layoutScale = std::max({m_layoutScale, double(needed.width()) / design.width(),
                                  double(needed.height()) / design.height()});
    }
    for (const auto& [control, design] : layout) {
        control->setGeometry(scaled(design, m_layoutScale));
    }
    setFixedSize(scaled(twipsRect(0, 0, 2625, 1680), m_layoutScale).size());

    setTabOrder(Command1, Command2);
    setTabOrder(Command2, Option1);
    setTabOrder(Option1, Option2);
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
        m_messages.show("The start-up choice could not be saved.\n\n" + stored.message(),
                        kDialogTitle, MessageIcon::Exclamation);
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
