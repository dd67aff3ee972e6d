#include <QPushButton>
#include <QRadioButton>
#include <QtTest>

#include "frm_pref.h"
#include "qt_files.h"
#include "qt_paths.h"
#include "recorded_messages.h"

namespace tolvane {

// A dialog on a temporary preference file, with what it does to the main window recorded.
struct PrefFixture {
    QTemporaryDir folder;
    QString path = folder.filePath("pref.ifm");
    std::vector<PanelMode> applied;
    frmPref::ApplyPanelMode apply = [this](PanelMode mode) { applied.push_back(mode); };
    testing::RecordedMessages messages;
};

struct RoundTrip {
    QByteArray before;
    const char* choice;   // the option clicked
    const char* closeBy;  // the button pressed by Enter, or nullptr for the close box
    QByteArray after;
    std::vector<PanelMode> applied;
};

class FrmPrefTest : public QObject {
    Q_OBJECT

private slots:
    // OK stores the choice, applies it and closes; Cancel and the close box only close. Either
    // way the dialog is deleted, and the next one the opener makes shows what is stored.
    // Neither button is the default: Enter on an option and Escape do nothing.
    void roundTrip_data() {
        QTest::addColumn<RoundTrip>("row");
        const QByteArray kept("start temp\r\nsecond line");
        QTest::newRow("OK, temp to search") << RoundTrip{
            "start temp\r\n", "Option2", "Command1", "start search\r\n", {PanelMode::Search}};
        QTest::newRow("OK, junk to temp") << RoundTrip{
            "whatever\r\n", "Option1", "Command1", "start temp\r\n", {PanelMode::Conversion}};
        QTest::newRow("Cancel") << RoundTrip{kept, "Option2", "Command2", kept, {}};
        QTest::newRow("close box") << RoundTrip{kept, "Option2", nullptr, kept, {}};
    }
    void roundTrip() {
        QFETCH(RoundTrip, row);
        PrefFixture f;
        QVERIFY(testing::writeAll(f.path, row.before));
        QWidget owner;
        PreferencesOpener opener(&owner, toPath(f.path), f.apply, f.messages);
        opener.open();
        QPointer<frmPref> dialog = opener.dialog();
        QVERIFY(QTest::qWaitForWindowActive(dialog));
        auto* option = dialog->findChild<QRadioButton*>(row.choice);
        QTest::mouseClick(option, Qt::LeftButton);
        for (const Qt::Key key : {Qt::Key_Escape, Qt::Key_Return, Qt::Key_Enter}) {
            QTest::keyClick(option, key);
        }
        // Asked for again, the open dialog is left as it is, unsaved choice included.
        opener.open();
        QCOMPARE(opener.dialog(), dialog.data());
        QVERIFY(dialog->isVisible() && option->isChecked() && f.applied.empty());
        QCOMPARE(testing::readAll(f.path), row.before);

        if (row.closeBy == nullptr) {
            dialog->close();
        } else {
            // A focused button is pressed by Enter as by a click.
            auto* button = dialog->findChild<QPushButton*>(row.closeBy);
            button->setFocus();
            QTest::keyClick(button, Qt::Key_Return);
        }
        QVERIFY(!dialog->isVisible());
        QCOMPARE(testing::readAll(f.path), row.after);
        QCOMPARE(f.applied, row.applied);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(dialog.isNull() && opener.dialog() == nullptr);
        opener.open();
        QCOMPARE(opener.dialog()->findChild<QRadioButton*>("Option2")->isChecked(),
                 row.after == "start search\r\n");
    }

    // A folder in place of the file makes the write fail: said so, nothing applied, the dialog
    // stays open with the user's choice.
    void failedWriteIsReported() {
        PrefFixture f;
        QVERIFY(QDir(f.folder.path()).mkpath(QStringLiteral("pref.ifm/kept")));
        frmPref dialog(toPath(f.path), f.apply, f.messages);
        dialog.show();
        QTest::mouseClick(dialog.findChild<QRadioButton*>("Option2"), Qt::LeftButton);
        QTest::mouseClick(dialog.findChild<QPushButton*>("Command1"), Qt::LeftButton);
        QCOMPARE(f.messages.shown.size(), 1u);
        QCOMPARE(f.messages.shown[0].icon, MessageIcon::Exclamation);
        QVERIFY(QString::fromStdString(f.messages.shown[0].text)
                    .contains(QDir::toNativeSeparators(f.path)));
        QVERIFY(f.applied.empty() && QFileInfo(f.path + "/kept").isDir() && dialog.isVisible() &&
                dialog.findChild<QRadioButton*>("Option2")->isChecked());
    }
};

}  // namespace tolvane

QTEST_MAIN(tolvane::FrmPrefTest)
#include "frm_pref_test.moc"
