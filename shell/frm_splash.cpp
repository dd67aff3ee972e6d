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
#include "form_layout.h"
#include "program_identity.h"
#include "twips.h"

namespace tolvane {

namespace {

// The labels on the right end at this distance from the client area's left edge.
constexpr int kRightEdgeTwips = 4845;

// How long showAndPaint waits for the window system to map the window: long enough for a busy
// desktop, short enough that start-up goes on should the window never be mapped.
constexpr int kExposeWaitMs = 2000;

QLabel* addLabel(QWidget* window, const char* name, const QString& text) {
    auto* label = new QLabel(text, window);
    label->setObjectName(QString::fromLatin1(name));
    return label;
}

}  // namespace

frmSplash::frmSplash(QWidget* parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint) {
    setObjectName(QStringLiteral("frmSplash"));
    // Never drawn (there is no title bar), but named for window lists and screen readers, and
    // so that it is not taken for the main window, which the desktop would otherwise call by
    // the program's display name too.
    setWindowTitle(tr("Varnel"));
    setFixedSize(twipsToPixels(5010), twipsToPixels(1260));

    // White, with black text whatever the desktop's colour scheme.
    QPalette colours = palette();
    colours.setColor(QPalette::Window, Qt::white);
    colours.setColor(QPalette::WindowText, Qt::black);
    setPalette(colours);
    setAutoFillBackground(true);

    QFont windowFont(QStringLiteral("Arial"));
    windowFont.setPointSizeF(8.25);
    setFont(windowFont);

    Image1 = new QLabel(this);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setPixmap(QIcon(QStringLiteral(":/icons/tolvane.png")).pixmap(QSize(32, 32)));
    Image1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Image1->setGeometry(twipsRect(105, 105, 480, 480));

    Label1 = addLabel(this, "Label1", QStringLiteral("Varnel"));
    QFont titleFont(QStringLiteral("Arial"));
    titleFont.setPointSize(12);
    titleFont.setBold(true);
    Label1->setFont(titleFont);

    Label2 = addLabel(this, "Label2", QStringLiteral("Freeware"));
    Label3 = addLabel(this, "Label3", QStringLiteral("Developed by : The Tolvane team"));
    Label4 = addLabel(this, "Label4", QStringLiteral("E-mail : tolvane@example.org"));
    Label5 = addLabel(this, "Label5", QStringLiteral("Version %1").arg(programShortVersion()));

    placeLabel(Label1, twipsRect(945, 105, kRightEdgeTwips - 945, 285), Qt::AlignRight);
    placeLabel(Label2, twipsRect(4125, 420, kRightEdgeTwips - 4125, 210), Qt::AlignRight);
    placeLabel(Label3, twipsRect(2640, 735, kRightEdgeTwips - 2640, 210), Qt::AlignRight);
    placeLabel(Label4, twipsRect(2535, 945, kRightEdgeTwips - 2535, 210), Qt::AlignRight);
    placeLabel(Label5, twipsRect(105, 735, 840, 210), Qt::AlignLeft);
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
