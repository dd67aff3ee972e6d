// The floor for a start on the search panel: a plain QWebEngineView that shows the page file
// given as its argument, in a window of the main window's size.
#include <QApplication>
#include <QUrl>
#include <QWebEngineView>

#include "tolvane_version.h"

int main(int argc, char* argv[]) {
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    QWebEngineView view;
    view.setWindowTitle(QString::fromUtf8(tolvane::version::kProgramTitle));
    view.resize(527, 163);
    view.load(QUrl::fromLocalFile(QString::fromLocal8Bit(argc > 1 ? argv[1] : "AboutHtm.htm")));
    view.show();
    return QApplication::exec();
}
