// Measures what the web view costs at start-up. Not run by ctest; run under /usr/bin/time -v:
//
//   web_view_footprint none     a window with about as many widgets as the main window
//   web_view_footprint hidden   the same with a WebViewHost in a hidden panel (the program
//                               starting on the conversion panel)
//   web_view_footprint shown    the same with the panel shown, until the page has loaded
//
// Each mode quits as soon as the window is on screen (or the page has loaded).

#include "event_watch.h"
#include "web_view_host.h"

#include <QApplication>
#include <QFile>
#include <QFrame>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QVBoxLayout>

#include <cstdio>
#include <cstring>

int main(int argc, char** argv) {
    const char* mode = argc > 1 ? argv[1] : "";
    const bool withHost = std::strcmp(mode, "hidden") == 0 || std::strcmp(mode, "shown") == 0;
    if (!withHost && std::strcmp(mode, "none") != 0) {
        std::fprintf(stderr, "usage: %s none|hidden|shown\n", argv[0]);
        return 2;
    }

    tolvane::prepareForLazyWebEngine();
    QApplication app(argc, argv);

    QWidget window;
    auto* layout = new QGridLayout(&window);
    for (int row = 0; row < 4; ++row) {
        layout->addWidget(new QLabel(QStringLiteral("Label")), row, 0);
        layout->addWidget(new QLineEdit, row, 1);
        layout->addWidget(new QLabel(QStringLiteral("Unit")), row, 2);
    }
    for (int key = 0; key < 27; ++key) {
        layout->addWidget(new QPushButton(QString::number(key)), 4 + key / 9, key % 9);
    }
    auto* frame = new QFrame;
    layout->addWidget(frame, 7, 0, 1, 9);
    auto* frameLayout = new QVBoxLayout(frame);
    frameLayout->addWidget(new QPushButton(QStringLiteral("Refresh")));

    QTemporaryDir folder;
    tolvane::WebViewHost* host = nullptr;
    if (withHost) {
        host = new tolvane::WebViewHost;
        host->setMinimumSize(509, 94);
        frameLayout->addWidget(host);
        const QString page = folder.filePath(QStringLiteral("page.htm"));
        QFile file(page);
        if (file.open(QIODevice::WriteOnly)) {
            file.write("<html><body>page</body></html>\r\n");
        }
        host->Navigate(page);
        QObject::connect(host, &tolvane::WebViewHost::loadFinished, &app, &QApplication::quit);
    }
    frame->setVisible(std::strcmp(mode, "shown") == 0);

    if (std::strcmp(mode, "shown") != 0) {
        tolvane::watchEvents(&window, QEvent::Paint, [] {
            QTimer::singleShot(0, qApp, &QApplication::quit);
            return tolvane::Watching::Ends;
        });
    }
    window.show();
    return app.exec();
}
