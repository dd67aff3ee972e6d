#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QWindow>
#include <QtTest>

#include <algorithm>
#include <cmath>
#include <optional>
#include <vector>

#include "frm_pref.h"
#include "preference_file.h"
#include "recorded_messages.h"
#include "twips.h"

namespace tolvane {

using testing::RecordedMessages;

// A dialog on a temporary preference file, with what it does to the main window recorded.
class PrefFixture {
public:
    PrefFixture() : path(prefFilePath(folder.path())) {}

    void store(const QByteArray& bytes) const {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        QCOMPARE(file.write(bytes), bytes.size());
    }

    std::optional<QByteArray> stored() const {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly)) {
            return std::nullopt;
        }
        return file.readAll();
    }

    frmPref* makeDialog() {
        return new frmPref(
            path, [this](PanelMode mode) { applied.push_back(mode); }, messages);
    }

    QTemporaryDir folder;
    QString path;
    std::vector<PanelMode> applied;
    RecordedMessages messages;
};

template <typename Widget>
Widget* child(QWidget* dialog, const char* name) {
    auto* widget = dialog->findChild<Widget*>(QString::fromLatin1(name));
    if (widget == nullptr) {
        qFatal("no %s", name);
    }
    return widget;
}

// Sets the application font for one test and puts the old one back after it.
class FontScope {
public:
    explicit FontScope(const QFont& font) : m_saved(QApplication::font()) {
        QApplication::setFont(font);
    }
    ~FontScope() { QApplication::setFont(m_saved); }
    FontScope(const FontScope&) = delete;
    FontScope& operator=(const FontScope&) = delete;

private:
    QFont m_saved;
};

// Small enough for every caption to fit the design's sizes.
QFont smallFont() {
    QFont font = QApplication::font();
    font.setPointSize(6);
    return font;
}

struct Control {
    const char* name;
    QRect design;
};

const Control kControls[] = {
    {"Frame1", twipsRect(97, 105, 2430, 1065)},    {"Option1", twipsRect(210, 315, 2115, 330)},
    {"Option2", twipsRect(210, 630, 2010, 300)},   {"Command1", twipsRect(735, 1260, 855, 330)},
    {"Command2", twipsRect(1680, 1260, 855, 330)},
};

// Lets the deferred deletion of a closed dialog happen.
void settle() {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

class FrmPrefTest : public QObject {
    Q_OBJECT

private slots:
    void windowIsAFixedDialog();
    void controls_data();
    void controls();
    void captionsFitAnyFont_data();
    void captionsFitAnyFont();
    void tabOrderIsButtonsThenOptions();
    void focusStartsOnOk();

    void loadSelectsStoredChoice_data();
    void loadSelectsStoredChoice();

    void okStoresAppliesAndCloses_data();
    void okStoresAppliesAndCloses();
    void okWithoutChangeRewritesAndApplies();
    void cancelAndCloseBoxHaveNoEffect_data();
    void cancelAndCloseBoxHaveNoEffect();
    void enterPressesOnlyAFocusedButton();
    void escapeDoesNothing();
    void failedWriteIsReportedAndChangesNothing();

    void openerKeepsOneDialog();
    void openerLoadsAFreshDialogAfterClose();
    void dialogBelongsToTheMainWindow();
};

void FrmPrefTest::windowIsAFixedDialog() {
    const FontScope font(smallFont());
    PrefFixture f;
    QPointer<frmPref> dialog = f.makeDialog();
    QCOMPARE(dialog->windowTitle(), QStringLiteral("Preferences"));
    QCOMPARE(dialog->windowType(), Qt::Dialog);
    const Qt::WindowFlags flags = dialog->windowFlags();
    QVERIFY(flags.testFlag(Qt::WindowCloseButtonHint));
    QVERIFY(flags.testFlag(Qt::WindowSystemMenuHint));
    QVERIFY(!flags.testFlag(Qt::WindowMinimizeButtonHint));
    QVERIFY(!flags.testFlag(Qt::WindowMaximizeButtonHint));
    QCOMPARE(dialog->layoutScale(), 1.0);
    QCOMPARE(dialog->size(), QSize(twipsToPixels(2625), twipsToPixels(1680)));
    QCOMPARE(dialog->minimumSize(), dialog->maximumSize());
    QVERIFY(dialog->testAttribute(Qt::WA_DeleteOnClose));
    QCOMPARE(dialog->font(), QApplication::font(dialog));
    delete dialog;
}

void FrmPrefTest::controls_data() {
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("parentName");
    const auto row = [](const char* name, const char* caption, const char* parentName) {
        QTest::newRow(name) << QString::fromLatin1(caption) << QString::fromLatin1(parentName);
    };

    row("Frame1", "Startup Options", "frmPref");
    row("Option1", "Temperature Conversion", "Frame1");
    row("Option2", "Search About", "Frame1");
    row("Command1", "&Ok", "frmPref");
    row("Command2", "&Cancel", "frmPref");
}

// With a font small enough, each control sits exactly at its place in the design.
void FrmPrefTest::controls() {
    QFETCH(QString, caption);
    QFETCH(QString, parentName);

    const FontScope font(smallFont());
    PrefFixture f;
    std::unique_ptr<frmPref> dialog(f.makeDialog());
    auto* control = dialog->findChild<QWidget*>(QString::fromLatin1(QTest::currentDataTag()));
    QVERIFY(control != nullptr);
    QCOMPARE(control->parentWidget()->objectName(), parentName);
    const auto design =
        std::find_if(std::begin(kControls), std::end(kControls),
                     [&](const Control& c) { return control->objectName() == c.name; });
    QCOMPARE(control->geometry(), design->design);
    if (auto* frame = qobject_cast<QGroupBox*>(control)) {
        QCOMPARE(frame->title(), caption);
        QCOMPARE(frame->focusPolicy(), Qt::NoFocus);
    } else {
        QCOMPARE(qobject_cast<QAbstractButton*>(control)->text(), caption);
    }
    if (auto* button = qobject_cast<QPushButton*>(control)) {
        QVERIFY(!button->isDefault());
    }
}

void FrmPrefTest::captionsFitAnyFont_data() {
    QTest::addColumn<int>("pointSize");
    QTest::newRow("6 pt") << 6;
    QTest::newRow("9 pt") << 9;
    QTest::newRow("12 pt") << 12;
    QTest::newRow("20 pt") << 20;
}

// Whatever the font, no caption is cut, and a dialog enlarged for a large font keeps the
// design's proportions: every edge is the design's, times one factor.
void FrmPrefTest::captionsFitAnyFont() {
    QFETCH(int, pointSize);

    QFont large = QApplication::font();
    large.setPointSize(pointSize);
    const FontScope font(large);
    PrefFixture f;
    std::unique_ptr<frmPref> dialog(f.makeDialog());
    const double scale = dialog->layoutScale();
    QVERIFY(scale >= 1.0);

    const auto near = [scale](int designed, int actual) {
        return std::abs(designed * scale - actual) <= 1.0;
    };
    const QRect window = twipsRect(0, 0, 2625, 1680);
    QVERIFY(near(window.width(), dialog->width()));
    QVERIFY(near(window.height(), dialog->height()));
    for (const Control& c : kControls) {
        auto* control = child<QWidget>(dialog.get(), c.name);
        const QRect placed = control->geometry();
        QVERIFY2(near(c.design.left(), placed.left()) && near(c.design.top(), placed.top()) &&
                     near(c.design.width(), placed.width()) &&
                     near(c.design.height(), placed.height()),
                 c.name);
        QVERIFY2(QRect(QPoint(), control->parentWidget()->size()).contains(placed), c.name);

        const QFontMetrics metrics = control->fontMetrics();
        if (auto* frame = qobject_cast<QGroupBox*>(control)) {
            QVERIFY2(placed.width() > metrics.horizontalAdvance(frame->title()), c.name);
        } else if (auto* option = qobject_cast<QRadioButton*>(control)) {
            QVERIFY2(placed.width() >= option->sizeHint().width(), c.name);
            QVERIFY2(placed.height() >= metrics.height(), c.name);
        } else {
            const auto* button = qobject_cast<QPushButton*>(control);
            const QSize text = metrics.size(Qt::TextShowMnemonic, button->text());
            QVERIFY2(placed.width() > text.width() && placed.height() >= text.height(), c.name);
        }
    }
    if (pointSize == 6) {
        QCOMPARE(scale, 1.0);
    }
}

void FrmPrefTest::tabOrderIsButtonsThenOptions() {
    PrefFixture f;
    std::unique_ptr<frmPref> dialog(f.makeDialog());
    QStringList order;
    QWidget* widget = dialog.get();
    do {
        widget = widget->nextInFocusChain();
        if (widget->focusPolicy() & Qt::TabFocus) {
            order << widget->objectName();
        }
    } while (widget != dialog.get());
    QCOMPARE(order, (QStringList{"Command1", "Command2", "Option1", "Option2"}));
}

void FrmPrefTest::focusStartsOnOk() {
    PrefFixture f;
    f.store("start search\r\n");
    std::unique_ptr<frmPref> dialog(f.makeDialog());
    dialog->show();
    QVERIFY(QTest::qWaitForWindowActive(dialog.get()));
    QCOMPARE(QApplication::focusWidget(), child<QPushButton>(dialog.get(), "Command1"));
}

void FrmPrefTest::loadSelectsStoredChoice_data() {
    QTest::addColumn<std::optional<QByteArray>>("content");
    QTest::addColumn<bool>("searchSelected");

    QTest::newRow("start search") << std::optional<QByteArray>("start search\r\n") << true;
    QTest::newRow("start search, no line end") << std::optional<QByteArray>("start search") << true;
    QTest::newRow("start temp") << std::optional<QByteArray>("start temp\r\n") << false;
    QTest::newRow("other case") << std::optional<QByteArray>("Start Search\r\n") << false;
    QTest::newRow("line feed only") << std::optional<QByteArray>("start search\n") << false;
    QTest::newRow("empty") << std::optional<QByteArray>("") << false;
    QTest::newRow("missing") << std::optional<QByteArray>() << false;
}

void FrmPrefTest::loadSelectsStoredChoice() {
    QFETCH(std::optional<QByteArray>, content);
    QFETCH(bool, searchSelected);

    PrefFixture f;
    if (content) {
        f.store(*content);
    }
    std::unique_ptr<frmPref> dialog(f.makeDialog());
    QCOMPARE(child<QRadioButton>(dialog.get(), "Option1")->isChecked(), !searchSelected);
    QCOMPARE(child<QRadioButton>(dialog.get(), "Option2")->isChecked(), searchSelected);
    QVERIFY(f.messages.shown().empty());
    // Loading never writes.
    QCOMPARE(f.stored(), content);
}

void FrmPrefTest::okStoresAppliesAndCloses_data() {
    QTest::addColumn<QByteArray>("before");
    QTest::addColumn<QString>("choice");
    QTest::addColumn<QByteArray>("after");
    QTest::addColumn<PanelMode>("mode");

    QTest::newRow("temp to search") << QByteArray("start temp\r\n") << "Option2"
                                    << QByteArray("start search\r\n") << PanelMode::Search;
    QTest::newRow("search to temp") << QByteArray("start search\r\n") << "Option1"
                                    << QByteArray("start temp\r\n") << PanelMode::Conversion;
    QTest::newRow("junk to search") << QByteArray("whatever\r\nmore\r\n") << "Option2"
                                    << QByteArray("start search\r\n") << PanelMode::Search;
}

void FrmPrefTest::okStoresAppliesAndCloses() {
    QFETCH(QByteArray, before);
    QFETCH(QString, choice);
    QFETCH(QByteArray, after);
    QFETCH(PanelMode, mode);

    PrefFixture f;
    f.store(before);
    QPointer<frmPref> dialog = f.makeDialog();
    dialog->show();
    QTest::mouseClick(child<QRadioButton>(dialog, qPrintable(choice)), Qt::LeftButton);
    QVERIFY(f.applied.empty());
    QCOMPARE(f.stored(), before);  // nothing is stored before OK

    QTest::mouseClick(child<QPushButton>(dialog, "Command1"), Qt::LeftButton);
    QCOMPARE(f.stored(), after);
    QCOMPARE(f.applied, std::vector<PanelMode>{mode});
    QVERIFY(f.messages.shown().empty());
    QVERIFY(!dialog->isVisible());
    settle();
    QVERIFY(dialog.isNull());
}

void FrmPrefTest::okWithoutChangeRewritesAndApplies() {
    PrefFixture f;
    f.store("start search");  // no line end: still the search panel
    QPointer<frmPref> dialog = f.makeDialog();
    dialog->show();
    QTest::mouseClick(child<QPushButton>(dialog, "Command1"), Qt::LeftButton);
    QCOMPARE(f.stored(), QByteArray("start search\r\n"));
    QCOMPARE(f.applied, std::vector<PanelMode>{PanelMode::Search});
    settle();
    QVERIFY(dialog.isNull());
}

void FrmPrefTest::cancelAndCloseBoxHaveNoEffect_data() {
    QTest::addColumn<bool>("closeBox");
    QTest::newRow("Cancel") << false;
    QTest::newRow("close box") << true;
}

void FrmPrefTest::cancelAndCloseBoxHaveNoEffect() {
    QFETCH(bool, closeBox);

    PrefFixture f;
    const QByteArray before("start temp\r\nsecond line");
    f.store(before);
    QPointer<frmPref> dialog = f.makeDialog();
    dialog->show();
    QTest::mouseClick(child<QRadioButton>(dialog, "Option2"), Qt::LeftButton);
    if (closeBox) {
        QVERIFY(dialog->close());
    } else {
        QTest::mouseClick(child<QPushButton>(dialog, "Command2"), Qt::LeftButton);
    }
    QCOMPARE(f.stored(), before);
    QVERIFY(f.applied.empty());
    settle();
    QVERIFY(dialog.isNull());

    // Opening again shows the stored choice, not the abandoned one.
    std::unique_ptr<frmPref> again(f.makeDialog());
    QVERIFY(child<QRadioButton>(again.get(), "Option1")->isChecked());
}

void FrmPrefTest::enterPressesOnlyAFocusedButton() {
    PrefFixture f;
    f.store("start temp\r\n");
    QPointer<frmPref> dialog = f.makeDialog();
    dialog->show();
    QVERIFY(QTest::qWaitForWindowActive(dialog));

    auto* option2 = child<QRadioButton>(dialog, "Option2");
    QTest::mouseClick(option2, Qt::LeftButton);
    QCOMPARE(QApplication::focusWidget(), option2);
    QTest::keyClick(option2, Qt::Key_Return);
    QTest::keyClick(option2, Qt::Key_Enter);
    QVERIFY(dialog->isVisible());
    QVERIFY(f.applied.empty());

    auto* ok = child<QPushButton>(dialog, "Command1");
    ok->setFocus();
    QTest::keyClick(ok, Qt::Key_Return);
    QCOMPARE(f.applied, std::vector<PanelMode>{PanelMode::Search});
    QCOMPARE(f.stored(), QByteArray("start search\r\n"));
    settle();
    QVERIFY(dialog.isNull());
}

void FrmPrefTest::escapeDoesNothing() {
    PrefFixture f;
    f.store("start temp\r\n");
    std::unique_ptr<frmPref> dialog(f.makeDialog());
    dialog->show();
    QVERIFY(QTest::qWaitForWindowActive(dialog.get()));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    QTest::keyClick(dialog.get(), Qt::Key_Escape);
    QVERIFY(dialog->isVisible());
    QVERIFY(f.applied.empty());
    QCOMPARE(f.stored(), QByteArray("start temp\r\n"));
}

// A folder in place of the file makes the write fail.
void FrmPrefTest::failedWriteIsReportedAndChangesNothing() {
    PrefFixture f;
    QVERIFY(QDir(f.folder.path()).mkpath(QStringLiteral("pref.ifm/kept")));
    QPointer<frmPref> dialog = f.makeDialog();
    dialog->show();
    QTest::mouseClick(child<QRadioButton>(dialog, "Option2"), Qt::LeftButton);
    QTest::mouseClick(child<QPushButton>(dialog, "Command1"), Qt::LeftButton);

    QCOMPARE(f.messages.shown().size(), 1u);
    const RecordedMessages::Shown& shown = f.messages.shown().front();
    QCOMPARE(shown.title, std::string("Preferences"));
    QCOMPARE(shown.icon, MessageIcon::Exclamation);
    QVERIFY2(QString::fromStdString(shown.text).contains(QDir::toNativeSeparators(f.path)),
             shown.text.c_str());
    QVERIFY(f.applied.empty());
    QVERIFY(QFileInfo(f.path + "/kept").isDir());
    settle();
    QVERIFY(!dialog.isNull());
    QVERIFY(dialog->isVisible());
    QVERIFY(child<QRadioButton>(dialog, "Option2")->isChecked());
    delete dialog;
}

void FrmPrefTest::openerKeepsOneDialog() {
    PrefFixture f;
    f.store("start temp\r\n");
    QWidget owner;
    PreferencesOpener opener(
        &owner, f.path, [&f](PanelMode mode) { f.applied.push_back(mode); }, f.messages);
    QVERIFY(opener.dialog() == nullptr);
    opener.open();
    QPointer<frmPref> first = opener.dialog();
    QVERIFY(first != nullptr);
    QVERIFY(first->isVisible());
    QTest::mouseClick(child<QRadioButton>(first, "Option2"), Qt::LeftButton);

    // Asking again leaves the open dialog as it is, unsaved choice included.
    f.store("start search\r\n");
    opener.open();
    QCOMPARE(opener.dialog(), first.data());
    QCOMPARE(owner.findChildren<frmPref*>().size(), 1);
    QVERIFY(child<QRadioButton>(first, "Option2")->isChecked());
}

void FrmPrefTest::openerLoadsAFreshDialogAfterClose() {
    PrefFixture f;
    f.store("start temp\r\n");
    QWidget owner;
    PreferencesOpener opener(
        &owner, f.path, [&f](PanelMode mode) { f.applied.push_back(mode); }, f.messages);
    opener.open();
    QPointer<frmPref> first = opener.dialog();
    QTest::mouseClick(child<QPushButton>(first, "Command2"), Qt::LeftButton);
    settle();
    QVERIFY(first.isNull());
    QVERIFY(opener.dialog() == nullptr);

    f.store("start search\r\n");
    opener.open();
    QVERIFY(opener.dialog() != nullptr);
    QVERIFY(child<QRadioButton>(opener.dialog(), "Option2")->isChecked());

    QTest::mouseClick(child<QPushButton>(opener.dialog(), "Command1"), Qt::LeftButton);
    QCOMPARE(f.applied, std::vector<PanelMode>{PanelMode::Search});
}

// Owned by the main window: transient for it (so no task-bar entry of its own) and gone with it.
void FrmPrefTest::dialogBelongsToTheMainWindow() {
    PrefFixture f;
    auto* owner = new QWidget;
    owner->show();
    PreferencesOpener opener(
        owner, f.path, [](PanelMode) {}, f.messages);
    opener.open();
    QPointer<frmPref> dialog = opener.dialog();
    QCOMPARE(dialog->parentWidget(), owner);
    QVERIFY(dialog->isWindow());
    QCOMPARE(dialog->windowHandle()->transientParent(), owner->windowHandle());
    delete owner;
    QVERIFY(dialog.isNull());
}

}  // namespace tolvane

QTEST_MAIN(tolvane::FrmPrefTest)
#include "frm_pref_test.moc"
