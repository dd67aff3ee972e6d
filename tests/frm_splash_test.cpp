#include <QFont>
#include <QImage>
#include <QLabel>
#include <QScreen>
#include <QWindow>
#include <QtTest>

#include "frm_splash.h"
#include "twips.h"

namespace tolvane {

class FrmSplashTest : public QObject {
    Q_OBJECT

private slots:
    void windowIsWhiteFramelessAndFixed();
    void labels_data();
    void labels();
    void rightEdgesMeet();
    void noTextIsCut();
    void iconSitsTopLeft();
    void showAndPaintCentresAndDrawsAtOnce();
};

void FrmSplashTest::windowIsWhiteFramelessAndFixed() {
    frmSplash splash;
    QCOMPARE(splash.windowType(), Qt::SplashScreen);
    QVERIFY(splash.windowFlags().testFlag(Qt::FramelessWindowHint));
    QCOMPARE(splash.size(), QSize(twipsToPixels(5010), twipsToPixels(1260)));
    QCOMPARE(splash.minimumSize(), splash.maximumSize());
    QVERIFY(splash.autoFillBackground());
    QCOMPARE(splash.palette().color(QPalette::Window), QColor(Qt::white));
    QCOMPARE(splash.font().family(), QStringLiteral("Arial"));
    QCOMPARE(splash.font().pointSizeF(), 8.25);
    QVERIFY(!splash.font().bold());
}

void FrmSplashTest::labels_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QRect>("design");
    QTest::addColumn<qreal>("pointSize");
    QTest::addColumn<bool>("bold");
    QTest::addColumn<bool>("rightAligned");

    QTest::newRow("Label1") << "Varnel" << twipsRect(945, 105, 3900, 285) << 12.0 << true << true;
    QTest::newRow("Label2") << "Freeware" << twipsRect(4125, 420, 720, 210) << 8.25 << false
                            << true;
    QTest::newRow("Label3") << "Developed by : The Tolvane team" << twipsRect(2640, 735, 2205, 210)
                            << 8.25 << false << true;
    QTest::newRow("Label4") << "E-mail : tolvane@example.org" << twipsRect(2535, 945, 2310, 210)
                            << 8.25 << false << true;
    QTest::newRow("Label5") << "Version 2.4" << twipsRect(105, 735, 840, 210) << 8.25 << false
                            << false;
}

// Each label has its text and font, and covers at least its place in the design: it may only
// have grown, to the left when right-aligned and to the right otherwise, and downwards.
void FrmSplashTest::labels() {
    QFETCH(QString, text);
    QFETCH(QRect, design);
    QFETCH(qreal, pointSize);
    QFETCH(bool, bold);
    QFETCH(bool, rightAligned);

    frmSplash splash;
    const auto* label = splash.findChild<QLabel*>(QString::fromLatin1(QTest::currentDataTag()));
    QVERIFY(label != nullptr);
    QCOMPARE(label->text(), text);
    QCOMPARE(label->font().family(), QStringLiteral("Arial"));
    QCOMPARE(label->font().pointSizeF(), pointSize);
    QCOMPARE(label->font().bold(), bold);
    QCOMPARE(label->alignment().testFlag(Qt::AlignRight), rightAligned);
    QCOMPARE(label->alignment().testFlag(Qt::AlignLeft), !rightAligned);

    const QRect placed = label->geometry();
    QCOMPARE(placed.top(), design.top());
    QVERIFY(placed.height() >= design.height());
    if (rightAligned) {
        QCOMPARE(placed.right(), design.right());
        QVERIFY(placed.left() <= design.left());
    } else {
        QCOMPARE(placed.left(), design.left());
        QVERIFY(placed.width() >= design.width());
    }
}

void FrmSplashTest::rightEdgesMeet() {
    frmSplash splash;
    for (const char* name : {"Label1", "Label2", "Label3", "Label4"}) {
        const auto* label = splash.findChild<QLabel*>(QString::fromLatin1(name));
        QVERIFY(label != nullptr);
        QCOMPARE(label->geometry().x() + label->geometry().width(), twipsToPixels(4845));
    }
}

// Whatever font stands in for Arial on this machine, every text fits its label, every label
// lies inside the window and no two overlap.
void FrmSplashTest::noTextIsCut() {
    frmSplash splash;
    const QList<QLabel*> labels = splash.findChildren<QLabel*>();
    QCOMPARE(labels.size(), 6);
    for (const QLabel* label : labels) {
        QVERIFY2(splash.rect().contains(label->geometry()), qPrintable(label->objectName()));
        if (!label->text().isEmpty()) {
            const QSize needed = label->fontMetrics().size(Qt::TextSingleLine, label->text());
            QVERIFY2(label->contentsRect().width() >= needed.width(),
                     qPrintable(label->objectName()));
            QVERIFY2(label->contentsRect().height() >= needed.height(),
                     qPrintable(label->objectName()));
        }
        for (const QLabel* other : labels) {
            if (other != label) {
                QVERIFY2(!label->geometry().intersects(other->geometry()),
                         qPrintable(label->objectName() + " overlaps " + other->objectName()));
            }
        }
    }
}

void FrmSplashTest::iconSitsTopLeft() {
    frmSplash splash;
    const auto* image = splash.findChild<QLabel*>(QStringLiteral("Image1"));
    QVERIFY(image != nullptr);
    QCOMPARE(image->geometry(), twipsRect(105, 105, 480, 480));
    QCOMPARE(image->pixmap().deviceIndependentSize().toSize(), QSize(32, 32));
}

// Without handling any event after showAndPaint, the window is on the screen, centred, and what
// the screen holds for it is the window fully drawn.
void FrmSplashTest::showAndPaintCentresAndDrawsAtOnce() {
    frmSplash splash;
    splash.showAndPaint();

    QVERIFY(splash.isVisible());
    QVERIFY(splash.windowHandle()->isExposed());
    const QRect available = splash.screen()->availableGeometry();
    QVERIFY(qAbs(splash.geometry().center().x() - available.center().x()) <= 1);
    QVERIFY(qAbs(splash.geometry().center().y() - available.center().y()) <= 1);

    const QImage drawn = splash.grab().toImage().convertToFormat(QImage::Format_RGB32);
    const QImage onScreen =
        splash.screen()->grabWindow(splash.winId()).toImage().convertToFormat(QImage::Format_RGB32);
    QCOMPARE(onScreen.size(), drawn.size());
    QCOMPARE(onScreen, drawn);
    // And the window is more than its white background: the icon and the texts are there.
    int dark = 0;
    for (int y = 0; y < onScreen.height(); ++y) {
        for (int x = 0; x < onScreen.width(); ++x) {
            dark += qGray(onScreen.pixel(x, y)) < 128 ? 1 : 0;
        }
    }
    QVERIFY(dark > 100);
    if (qEnvironmentVariableIsSet("TOLVANE_SPLASH_PNG")) {
        onScreen.save(qEnvironmentVariable("TOLVANE_SPLASH_PNG"));
    }
}

}  // namespace tolvane

QTEST_MAIN(tolvane::FrmSplashTest)
#include "frm_splash_test.moc"
