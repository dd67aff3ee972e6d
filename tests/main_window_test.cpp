// The main window driven as a user drives it: keyboard, mouse clicks on the keypad, the menu.
#include <QAction>
#include <QGroupBox>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

#include "frm_temperature_one.h"
#include "message_box_watcher.h"
#include "qt_message_boxes.h"
#include "unit_line_edit.h"

using tolvane::frmTemperatureOne;
using tolvane::PanelMode;
using tolvane::UnitField;
using tolvane::testing::MessageBoxWatcher;

Q_DECLARE_METATYPE(UnitField)

class MainWindowTest : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_folder;
    std::unique_ptr<frmTemperatureOne> m_window;
    tolvane::QtMessageBoxes m_messages;

    QPushButton* key(const char* name) const {
        auto* button = m_window->findChild<QPushButton*>(QString::fromLatin1(name));
        Q_ASSERT(button != nullptr);
        return button;
    }
    QLineEdit* field(UnitField unit) const { return m_window->unitField(unit); }
    QAction* menuAction(const char* name) const {
        return m_window->findChild<QAction*>(QString::fromLatin1(name));
    }
    QStringList fieldTexts() const {
        return {field(UnitField::Celsius)->text(), field(UnitField::Kelvin)->text(),
                field(UnitField::Fahrenheit)->text(), field(UnitField::Rankine)->text()};
    }
    void openWindow(PanelMode mode) {
        m_window = std::make_unique<frmTemperatureOne>(m_messages, m_folder.path());
        m_window->setPanelMode(mode);
        m_window->show();
        QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
    }
    void click(const char* name) { QTest::mouseClick(key(name), Qt::LeftButton); }
    // The active field's code, 0 when there is none, in a form QCOMPARE prints.
    int activeField() const {
        const auto field = m_window->activeField();
        return field ? static_cast<int>(*field) : 0;
    }

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

    void tabVisitsTheFieldsAndCaretKeysInOrder() {
        QStringList visited;
        for (int i = 0; i < 10; ++i) {
            visited << QApplication::focusWidget()->objectName();
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        }
        QCOMPARE(visited, (QStringList{"txtCelsius", "CommandRight", "CommandLeft", "CommandDel",
                                       "CommandEnd", "CommandHome", "txtKelvin", "txtRankine",
                                       "txtFahrenheit", "txtCelsius"}));
        QCOMPARE(activeField(), int(UnitField::Celsius));
    }

    void typingConvertsFromKeyboardAndKeypadAlike() {
        QTest::keyClicks(field(UnitField::Celsius), "37");
        const QStringList typed = fieldTexts();
        QCOMPARE(typed, (QStringList{"37", "310.15", "98.6", "558.27"}));

        QTest::keyClick(field(UnitField::Celsius), Qt::Key_A, Qt::ControlModifier);
        click("CommandThree");
        QCOMPARE(QApplication::focusWidget(), field(UnitField::Celsius));
        click("CommandSeven");
        QCOMPARE(QApplication::focusWidget(), field(UnitField::Celsius));
        QCOMPARE(fieldTexts(), typed);
    }

    void selectionSurvivesTabbingToTheKeypad() {
        QLineEdit* celsius = field(UnitField::Celsius);
        QTest::keyClicks(celsius, "451");
        celsius->selectAll();
        QTest::keyClick(celsius, Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), key("CommandRight"));
        click("CommandZero");
        QCOMPARE(celsius->text(), QStringLiteral("0"));
        QCOMPARE(field(UnitField::Kelvin)->text(), QStringLiteral("273.15"));
        QCOMPARE(QApplication::focusWidget(), celsius);
    }

    void keypadEditsTheActiveField_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("selectionStart");
        QTest::addColumn<int>("selectionLength");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("expected");
        QTest::addColumn<int>("caret");
        QTest::newRow("append") << "12" << 2 << 0 << "CommandThree"
                                << "123" << 3;
        QTest::newRow("point between digits") << "12" << 1 << 0 << "CommandDot"
                                              << "1.2" << 2;
        QTest::newRow("over the selection") << "451" << 0 << 3 << "CommandZero"
                                            << "0" << 1;
        QTest::newRow("exponent letter") << "12" << 2 << 0 << "CommandFloatingPoint"
                                         << "12E" << 3;
        QTest::newRow("BS in the middle") << "1234" << 2 << 0 << "CommandBackSpace"
                                          << "134" << 1;
        QTest::newRow("Del in the middle") << "1234" << 2 << 0 << "CommandDel"
                                           << "124" << 2;
        QTest::newRow("BS at the start") << "1234" << 0 << 0 << "CommandBackSpace"
                                         << "1234" << 0;
        QTest::newRow("Del at the end") << "1234" << 4 << 0 << "CommandDel"
                                        << "1234" << 4;
        QTest::newRow("BS over a selection") << "1234" << 1 << 2 << "CommandBackSpace"
                                             << "14" << 1;
        QTest::newRow("Home over a selection") << "1234" << 1 << 2 << "CommandHome"
                                               << "1234" << 0;
        QTest::newRow("End") << "1234" << 1 << 0 << "CommandEnd"
                             << "1234" << 4;
        QTest::newRow("Left at the start") << "1234" << 0 << 0 << "CommandLeft"
                                           << "1234" << 0;
        QTest::newRow("Right") << "1234" << 2 << 0 << "CommandRight"
                               << "1234" << 3;
        QTest::newRow("Right at the end") << "1234" << 4 << 0 << "CommandRight"
                                          << "1234" << 4;
        QTest::newRow("last character") << "7" << 1 << 0 << "CommandBackSpace"
                                        << "" << 0;
    }

    void keypadEditsTheActiveField() {
        QFETCH(QString, text);
        QFETCH(int, selectionStart);
        QFETCH(int, selectionLength);
        QFETCH(QString, key);
        QFETCH(QString, expected);
        QFETCH(int, caret);
        QLineEdit* rankine = field(UnitField::Rankine);
        rankine->setFocus();
        rankine->setText(text);
        rankine->setSelection(selectionStart, selectionLength);
        QSignalSpy changes(rankine, &QLineEdit::textChanged);
        const bool sendsKey = QStringList{"CommandHome",  "CommandEnd", "CommandLeft",
                                          "CommandRight", "CommandDel", "CommandBackSpace"}
                                  .contains(key);

        click(qPrintable(key));
        QCOMPARE(QApplication::focusWidget(), rankine);
        if (sendsKey) {
            QCOMPARE(rankine->text(), text);  // a sent key is queued, not handled in the click
            QCoreApplication::processEvents();
        }
        QCOMPARE(rankine->text(), expected);
        QCOMPARE(rankine->cursorPosition(), caret);
        QVERIFY(!rankine->hasSelectedText());
        QCOMPARE(changes.size(), expected == text ? 0 : 1);
    }

    void clearEntryEmptiesAllFieldsAndFocusesTheActiveOne() {
        QLineEdit* fahrenheit = field(UnitField::Fahrenheit);
        fahrenheit->setFocus();
        QTest::keyClicks(fahrenheit, "212");
        key("CommandHome")->setFocus();  // as after tabbing to the keypad
        click("CommandClearEntry");
        QCOMPARE(fieldTexts(), (QStringList{"", "", "", ""}));
        QCOMPARE(QApplication::focusWidget(), fahrenheit);
        QCOMPARE(activeField(), int(UnitField::Fahrenheit));
    }

    void nothingHappensBeforeAFieldWasActive() {
        openWindow(PanelMode::Search);
        QCOMPARE(activeField(), 0);
        menuAction("cmd_Search")->trigger();
        QCOMPARE(m_window->panelMode(), PanelMode::Conversion);
        QCOMPARE(activeField(), 0);
        QWidget* focusBefore = QApplication::focusWidget();
        field(UnitField::Kelvin)->setText("5");  // no field active: nothing converts

        for (const char* name : {"CommandSeven", "CommandHome", "CommandBackSpace", "CommandDel"}) {
            click(name);
            QCoreApplication::processEvents();
            QCOMPARE(fieldTexts(), (QStringList{"", "5", "", ""}));
            QCOMPARE(QApplication::focusWidget(), focusBefore);
        }
        click("CommandClearEntry");
        QCOMPARE(fieldTexts(), (QStringList{"", "", "", ""}));
        QCOMPARE(activeField(), 0);
    }

    void panelSwitchReturnsToTheLastField() {
        QLineEdit* kelvin = field(UnitField::Kelvin);
        kelvin->setFocus();
        QTest::keyClicks(kelvin, "300");
        QAction* search = menuAction("cmd_Search");

        search->trigger();
        QCOMPARE(m_window->panelMode(), PanelMode::Search);
        QCOMPARE(search->text(), QStringLiteral("&Temperature Conversion"));
        QVERIFY(!m_window->findChild<QGroupBox*>("Frame2")->isVisible());
        m_window->findChild<QPushButton*>("cmdRefresh")->setFocus();

        search->trigger();
        QCOMPARE(m_window->panelMode(), PanelMode::Conversion);
        QCOMPARE(search->text(), QStringLiteral("&Search About"));
        QCOMPARE(QApplication::focusWidget(), kelvin);
        QCOMPARE(activeField(), int(UnitField::Kelvin));
        QCOMPARE(fieldTexts(), (QStringList{"26.85", "300", "80.33", "540"}));
    }

    void messagesAreShownAndDismissed_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QStringList>("after");
        QTest::newRow("not numeric")
            << "12a"
            << "Please enter a numeric value." << QStringList{"12a", "", "", ""};
        QTest::newRow("out of range") << "2E+30"
                                      << "The value you entered is either too large or too small."
                                      << QStringList{"", "", "", ""};
    }

    void messagesAreShownAndDismissed() {
        QFETCH(QString, typed);
        QFETCH(QString, message);
        QFETCH(QStringList, after);
        MessageBoxWatcher watcher;
        QTest::keyClicks(field(UnitField::Celsius), typed);
        QCOMPARE(watcher.seen().size(), std::size_t{1});
        QCOMPARE(watcher.seen()[0].text, message);
        QCOMPARE(watcher.seen()[0].title, QStringLiteral("Varnel V.2.4"));
        QCOMPARE(watcher.seen()[0].icon, QMessageBox::Information);
        QCOMPARE(watcher.seen()[0].focusBeforeIt, m_window.get());
        QCOMPARE(fieldTexts(), after);
        QTRY_COMPARE(QApplication::focusWidget(), field(UnitField::Celsius));
        QCOMPARE(activeField(), int(UnitField::Celsius));
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

    void f1AndContentBothAskForHelp() {
        QSignalSpy help(m_window.get(), &frmTemperatureOne::helpRequested);
        QTest::keyClick(field(UnitField::Celsius), Qt::Key_F1);
        QCOMPARE(help.size(), 1);
        menuAction("cmd_Content")->trigger();
        QCOMPARE(help.size(), 1);  // the key is queued, as a keystroke
        QCoreApplication::processEvents();
        QCOMPARE(help.size(), 2);
    }
};

QTEST_MAIN(MainWindowTest)
#include "main_window_test.moc"
