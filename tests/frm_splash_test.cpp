#include <QLabel>
#include <QScreen>
#include <QtTest>

#include "frm_splash.h"

namespace tolvane {

class FrmSplashTest : public QObject {
    Q_OBJECT

private slots:
    // Whatever font stands in for Arial on this machine, no text is cut. (That showAndPaint draws
    // before returning cannot be seen here: the offscreen platform draws on show() already.)
    void showAndPaintCentresAndCutsNoText() {
        frmSplash splash;
        splash.showAndPaint();
        const QPoint offCentre =
            splash.geometry().center() - splash.screen()->availableGeometry().center();
        QVERIFY(offCentre.manhattanLength() <= 2);
        for (const QLabel* label : splash.findChildren<QLabel*>()) {
            QVERIFY2(label->contentsRect().size().expandedTo(label->sizeHint()) ==
                         label->contentsRect().size(),
                     qPrintable(label->objectName()));
        }
    }
};

}  // namespace tolvane

QTEST_MAIN(tolvane::FrmSplashTest)
#include "frm_splash_test.moc"
