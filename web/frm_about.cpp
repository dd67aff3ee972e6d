#include "frm_about.h"

#include <QCursor>
#include <QLabel>
#include <QMouseEvent>
#include <QPixmap>
#include <QPushButton>

#include "browser_launcher.h"
#include "event_watch.h"
#include "form_builder.h"
#include "form_layout.h"
#include "web_addresses.h"

namespace tolvane {
namespace {

// A label that reacts to a click, as the link does.
class ClickableLabel : public QLabel {
public:
    ClickableLabel(const QString& text, QWidget* parent, std::function<void()> onClick)
        : QLabel(text, parent), m_onClick(std::move(onClick)) {}

protected:
    void mouseReleaseEvent(QMouseEvent* event) override {
        if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint())) {
            m_onClick();
        }
    }

private:
    std::function<void()> m_onClick;
};

}  // namespace

frmAbout::frmAbout(BrowserLauncher& launcher, std::function<std::uintptr_t()> ownerWindow,
                   QWidget* parent)
    : QWidget(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint),
      m_launcher(launcher),
      m_ownerWindow(std::move(ownerWindow)) {
    const layout::Window design = layout::aboutBox();
    setObjectName(QString::fromStdString(design.name));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QString::fromStdString(design.caption));
    setFont(qtFont(design.font));
    setFixedSize(qtClientSize(design));

    for (const layout::Control& control : design.controls) {
        if (control.name == "Label3") {
            auto* link = new ClickableLabel(QString::fromStdString(control.caption), this,
                                            [this] { Label3_Click(); });
            link->setObjectName(QString::fromStdString(control.name));
            link->setFont(qtFont(control.font));
            placeLabel(link, qtRect(control.rect));
            continue;
        }
        makeControl(control, this);
    }

    auto* link = findChild<QLabel*>(QStringLiteral("Label3"));
    QPalette palette = link->palette();
    palette.setColor(QPalette::WindowText, QColor(0, 0, 255));
    link->setPalette(palette);
    link->setToolTip(homePageAddress());
    link->setCursor(QCursor(QPixmap(QStringLiteral(":/cursors/hand.png")), 12, 9));
    link->setAccessibleName(link->text());
    link->setAccessibleDescription(homePageAddress());

    findChild<QLabel*>(QStringLiteral("Image1"))
        ->setPixmap(QPixmap(QStringLiteral(":/icons/tolvane.png")));

    auto* ok = findChild<QPushButton*>(QStringLiteral("Command1"));
    // Enter presses Ok while it has the focus; Escape does nothing (this is no QDialog).
    ok->setAutoDefault(true);
    ok->setFocus();
    connect(ok, &QPushButton::clicked, this, &frmAbout::Command1_Click);

    watchEvents(this, QEvent::ActivationChange, [this] {
        m_hasBeenActive = m_hasBeenActive || isActiveWindow();
        return m_hasBeenActive ? Watching::Ends : Watching::GoesOn;
    });
}

QString frmAbout::homePageAddress() {
    return QString::fromStdString(site::homePageAddress());
}

void frmAbout::Command1_Click() {
    close();
}

void frmAbout::Label3_Click() {
    m_launcher.openInUsersBrowser(homePageAddress().toStdString(), m_ownerWindow());
}

}  // namespace tolvane
