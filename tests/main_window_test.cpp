// The main window driven as a user drives it: keyboard, mouse clicks on the keypad, the menu.
// What a field's text does to the others is conversion_panel_test's; here, that the widgets
// reach it and that the focus goes where the user expects.
#include <QAbstractButton>
#include <QAction>
#include <QInputMethodEvent>
#include <QLabel>
#include <QLocale>
#include <QMessageBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

#include "browser_launcher.h"
#include "frm_temperature_one.h"
#include "qt_message_boxes.h"
#include "qt_paths.h"
#include "recording_desktop.h"
#include "search_page_file.h"
#include "tolvane_version.h"
#include "unit_line_edit.h"
#include "window_rows.h"

using tolvane::frmTemperatureOne;
using tolvane::PanelMode;
using tolvane::UnitField;

namespace {

// One row per entry of a shared table, named after it and holding its place in the table.
template <typename Row>
void addRowsOf(const std::vector<Row>& rows) {
    QTest::addColumn<int>("row");
    for (std::size_t i = 0; i < rows.size(); ++i) {
        QTest::newRow(rows[i].name) << int(i);
    }
}

// Dismisses every message box that opens while it lives, as a user pressing OK would, and
// records what it said and whose it was. It hears of each box from the box's own show event.
struct MessageBoxWatcher : QObject {
    MessageBoxWatcher() { QApplication::instance()->installEventFilter(this); }
    QStringList seen;  // text, title, icon, owner's object name, for each box

    bool eventFilter(QObject* watched, QEvent* event) override {
        auto* box = qobject_cast<QMessageBox*>(watched);
        if (event->type() == QEvent::Show && box != nullptr) {
            const QWidget* owner = box->parentWidget();
            seen << box->text() << box->windowTitle() << QString::number(box->icon())
                 << (owner != nullptr ? owner->objectName() : QStringLiteral("no owner"));
            // The box is shown before its own event loop starts; pressed now, OK would close it
            // before exec() began to wait, and exec() would then wait for ever. Queued, the press
            // is the first thing that loop does.
            QMetaObject::invokeMethod(box->button(QMessageBox::Ok), &QAbstractButton::click,
                                      Qt::QueuedConnection);
        }
        return false;
    }
};

// An input method composing "5" in a field. It commits it when the focus is about to leave the
// field, as input methods must when something interrupts their composing.
struct ComposingInputMethod : QObject {
    explicit ComposingInputMethod(QLineEdit* field) {
        QInputMethodEvent composing(QStringLiteral("5"), {});
        QCoreApplication::sendEvent(field, &composing);
        field->installEventFilter(this);
    }
    QString committed;  // the field's text once the commit went in

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::FocusAboutToChange) {
            watched->removeEventFilter(this);
            auto* field = static_cast<QLineEdit*>(watched);
            QInputMethodEvent commit;
            commit.setCommitString(QStringLiteral("5"));
            QCoreApplication::sendEvent(field, &commit);
            committed = field->text();
        }
        return false;
    }
};

}  // namespace

class MainWindowTest : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_folder;
    const std::filesystem::path m_folderPath = tolvane::toPath(m_folder.path());
    tolvane::QtMessageBoxes m_messages;
    tolvane::testing::RecordingDesktop m_desktop;
    tolvane::BrowserLauncher m_launcher{m_desktop, m_messages, m_folderPath};
    tolvane::SearchPageFile m_page{m_folderPath};
    std::unique_ptr<frmTemperatureOne> m_window;

    QPushButton* key(const char* name) const { return m_window->findChild<QPushButton*>(name); }
    QLineEdit* field(UnitField unit) const { return m_window->unitField(unit); }
    QStringList fieldTexts() const {
        return {field(UnitField::Celsius)->text(), field(UnitField::Kelvin)->text(),
                field(UnitField::Fahrenheit)->text(), field(UnitField::Rankine)->text()};
    }
    void openWindow(PanelMode mode) {
        m_window = std::make_unique<frmTemperatureOne>(tolvane::MainWindowServices{
            m_messages, m_launcher, m_page, m_folderPath / "pref.ifm", m_folderPath / "none.chm"});
        m_window->setPanelMode(mode);
        m_window->show();
        QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
    }
    void click(const char* name) { QTest::mouseClick(key(name), Qt::LeftButton); }
    void switchPanel() { m_window->findChild<QAction*>("cmd_Search")->trigger(); }

private Q_SLOTS:
    void init() { openWindow(PanelMode::Conversion); }
    void cleanup() {
        m_window.reset();
        QLocale::setDefault(QLocale::c());
    }

    // The substituted fonts are wider than the ones the layout was drawn for: no caption is cut.
    void noLabelIsCutOff() {
        const QList<QLabel*> labels = m_window->findChildren<QLabel*>();
        for (const QLabel* label : labels) {
            QVERIFY2(label->width() >= label->sizeHint().width(), qPrintable(label->objectName()));
        }
    }

    // Tab goes round the fields and the caret keys, and into a field it selects the text. The field
    // keeps its selection while Tab takes the focus on to the keypad; keys typed over it there
    // convert as the keyboard's do, and the focus goes back to the field.
    void tabAndTheKeypadTypeIntoTheActiveFieldAsTheKeyboardDoes() {
        QLineEdit* celsius = field(UnitField::Celsius);
        QTest::keyClicks(celsius, "37");
        const QStringList typed = fieldTexts();
        QCOMPARE(typed, (QStringList{"37", "310.15", "98.6", "558.27"}));
        QStringList visited;
        for (int i = 0; i < 10; ++i) {
            visited << QApplication::focusWidget()->objectName();
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        }
        QCOMPARE(visited, (QStringList{"txtCelsius", "CommandRight", "CommandLeft", "CommandDel",
                                       "CommandEnd", "CommandHome", "txtKelvin", "txtRankine",
                                       "txtFahrenheit", "txtCelsius"}));
        // Round once, Tab has taken the focus on to the keypad again.
        QCOMPARE(QApplication::focusWidget(), key("CommandRight"));
        QCOMPARE(m_window->activeField(), UnitField::Celsius);
        QCOMPARE(celsius->selectedText(), "37");
        click("CommandThree");
        click("CommandSeven");
        QCOMPARE(QApplication::focusWidget(), celsius);
        QCOMPARE(fieldTexts(), typed);
    }

    // Typed into a field, a character at a time: the same texts and messages on every front end.
    void typingConverts_data() { addRowsOf(tolvane::testing::typedEntries()); }

    void typingConverts() {
        QFETCH(int, row);
        const tolvane::testing::TypedEntry& entry = tolvane::testing::typedEntries()[row];
        MessageBoxWatcher watcher;
        QLineEdit* edit = field(entry.field);
        edit->setFocus();
        QTest::keyClicks(edit, QString::fromStdString(entry.typed));
        QStringList expected;
        for (const std::string& text : entry.texts) {
            expected << QString::fromStdString(text);
        }
        QCOMPARE(fieldTexts(), expected);
        QStringList messages;
        for (qsizetype i = 0; i < watcher.seen.size(); i += 4) {
            messages << watcher.seen[i];
        }
        QStringList expectedMessages;
        for (const std::string& message : entry.messages) {
            expectedMessages << QString::fromStdString(message);
        }
        QCOMPARE(messages, expectedMessages);
    }

    void keypadEditsTheActiveField_data() { addRowsOf(tolvane::testing::keypadEdits()); }

    void keypadEditsTheActiveField() {
        QFETCH(int, row);
        const tolvane::testing::KeypadEdit& edit = tolvane::testing::keypadEdits()[row];
        QLineEdit* rankine = field(UnitField::Rankine);
        rankine->setFocus();
        rankine->setText(QString::fromStdString(edit.text));
        rankine->setSelection(edit.selectionStart, edit.selectionLength);
        QSignalSpy changes(rankine, &QLineEdit::textChanged);

        click(tolvane::keypadKey(edit.key).objectName);
        QCoreApplication::processEvents();  // the caret and delete keys reach the field queued
        QCOMPARE(QApplication::focusWidget(), rankine);
        QCOMPARE(rankine->text().toStdString(), edit.expected);
        QCOMPARE(rankine->cursorPosition(), edit.caret);
        QVERIFY(!rankine->hasSelectedText());
        QCOMPARE(changes.size(), edit.expected == edit.text ? 0 : 1);
    }

    // Starting on the search panel, switching to the conversion panel makes no field active
    // behind the user's back, and the keypad then has nothing to act on.
    void nothingHappensBeforeAFieldWasActive() {
        openWindow(PanelMode::Search);
        switchPanel();
        QCOMPARE(m_window->panelMode(), PanelMode::Conversion);
        QCOMPARE(m_window->activeField(), std::nullopt);
        QWidget* focusBefore = QApplication::focusWidget();
        field(UnitField::Kelvin)->setText("5");

        for (const char* name : {"CommandSeven", "CommandHome", "CommandBackSpace", "CommandDel"}) {
            click(name);
            QCoreApplication::processEvents();
            QCOMPARE(fieldTexts(), (QStringList{"", "5", "", ""}));
            QCOMPARE(QApplication::focusWidget(), focusBefore);
        }
        click("CommandClearEntry");
        QCOMPARE(fieldTexts(), (QStringList{"", "", "", ""}));
        QCOMPARE(m_window->activeField(), std::nullopt);
    }

    // The focus left in the hidden search panel must not pass on into a unit field either.
    void panelSwitchReturnsToTheLastField() {
        QLineEdit* kelvin = field(UnitField::Kelvin);
        kelvin->setFocus();
        QTest::keyClicks(kelvin, "300");
        switchPanel();
        QCOMPARE(m_window->panelMode(), PanelMode::Search);
        QCOMPARE(m_window->findChild<QAction*>("cmd_Search")->text(), "&Temperature Conversion");
        m_window->findChild<QPushButton*>("cmdRefresh")->setFocus();

        switchPanel();
        QCOMPARE(m_window->panelMode(), PanelMode::Conversion);
        QCOMPARE(m_window->findChild<QAction*>("cmd_Search")->text(), "&Search About");
        QCOMPARE(QApplication::focusWidget(), kelvin);
        QCOMPARE(fieldTexts(), (QStringList{"26.85", "300", "80.33", "540"}));
    }

    // A real message box, over the main window; OK dismisses it and the field has the focus.
    void messageIsShownAndDismissed() {
        MessageBoxWatcher watcher;
        QTest::keyClicks(field(UnitField::Celsius), "12a");
        QCOMPARE(watcher.seen,
                 (QStringList{"Please enter a numeric value.", tolvane::version::kProgramTitle,
                              QString::number(QMessageBox::Information), "frmTemperatureOne"}));
        QCOMPARE(fieldTexts(), (QStringList{"12a", "", "", ""}));
        QTRY_COMPARE(QApplication::focusWidget(), field(UnitField::Celsius));
    }

    void commaLocaleKeypadTypesAComma() {
        m_window.reset();
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
        openWindow(PanelMode::Conversion);
        QCOMPARE(key("CommandDot")->text(), QStringLiteral(","));
        click("CommandDot");
        click("CommandFive");
        QCOMPARE(fieldTexts(), (QStringList{",5", "273,65", "32,9", "492,57"}));
    }

    // The closing window loses the focus after its panel has gone: the text an input method
    // commits then must not reach the panel.
    void textCommittedAsTheWindowClosesIsIgnored() {
        field(UnitField::Celsius)->setFocus();
        ComposingInputMethod inputMethod(field(UnitField::Celsius));
        m_window.reset();
        QCOMPARE(inputMethod.committed, "5");
    }

    // Both open the help file, here one that is missing, which each says so.
    void f1AndContentBothOpenTheHelp() {
        MessageBoxWatcher watcher;
        QTest::keyClick(field(UnitField::Celsius), Qt::Key_F1);
        QCOMPARE(watcher.seen.size(), 4);
        QVERIFY2(watcher.seen[0].contains("none.chm"), qPrintable(watcher.seen[0]));
        QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
        m_window->findChild<QAction*>("cmd_Content")->trigger();
        QTRY_COMPARE(watcher.seen.size(), 8);
        QCOMPARE(watcher.seen.mid(4), watcher.seen.mid(0, 4));
    }
};

QTEST_MAIN(MainWindowTest)
#include "main_window_test.moc"
