#include "frm_splash.h"

#include <QEvent>
#include <QEventLoop>
#include <QIcon>
#include <QLabel>
#include <QPointer>
#include <QScreen>
#include <QTimer>
#include <QWindow>

#include "event_watch.h"
#include "form_builder.h"

namespace tolvane {

namespace {

// How long showAndPaint waits for the window system to map the window: long enough for a busy
// desktop, short enough that start-up goes on should the window never be mapped.
constexpr int kExposeWaitMs = 2000;

}  // namespace

frmSplash::frmSplash(QWidget* parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint) {
    const layout::Window design = layout::splashScreen();
    setObjectName(QString::fromStdString(design.name));
    // Never drawn (there is no title bar), but named for window lists and screen readers, and
    // so that it is not taken for the main window, which the desktop would otherwise call by
    // the program's display name too.
    setWindowTitle(QString::fromStdString(design.caption));
    setFixedSize(qtClientSize(design));

    // White, with black text whatever the desktop's colour scheme.
    QPalette colours = palette();
    colours.setColor(QPalette::Window, Qt::white);
    colours.setColor(QPalette::WindowText, Qt::black);
    setPalette(colours);
    setAutoFillBackground(true);
    setFont(qtFont(design.font));

    for (const layout::Control& control : design.controls) {
        makeControl(control, this);
    }
    auto* image = findChild<QLabel*>(QStringLiteral("Image1"));
    image->setPixmap(QIcon(QStringLiteral(":/icons/tolvane.png")).pixmap(QSize(32, 32)));
    image->setAlignment(Qt::AlignLeft | Qt::AlignTop);
}

void frmSplash::showAndPaint() {
    const QScreen* screen = this->screen();
    if (screen != nullptr) {
        QRect frame(QPoint(), size());
        frame.moveCenter(screen->availableGeometry().center());
        move(frame.topLeft());
    }
    show();

    // The window system maps the window and asks for its contents through events; the start-up
    // work that follows handles none, so they are handled here until the window has been drawn:
    // handling the expose event paints it. A window that is already exposed is painted now.
    QWindow* window = windowHandle();
    if (window != nullptr && !window->isExposed()) {
        QEventLoop loop;
        // The loop ends after the expose event, which paints the window, has been handled. The
        // watch may outlive the loop when the window is never exposed in time.
        watchEvents(window, QEvent::Expose, [window, loop = QPointer<QEventLoop>(&loop)] {
            if (!window->isExposed()) {
                return Watching::GoesOn;
            }
            if (loop) {
                loop->quit();
            }
            return Watching::Ends;
        });
        QTimer::singleShot(kExposeWaitMs, &loop, &QEventLoop::quit);
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    } else {
        repaint();
    }
}

}  // namespace tolvane
