#include "frm_temperature_one.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QGroupBox>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QLayout>
#include <QLocale>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QShortcut>
#include <QTimer>
#include <QUrl>

#include <map>
#include <string_view>

#include "browser_launcher.h"
#include "event_watch.h"
#include "form_builder.h"
#include "frm_about.h"
#include "frm_pref.h"
#include "help_window.h"
#include "program_identity.h"
#include "qt_paths.h"
#include "search_page_file.h"
#include "unit_line_edit.h"
#include "web_view_host.h"

namespace tolvane {
namespace {

int keyCode(KeyAction action) {
    switch (action) {
        case KeyAction::Home:
            return Qt::Key_Home;
        case KeyAction::End:
            return Qt::Key_End;
        case KeyAction::Left:
            return Qt::Key_Left;
        case KeyAction::Right:
            return Qt::Key_Right;
        case KeyAction::Delete:
            return Qt::Key_Delete;
        case KeyAction::BackSpace:
            return Qt::Key_Backspace;
        case KeyAction::Type:
        case KeyAction::ClearEntry:
            break;
    }
    return 0;
}

}  // namespace

// The four line edits as the conversion panel sees them.
class frmTemperatureOne::Fields : public UnitFieldSurface {
public:
    explicit Fields(const std::array<UnitLineEdit*, 4>& edits) : m_edits(edits) {}

    std::string text(UnitField field) const override { return edit(field)->text().toStdString(); }
    // QLineEdit emits textChanged before setText returns, which is what nests the handlers.
    void setText(UnitField field, const std::string& text) override {
        edit(field)->setText(QString::fromStdString(text));
    }
    void setFocus(UnitField field) override { edit(field)->setFocus(); }

private:
    UnitLineEdit* edit(UnitField field) const { return m_edits[fieldIndex(field)]; }
    const std::array<UnitLineEdit*, 4>& m_edits;
};

frmTemperatureOne::frmTemperatureOne(const MainWindowServices& services, QWidget* parent)
    : QMainWindow(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                              Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                              Qt::WindowCloseButtonHint),
      m_services(services) {
    setObjectName(QStringLiteral("frmTemperatureOne"));
    setWindowIcon(QIcon(QStringLiteral(":/icons/tolvane.png")));
    const std::string decimalSeparator = QLocale().decimalPoint().toStdString();
    const layout::Window design = layout::mainWindow(decimalSeparator);
    setWindowTitle(QString::fromStdString(design.caption));
    setFont(qtFont(design.font));
    auto* client = new QWidget(this);
    client->setFixedSize(qtClientSize(design));
    setCentralWidget(client);

    m_fields = std::make_unique<Fields>(m_unitFields);
    m_panel = std::make_unique<ConversionPanel>(*m_fields, m_services.messages, decimalSeparator);
    createControls(design);
    createMenu();
    // The one way to the help: F1 anywhere in the window, the web page included, which keeps the
    // keys it is given to itself. "Content" sends F1 too.
    auto* help = new QShortcut(QKeySequence(Qt::Key_F1), this);
    connect(help, &QShortcut::activated, this,
            [this] { m_help->showHelp(toQString(m_services.helpFile)); });
    layout()->setSizeConstraint(QLayout::SetFixedSize);
    watchEvents(this, QEvent::ActivationChange, [this] {
        if (isActiveWindow()) {
            Form_Activate();
        }
        return Watching::GoesOn;
    });

    m_preferences = std::make_unique<PreferencesOpener>(
        this, m_services.prefFile, [this](PanelMode mode) { setPanelMode(mode); },
        m_services.messages);
    m_help = std::make_unique<HelpOpener>(this, m_services.messages);
}

frmTemperatureOne::~frmTemperatureOne() {
    // Qt deletes the widgets after this window's members are gone; a focus move among the
    // dying fields must not reach the panel any more.
    for (UnitLineEdit* field : m_unitFields) {
        field->disconnect(this);
    }
}

// The controls are made in the layout's order, which is also their tab order.
void frmTemperatureOne::createControls(const layout::Window& design) {
    QWidget* previousTabStop = nullptr;
    for (const layout::Control& control : design.controls) {
        QWidget* parent =
            control.parent.empty()
                ? centralWidget()
                : centralWidget()->findChild<QWidget*>(QString::fromStdString(control.parent));
        QWidget* made = nullptr;
        if (control.kind == layout::ControlKind::TextBox) {
            made = createUnitField(control, parent);
        } else if (control.kind == layout::ControlKind::WebBrowser) {
            WebBrowser1 = new WebViewHost(parent);
            WebBrowser1->setObjectName(QString::fromStdString(control.name));
            WebBrowser1->setAccessibleName(QString::fromStdString(control.accessibleName));
            WebBrowser1->setGeometry(qtRect(control.rect));
            connect(WebBrowser1, &WebViewHost::externalLinkRequested, this,
                    &frmTemperatureOne::openInUsersBrowser);
            made = WebBrowser1;
        } else {
            made = makeControl(control, parent);
        }
        if (control.key) {
            connectKey(static_cast<QPushButton*>(made), keypadKey(*control.key));
        } else if (!control.toolTip.empty()) {
            made->setAccessibleDescription(made->toolTip().trimmed());
        }
        if (control.tabStop) {
            if (previousTabStop != nullptr) {
                QWidget::setTabOrder(previousTabStop, made);
            }
            previousTabStop = made;
        }
    }
    Frame1 = centralWidget()->findChild<QGroupBox*>(QStringLiteral("Frame1"));
    Frame2 = centralWidget()->findChild<QGroupBox*>(QStringLiteral("Frame2"));
    cmdRefresh = Frame1->findChild<QPushButton*>(QStringLiteral("cmdRefresh"));
    connect(cmdRefresh, &QPushButton::clicked, this, &frmTemperatureOne::cmdRefresh_Click);
}

UnitLineEdit* frmTemperatureOne::createUnitField(const layout::Control& control, QWidget* parent) {
    auto* field = new UnitLineEdit(parent);
    field->setObjectName(QString::fromStdString(control.name));
    field->setAccessibleName(QString::fromStdString(control.accessibleName));
    field->setFont(qtFont(control.font));
    field->setGeometry(qtRect(control.rect));
    const UnitField unit = *control.unit;
    m_unitFields[fieldIndex(unit)] = field;
    connect(field, &QLineEdit::textChanged, this, [this, unit] { m_panel->fieldChanged(unit); });
    connect(field, &UnitLineEdit::focusReceived, this,
            [this, unit] { m_panel->fieldFocused(unit); });
    return field;
}

// A keypad button never takes the focus from a click, so the field being edited keeps its caret
// and selection; the caret and delete keys can still be reached with Tab.
void frmTemperatureOne::connectKey(QPushButton* button, const KeypadKey& key) {
    button->setFocusPolicy(key.tabStop ? Qt::TabFocus : Qt::NoFocus);
    const KeyAction action = key.action;
    connect(button, &QPushButton::clicked, this, [this, action, button] {
        switch (action) {
            case KeyAction::Type:
                NumPad(button->text());
                break;
            case KeyAction::ClearEntry:
                CommandClearEntry_Click();
                break;
            default:
                sendKeyToActiveField(action);
                break;
        }
    });
}

void frmTemperatureOne::createMenu() {
    QMenuBar* bar = menuBar();
    bar->setFont(QApplication::font());
    const std::map<std::string_view, void (frmTemperatureOne::*)()> handlers = {
        {"cmd_Exit", &frmTemperatureOne::cmd_Exit_Click},
        {"cmd_Pref", &frmTemperatureOne::cmd_Pref_Click},
        {"cmd_Content", &frmTemperatureOne::cmd_Content_Click},
        {"cmd_About", &frmTemperatureOne::cmd_About_Click},
        {"cmd_Search", &frmTemperatureOne::cmd_Search_Click},
    };
    QMenu* helpMenu = nullptr;
    for (const layout::MenuItem& item : layout::kMainMenu) {
        const QString name = QString::fromLatin1(item.name);
        const QString caption = QString::fromLatin1(item.caption);
        QAction* action = nullptr;
        if (item.inHelpMenu) {
            action = caption == QLatin1String("-") ? helpMenu->addSeparator()
                                                   : helpMenu->addAction(caption);
        } else if (name == QLatin1String("cmd_Help")) {
            helpMenu = bar->addMenu(caption);
            helpMenu->setObjectName(name);
            continue;
        } else {
            action = bar->addAction(caption);
        }
        action->setObjectName(name);
        if (const auto handler = handlers.find(item.name); handler != handlers.end()) {
            connect(action, &QAction::triggered, this, handler->second);
        }
        if (name == QLatin1String("cmd_Search")) {
            cmd_Search = action;
        }
    }
}

UnitLineEdit* frmTemperatureOne::unitField(UnitField field) const {
    return m_unitFields[fieldIndex(field)];
}

void frmTemperatureOne::NumPad(const QString& text) {
    if (const auto field = m_panel->ActiveTextBox()) {
        unitField(*field)->insert(text);
    }
    m_panel->FocusActiveField();
}

// The key reaches the field once this click has been handled, through the event queue, so the
// field's own key handling decides what it does, as with a key on the keyboard.
void frmTemperatureOne::sendKeyToActiveField(KeyAction key) {
    const auto field = m_panel->ActiveTextBox();
    if (!field) {
        return;
    }
    UnitLineEdit* edit = unitField(*field);
    edit->setFocus();
    const auto code = keyCode(key);
    QCoreApplication::postEvent(edit, new QKeyEvent(QEvent::KeyPress, code, Qt::NoModifier));
    QCoreApplication::postEvent(edit, new QKeyEvent(QEvent::KeyRelease, code, Qt::NoModifier));
}

void frmTemperatureOne::CommandClearEntry_Click() {
    m_panel->ClearAllFields();
}

PanelMode frmTemperatureOne::panelMode() const {
    return Frame2->isVisibleTo(this) ? PanelMode::Conversion : PanelMode::Search;
}

// The menu command names the panel that is not showing.
void frmTemperatureOne::setPanelMode(PanelMode mode) {
    const bool conversion = mode == PanelMode::Conversion;
    (conversion ? Frame2 : Frame1)->setVisible(true);
    hidePanel(conversion ? Frame1 : Frame2);
    cmd_Search->setText(QString::fromLatin1(layout::searchCommandCaption(mode)));
}

// Back on the conversion panel, the user goes on in the field they left.
void frmTemperatureOne::cmd_Search_Click() {
    if (panelMode() == PanelMode::Conversion) {
        setPanelMode(PanelMode::Search);
    } else {
        setPanelMode(PanelMode::Conversion);
        m_panel->FocusActiveField();
    }
}

// Hiding a panel that holds the focus makes Qt pass the focus on along the tab chain, possibly
// into a unit field, which would make that field the active one behind the user's back. Taking
// the focus away first leaves nothing to pass on.
void frmTemperatureOne::hidePanel(QWidget* panel) {
    QWidget* focused = QApplication::focusWidget();
    if (focused != nullptr && panel->isAncestorOf(focused)) {
        focused->clearFocus();
    }
    panel->setVisible(false);
}

void frmTemperatureOne::cmd_Content_Click() {
    // As if F1 had been pressed in whatever has the focus; the shortcut above takes it there.
    QWidget* target = QApplication::focusWidget() != nullptr ? QApplication::focusWidget() : this;
    QCoreApplication::postEvent(target,
                                new QKeyEvent(QEvent::KeyPress, Qt::Key_F1, Qt::NoModifier));
    QCoreApplication::postEvent(target,
                                new QKeyEvent(QEvent::KeyRelease, Qt::Key_F1, Qt::NoModifier));
}

const WriteResult& frmTemperatureOne::AboutFile() {
    m_aboutFilePath = toQString(m_services.searchPage.path());
    return m_services.searchPage.write();
}

// The page was written before the window loads. The browser lookup waits until the window is on
// the screen, so that it never holds up the first paint; its answer is not needed here.
void frmTemperatureOne::Form_Load() {
    cmdRefresh_Click();
    watchEvents(this, QEvent::Paint, [this] {
        QTimer::singleShot(0, this, [this] {
            m_services.launcher.FindBrowser();
            if (const WriteResult& page = m_services.searchPage.writeResult(); !page) {
                m_services.messages.show(page.message(), programTitle().toStdString(),
                                         MessageIcon::Information);
            }
        });
        return Watching::Ends;
    });
}

void frmTemperatureOne::cmdRefresh_Click() {
    WebBrowser1->Navigate(m_aboutFilePath);
}

void frmTemperatureOne::arrangeForStartUp() {
    // The layout was drawn for a window of this size outside, of which a classic frame
    // takes 4 pixels on each side and the caption 18 pixels; the menu bar is part of the client
    // area here. The conversion panel must fit whatever height this platform's menu bar has.
    constexpr int kOuterWidth = layout::kMainWindowOuterWidth;
    constexpr int kOuterHeight = layout::kMainWindowOuterHeight;
    constexpr int kFrameWidth = 2 * 4;
    constexpr int kFrameHeight = 2 * 4 + 18;
    const int panelBottom = Frame2->geometry().bottom() + 3;
    const int clientHeight = std::max(
        layout::twipsToPixels(kOuterHeight) - kFrameHeight - menuBar()->sizeHint().height(),
        panelBottom);
    centralWidget()->setFixedSize(layout::twipsToPixels(kOuterWidth) - kFrameWidth, clientHeight);
    Frame1->move(Frame2->pos());
}

// Closing the window ends the run: the search page goes with it, and so does every dialog,
// so that nothing of the program lingers without its window.
void frmTemperatureOne::closeEvent(QCloseEvent* event) {
    Form_Unload();
    event->accept();
}

void frmTemperatureOne::Form_Unload() {
    m_services.searchPage.remove();
    for (QWidget* dialog :
         std::initializer_list<QWidget*>{m_about, preferencesDialog(), helpWindow()}) {
        if (dialog != nullptr) {
            dialog->close();
        }
    }
}

// Ends the run at once: open dialogs are dropped unsaved.
void frmTemperatureOne::cmd_Exit_Click() {
    m_services.searchPage.remove();
    QCoreApplication::exit(0);
}

void frmTemperatureOne::cmd_Pref_Click() {
    m_preferences->open();
}

frmAbout* frmTemperatureOne::aboutBox() const {
    return m_about;
}

frmPref* frmTemperatureOne::preferencesDialog() const {
    return m_preferences->dialog();
}

HelpWindow* frmTemperatureOne::helpWindow() const {
    return m_help->window();
}

void frmTemperatureOne::cmd_About_Click() {
    if (!m_about) {
        m_about = new frmAbout(
            m_services.launcher, [this] { return static_cast<std::uintptr_t>(winId()); }, this);
    }
    m_about->show();
}

// Coming back to the main window closes the About box. The main window may also be activated
// while the box is still opening (a closing menu hands the focus back on some desktops); that is
// no return from the box.
void frmTemperatureOne::Form_Activate() {
    if (m_about && m_about->hasBeenActive()) {
        m_about->close();
    }
}

void frmTemperatureOne::openInUsersBrowser(const QUrl& address) {
    m_services.launcher.openInUsersBrowser(address.toString().toStdString(),
                                           static_cast<std::uintptr_t>(winId()));
}

}  // namespace tolvane
