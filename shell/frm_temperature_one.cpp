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

#include "browser_launcher.h"
#include "event_watch.h"
#include "form_layout.h"
#include "frm_about.h"
#include "frm_pref.h"
#include "help_window.h"
#include "program_identity.h"
#include "qt_paths.h"
#include "search_page_file.h"
#include "twips.h"
#include "unit_line_edit.h"
#include "web_view_host.h"

namespace tolvane {
namespace {

constexpr int kDesignClientWidth = 7935;
constexpr int kDesignClientHeight = 4845;

struct UnitRow {
    UnitField field;
    int top;
    const char* captionName;
    const char* caption;
    int captionWidth;
    const char* fieldName;
    const char* accessibleName;
    const char* symbolName;
    const char* symbol;
    int symbolLeft;
    int symbolWidth;
    const char* symbolToolTip;
};

constexpr UnitRow kUnitRows[] = {
    {UnitField::Celsius, 315, "lblCentigrade", "Celsius :", 810, "txtCelsius", "Celsius", "Label1",
     "°C", 4500, 210, " degree Celsius "},
    {UnitField::Kelvin, 630, "lblKelvin", "Kelvin :", 720, "txtKelvin", "Kelvin", "Label2", "K",
     4590, 120, " kelvin "},
    // "lblFrarenheit" is misspelt on purpose: it is the label's historical name.
    {UnitField::Fahrenheit, 945, "lblFrarenheit", "Fahrenheit :", 1185, "txtFahrenheit",
     "Fahrenheit", "Label3", "°F", 4500, 210, " degree Fahrenheit "},
    {UnitField::Rankine, 1260, "lblRankine", "Rankine :", 900, "txtRankine", "Rankine", "Label4",
     "R", 4590, 120, " degree Rankine "},
};

constexpr int kCaptionLeft = 120;
constexpr int kLabelHeight = 195;
constexpr int kFieldLeft = 1575;
constexpr int kFieldWidth = 2805;
constexpr int kFieldHeight = 285;

QLabel* addLabel(QWidget* parent, const char* name, const QString& text, int left, int top,
                 int width) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setFont(formFont(QFont::Bold));
    placeLabel(label, twipsRect(left, top, width, kLabelHeight));
    return label;
}

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
    setWindowTitle(programTitle());
    setWindowIcon(QIcon(QStringLiteral(":/icons/tolvane.png")));
    setFont(formFont());

    auto* client = new QWidget(this);
    client->setFixedSize(twipsToPixels(kDesignClientWidth), twipsToPixels(kDesignClientHeight));
    setCentralWidget(client);

    m_fields = std::make_unique<Fields>(m_unitFields);
    m_panel = std::make_unique<ConversionPanel>(*m_fields, m_services.messages,
                                                QLocale().decimalPoint().toStdString());
    createConversionPanel();
    createSearchPanel();
    createMenu();
    arrangeTabOrder();
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

void frmTemperatureOne::createConversionPanel() {
    Frame2 = new QGroupBox(tr("Temperature Conversion"), centralWidget());
    Frame2->setObjectName(QStringLiteral("Frame2"));
    Frame2->setFont(formFont(QFont::Bold));
    Frame2->setGeometry(twipsRect(82, 105, 7800, 1980));

    for (const UnitRow& row : kUnitRows) {
        addLabel(Frame2, row.captionName, QString::fromUtf8(row.caption), kCaptionLeft, row.top,
                 row.captionWidth);

        auto* field = new UnitLineEdit(Frame2);
        field->setObjectName(QString::fromLatin1(row.fieldName));
        field->setAccessibleName(QString::fromLatin1(row.accessibleName));
        field->setFont(formFont());
        field->setGeometry(twipsRect(kFieldLeft, row.top, kFieldWidth, kFieldHeight));
        m_unitFields[fieldIndex(row.field)] = field;

        QLabel* symbol = addLabel(Frame2, row.symbolName, QString::fromUtf8(row.symbol),
                                  row.symbolLeft, row.top, row.symbolWidth);
        symbol->setToolTip(QString::fromLatin1(row.symbolToolTip));
        symbol->setAccessibleDescription(symbol->toolTip().trimmed());

        const UnitField unit = row.field;
        connect(field, &QLineEdit::textChanged, this,
                [this, unit] { m_panel->fieldChanged(unit); });
        connect(field, &UnitLineEdit::focusReceived, this,
                [this, unit] { m_panel->fieldFocused(unit); });
    }

    m_keypad = new Keypad(Frame2, QLocale().decimalPoint());
    for (QPushButton* button : m_keypad->buttons()) {
        button->setFont(formFont());
    }
    connect(m_keypad, &Keypad::typed, this, &frmTemperatureOne::NumPad);
    connect(m_keypad, &Keypad::caretKey, this, &frmTemperatureOne::sendKeyToActiveField);
    connect(m_keypad, &Keypad::clearEntry, this, &frmTemperatureOne::CommandClearEntry_Click);
}

void frmTemperatureOne::createSearchPanel() {
    Frame1 = new QGroupBox(tr("Search About"), centralWidget());
    Frame1->setObjectName(QStringLiteral("Frame1"));
    Frame1->setFont(formFont(QFont::Bold));
    Frame1->setGeometry(twipsRect(45, 2295, 7800, 1980));

    cmdRefresh = new QPushButton(tr("Refresh"), Frame1);
    cmdRefresh->setObjectName(QStringLiteral("cmdRefresh"));
    cmdRefresh->setFont(formFont());
    cmdRefresh->setGeometry(twipsRect(6540, 165, 1170, 280));
    cmdRefresh->setAutoDefault(false);
    connect(cmdRefresh, &QPushButton::clicked, this, &frmTemperatureOne::cmdRefresh_Click);

    WebBrowser1 = new WebViewHost(Frame1);
    WebBrowser1->setObjectName(QStringLiteral("WebBrowser1"));
    WebBrowser1->setAccessibleName(tr("Search page"));
    WebBrowser1->setGeometry(twipsRect(75, 480, 7635, 1410));
    connect(WebBrowser1, &WebViewHost::externalLinkRequested, this,
            &frmTemperatureOne::openInUsersBrowser);
}

void frmTemperatureOne::createMenu() {
    QMenuBar* bar = menuBar();
    bar->setFont(QApplication::font());

    QAction* cmd_Exit = bar->addAction(tr("&Close"));
    cmd_Exit->setObjectName(QStringLiteral("cmd_Exit"));
    connect(cmd_Exit, &QAction::triggered, this, &frmTemperatureOne::cmd_Exit_Click);

    QAction* cmd_Pref = bar->addAction(tr("&Peferences"));  // the historical caption, typo kept
    cmd_Pref->setObjectName(QStringLiteral("cmd_Pref"));
    connect(cmd_Pref, &QAction::triggered, this, &frmTemperatureOne::cmd_Pref_Click);

    QMenu* cmd_Help = bar->addMenu(tr("&Help"));
    cmd_Help->setObjectName(QStringLiteral("cmd_Help"));
    QAction* cmd_Content = cmd_Help->addAction(tr("Content"));
    cmd_Content->setObjectName(QStringLiteral("cmd_Content"));
    connect(cmd_Content, &QAction::triggered, this, &frmTemperatureOne::cmd_Content_Click);
    QAction* emptya = cmd_Help->addSeparator();
    emptya->setObjectName(QStringLiteral("emptya"));
    QAction* cmd_About = cmd_Help->addAction(tr("About"));
    cmd_About->setObjectName(QStringLiteral("cmd_About"));
    connect(cmd_About, &QAction::triggered, this, &frmTemperatureOne::cmd_About_Click);

    cmd_Search = bar->addAction(tr("&Search About"));
    cmd_Search->setObjectName(QStringLiteral("cmd_Search"));
    connect(cmd_Search, &QAction::triggered, this, &frmTemperatureOne::cmd_Search_Click);
}

// Only the unit fields, the caret and delete keys, the page and the Refresh button take the
// focus; they follow one another in this order.
void frmTemperatureOne::arrangeTabOrder() {
    QWidget* const chain[] = {unitField(UnitField::Celsius),
                              WebBrowser1,
                              m_keypad->button(KeyId::Right),
                              m_keypad->button(KeyId::Left),
                              m_keypad->button(KeyId::Del),
                              m_keypad->button(KeyId::End),
                              m_keypad->button(KeyId::Home),
                              unitField(UnitField::Kelvin),
                              unitField(UnitField::Rankine),
                              unitField(UnitField::Fahrenheit),
                              cmdRefresh};
    for (std::size_t i = 0; i + 1 < std::size(chain); ++i) {
        QWidget::setTabOrder(chain[i], chain[i + 1]);
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
    cmd_Search->setText(conversion ? tr("&Search About") : tr("&Temperature Conversion"));
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
    // The layout was drawn for a window of 8025 x 2800 twips outside, of which a classic frame
    // takes 4 pixels on each side and the caption 18 pixels; the menu bar is part of the client
    // area here. The conversion panel must fit whatever height this platform's menu bar has.
    constexpr int kOuterWidth = 8025;
    constexpr int kOuterHeight = 2800;
    constexpr int kFrameWidth = 2 * 4;
    constexpr int kFrameHeight = 2 * 4 + 18;
    const int panelBottom = Frame2->geometry().bottom() + 3;
    const int clientHeight = std::max(
        twipsToPixels(kOuterHeight) - kFrameHeight - menuBar()->sizeHint().height(), panelBottom);
    centralWidget()->setFixedSize(twipsToPixels(kOuterWidth) - kFrameWidth, clientHeight);
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
